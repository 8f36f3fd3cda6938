// Moving about the card in the editor views: the zoom tool's steps, the hand tool's panning,
// "Ganze Karte zeigen", and the wheel (zoom around the mouse with Ctrl, scrolling otherwise).
// It works on the views and the document's scale only, never on the card's objects.
#pragma once

#include <QPoint>
#include <Qt>

namespace bb {

class EditorViews;

class EditorNavigation {
public:
    explicit EditorNavigation(EditorViews& views) : views_(views) {}

    // One zoom step in or out at view position (x, y) of `side`; that card point is brought
    // into the visible part.
    void zoomClick(int side, int x, int y, bool zoomIn);
    // "Ganze Karte zeigen": the zoom at which the whole card fits the visible part of the
    // current side's view, with the card centred in it.
    void showWholeCard();
    // Sets the scale of both views to `unitsPerPixel`, keeping the card point under the view
    // position (x, y) of `side` where it is on the screen.
    void zoomAround(int side, double unitsPerPixel, int x, int y);

    // The hand tool: a press at (x, y) holds the card there, every move scrolls `side` so
    // that it follows the mouse.
    void startPan(int x, int y) { panStart_ = QPoint(x, y); }
    void pan(int side, int x, int y);

    // A wheel turn over `side`: with Ctrl one zoom step per notch around the mouse, else
    // scrolling (sideways with Shift or a sideways turn). False when the view has no scroll
    // box to act on.
    bool wheel(int side, Qt::KeyboardModifiers mods, QPoint angleDelta, int x, int y);

private:
    void repaintView(int side);

    EditorViews& views_;
    QPoint panStart_;
    // Wheel turns below one notch, kept for the next event (fine-grained wheels and pads).
    int zoomWheelRest_ = 0;
    int scrollWheelRest_ = 0;
};

}  // namespace bb
