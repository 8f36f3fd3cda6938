#include "editor/Cursors.h"

#include "editor/EditMath.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace bb {

QImage dragHandImage() {
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
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

QImage magnifierImage() {
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
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
        case CursorDrag: {
            static const QPixmap pm = QPixmap::fromImage(dragHandImage());
            return QCursor(pm, 15, 16);
        }
        case CursorLupe: {
            static const QPixmap pm = QPixmap::fromImage(magnifierImage());
            return QCursor(pm, 0, 0);
        }
        case CursorMultiDrag:
            return QCursor(Qt::DragCopyCursor);
        default:
            return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace bb
