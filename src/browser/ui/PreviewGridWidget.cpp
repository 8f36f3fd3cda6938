#include "browser/ui/PreviewGridWidget.h"

#include "browser/CardBrowser.h"
#include "browser/PreviewGrid.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace bb {

PreviewGridWidget::PreviewGridWidget(CardBrowser& browser, QWidget* parent)
    : QWidget(parent), browser_(browser), cell_(kCellWidth, kCellHeight, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("PaintBox2"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Growing by a row while cards arrive repaints nothing that is already on screen.
    setAttribute(Qt::WA_StaticContents);
    colours_ = coloursFor(palette());
}

GridColours PreviewGridWidget::coloursFor(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    if (text.lightness() <= window.lightness()) return GridColours();
    GridColours c;
    c.cell = window;
    c.frameLight = window.lighter(170);
    c.frameShadow = window.darker(170);
    c.selectedCell = palette.color(QPalette::Active, QPalette::Highlight);
    c.name = text;
    c.selectedName = palette.color(QPalette::Active, QPalette::HighlightedText);
    return c;
}

int PreviewGridWidget::columns() const {
    return gridColumns(width());
}

void PreviewGridWidget::fitToWidth(int clientWidth) {
    const int w = std::max(1, clientWidth);
    const QSize size(w, gridHeight(browser_.count(), gridColumns(w)));
    const bool newColumns = gridColumns(w) != columns();
    if (size != this->size()) resize(size);
    // Static contents repaint only new area on a resize; other columns move every cell.
    if (newColumns) update();
}

void PreviewGridWidget::updateEntry(int index) {
    update(cellRect(index, columns()));
}

bool PreviewGridWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int hit = entryAt(help->pos(), columns(), browser_.count());
        if (hit > 0) {
            QString tip = browser_.entries().names[size_t(hit - 1)];
            if (browser_.entries().isDamaged(hit))
                tip += QStringLiteral("\nBeschädigt oder keine Grußkarte dieses Programms");
            QToolTip::showText(help->globalPos(), tip, this, cellRect(hit, columns()));
        } else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PreviewGridWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintGrid(painter, event->rect());
}

void PreviewGridWidget::paintGrid(QPainter& painter, const QRect& exposed) {
    painter.fillRect(exposed, colours_.cell);
    const int n = columns();
    const int count = browser_.count();
    if (count == 0) return;
    // Only the rows that the exposed area touches; while an entry is being added only the
    // entries from paintFromIndex on.
    const int firstRow = std::max(0, exposed.top() / kCellHeight);
    const int lastRow = exposed.bottom() / kCellHeight;
    const int from = std::max({1, firstRow * n + 1, browser_.paintFromIndex});
    const int to = std::min(count, (lastRow + 1) * n);
    const auto& list = browser_.entries();
    QPainter cellPainter(&cell_);
    for (int i = from; i <= to; ++i) {
        const QRect r = cellRect(i, n);
        if (!r.intersects(exposed)) continue;
        cell_.fill(colours_.cell);
        paintCell(cellPainter, QPoint(0, 0), list.thumbnails[size_t(i - 1)],
                  list.names[size_t(i - 1)], i == browser_.selectedIndex, font(), colours_,
                  list.isDamaged(i));
        painter.drawImage(r.topLeft(), cell_);
    }
}

void PreviewGridWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int hit = entryAt(event->position().toPoint(), columns(), browser_.count());
    if (hit > 0) select(hit);
}

void PreviewGridWidget::select(int index) {
    const int old = browser_.selectedIndex;
    browser_.selectedIndex = index;
    emit selectionMoved(index);
    if (old >= 1 && old <= browser_.count()) updateEntry(old);
    updateEntry(index);
}

void PreviewGridWidget::contextMenuEvent(QContextMenuEvent* event) {
    int index = browser_.selectedIndex;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        index = entryAt(event->pos(), columns(), browser_.count());
        if (index > 0 && index != browser_.selectedIndex) select(index);
    } else if (index >= 1 && index <= browser_.count()) {
        at = mapToGlobal(cellFrame(index, columns()).center());
    }
    if (index >= 1 && index <= browser_.count()) emit menuRequested(at);
}

void PreviewGridWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colours_ = coloursFor(palette());
        update();
    }
}

void PreviewGridWidget::mouseDoubleClickEvent(QMouseEvent*) {
    const int sel = browser_.selectedIndex;
    if (sel >= 1 && sel <= browser_.count()) emit openSelected();
}

void PreviewGridWidget::keyPressEvent(QKeyEvent* event) {
    GridKey key;
    switch (event->key()) {
        case Qt::Key_Up:
            key = GridKey::Up;
            break;
        case Qt::Key_Down:
            key = GridKey::Down;
            break;
        case Qt::Key_Left:
            key = GridKey::Left;
            break;
        case Qt::Key_Right:
            key = GridKey::Right;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const int sel = browser_.selectedIndex;
            if (sel >= 1 && sel <= browser_.count()) emit openSelected();
            return;
        }
        case Qt::Key_Delete: {
            const int sel = browser_.selectedIndex;
            if (sel >= 1 && sel <= browser_.count()) emit deleteRequested();
            return;
        }
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    const int old = browser_.selectedIndex;
    browser_.selectedIndex = moveSelection(old, key, columns(), browser_.count());
    emit selectionMoved(browser_.selectedIndex);
    if (old != browser_.selectedIndex) {
        if (old >= 1 && old <= browser_.count()) updateEntry(old);
        updateEntry(browser_.selectedIndex);
    }
}

void PreviewGridWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    emit focusChanged(true);
}

void PreviewGridWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    emit focusChanged(false);
}

}  // namespace bb
