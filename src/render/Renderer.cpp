// drawCardSide: background, figures, texts and pictures of the working side.
#include "render/Renderer.h"

#include "render/DrawDib.h"

#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bb {

namespace {

// Sets ctx.Busy for the lifetime of a draw.
class BusyGuard {
public:
    explicit BusyGuard(RenderContext& ctx) : ctx_(ctx), saved_(ctx.busy) { ctx_.busy = true; }
    ~BusyGuard() { ctx_.busy = saved_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    RenderContext& ctx_;
    bool saved_;
};

// Device coordinates are kept within ±2^28 so that sums of positions and sizes taken from a
// damaged card never overflow; real views and pages are far smaller.
constexpr long double kCoordLimit = 1 << 28;
int clampCoord(long double v) {
    if (std::isnan(v)) return 0;
    return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

QRect rectFromEdges(const CardRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The part of the logical coordinate space that can change pixels: the device mapped back
// through the painter's transform, cut by the clip. Used only to skip work that would be
// invisible anyway, never to change what is drawn.
QRect visibleArea(QPainter& p) {
    const QPaintDevice* device = p.device();
    QRect area(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30);
    // Devices without a size of their own (recordings) restrict nothing.
    if (device && device->devType() != QInternal::Picture && device->width() > 0 &&
        device->height() > 0) {
        bool invertible = false;
        const QTransform inverse = p.deviceTransform().inverted(&invertible);
        if (invertible)
            area = inverse.mapRect(QRectF(0, 0, device->width(), device->height()))
                       .toAlignedRect()
                       .adjusted(-1, -1, 1, 1);
    }
    if (p.hasClipping()) area &= p.clipBoundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    return area;
}

// ---- background --------------------------------------------------------------------------

void drawBackground(QPainter& p, CardDocument& doc, const CardRect& card, int areaWidth,
                    int areaHeight, bool editorMode, const QRect& visible) {
    Background& bg = doc.workingBackground;
    if (bg.backgroundPicture.isNull() && bg.backgroundMode != BgColor) bg.backgroundMode = BgNone;

    const DibImage& pic = bg.backgroundPicture;
    const qint64 W = qint64(card.right) - card.left + 1;
    const qint64 H = qint64(card.bottom) - card.top + 1;
    const qint64 pw = pic.isNull() ? 0 : pic.width();
    const qint64 ph = pic.isNull() ? 0 : pic.height();

    // Pictures of modes 1..3 are drawn one pixel smaller than their computed size.
    auto drawSmaller = [&](qint64 x, qint64 y, qint64 w, qint64 h) {
        DrawDib(p, int(x), int(y), int(w - 1), int(h - 1), pic);
    };

    switch (bg.backgroundMode) {
        case BgStretched:
            DrawDib(p, card.left, card.top, int(W), int(H), pic);
            break;
        case BgFit: {
            const qint64 f = ph * W / pw;
            if (f < H) {
                drawSmaller(card.left, card.top + (H - f) / 2, W, f);
            } else {
                const qint64 g = pw * H / ph;
                drawSmaller(card.left + (W - g) / 2, card.top, g, H);
            }
            break;
        }
        case BgCover: {
            if (editorMode) {
                p.save();
                p.setClipRect(rectFromEdges(card), Qt::IntersectClip);
            }
            const qint64 f = ph * W / pw;
            if (H < f) {
                drawSmaller(card.left, card.top + (H - f) / 2, W, f);
            } else {
                const qint64 g = pw * H / ph;
                drawSmaller(card.left + (W - g) / 2, card.top, g, H);
            }
            if (editorMode) p.restore();
            break;
        }
        case BgTiled: {
            p.save();
            p.setClipRect(rectFromEdges(card), Qt::IntersectClip);
            const QRect cardArea = rectFromEdges(card) & visible;
            const qint64 A = ph * W / pw;
            if (A < H) {
                // Tiles W × A, stepping by the drawn height A − 1 so that they abut.
                const qint64 step = A - 1;
                for (qint64 s = 0; s < areaHeight; s += step) {
                    const QRect tile(card.left, int(card.top + s), int(W - 1), int(A - 1));
                    if (tile.intersects(cardArea)) drawSmaller(card.left, card.top + s, W, A);
                    if (step <= 0 || card.top + s > cardArea.bottom()) break;
                }
            } else {
                const qint64 g = pw * H / ph;
                const qint64 step = g - 1;
                qint64 s = 0;
                do {
                    const QRect tile(int(card.left + s), card.top, int(g - 1), int(H - 1));
                    if (s == 0 || tile.intersects(cardArea))
                        drawSmaller(card.left + s, card.top, g, H);
                    if (step <= 0 || card.left + s > cardArea.right()) break;
                    s += step;
                } while (s < areaWidth);
            }
            p.restore();
            break;
        }
        case BgColor:
            p.fillRect(rectFromEdges(card), toQColor(bg.backgroundColor));
            break;
        default:
            break;
    }
}

// ---- figures -------------------------------------------------------------------------------

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
    const double cw = w / 3, ch = h / 3;
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

// ---- texts ---------------------------------------------------------------------------------

QString uprightText(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

QString rotatedText(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QChar('\r'), QChar(' '));
    text.replace(QChar('\n'), QChar(' '));
    return text;
}

void drawText(QPainter& p, CardDocument& doc, const CardObject& o, const RenderContext& ctx,
              int scrollX, int scrollY, double scale, const QRect& visible) {
    const int ox = clampCoord(doc.viewX(o, ctx));
    const int oy = clampCoord(doc.viewY(o, ctx));
    const int w = clampCoord(doc.viewWidth(o, ctx));
    const int h = clampCoord(doc.viewHeight(o, ctx));
    const int x = clampCoord((long double)ox - scrollX);
    const int y = clampCoord((long double)oy - scrollY);

    const double dx = scale * o.shadowDx * 2000.0 / ctx.mmPerInchX;
    const double dy = scale * o.shadowDy * 2000.0 / ctx.mmPerInchY;
    const int L = outlineThickness(scale, ctx.mmPerInchX);
    if (o.rotation < 1 || o.rotation > 3) {
        // Upright text never paints outside its box (drawText clips to it), its shadow box
        // and the outline offsets: skip it when none of that can be seen.
        QRect reach(x, y, w, h);
        if (o.shadow) reach |= reach.translated(clampCoord(dx), clampCoord(dy));
        if (!reach.adjusted(-L - 2, -L - 2, L + 2, L + 2).intersects(visible)) return;
    }

    QFont font(o.fontName);
    font.setPixelSize(textPixelSize(o.fontSize, scale, ctx));
    font.setWeight((o.fontStyle & StyleBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(o.fontStyle & StyleItalic);
    font.setUnderline(o.fontStyle & StyleUnderline);
    font.setStrikeOut(o.fontStyle & StyleStrikeOut);
    font.setStyleStrategy(QFont::PreferOutline);
    p.setFont(font);
    p.setBrush(Qt::NoBrush);

    const QColor shadowColor = toQColor(uint32_t(o.shadowColor()));
    const QColor outlineColor = toQColor(o.outlineColor());
    const QColor textColor = toQColor(o.color);

    if (o.rotation >= 1 && o.rotation <= 3) {
        // One line, baseline-left at the reference point, turned clockwise by quarter turns
        // (the escapement 3600 − Rotation × 900 tenths of a degree counter-clockwise).
        const QString text = rotatedText(o.content);
        const QPoint ref = o.rotation == 1   ? QPoint(x, y)
                           : o.rotation == 2 ? QPoint(x + w, y)
                                             : QPoint(x + w, y + h);
        const qreal angle = 90.0 * o.rotation;
        auto at = [&](QPoint point) {
            p.save();
            p.translate(point);
            p.rotate(angle);
            p.drawText(QPoint(0, 0), text);
            p.restore();
        };
        if (o.shadow) {
            p.setPen(shadowColor);
            at(ref + QPoint(clampCoord(dx), clampCoord(dy)));
        }
        if (o.outline()) {
            p.setPen(outlineColor);
            for (int i = -L; i <= L; ++i)
                for (int j = -L; j <= L; ++j)
                    if (i != 0 && j != 0) at(ref + QPoint(i, j));
        }
        p.setPen(textColor);
        at(ref);
        return;
    }

    int flags = Qt::TextWordWrap | Qt::AlignTop;
    flags |= o.alignment == 1   ? Qt::AlignHCenter
             : o.alignment == 2 ? Qt::AlignRight
                                : Qt::AlignLeft;
    const QString text = uprightText(o.content);
    const QRect box(x, y, w, h);
    if (o.shadow) {
        const int l = clampCoord(ox + dx), t = clampCoord(oy + dy);
        const int r = clampCoord(ox + w + dx), b = clampCoord(oy + h + dy);
        p.setPen(shadowColor);
        p.drawText(QRect(l - scrollX, t - scrollY, r - l, b - t), flags, text);
    }
    if (o.outline()) {
        p.setPen(outlineColor);
        for (int i = -L; i <= L; ++i)
            for (int j = -L; j <= L; ++j)
                if (i != 0 && j != 0) p.drawText(box.translated(i, j), flags, text);
    }
    p.setPen(textColor);
    p.drawText(box, flags, text);
}

// ---- pictures ------------------------------------------------------------------------------

// The value that a transparent picture's pixels are compared with, or −1 for none.
qint64 transparentValue(CardObject& o) {
    const DibImage& pic = o.picture;
    if (o.autoTransparent) {
        const uint32_t v = getPixel(pic, 0, pic.height() - 1);
        o.transparentColor() = int32_t(v);
        return v;
    }
    qint64 t = o.transparentColor();
    if (t >= 0 && pic.bitCount() < 24) {
        const ColorRef c = ColorRef(t);
        const auto& table = pic.colourTable();
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].red == refRed(c) && table[i].green == refGreen(c) &&
                table[i].blue == refBlue(c) && c <= 0xFFFFFF) {
                t = qint64(i);
                break;
            }
        }
    }
    return t;
}

// Draws cw × ch device pixels at (x, y), pixel (i, j) from source (pw × i div cw,
// ph × j div ch), leaving the device untouched where the source pixel value equals t. The
// masked picture is built once (only its visible part, in bands of bounded size) and drawn
// 1:1.
void drawMasked(QPainter& p, const DibImage& pic, int x, int y, int cw, int ch, qint64 t,
                const QRect& visible) {
    if (cw <= 0 || ch <= 0) return;
    const QRect area = QRect(x, y, cw, ch) & visible;
    if (area.isEmpty()) return;
    const int pw = pic.width();
    const int ph = pic.height();
    const int bitCount = pic.bitCount();

    std::vector<int> columns(size_t(area.width()));
    for (int c = 0; c < area.width(); ++c)
        columns[size_t(c)] = int(qint64(pw) * (area.left() - x + c) / cw);
    std::vector<QRgb> lut(256, qRgb(0, 0, 0));
    if (bitCount <= 8) {
        const auto& table = pic.colourTable();
        for (size_t i = 0; i < std::min<size_t>(table.size(), 256); ++i)
            lut[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    }

    constexpr qint64 kBandPixels = 4 * 1024 * 1024;
    const int bandRows = int(std::max<qint64>(1, kBandPixels / area.width()));
    for (int top = area.top(); top <= area.bottom(); top += bandRows) {
        const int rows = std::min(bandRows, area.bottom() - top + 1);
        QImage band(area.width(), rows, QImage::Format_ARGB32_Premultiplied);
        if (band.isNull()) return;
        for (int r = 0; r < rows; ++r) {
            const int sourceRow = int(qint64(ph) * (top + r - y) / ch);
            const uint8_t* line = pic.rowFromTop(sourceRow);
            auto* out = reinterpret_cast<QRgb*>(band.scanLine(r));
            for (int c = 0; c < area.width(); ++c) {
                const int m = columns[size_t(c)];
                uint32_t value;
                QRgb colour;
                switch (bitCount) {
                    case 24: {
                        const uint8_t* px = line + qint64(m) * 3;
                        value = rgbRef(px[2], px[1], px[0]);
                        colour = qRgb(px[2], px[1], px[0]);
                        break;
                    }
                    case 8:
                        value = line[m];
                        colour = lut[value];
                        break;
                    case 4:
                        value = (line[m >> 1] >> ((m & 1) ? 0 : 4)) & 0x0F;
                        colour = lut[value];
                        break;
                    default:
                        value = (line[m >> 3] >> (7 - (m & 7))) & 0x01;
                        colour = lut[value];
                        break;
                }
                out[c] = qint64(value) == t ? 0u : colour;
            }
        }
        p.drawImage(QPoint(area.left(), top), band);
    }
}

void drawPicture(QPainter& p, CardObject& o, const RenderContext& ctx, int x, int y, int w, int h,
                 const QRect& visible) {
    const DibImage& pic = o.picture;
    if (pic.isNull()) return;
    const qint64 pw = pic.width();
    const qint64 ph = pic.height();
    if (o.keepAspect && w > 0 && h > 0) {
        if (ph * w / pw < h)
            h = int(ph * w / pw);
        else
            w = int(pw * h / ph);
    }
    if (!o.transparent) {
        if (w - 1 <= 0 || h - 1 <= 0) return;
        if (!QRect(x, y, w - 1, h - 1).intersects(visible)) return;
        if (o.roundFrame) {
            p.save();
            p.setClipRegion(QRegion(QRect(x, y, w - 1, h - 1), QRegion::Ellipse),
                            Qt::IntersectClip);
            DrawDib(p, x, y, w - 1, h - 1, pic);
            p.restore();
        } else {
            DrawDib(p, x, y, w - 1, h - 1, pic);
        }
        return;
    }
    const qint64 t = transparentValue(o);
    if (ctx.renderMode == RenderOutput)
        drawMasked(p, pic, x, y, w, h, t, visible);
    else
        drawMasked(p, pic, x, y, w - 1, h - 1, t, visible);
}

}  // namespace

CardRect cardRect(int areaWidth, int areaHeight, int scrollX, int scrollY, bool editorMode) {
    const qint64 aw = areaWidth, ah = areaHeight;
    if (editorMode)
        return {clampCoord(aw / 3 - scrollX), clampCoord(ah / 3 - scrollY),
                clampCoord(aw * 2 / 3 - scrollX), clampCoord(ah * 2 / 3 - scrollY)};
    return {clampCoord(aw - scrollX), clampCoord(ah - scrollY), clampCoord(2 * aw - scrollX),
            clampCoord(2 * ah - scrollY)};
}

int textPixelSize(int fontSize, double scale, const RenderContext& ctx) {
    const double d = ctx.screenDpi > 0 ? ctx.screenDpi : 96;
    const double px = 20000.0 / d * fontSize * scale * ctx.fontDpi / d;
    if (!(px >= 1)) return 1;
    return int(std::min(px, 65535.0));
}

int figurePenWidth(int lineWidth, double scale, double mmPerInchX) {
    const double v = scale * lineWidth * 0.2 * 20000.0 / mmPerInchX;
    if (!(v >= 1)) return 1;
    return int(std::min(v, 65535.0));
}

int outlineThickness(double scale, double mmPerInchX) {
    const double v = scale * 4000.0 / mmPerInchX;
    if (!(v >= 1)) return 1;
    return int(std::min(v, 24.0));  // (2L)² copies: bounded even for absurd calibrations
}

void drawCardSide(QPainter& canvas, CardDocument& doc, RenderContext& ctx, int areaWidth,
                  int areaHeight, int scrollX, int scrollY, double scale, bool editorMode) {
    BusyGuard busy(ctx);
    const CardRect card = cardRect(areaWidth, areaHeight, scrollX, scrollY, editorMode);
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // In output mode the card is the clip for the whole call; every narrower clip below is
    // taken inside save()/restore() so that this one comes back after it.
    if (!editorMode) canvas.setClipRect(rectFromEdges(card), Qt::IntersectClip);
    const QRect visible = visibleArea(canvas);

    drawBackground(canvas, doc, card, areaWidth, areaHeight, editorMode, visible);

    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::SolidPattern);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CardObject* o = doc.workingSlots[slot];
        if (!o || o->kind <= KindFree) continue;
        auto deviceX = [&] { return clampCoord((long double)doc.viewX(*o, ctx) - scrollX); };
        auto deviceY = [&] { return clampCoord((long double)doc.viewY(*o, ctx) - scrollY); };
        switch (o->kind) {
            case KindFigure: {
                const int x = deviceX(), y = deviceY();
                const int w = clampCoord(doc.viewWidth(*o, ctx));
                const int h = clampCoord(doc.viewHeight(*o, ctx));
                const int margin = figurePenWidth(o->lineWidth, scale, ctx.mmPerInchX) + 2;
                const QRect reach = QRect(QPoint(std::min(x, x + w), std::min(y, y + h)),
                                          QPoint(std::max(x, x + w), std::max(y, y + h)))
                                        .adjusted(-margin, -margin, margin, margin);
                if (reach.intersects(visible))
                    drawFigure(canvas, *o, x, y, w, h, scale, ctx, visible);
                break;
            }
            case KindText:
                drawText(canvas, doc, *o, ctx, scrollX, scrollY, scale, visible);
                break;
            case KindPicture: {
                drawPicture(canvas, *o, ctx, deviceX(), deviceY(),
                            clampCoord(doc.viewWidth(*o, ctx)), clampCoord(doc.viewHeight(*o, ctx)),
                            visible);
                break;
            }
            default:
                break;
        }
    }
    canvas.restore();
}

}  // namespace bb
