// The "Editor" tab: the two views of the card (outside outsideView in ScrollBox1, inside
// insideView in ScrollBox3) with their rulers, the side tabs PageControl2, the tool bar
// SpeedBar2, and the places of the creation tools (left) and the property panel (right).
//
// The views only paint. Mouse and key events go to a replaceable EditorInput, which the
// editing layer implements; it also draws the selection marks into each repaint.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>

class QScrollArea;
class QTabWidget;
class QToolBar;
class QKeyEvent;
class QPainter;

namespace bb {

class CardDocument;
struct RenderContext;
class Ruler;
class EditorViews;

// Receives the events of both views; every coordinate is in view pixels (the origin is the
// top-left corner of the whole work area, whatever the scroll position). `side` is 0 for the
// outside view outsideView and 1 for the inside view insideView. The defaults do nothing.
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
    // handleKey: keys pressed while a view (or its scroll box) has the focus.
    virtual void keyPress(QKeyEvent& event);
    // updateFromSelection: called at the start of every view repaint that is not skipped.
    virtual void beforePaint();
    // drawSelectionMarks: the selection marks onto the view's off-screen bitmap, whose origin lies
    // at (offsetX, offsetY) of the view.
    virtual void drawMarks(int side, QPainter& painter, int offsetX, int offsetY);
    // Drawn over the kept bitmap on every screen update of a view, in view pixels (the drag
    // outline, which follows the mouse without a re-render of the card).
    virtual void drawOverlay(int side, QPainter& painter);
};

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
    // the two rulers. Does nothing while the renderer is busy.
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

    // The bitmap of the last render and where it lies in the view (tests, drag outline).
    const QImage& frame() const { return frame_; }
    QPoint frameOrigin() const { return frameOrigin_; }
    int renderCount() const { return renders_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void renderFrame();
    void paintRulers();

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

// The state both views share and the operations the window runs on them.
class EditorViews {
public:
    EditorViews(CardDocument& doc, RenderContext& ctx);
    ~EditorViews();
    EditorViews(const EditorViews&) = delete;
    EditorViews& operator=(const EditorViews&) = delete;

    CardDocument& doc() { return doc_; }
    RenderContext& ctx() { return ctx_; }

    // Builds the page of one side: top ruler, left ruler, scroll box and paint box.
    QWidget* createSidePage(int side, QWidget* parent);
    EditorView* view(int side) const { return side == 1 ? inside_ : outside_; }
    EditorView* outsideView() const { return outside_; }
    EditorView* insideView() const { return inside_; }

    // The event handler of both views; null restores the one that does nothing.
    void setInput(EditorInput* input);
    EditorInput& input() { return input_ ? *input_ : nullInput_; }

    // While set (a zoom click resizing the views) the views draw no card.
    bool zoomInProgress = false;

    // sideWidthUnits/sideHeightUnits from the card format and outsideView sized to
    // Trunc(units × zoomFactor ÷ unitsPerPixel) in each direction.
    void layoutFromDocument();
    // The paint-box size for the document's current scale.
    QSize paintBoxSize() const;
    // Repaints both views.
    void paintBoth();
    // Scrolls both views to the centre: (paint box size − visible size) div 2 on each axis.
    void centreViews();

private:
    CardDocument& doc_;
    RenderContext& ctx_;
    EditorView* outside_ = nullptr;
    EditorView* inside_ = nullptr;
    EditorInput* input_ = nullptr;
    EditorInput nullInput_;
};

// TabSheet3 "Editor": SpeedBar2 at the top, then the tool column, the side tabs and the
// property column side by side.
class EditorTab : public QWidget {
    Q_OBJECT
public:
    EditorTab(CardDocument& doc, RenderContext& ctx, QWidget* parent = nullptr);
    ~EditorTab() override;

    EditorViews& views() { return *views_; }
    QToolBar* toolBar() const { return toolBar_; }
    QTabWidget* sideTabs() const { return sideTabs_; }  // PageControl2
    // Empty columns with a vertical layout, for the creation tools (left) and the property
    // panel (right); hidden until something is put into them.
    QWidget* toolColumn() const { return toolColumn_; }
    QWidget* propertyColumn() const { return propertyColumn_; }

    // Makes `side` the active side tab and runs sideTabChanged for it, even when the tab
    // is already active; the print commands switch sides through this.
    void selectSide(int side);
    // Shows the tab of the document's currentSide without switching sides (after a save,
    // which leaves the outside as the working side).
    void syncSideTab();

private:
    void sideTabChanged(int index);

    CardDocument& doc_;
    std::unique_ptr<EditorViews> views_;
    QToolBar* toolBar_ = nullptr;
    QTabWidget* sideTabs_ = nullptr;
    QWidget* toolColumn_ = nullptr;
    QWidget* propertyColumn_ = nullptr;
    bool switching_ = false;
};

}  // namespace bb
