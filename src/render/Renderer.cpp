// drawCardSide: the background and pictures of a side, and the order in which
// every object is drawn; figures and texts are drawn by FigureRenderer and TextRenderer.
#include "render/Renderer.h"

#include "document/TextRuns.h"
#include "merge/MergeFields.h"
#include "pictures/PictureOps.h"
#include "pictures/ScaledPictures.h"
#include "render/DeviceCoords.h"
#include "render/DrawDib.h"
#include "render/FigureRenderer.h"
#include "render/Ornaments.h"
#include "render/PictureEffects.h"
#include "render/TextRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace bb {

namespace {

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

// The device pixels that w × h logical pixels cover on the painter's device: the lengths of
// the box's sides, so that a turned painter asks for the size the picture is drawn at, not
// for its bounding box.
QSize deviceSize(const QPainter& p, int w, int h) {
    const QTransform t = p.deviceTransform();
    const double sx = std::hypot(t.m11(), t.m12());
    const double sy = std::hypot(t.m21(), t.m22());
    return {std::max(1, int(std::ceil(w * sx - 1e-6))), std::max(1, int(std::ceil(h * sy - 1e-6)))};
}

// The pixels to draw `pic` with into w × h logical pixels: reduced for a large picture drawn
// small, the picture itself otherwise. Null while the editor's background decoder has not
// delivered them yet.
DibImage drawnPixels(const QPainter& p, const DibImage& pic, const RenderContext& ctx, int w,
                     int h) {
    const QSize size = deviceSize(p, w, h);
    return ctx.pictures ? ctx.pictures->pixels(pic, size) : scaledPicture(pic, size);
}

// The box of a picture whose pixels are still being decoded: a light tone with a frame, so
// that the card's layout shows at once.
void drawLoadingPicture(QPainter& p, const QRect& box, const QRect& visible) {
    if (box.isEmpty() || !box.intersects(visible)) return;
    p.save();
    p.fillRect(box, kLoadingPictureFill);
    p.setPen(QPen(kLoadingPictureFrame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.restore();
}

// Draws `pic` (reduced where it is drawn small) into the rectangle, or its loading box.
void drawPictureInto(QPainter& p, const DibImage& pic, const RenderContext& ctx, int x, int y,
                     int w, int h, const QRect& visible) {
    if (w <= 0 || h <= 0 || !QRect(x, y, w, h).intersects(visible)) return;
    const DibImage pixels = drawnPixels(p, pic, ctx, w, h);
    if (pixels.isNull())
        drawLoadingPicture(p, QRect(x, y, w, h), visible);
    else
        DrawDib(p, x, y, w, h, pixels);
}

// ---- background --------------------------------------------------------------------------

void drawBackground(QPainter& p, const Background& bg, const RenderContext& ctx,
                    const CardRect& card, int areaWidth, int areaHeight, bool editorMode,
                    const QRect& visible) {
    const DibImage& pic = bg.backgroundPicture;
    // Any mode but a colour needs a picture; without one it draws as none.
    const int32_t mode = pic.isNull() && bg.backgroundMode != BgColor ? BgNone : bg.backgroundMode;
    const qint64 W = qint64(card.right) - card.left + 1;
    const qint64 H = qint64(card.bottom) - card.top + 1;
    const qint64 pw = pic.isNull() ? 0 : pic.width();
    const qint64 ph = pic.isNull() ? 0 : pic.height();

    // Pictures of modes 1..3 are drawn one pixel smaller than their computed size.
    auto drawSmaller = [&](qint64 x, qint64 y, qint64 w, qint64 h) {
        drawPictureInto(p, pic, ctx, int(x), int(y), int(w - 1), int(h - 1), visible);
    };

    switch (mode) {
        case BgStretched:
            drawPictureInto(p, pic, ctx, card.left, card.top, int(W), int(H), visible);
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

// ---- pictures ------------------------------------------------------------------------------

// The value that a transparent picture's pixels are compared with, or −1 for none.
qint64 transparentValue(const CardObject& o, const DibImage& pic) {
    if (o.autoTransparent) return getPixel(pic, 0, pic.height() - 1);
    qint64 t = o.transparentColor;
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

// Draws cw × ch device pixels at (x, y), pixel (i, j) from source (L + pw × i div cw,
// T + ph × j div ch) of the part (L, T, pw, ph) of the picture, leaving the device untouched
// where the source pixel value equals t. The masked picture is built once (only its visible
// part, in bands of bounded size), given the colour settings `look`, and drawn 1:1.
void drawMasked(QPainter& p, const DibImage& pic, const QRect& part, const PictureLook& look, int x,
                int y, int cw, int ch, qint64 t, const QRect& visible) {
    if (cw <= 0 || ch <= 0 || part.isEmpty()) return;
    const QRect area = QRect(x, y, cw, ch) & visible;
    if (area.isEmpty()) return;
    const int pw = part.width();
    const int ph = part.height();
    const int bitCount = pic.bitCount();

    std::vector<int> columns(size_t(area.width()));
    for (int c = 0; c < area.width(); ++c)
        columns[size_t(c)] = part.left() + int(qint64(pw) * (area.left() - x + c) / cw);
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
            const int sourceRow = part.top() + int(qint64(ph) * (top + r - y) / ch);
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
        adjustColours(band, look);
        p.drawImage(QPoint(area.left(), top), band);
    }
}

// A picture whose file was not found, as the editor views show it: the box it would fill,
// white with a light frame crossed corner to corner and the file name (elided) in the middle.
void drawMissingPicture(QPainter& p, const CardObject& o, int x, int y, int w, int h,
                        const QRect& visible) {
    if (w - 1 <= 0 || h - 1 <= 0) return;
    const QRect box(x, y, w - 1, h - 1);
    if (!box.intersects(visible)) return;
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.fillRect(box, Qt::white);
    p.setPen(QPen(kMissingPictureFrame, 1));
    p.setBrush(Qt::NoBrush);
    // A 1-pixel outline of w × h covers w + 1 pixels: the frame is drawn one smaller.
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
    QFont font;
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    // The name, and below it why the picture stands in when that is known ("Bild zu groß").
    QStringList lines;
    for (const QString& text : {pictureFilePart(o.content), o.picture.standInNote()}) {
        const QString line = metrics.elidedText(text, Qt::ElideMiddle, box.width() - 8);
        if (!line.isEmpty()) lines << line;
    }
    if (!lines.isEmpty() && box.height() > metrics.height() * int(lines.size())) {
        // On a white ground, so that the cross does not run through the letters.
        int width = 0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        QRect textBox(0, 0, width + 6, metrics.height() * int(lines.size()) + 2);
        textBox.moveCenter(box.center());
        p.fillRect(textBox, Qt::white);
        p.setFont(font);
        p.setPen(QColor(96, 96, 96));
        p.drawText(textBox, Qt::AlignCenter, lines.join(QLatin1Char('\n')));
    }
    p.restore();
}

// Draws the part of `pic` that the crop shows, with the colour settings and soft edge, into
// the box (x, y, w, h); the adjusted copy is made at the box's device size. `pixelsPerMm` are
// logical pixels per millimetre of the card, for the corners and the soft edge.
void drawWithEffects(QPainter& p, const CardObject& o, const DibImage& pic, PictureEffects fx,
                     const RenderContext& ctx, double pixelsPerMm, int x, int y, int w, int h,
                     const QRect& visible) {
    const QRect box(x, y, w, h);
    if (!box.intersects(visible)) return;
    const QSize drawn = deviceSize(p, w, h);
    if (pixelsPerMm > 0 && (o.extras.cornerRadius > 0 || o.extras.feather > 0)) {
        const double devicePerMm = pixelsPerMm * drawn.width() / double(w);
        fx.radius = std::max(0, o.extras.cornerRadius) / 100.0 * devicePerMm;
        fx.feather = std::max(0, o.extras.feather) / 100.0 * devicePerMm;
    }
    const QSize want = uncroppedSize(fx.crop, drawn);
    const DibImage pixels =
        ctx.pictures ? ctx.pictures->pixels(pic, want) : scaledPicture(pic, want);
    if (pixels.isNull()) {
        drawLoadingPicture(p, box, visible);
        return;
    }
    const QImage image = effectImage(pixels, fx, drawn);
    if (!image.isNull()) p.drawImage(box, image);
}

void drawPicture(QPainter& p, const CardObject& o, const RenderContext& ctx, double unitsPerMm,
                 int x, int y, int w, int h, const QRect& visible, bool editorMode) {
    const DibImage& pic = o.picture;
    if (pic.isNull()) return;
    if (editorMode && ctx.showMissingPictures && pic.isStandIn()) {
        drawMissingPicture(p, o, x, y, w, h, visible);
        return;
    }
    const PictureEffects fx = pictureEffectsOf(o);
    const bool effects = !fx.isPlain() || o.extras.cornerRadius > 0 || o.extras.feather > 0;
    const double pixelsPerMm = o.width > 0 ? unitsPerMm * w / o.width : 0;
    // A crop shows its part of the picture: the aspect kept is that part's.
    const QRect part = cropPixels(fx.crop, pic.width(), pic.height());
    const qint64 pw = part.width();
    const qint64 ph = part.height();
    if (o.keepAspect && w > 0 && h > 0) {
        if (ph * w / pw < h)
            h = int(ph * w / pw);
        else
            w = int(pw * h / ph);
    }
    if (!o.transparent) {
        if (w - 1 <= 0 || h - 1 <= 0) return;
        if (!QRect(x, y, w - 1, h - 1).intersects(visible)) return;
        const auto draw = [&] {
            if (effects)
                drawWithEffects(p, o, pic, fx, ctx, pixelsPerMm, x, y, w - 1, h - 1, visible);
            else
                drawPictureInto(p, pic, ctx, x, y, w - 1, h - 1, visible);
        };
        if (o.roundFrame) {
            p.save();
            p.setClipRegion(QRegion(QRect(x, y, w - 1, h - 1), QRegion::Ellipse),
                            Qt::IntersectClip);
            draw();
            p.restore();
        } else {
            draw();
        }
        return;
    }
    // Transparency compares exact pixel values: drawn from the picture's own pixels.
    const int cw = ctx.renderMode == RenderOutput ? w : w - 1;
    const int ch = ctx.renderMode == RenderOutput ? h : h - 1;
    if (cw <= 0 || ch <= 0 || !QRect(x, y, cw, ch).intersects(visible)) return;
    // The crop and the colour settings apply; the corners and soft edge do not (the
    // transparent colour already shapes the picture).
    const QSize full(pic.width(), pic.height());
    const DibImage pixels =
        ctx.pictures ? ctx.pictures->pixels(pic, full) : scaledPicture(pic, full);
    if (pixels.isNull()) {
        drawLoadingPicture(p, QRect(x, y, cw, ch), visible);
        return;
    }
    drawMasked(p, pixels, cropPixels(fx.crop, pixels.width(), pixels.height()), fx.look, x, y, cw,
               ch, transparentValue(o, pixels), visible);
}

// A picture that shows one of the program's ornaments: drawn from the vector into the box its
// 1.0 picture would fill (turned by the object's quarter turns as that picture is when read, in
// a round frame where set, on white unless transparent), in the object's colour when the
// ornament takes one.
void drawOrnamentPicture(QPainter& p, const CardObject& o, const OrnamentInfo& info,
                         const RenderContext& ctx, int x, int y, int w, int h,
                         const QRect& visible) {
    const bool across = (o.rotation & 1) != 0;
    const QSizeF shape = across ? info.size.transposed() : info.size;
    if (o.keepAspect && w > 0 && h > 0) {
        if (shape.height() * w / shape.width() < h)
            h = int(shape.height() * w / shape.width());
        else
            w = int(shape.width() * h / shape.height());
    }
    const bool whole = o.transparent && ctx.renderMode == RenderOutput;
    const int cw = whole ? w : w - 1;
    const int ch = whole ? h : h - 1;
    const QRect box(x, y, cw, ch);
    if (cw <= 0 || ch <= 0 || !box.intersects(visible)) return;
    p.save();
    if (o.roundFrame) p.setClipRegion(QRegion(box, QRegion::Ellipse), Qt::IntersectClip);
    if (!o.transparent) p.fillRect(box, Qt::white);
    const QPointF centre = QRectF(box).center();
    p.translate(centre);
    p.rotate(90.0 * (((o.rotation % 4) + 4) % 4));
    const QSizeF upright = across ? QSizeF(ch, cw) : QSizeF(cw, ch);
    drawOrnament(p, info.name,
                 QRectF(QPointF(-upright.width() / 2, -upright.height() / 2), upright),
                 ornamentColour(info, o.color));
    p.restore();
}

// A picture object: its ornament from the vector, else its picture. An ornament asks for no
// pixels, so the pass over the pictures (`picturesOnly`) leaves it out.
void drawPictureObject(QPainter& p, const CardObject& o, const RenderContext& ctx,
                       double unitsPerMm, const QRect& box, const QRect& visible, bool editorMode,
                       bool picturesOnly) {
    if (const OrnamentInfo* ornament = findOrnament(o.extras.ornament)) {
        if (!picturesOnly)
            drawOrnamentPicture(p, o, *ornament, ctx, box.x(), box.y(), box.width(), box.height(),
                                visible);
        return;
    }
    drawPicture(p, o, ctx, unitsPerMm, box.x(), box.y(), box.width(), box.height(), visible,
                editorMode);
}

}  // namespace

std::pair<QString, QString> halfLabels(int side) {
    if (side == SideInside) return {QStringLiteral("Innen links"), QStringLiteral("Innen rechts")};
    return {QStringLiteral("Rückseite"), QStringLiteral("Vorderseite")};
}

namespace {

// The names of the card's halves, centred above each half in a small grey font of a fixed
// size, so that they read alike at every zoom.
void drawHalfLabels(QPainter& p, int side, const CardRect& card, int fold) {
    constexpr int kPixelSize = 11;
    constexpr int kGap = 2;  // between the names and the card's top edge
    QFont font = p.font();
    font.setPixelSize(kPixelSize);
    const QFontMetrics metrics(font);
    const int height = metrics.height();
    const auto [left, right] = halfLabels(side);
    p.save();
    p.setFont(font);
    p.setPen(QColor(110, 110, 110));
    for (const auto& [from, to, text] :
         {std::tuple{card.left, fold, left}, std::tuple{fold, card.right, right}}) {
        const QRect area(from, card.top - kGap - height, to - from, height);
        if (area.width() <= 0) continue;
        p.drawText(area, Qt::AlignHCenter | Qt::AlignBottom,
                   metrics.elidedText(text, Qt::ElideRight, area.width()));
    }
    p.restore();
}

}  // namespace

CardRect cardRect(int areaWidth, int areaHeight, int scrollX, int scrollY, bool editorMode) {
    const qint64 aw = areaWidth, ah = areaHeight;
    if (editorMode) {
        // The card is the middle third of the work area, in whole pixels.
        const qint64 left = aw / 3 - scrollX, top = ah / 3 - scrollY;
        const qint64 right = aw * 2 / 3 - scrollX, bottom = ah * 2 / 3 - scrollY;
        return {clampCoord(left), clampCoord(top), clampCoord(right), clampCoord(bottom)};
    }
    return {clampCoord(aw - scrollX), clampCoord(ah - scrollY), clampCoord(2 * aw - scrollX),
            clampCoord(2 * ah - scrollY)};
}

namespace {

// Document units per millimetre of the card, as the editor's fields count them.
double cardUnitsPerMm(const CardDocument& doc) {
    const double cardMm = doc.format.cardWidth;
    if (doc.sideWidthUnits > 0 && cardMm > 0 && std::isfinite(cardMm))
        return doc.sideWidthUnits / 3.0 / cardMm;
    return 20000.0 / kNominalMmPerInch;
}

// drawCardSide's work; with `picturesOnly` it leaves out figures, texts and the halves' names,
// so that a pass over the side asks for exactly the pictures a full draw asks for.
void drawSide(QPainter& canvas, const CardDocument& doc, int side, const RenderContext& ctx,
              int areaWidth, int areaHeight, int scrollX, int scrollY, double scale,
              bool editorMode, bool picturesOnly, int bleed = 0) {
    const CardRect card = cardRect(areaWidth, areaHeight, scrollX, scrollY, editorMode);
    const int b = editorMode ? 0 : bleed;  // the background and the clip reach that far out
    const CardRect drawn{card.left - b, card.top - b, card.right + b, card.bottom + b};
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // In output mode the card is the clip for the whole call; every narrower clip below is
    // taken inside save()/restore() so that this one comes back after it.
    if (!editorMode) canvas.setClipRect(rectFromEdges(drawn), Qt::IntersectClip);
    const QRect visible = visibleArea(canvas);

    drawBackground(canvas, doc.sideBackground(side), ctx, drawn, areaWidth + 2 * b,
                   areaHeight + 2 * b, editorMode, visible);
    if (editorMode && ctx.showHalfLabels && !picturesOnly) {
        const qint64 fold = qint64(areaWidth) / 2 - scrollX;  // the fold, in whole pixels
        drawHalfLabels(canvas, side, card, clampCoord(fold));
    }

    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::SolidPattern);
    const double unitsPerMm = cardUnitsPerMm(doc);
    const SlotTable& table = doc.sideSlots(side);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CardObject* o = table[slot];
        if (!o || o->kind <= KindFree) continue;
        if (picturesOnly && o->kind != KindPicture) continue;
        const int x = clampCoord((long double)doc.viewX(*o, ctx) - scrollX);
        const int y = clampCoord((long double)doc.viewY(*o, ctx) - scrollY);
        const int w = clampCoord(doc.viewWidth(*o, ctx));
        const int h = clampCoord(doc.viewHeight(*o, ctx));
        // A turn by any angle: the object is drawn as upright through a painter turned about
        // the centre of its box, so its shadow and outline turn with it and every output
        // (screen, export, print) draws it alike.
        const double angle = o->extras.fineAngle;
        const bool turned = angle != 0 && std::isfinite(angle);
        QRect reachable = visible;
        if (turned) {
            const QPointF centre(x + w / 2.0, y + h / 2.0);
            canvas.save();
            canvas.translate(centre);
            canvas.rotate(angle);
            canvas.translate(-centre);
            canvas.setRenderHint(QPainter::Antialiasing, true);
            canvas.setRenderHint(QPainter::SmoothPixmapTransform, true);
            reachable = visibleArea(canvas);
        }
        switch (o->kind) {
            case KindFigure: {
                const int margin = figurePenWidth(o->lineWidth, scale, ctx.mmPerInchX) + 2;
                const QRect reach = QRect(QPoint(std::min(x, x + w), std::min(y, y + h)),
                                          QPoint(std::max(x, x + w), std::max(y, y + h)))
                                        .adjusted(-margin, -margin, margin, margin);
                if (reach.intersects(reachable))
                    drawFigure(canvas, *o, x, y, w, h, scale, ctx, reachable);
                break;
            }
            case KindText:
                if (ctx.fillText && mayHaveFields(o->content)) {
                    // A personal card: the text drawn with its fields filled, the object kept.
                    CardObject filled = *o;
                    filled.content = ctx.fillText(o->content);
                    // Formatted spans move with the filled text.
                    adjustRunsForFill(filled.extras.runs, o->content, filled.content);
                    drawText(canvas, doc, filled, ctx, scrollX, scrollY, scale, reachable);
                } else {
                    drawText(canvas, doc, *o, ctx, scrollX, scrollY, scale, reachable);
                }
                break;
            case KindPicture:
                drawPictureObject(canvas, *o, ctx, unitsPerMm, QRect(x, y, w, h), reachable,
                                  editorMode, picturesOnly);
                break;
            default:
                break;
        }
        if (turned) canvas.restore();
    }
    canvas.restore();
}

}  // namespace

void drawCardSide(QPainter& canvas, const CardDocument& doc, int side, const RenderContext& ctx,
                  int areaWidth, int areaHeight, int scrollX, int scrollY, double scale,
                  bool editorMode) {
    drawSide(canvas, doc, side, ctx, areaWidth, areaHeight, scrollX, scrollY, scale, editorMode,
             false);
}

void drawCardSideBleeding(QPainter& canvas, const CardDocument& doc, int side,
                          const RenderContext& ctx, int w, int h, int sx, int sy, double scale,
                          int bleedPixels) {
    drawSide(canvas, doc, side, ctx, w, h, sx, sy, scale, false, false, bleedPixels);
}

void drawCardSidePictures(QPainter& canvas, const CardDocument& doc, int side,
                          const RenderContext& ctx, int areaWidth, int areaHeight, int scrollX,
                          int scrollY, double scale, bool editorMode) {
    drawSide(canvas, doc, side, ctx, areaWidth, areaHeight, scrollX, scrollY, scale, editorMode,
             true);
}

}  // namespace bb
