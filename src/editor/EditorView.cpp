#include "editor/EditorView.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "editor/Ruler.h"
#include "render/Renderer.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace bb {

// ---- EditorInput defaults: a view without an editing layer only shows the card ----

void EditorInput::mousePress(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::mouseMove(int, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void EditorInput::mouseRelease(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::doubleClick(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::keyPress(QKeyEvent&) {}
void EditorInput::beforePaint() {}
void EditorInput::drawMarks(int, QPainter&, int, int) {}
void EditorInput::drawOverlay(int, QPainter&) {}

// ---- EditorView ----

EditorView::EditorView(EditorViews& views, int side, QWidget* parent)
    : QWidget(parent), views_(views), side_(side) {
    setObjectName(side == 1 ? QStringLiteral("PaintBox4") : QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void EditorView::attach(QScrollArea* scroll, Ruler* top, Ruler* left) {
    scroll_ = scroll;
    top_ = top;
    left_ = left;
    // A scroll or a new visible size shows another part of the area: render it.
    connect(scroll_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { paintView(); });
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { paintView(); });
    scroll_->viewport()->installEventFilter(this);
    top_->installEventFilter(this);
}

int EditorView::scrollX() const {
    return scroll_ ? scroll_->horizontalScrollBar()->value() : 0;
}
int EditorView::scrollY() const {
    return scroll_ ? scroll_->verticalScrollBar()->value() : 0;
}
int EditorView::scrollRangeX() const {
    return scroll_ ? scroll_->horizontalScrollBar()->maximum() + 1 : 0;
}
int EditorView::scrollRangeY() const {
    return scroll_ ? scroll_->verticalScrollBar()->maximum() + 1 : 0;
}

void EditorView::setScroll(int x, int y) {
    if (!scroll_) return;
    scroll_->horizontalScrollBar()->setValue(x);
    scroll_->verticalScrollBar()->setValue(y);
}

void EditorView::renderFrame() {
    CardDocument& doc = views_.doc();
    RenderContext& ctx = views_.ctx();
    ctx.renderMode = RenderScreen;
    const QSize client = scroll_ ? scroll_->viewport()->size() : size();
    if (client.isEmpty()) return;
    if (frame_.size() != client) frame_ = QImage(client, QImage::Format_RGB32);
    const int posX = scrollX();
    const int posY = scrollY();
    const int W = width();
    const int H = height();
    QPainter p(&frame_);
    // Whole work area white; everything is shifted by the scroll position so that only the
    // visible part lands in the bitmap.
    p.fillRect(-posX, -posY, W, H, Qt::white);
    // Card frame: the device rectangle (l, t, r, b) outlines l..r-1 and t..b-1.
    const int l = W / 3 - posX, t = H / 3 - posY;
    const int r = W * 2 / 3 - posX, b = H * 2 / 3 - posY;
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    if (r > l && b > t) p.drawRect(l, t, r - l - 1, b - t - 1);
    // Drop shadow: a right and a bottom strip, 5 pixels, grey.
    const QColor grey(128, 128, 128);
    p.fillRect(QRect(QPoint(r, t + 5), QPoint(r + 4, b + 4)), grey);
    p.fillRect(QRect(QPoint(l + 5, b), QPoint(r + 4, b + 4)), grey);
    // Fold line down the middle of the whole area (the line's end point is excluded).
    const int fx = W / 2 - posX;
    if (H > 0) p.drawLine(fx, -posY, fx, H - posY - 1);
    drawCardSide(p, doc, ctx, W, H, posX, posY, doc.zoomFactor / doc.unitsPerPixel, true);
    views_.input().drawMarks(side_, p, posX, posY);
    p.end();
    frameOrigin_ = QPoint(posX, posY);
    ++renders_;
}

void EditorView::paintRulers() {
    if (!top_ || !left_) return;
    const CardDocument& doc = views_.doc();
    const int dpi = views_.ctx().screenDpi;
    top_->paintRuler(scrollX(), width(), doc.format.cardWidth, dpi);
    left_->paintRuler(scrollY(), height(), doc.format.cardHeight, dpi);
}

void EditorView::paintView() {
    if (views_.ctx().busy) return;
    views_.input().beforePaint();
    // The inside view always takes the outside view's size.
    if (side_ == 1 && views_.outsideView() && size() != views_.outsideView()->size())
        resize(views_.outsideView()->size());
    if (!views_.zoomInProgress) {
        renderFrame();
        update();
    }
    paintRulers();
}

void EditorView::paintEvent(QPaintEvent*) {
    const bool stale = scroll_ && (frameOrigin_ != QPoint(scrollX(), scrollY()) ||
                                   frame_.size() != scroll_->viewport()->size());
    if (stale && !views_.ctx().busy && !views_.zoomInProgress) {
        views_.input().beforePaint();
        renderFrame();
        paintRulers();
    }
    QPainter p(this);
    if (!frame_.isNull()) p.drawImage(frameOrigin_, frame_);
    views_.input().drawOverlay(side_, p);
}

void EditorView::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pt = e->position().toPoint();
    views_.input().mousePress(side_, e->button(), e->modifiers(), pt.x(), pt.y());
}

void EditorView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    views_.input().mouseMove(side_, e->buttons(), e->modifiers(), pt.x(), pt.y());
}

void EditorView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    views_.input().mouseRelease(side_, e->button(), e->modifiers(), pt.x(), pt.y());
}

void EditorView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    views_.input().doubleClick(side_, e->button(), e->modifiers(), pt.x(), pt.y());
}

void EditorView::keyPressEvent(QKeyEvent* e) {
    views_.input().keyPress(*e);
}

void EditorView::centre() {
    if (!scroll_) return;
    QWidget* port = scroll_->viewport();
    if (!port->isVisible()) {
        centrePending_ = true;
        return;
    }
    centrePending_ = false;
    const QSize visible = port->size();
    setScroll((width() - visible.width()) / 2, (height() - visible.height()) / 2);
}

bool EditorView::eventFilter(QObject* watched, QEvent* event) {
    if (scroll_ && watched == scroll_->viewport()) {
        if (event->type() == QEvent::Show && centrePending_) {
            // The page's layout gives the viewport its size after the show: centre then.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (centrePending_) centre();
                },
                Qt::QueuedConnection);
        } else if (event->type() == QEvent::Resize) {
            if (centrePending_) centre();
            paintView();
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A press beside the card view gives the views the keys.
            setFocus(Qt::MouseFocusReason);
        }
    } else if (watched == top_ && event->type() == QEvent::Resize) {
        paintRulers();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- EditorViews ----

EditorViews::EditorViews(CardDocument& doc, RenderContext& ctx) : doc_(doc), ctx_(ctx) {}
EditorViews::~EditorViews() = default;

QWidget* EditorViews::createSidePage(int side, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(side == 1 ? QStringLiteral("TabSheet4") : QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* top = new Ruler(Ruler::Top, page);
    top->setObjectName(side == 1 ? QStringLiteral("TRuler2") : QStringLiteral("TRuler"));
    auto* left = new Ruler(Ruler::Left, page);
    left->setObjectName(side == 1 ? QStringLiteral("LRuler2") : QStringLiteral("LRuler"));
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(side == 1 ? QStringLiteral("ScrollBox3") : QStringLiteral("ScrollBox1"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setBackgroundRole(QPalette::Dark);  // the application-workspace colour
    scroll->setWidgetResizable(false);
    auto* view = new EditorView(*this, side);
    view->resize(paintBoxSize());
    scroll->setWidget(view);
    grid->addWidget(top, 0, 0, 1, 2);
    grid->addWidget(left, 1, 0);
    grid->addWidget(scroll, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    view->attach(scroll, top, left);
    (side == 1 ? inside_ : outside_) = view;
    return page;
}

void EditorViews::setInput(EditorInput* input) {
    input_ = input;
}

QSize EditorViews::paintBoxSize() const {
    return QSize(doc_.screenPixels(doc_.sideWidthUnits), doc_.screenPixels(doc_.sideHeightUnits));
}

void EditorViews::layoutFromDocument() {
    doc_.updateSideUnits();
    if (outside_) outside_->resize(paintBoxSize());
}

void EditorViews::paintBoth() {
    if (outside_) outside_->paintView();
    if (inside_) inside_->paintView();
}

void EditorViews::centreViews() {
    for (EditorView* v : {outside_, inside_})
        if (v) v->centre();
}

// ---- EditorTab ----

EditorTab::EditorTab(CardDocument& doc, RenderContext& ctx, QWidget* parent)
    : QWidget(parent), doc_(doc), views_(std::make_unique<EditorViews>(doc, ctx)) {
    setObjectName(QStringLiteral("TabSheet3"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("SpeedBar2"));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    outer->addWidget(toolBar_);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    outer->addLayout(row, 1);

    toolColumn_ = new QWidget(this);
    toolColumn_->setObjectName(QStringLiteral("ToolColumn"));
    auto* tl = new QVBoxLayout(toolColumn_);
    tl->setContentsMargins(0, 0, 0, 0);
    toolColumn_->hide();
    row->addWidget(toolColumn_);

    sideTabs_ = new QTabWidget(this);
    sideTabs_->setObjectName(QStringLiteral("PageControl2"));
    sideTabs_->setTabPosition(QTabWidget::South);
    sideTabs_->addTab(views_->createSidePage(0, sideTabs_), QStringLiteral("Außenseite"));
    sideTabs_->addTab(views_->createSidePage(1, sideTabs_), QStringLiteral("Innenseite"));
    row->addWidget(sideTabs_, 1);

    propertyColumn_ = new QWidget(this);
    propertyColumn_->setObjectName(QStringLiteral("PropertyColumn"));
    auto* pl = new QVBoxLayout(propertyColumn_);
    pl->setContentsMargins(0, 0, 0, 0);
    propertyColumn_->hide();
    row->addWidget(propertyColumn_);

    connect(sideTabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (!switching_) sideTabChanged(index);
    });
}

EditorTab::~EditorTab() = default;

void EditorTab::sideTabChanged(int index) {
    doc_.switchSide(index == 1 ? 1 : 0);
    views_->paintBoth();
}

void EditorTab::selectSide(int side) {
    switching_ = true;
    sideTabs_->setCurrentIndex(side == 1 ? 1 : 0);
    switching_ = false;
    sideTabChanged(side);
}

void EditorTab::syncSideTab() {
    switching_ = true;
    sideTabs_->setCurrentIndex(doc_.currentSide == 1 ? 1 : 0);
    switching_ = false;
}

}  // namespace bb
