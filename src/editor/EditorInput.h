// The seam between the editor views and the editing layer: the views only paint and pass
// their mouse and key events on to an EditorInput.
#pragma once

#include <QPoint>
#include <Qt>

class QInputMethodEvent;
class QKeyEvent;
class QPainter;
class QVariant;

namespace bb {

// Receives the events of both views; every coordinate is in view pixels (the origin is the
// top-left corner of the whole work area, whatever the scroll position). `side` is 0 for the
// outside view and 1 for the inside view. The defaults do nothing.
class EditorInput {
public:
    virtual ~EditorInput() = default;
    virtual void mousePress(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                            int y);
    virtual void mouseMove(int side, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x,
                           int y);
    virtual void mouseRelease(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                              int y);
    virtual void doubleClick(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                             int y);
    // Keys pressed while a view (or its scroll box) has the focus.
    virtual void keyPress(QKeyEvent& event);
    // True when a key that is a window shortcut (paste, copy, cut) should come to keyPress
    // instead, as while typing on a text.
    virtual bool takesShortcut(const QKeyEvent& event);
    // Text from the desktop's input method (its character picker, composed characters).
    virtual void inputMethod(QInputMethodEvent& event);
    // What the input method asks of the view: whether it takes text, where the caret is.
    virtual QVariant inputMethodQuery(Qt::InputMethodQuery query);
    // A wheel turn over a view at (x, y) by `angleDelta` (eighths of a degree, as Qt gives
    // it). Returns true when handled; otherwise the view's scroll box scrolls as usual.
    virtual bool wheel(int side, Qt::KeyboardModifiers mods, QPoint angleDelta, int x, int y);
    // Called at the start of every view repaint that is not skipped.
    virtual void beforePaint();
    // Draws the selection marks onto the view's off-screen bitmap, whose origin lies
    // at (offsetX, offsetY) of the view.
    virtual void drawMarks(int side, QPainter& painter, int offsetX, int offsetY);
    // Draws the placement aids (the grid, the guides) onto the view's off-screen bitmap, over
    // the card and under the selection marks; they are never part of any output.
    virtual void drawAids(int side, QPainter& painter, int offsetX, int offsetY);
    // A left press on one of the view's rulers (`topRuler` false: the left ruler), and the
    // moves and the release of that press, at the mouse's place in view pixels.
    virtual void rulerPress(int side, bool topRuler, int x, int y);
    virtual void rulerMove(int side, int x, int y);
    virtual void rulerRelease(int side, int x, int y);
    // Drawn over the kept bitmap on every screen update of a view, in view pixels (the drag
    // outline, which follows the mouse without a re-render of the card).
    virtual void drawOverlay(int side, QPainter& painter);
};

}  // namespace bb
