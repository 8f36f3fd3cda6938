#include "editor/Cursors.h"

#include "editor/EditMath.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace bb {

namespace {

QImage cursorCanvas(qreal dpr) {
    const int side = qCeil(32 * dpr);
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    return img;
}

// The cursor of `image` with its hot spot in device-independent pixels, cached per ratio.
QCursor programCursor(QImage (*draw)(qreal), QPoint hotSpot) {
    static QHash<quintptr, QHash<qreal, QPixmap>> cache;
    const qreal dpr = qMax<qreal>(1, qGuiApp ? qGuiApp->devicePixelRatio() : 1);
    QPixmap& pm = cache[reinterpret_cast<quintptr>(draw)][dpr];
    if (pm.isNull()) pm = QPixmap::fromImage(draw(dpr));
    return QCursor(pm, hotSpot.x(), hotSpot.y());
}

}  // namespace

QImage dragHandImage(qreal dpr) {
    QImage img = cursorCanvas(dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    // Closed fist seen from the back: four knuckles over a palm and a thumb on the left,
    // centred on (15, 16).
    QPainterPath palm;
    palm.addRoundedRect(QRectF(8.5, 12.5, 15, 12), 4, 4);
    p.drawPath(palm);
    for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(8.5 + i * 3.75, 9.5, 3.75, 6), 1.8, 1.8);
    p.drawRoundedRect(QRectF(5.5, 15.5, 5, 7), 2.2, 2.2);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(12, 20), QPointF(20, 20));
    return img;
}

QImage magnifierImage(qreal dpr) {
    QImage img = cursorCanvas(dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The glass touches the top-left corner, where the hot spot lies.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(1, 1, 17, 17));
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(6, 9.5), QPointF(13, 9.5));
    p.drawLine(QPointF(9.5, 6), QPointF(9.5, 13));
    return img;
}

QCursor editorCursor(int number) {
    switch (number) {
        case CursorIBeam:
            return QCursor(Qt::IBeamCursor);
        case DragTopLeft:
        case DragBottomRight:
            return QCursor(Qt::SizeFDiagCursor);
        case DragTopRight:
        case DragBottomLeft:
            return QCursor(Qt::SizeBDiagCursor);
        case DragTop:
        case DragBottom:
            return QCursor(Qt::SizeVerCursor);
        case DragLeft:
        case DragRight:
            return QCursor(Qt::SizeHorCursor);
        case CursorDrag:
            return programCursor(dragHandImage, QPoint(15, 16));
        case CursorLupe:
            return programCursor(magnifierImage, QPoint(0, 0));
        case CursorMultiDrag:
            return QCursor(Qt::DragCopyCursor);
        default:
            return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace bb
