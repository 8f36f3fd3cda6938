// One editor view: the card's work area at the document's scale inside a scroll box, with its
// two rulers. The view only paints; mouse and key events go to the EditorInput of its
// EditorViews, which also draws the selection marks into each repaint.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QScrollArea;
class QKeyEvent;

namespace bb {

class EditorViews;
class Ruler;

// One view: the paint box, a widget the size of the whole work area inside its scroll box.
class EditorView : public QWidget {
    Q_OBJECT
public:
    EditorView(EditorViews& views, int side, QWidget* parent = nullptr);

    int side() const { return side_; }
    QScrollArea* scrollBox() const { return scroll_; }
    Ruler* topRuler() const { return top_; }
    Ruler* leftRuler() const { return left_; }
    void attach(QScrollArea* scroll, Ruler* top, Ruler* left);

    // Renders the visible part of the work area into the
    // view's bitmap (frame, shadow, fold line, the card, the marks), shows it, and paints
    // the two rulers.
    void paintView();

    // Scroll position (posX, posY) of the scroll box, and setting it.
    int scrollX() const;
    int scrollY() const;
    void setScroll(int x, int y);
    // The scroll bars' maxima + 1 (the "range" of the platform's scroll box).
    int scrollRangeX() const;
    int scrollRangeY() const;

    // Scrolls to the middle of the work area: (paint box size − visible size) div 2 on each
    // axis. A view whose tab is hidden has no visible size yet; it centres when shown.
    void centre();

    // The part of the view that its scroll box shows, in view pixels. A view smaller than
    // its scroll box stands in the middle of it (on that axis), the box's ground around it in
    // the colour of the work area.
    QRect visiblePart() const;
    // The view pixel at the scroll box's top-left corner (negative where the view stands in
    // the middle of a larger box); the rulers count from it.
    QPoint boxOrigin() const;

    // The bitmap of the last render and where it lies in the view (tests, drag outline). It
    // holds the visible part at the screen's device pixel ratio.
    const QImage& frame() const { return frame_; }
    QPoint frameOrigin() const { return frameOrigin_; }
    int renderCount() const { return renders_; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void renderFrame();
    void paintRulers();
    // Passes a mouse event of one of the rulers on to the editing layer; true when taken.
    bool rulerMouse(bool topRuler, QEvent& event);

    EditorViews& views_;
    int side_;
    QScrollArea* scroll_ = nullptr;
    Ruler* top_ = nullptr;
    Ruler* left_ = nullptr;
    QImage frame_;
    QPoint frameOrigin_;
    int renders_ = 0;
    bool centrePending_ = false;
};

}  // namespace bb
