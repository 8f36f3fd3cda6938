#include "render/FigureRenderer.h"

#include "document/CardObject.h"
#include "document/RenderContext.h"
#include "render/DeviceCoords.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

enum class Shape { Rectangle, Ellipse, Rounded };

QPainterPath shapePath(const QRectF& r, Shape shape, double rx, double ry) {
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0) return path;
    if (shape == Shape::Ellipse)
        path.addEllipse(r);
    else if (shape == Shape::Rounded && rx > 0 && ry > 0)
        path.addRoundedRect(r, rx, ry, Qt::AbsoluteSize);
    else
        path.addRect(r);
    return path;
}

// Horizontal extent [first, last] of the pixel centres of row `row` inside a rounded rectangle
// (an ellipse when the radii are half the sides, a rectangle when they are 0). False when the
// row misses the shape.
bool shapeSpan(const QRect& r, double rx, double ry, int row, int& first, int& last) {
    if (r.isEmpty() || row < r.top() || row > r.bottom()) return false;
    rx = std::min(rx, r.width() / 2.0);
    ry = std::min(ry, r.height() / 2.0);
    const double yc = row + 0.5;
    double inset = 0;
    if (rx > 0 && ry > 0) {
        double dy = 0;
        if (yc < r.top() + ry)
            dy = (r.top() + ry - yc) / ry;
        else if (yc > r.top() + r.height() - ry)
            dy = (yc - (r.top() + r.height() - ry)) / ry;
        if (dy > 1) return false;
        inset = rx - rx * std::sqrt(std::max(0.0, 1 - dy * dy));
    }
    first = int(std::ceil(r.left() + inset - 0.5));
    last = int(std::floor(r.left() + r.width() - inset - 0.5));
    return first <= last;
}

// A closed figure by the device's rule: (l, t, r, b) covers columns l..r−1 and rows t..b−1.
// A pixel belongs to the shape when its centre does, so the shape is symmetric and never
// reaches past r−1 or b−1; the pen is the ring of penWidth pixels along its edge (for wider
// pens centred on it), the brush fills what lies inside the ring. `cornerWidth` ×
// `cornerHeight` is the corner ellipse of rounded rectangles. On raster images the rows are
// filled span by span; other devices (printers, PDF) get the same shapes as paths.
void drawClosed(QPainter& p, Shape shape, int l, int t, int r, int b, double cornerWidth,
                double cornerHeight, int penWidth, const QColor& penColor, const QBrush& brush,
                const QRect& visible) {
    if (r - l < 1 || b - t < 1) return;  // an empty rectangle draws nothing
    const int a = (penWidth - 1) / 2;
    const QRect outer = QRect(l, t, r - l, b - t).adjusted(-a, -a, a, a);
    const QRect inner = outer.adjusted(penWidth, penWidth, -penWidth, -penWidth);
    const bool fill = brush.style() != Qt::NoBrush;
    if (shape == Shape::Rounded && (cornerWidth <= 0 || cornerHeight <= 0))
        shape = Shape::Rectangle;
    if (shape == Shape::Rectangle) {
        if (inner.isEmpty()) {
            p.fillRect(outer, penColor);
            return;
        }
        if (fill) p.fillRect(inner, brush.color());
        p.fillRect(QRect(outer.left(), outer.top(), outer.width(), penWidth), penColor);
        p.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), penWidth), penColor);
        p.fillRect(QRect(outer.left(), inner.top(), penWidth, inner.height()), penColor);
        p.fillRect(QRect(inner.right() + 1, inner.top(), penWidth, inner.height()), penColor);
        return;
    }
    const bool ellipse = shape == Shape::Ellipse;
    const double orx = ellipse ? outer.width() / 2.0 : cornerWidth / 2 + a;
    const double ory = ellipse ? outer.height() / 2.0 : cornerHeight / 2 + a;
    const double irx = ellipse ? inner.width() / 2.0 : std::max(0.0, orx - penWidth);
    const double iry = ellipse ? inner.height() / 2.0 : std::max(0.0, ory - penWidth);
    const bool sameColour = fill && brush.color() == penColor;

    const QPaintDevice* device = p.device();
    if (device && device->devType() == QInternal::Image &&
        p.deviceTransform().type() <= QTransform::TxTranslate) {
        // One brush per colour for all spans (a colour would make a brush per call).
        const QBrush penBrush(penColor);
        const int top = std::max(outer.top(), visible.top());
        const int bottom = std::min(outer.bottom(), visible.bottom());
        for (int row = top; row <= bottom; ++row) {
            int o0, o1, i0, i1;
            if (!shapeSpan(outer, orx, ory, row, o0, o1)) continue;
            if (sameColour || !shapeSpan(inner, irx, iry, row, i0, i1)) {
                p.fillRect(QRect(o0, row, o1 - o0 + 1, 1), penBrush);
                continue;
            }
            if (i0 > o0) p.fillRect(QRect(o0, row, i0 - o0, 1), penBrush);
            if (o1 > i1) p.fillRect(QRect(i1 + 1, row, o1 - i1, 1), penBrush);
            if (fill) p.fillRect(QRect(i0, row, i1 - i0 + 1, 1), brush);
        }
        return;
    }
    const QPainterPath outerPath = shapePath(QRectF(outer), shape, orx, ory);
    const QPainterPath innerPath = shapePath(QRectF(inner), shape, irx, iry);
    if (sameColour) {
        p.fillPath(outerPath, penColor);
        return;
    }
    if (fill) p.fillPath(innerPath, brush.color());
    QPainterPath ring = outerPath;
    ring.addPath(innerPath);
    ring.setFillRule(Qt::OddEvenFill);
    p.fillPath(ring, penColor);
}

}  // namespace

