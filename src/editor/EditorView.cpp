#include "editor/EditorView.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "editor/EditorViews.h"
#include "editor/Ruler.h"
#include "render/BackgroundPictures.h"
#include "render/Renderer.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

namespace bb {

EditorView::EditorView(EditorViews& views, int side, QWidget* parent)
    : QWidget(parent), views_(views), side_(side) {
    setObjectName(side == 1 ? QStringLiteral("PaintBox4") : QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // Emoji and other characters come from the desktop's character picker as input method text.
    setAttribute(Qt::WA_InputMethodEnabled);
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
    left_->installEventFilter(this);
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
    const CardDocument& doc = views_.doc();
    // The view's own settings: screen mode with missing pictures and the halves' names shown.
    RenderContext ctx = withEditorMarks(views_.ctx());
    ctx.renderMode = RenderScreen;
    ctx.pictures = views_.pictures();
    const QRect part = visiblePart();
    if (part.isEmpty()) return;
    // The bitmap has the screen's pixels, so that the card, its texts and the marks are
    // drawn sharp on a high-resolution screen; the painter still counts view pixels.
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(qCeil(part.width() * dpr), qCeil(part.height() * dpr));
    if (frame_.size() != pixels || frame_.devicePixelRatio() != dpr) {
        frame_ = QImage(pixels, QImage::Format_RGB32);
        frame_.setDevicePixelRatio(dpr);
    }
    const int posX = part.x();
    const int posY = part.y();
    const int W = width();
    const int H = height();
    QPainter p(&frame_);
    // The work area in the desktop's base colour (white in a light theme), the card itself
    // white as printed; everything is shifted by the scroll position so that only the
    // visible part lands in the bitmap.
    p.fillRect(-posX, -posY, W, H, palette().color(QPalette::Base));
    // Card frame: the device rectangle (l, t, r, b) outlines l..r-1 and t..b-1.
    const int l = W / 3 - posX, t = H / 3 - posY;
    const int r = W * 2 / 3 - posX, b = H * 2 / 3 - posY;
    if (r > l && b > t) p.fillRect(l, t, r - l, b - t, Qt::white);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    if (r > l && b > t) p.drawRect(l, t, r - l - 1, b - t - 1);
    // Drop shadow: a right and a bottom strip, 5 pixels, grey.
    const QColor grey(128, 128, 128);
    p.fillRect(QRect(QPoint(r, t + 5), QPoint(r + 4, b + 4)), grey);
    p.fillRect(QRect(QPoint(l + 5, b), QPoint(r + 4, b + 4)), grey);
    // Fold line down the middle of the whole area (the line's end point is excluded): black
    // on the card, in the text colour on the work area.
    const int fx = W / 2 - posX;
    if (H > 0) {
        p.setPen(palette().color(QPalette::Text));
        p.drawLine(fx, -posY, fx, H - posY - 1);
        p.setPen(Qt::black);
        if (b > t) p.drawLine(fx, t, fx, b - 1);
    }
    drawCardSide(p, doc, side_, ctx, W, H, posX, posY, doc.zoomFactor / doc.unitsPerPixel, true);
    views_.input().drawAids(side_, p, posX, posY);
    views_.input().drawMarks(side_, p, posX, posY);
    p.end();
    frameOrigin_ = QPoint(posX, posY);
    ++renders_;
}

void EditorView::paintRulers() {
    if (!top_ || !left_) return;
    const CardDocument& doc = views_.doc();
    const int dpi = views_.ctx().screenDpi;
    const QPoint origin = boxOrigin();
    top_->paintRuler(origin.x(), width(), doc.format.cardWidth, dpi);
    left_->paintRuler(origin.y(), height(), doc.format.cardHeight, dpi);
}

void EditorView::paintView() {
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
    const QRect part = visiblePart();
    const bool stale = scroll_ && (frameOrigin_ != part.topLeft() ||
                                   frame_.deviceIndependentSize() != QSizeF(part.size()) ||
                                   frame_.devicePixelRatio() != devicePixelRatioF());
    if (stale && !views_.zoomInProgress) {
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

bool EditorView::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride &&
        views_.input().takesShortcut(static_cast<QKeyEvent&>(*e))) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void EditorView::inputMethodEvent(QInputMethodEvent* e) {
    views_.input().inputMethod(*e);
}

QVariant EditorView::inputMethodQuery(Qt::InputMethodQuery query) const {
    const QVariant answer = views_.input().inputMethodQuery(query);
    return answer.isValid() ? answer : QWidget::inputMethodQuery(query);
}

void EditorView::wheelEvent(QWheelEvent* e) {
    const QPoint pt = e->position().toPoint();
    // An unhandled turn goes on to the scroll box.
    e->setAccepted(views_.input().wheel(side_, e->modifiers(), e->angleDelta(), pt.x(), pt.y()));
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

QRect EditorView::visiblePart() const {
    if (!scroll_) return rect();
    return QRect(QPoint(scrollX(), scrollY()), scroll_->viewport()->size()) & rect();
}

QPoint EditorView::boxOrigin() const {
    if (!scroll_) return {};
    // As the scroll box places a smaller widget: in the middle, rounded down.
    const QSize port = scroll_->viewport()->size();
    const int x = width() < port.width() ? -((port.width() - width()) / 2) : scrollX();
    const int y = height() < port.height() ? -((port.height() - height()) / 2) : scrollY();
    return {x, y};
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
        } else if (event->type() == QEvent::Paint && height() < scroll_->viewport()->height()) {
            // The fold line runs on over the box's ground above and below a shorter view.
            QPainter p(scroll_->viewport());
            p.setPen(palette().color(QPalette::Text));
            const int fx = x() + width() / 2;
            p.drawLine(fx, 0, fx, y() - 1);
            p.drawLine(fx, y() + height(), fx, scroll_->viewport()->height() - 1);
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A press beside the card view gives the views the keys.
            setFocus(Qt::MouseFocusReason);
        }
    } else if (watched == top_ && event->type() == QEvent::Resize) {
        paintRulers();
    }
    if ((watched == top_ || watched == left_) && rulerMouse(watched == top_, *event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool EditorView::rulerMouse(bool topRuler, QEvent& event) {
    const QEvent::Type type = event.type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto& e = static_cast<QMouseEvent&>(event);
    // The ruler keeps the mouse from its press to the release; the editing layer gets the
    // mouse's place in this view's pixels, wherever it is.
    const QPoint pt = mapFromGlobal(e.globalPosition().toPoint());
    if (type == QEvent::MouseButtonPress) {
        if (e.button() != Qt::LeftButton) return false;
        views_.input().rulerPress(side_, topRuler, pt.x(), pt.y());
    } else if (type == QEvent::MouseMove) {
        if (!(e.buttons() & Qt::LeftButton)) return false;
        views_.input().rulerMove(side_, pt.x(), pt.y());
    } else {
        if (e.button() != Qt::LeftButton) return false;
        views_.input().rulerRelease(side_, pt.x(), pt.y());
    }
    return true;
}

}  // namespace bb
