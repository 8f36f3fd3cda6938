#include "browser/PreviewGrid.h"

#include "browser/StoredPreview.h"
#include "render/DrawDib.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace bb {

int gridColumns(int clientWidth) {
    return std::max(1, clientWidth / kCellWidth);
}

int gridHeight(int count, int columns) {
    columns = std::max(1, columns);
    return std::max(0, count) / columns * kCellHeight + kCellHeight;
}

QPoint cellOrigin(int index, int columns) {
    columns = std::max(1, columns);
    return QPoint((index - 1) % columns * kCellWidth, (index - 1) / columns * kCellHeight);
}

QRect cellRect(int index, int columns) {
    return QRect(cellOrigin(index, columns), QSize(kCellWidth, kCellHeight));
}

QRect cellFrame(int index, int columns) {
    const QPoint o = cellOrigin(index, columns);
    return QRect(QPoint(o.x() + 2, o.y() + 2), QPoint(o.x() + 88, o.y() + 108));
}

int entryAt(QPoint point, int columns, int count) {
    if (point.x() < 0 || point.y() < 0) return 0;
    columns = std::max(1, columns);
    const int column = point.x() / kCellWidth;
    if (column >= columns) return 0;
    const int index = point.y() / kCellHeight * columns + column + 1;
    if (index < 1 || index > count) return 0;
    return cellFrame(index, columns).contains(point) ? index : 0;
}

QRect thumbnailRect(QPoint origin, QSize size) {
    return QRect(origin.x() + (kThumbnailBox - size.width()) / 2 + 5,
                 origin.y() + (kThumbnailBox - size.height()) / 2 + 5, size.width(), size.height());
}

int moveSelection(int selected, GridKey key, int columns, int count) {
    columns = std::max(1, columns);
    int next = selected;
    switch (key) {
        case GridKey::Up:
            next = selected - columns;
            break;
        case GridKey::Down:
            next = selected + columns;
            break;
        case GridKey::Left:
            next = selected - 1;
            break;
        case GridKey::Right:
            next = selected + 1;
            break;
    }
    return (next > 0 && next <= count) ? next : selected;
}

int scrollIntoView(int selected, int columns, int scrollPos, int clientHeight) {
    if (selected < 1) return scrollPos;
    const int row = (selected - 1) / std::max(1, columns);
    const int top = row * kCellHeight + 2;
    const int bottom = row * kCellHeight + 108;
    if (top < scrollPos) return top;
    if (bottom > scrollPos + clientHeight) return bottom - clientHeight;
    return scrollPos;
}

QFont cellNameFont(const QFont& font, const QString& name) {
    const int size = QFontInfo(font).pixelSize();
    qreal width = QFontMetricsF(font).horizontalAdvance(name);
    if (width <= kCellNameWidth || size < 2) return font;
    QFont smaller = font;
    const int smallest = std::max(1, size * 2 / 3);
    int px = std::max(smallest, int(size * kCellNameWidth / width));
    for (;; --px) {
        smaller.setPixelSize(px);
        width = QFontMetricsF(smaller).horizontalAdvance(name);
        if (width <= kCellNameWidth || px <= smallest) return smaller;
    }
}

QString cellNameText(const QFont& font, const QString& name) {
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(name) <= kCellNameWidth) return name;
    return metrics.elidedText(name, Qt::ElideMiddle, kCellNameWidth);
}

QRect damagedMarkRect(QPoint origin) {
    return thumbnailRect(origin, QSize(50, 64));
}

void paintCell(QPainter& painter, QPoint origin, const DibImage& thumbnail, const QString& name,
               bool selected, const QFont& font, const GridColours& colours, bool damaged) {
    const int x0 = origin.x(), y0 = origin.y();
    // Frame as four line segments, each without its end point: white top and left, grey
    // right and bottom.
    painter.fillRect(QRect(x0 + 2, y0 + 2, 86, 1), colours.frameLight);
    painter.fillRect(QRect(x0 + 88, y0 + 2, 1, 106), colours.frameShadow);
    painter.fillRect(QRect(x0 + 3, y0 + 108, 86, 1), colours.frameShadow);
    painter.fillRect(QRect(x0 + 2, y0 + 3, 1, 106), colours.frameLight);

    // Inside of the frame, right and bottom edges excluded, in the cell colour.
    const QColor cell = selected ? colours.selectedCell : colours.cell;
    painter.fillRect(QRect(QPoint(x0 + 3, y0 + 3), QPoint(x0 + 86, y0 + 106)), cell);

    if (damaged) {
        const QRect card = damagedMarkRect(origin);
        painter.fillRect(card, colours.frameLight);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colours.frameShadow, 1));
        painter.drawRect(card.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(colours.damagedMark, 3, Qt::SolidLine, Qt::FlatCap));
        const QRect cross = card.adjusted(8, 12, -9, -13);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
        painter.restore();
    } else if (!thumbnail.isNull()) {
        const QSize box = thumbnailSize(thumbnail.width(), thumbnail.height());
        const QRect r = thumbnailRect(origin, box);
        DrawDib(painter, r.x(), r.y(), r.width(), r.height(), thumbnail);
    }

    painter.save();
    const QFont nameFont = cellNameFont(font, name);
    painter.setFont(nameFont);
    painter.setPen(selected ? colours.selectedName : colours.name);
    const QRect nameRect(QPoint(x0 + 3, y0 + 90), QPoint(x0 + 86, y0 + 109));
    painter.setClipRect(nameRect, Qt::IntersectClip);
    painter.drawText(nameRect.adjusted(1, 0, -1, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     cellNameText(nameFont, name));
    painter.restore();
}

}  // namespace bb