int figurePenWidth(int lineWidth, double scale, double mmPerInchX) {
    const double v = scale * lineWidth * 0.2 * 20000.0 / mmPerInchX;
    if (!(v >= 1)) return 1;
    return int(std::min(v, 65535.0));
}

void drawFigure(QPainter& p, const CardObject& o, int x, int y, int w, int h, double scale,
                const RenderContext& ctx, const QRect& visible) {
    const int penWidth = figurePenWidth(o.lineWidth, scale, ctx.mmPerInchX);
    const bool line = o.figureKind >= FigLineHorizontal && o.figureKind <= FigLineDown;
    QColor penColor = toQColor(o.color);
    QBrush brush(toQColor(o.color));
    if (!line) {
        if (o.fillMode == FillBorderOnly) {
            penColor = toQColor(o.borderColor);
            brush = Qt::NoBrush;
        } else if (o.fillMode == FillWithBorder) {
            penColor = toQColor(o.borderColor);
        }
    }
    const int s = std::min(w, h);
    // The corner ellipse is w div 3 by h div 3 of the object's box, for both rounded kinds.
    const int thirdW = w / 3, thirdH = h / 3;
    const double cw = thirdW, ch = thirdH;
    switch (o.figureKind) {
        case FigCircle:
            drawClosed(p, Shape::Ellipse, x, y, x + s, y + s, 0, 0, penWidth, penColor, brush,
                       visible);
            break;
        case FigEllipse:
            drawClosed(p, Shape::Ellipse, x, y, x + w, y + h, 0, 0, penWidth, penColor, brush,
                       visible);
            break;
        case FigSquare:
            drawClosed(p, Shape::Rectangle, x, y, x + s, y + s, 0, 0, penWidth, penColor, brush,
                       visible);
            break;
        case FigRectangle:
            drawClosed(p, Shape::Rectangle, x, y, x + w, y + h, 0, 0, penWidth, penColor, brush,
                       visible);
            break;
        case FigRoundSquare:
            drawClosed(p, Shape::Rounded, x, y, x + s, y + s, cw, ch, penWidth, penColor, brush,
                       visible);
            break;
        case FigRoundRect:
            drawClosed(p, Shape::Rounded, x, y, x + w, y + h, cw, ch, penWidth, penColor, brush,
                       visible);
            break;
        default: {
            // Lines: wide pens end round, as the device's geometric pens do; a one-pixel line
            // leaves out its last point.
            p.setPen(QPen(penColor, penWidth, Qt::SolidLine,
                          penWidth > 1 ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin));
            const QPoint from = o.figureKind == FigLineUp ? QPoint(x, y + h) : QPoint(x, y);
            const QPoint to = o.figureKind == FigLineHorizontal ? QPoint(x + w, y)
                              : o.figureKind == FigLineVertical ? QPoint(x, y + h)
                              : o.figureKind == FigLineUp       ? QPoint(x + w, y)
                              : o.figureKind == FigLineDown     ? QPoint(x + w, y + h)
                                                                : from;
            if (line && from != to) p.drawLine(from, to);
            break;
        }
    }
    // Back to a one-pixel pen and a solid brush for whatever comes next.
    p.setPen(QPen(penColor, 1));
    p.setBrush(Qt::SolidPattern);
}

}  // namespace bb
