#include "editor/ObjectCreation.h"

#include "document/Trunc.h"
#include "editor/EditMath.h"
#include "render/TextRenderer.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace bb {

FontChoice FontChoice::startFont(int dpi) {
    FontChoice f;
    if (dpi <= 0) dpi = 96;
    f.size = qRound(16.0 * 72.0 / dpi);
    return f;
}

QFont FontChoice::toQFont() const {
    QFont font(name);
    if (size > 0) font.setPointSize(size);
    font.setBold(style & StyleBold);
    font.setItalic(style & StyleItalic);
    font.setUnderline(style & StyleUnderline);
    font.setStrikeOut(style & StyleStrikeOut);
    if (pitch == 1) font.setFixedPitch(true);
    return font;
}

FontChoice FontChoice::fromQFont(const QFont& font, const QColor& c, int dpi, uint8_t pitch) {
    if (dpi <= 0) dpi = 96;
    FontChoice f;
    f.color = fromQColor(c.isValid() ? c : QColor(Qt::black));
    f.name = font.family();
    int pt = font.pointSize();
    if (pt <= 0 && font.pixelSize() > 0) pt = qRound(font.pixelSize() * 72.0 / dpi);
    f.size = qBound(1, pt, 1638);
    f.height = -qRound(double(f.size) * dpi / 72.0);
    f.style =
        uint8_t((font.bold() ? StyleBold : 0) | (font.italic() ? StyleItalic : 0) |
                (font.underline() ? StyleUnderline : 0) | (font.strikeOut() ? StyleStrikeOut : 0));
    f.pitch = font.fixedPitch() ? uint8_t(1) : pitch;
    return f;
}

bool initNewObject(const CardDocument& doc, CardObject& o, int32_t kind, int x, int y,
                   const FontChoice& font, const RenderContext& ctx, DibImage picture,
                   const QString& pictureName) {
    // Whatever the slot held before, the new object starts from a fresh record.
    releaseDib(o.picture);
    o = CardObject{};
    if (kind == KindPicture) {
        o.picture = std::move(picture);
        o.content = pictureName;
    }
    o.kind = kind;
    // The thinnest line the panel offers; 0 would draw a hairline that no setting names.
    if (kind == KindFigure) o.lineWidth = 1;
    o.keepAspect = true;
    o.figureKind = FigRectangle;
    o.x = doc.fromView(x);
    o.y = doc.fromView(y);
    o.width = doc.fromView(50);
    o.height = doc.fromView(50);
    bool fitted = false;
    if (kind == KindPicture && !o.picture.isNull()) {
        const QSize size = pictureViewSize(doc, o.picture, ctx.screenDpi);
        o.width = doc.fromView(size.width());
        o.height = doc.fromView(size.height());
        fitted = fitIntoHalf(doc, o, o.x);
    }
    o.color = 0;
    o.fontColor = font.color;
    o.fontHeight = font.height;
    o.fontName = font.name;
    o.fontPitch = font.pitch;
    o.fontStyle = font.style;
    o.fontSize = font.size;
    if (kind == KindText) {
        // A line of the font with room for the hinting of small sizes, and a width for a few
        // words; both in units, so that the frame is the same at every zoom.
        constexpr double kLineRoom = 1.2;
        constexpr double kWidthInFontHeights = 16.0;
        const double line = textLineHeightUnits(o, ctx);
        const double fontHeight = fontHeightUnits(o.fontSize, ctx);
        const CardGeometry card = cardGeometry(doc);
        double width = kWidthInFontHeights * fontHeight;
        if (card.fold > card.left) width = std::min(width, double(card.fold - card.left));
        o.width = std::max(clampInt32(int64_t(std::ceil(width))), int32_t(1));
        o.height = std::max(clampInt32(int64_t(std::ceil(line * kLineRoom))), int32_t(1));
    }
    return fitted;
}

QSize pictureViewSize(const CardDocument& doc, const DibImage& picture, int screenDpi) {
    // The picture at the screen's size: 10000 / dpi units per picture pixel.
    const double dpi = screenDpi > 0 ? screenDpi : 96;
    const auto viewPixels = [&](int pixels) {
        const long double v = 10000.0L / dpi * pixels * doc.zoomFactor / doc.unitsPerPixel;
        return int(std::trunc(std::clamp<long double>(v, -2e9L, 2e9L)));
    };
    return {viewPixels(picture.width()), viewPixels(picture.height())};
}

CardSpan cardHalfAt(const CardDocument& doc, int32_t unitX) {
    const CardGeometry card = cardGeometry(doc);
    return unitX < card.fold ? CardSpan{card.left, card.fold} : CardSpan{card.fold, card.right};
}

bool fitIntoHalf(const CardDocument& doc, CardObject& o, int32_t unitX) {
    const CardGeometry card = cardGeometry(doc);
    const CardSpan half = cardHalfAt(doc, unitX);
    const int32_t width = half.right - half.left, height = card.bottom - card.top;
    if (width <= 0 || height <= 0 || o.width <= 0 || o.height <= 0) return false;
    if (o.width <= width && o.height <= height) return false;
    const double scale = std::min(double(width) / o.width, double(height) / o.height);
    o.width = std::clamp(int32_t(std::floor(o.width * scale)), 1, width);
    o.height = std::clamp(int32_t(std::floor(o.height * scale)), 1, height);
    o.x = std::clamp(o.x, half.left, half.right - o.width);
    o.y = std::clamp(o.y, card.top, card.bottom - o.height);
    return true;
}

bool growTextToFit(const CardDocument& doc, CardObject& o, const RenderContext& ctx) {
    if (o.kind != KindText) return false;
    const double scale = doc.zoomFactor / doc.unitsPerPixel;
    if (!(scale > 0) || o.width <= 0 || o.height <= 0) return false;
    // The units whose view pixels hold `pixels`, checked against the view's own conversion.
    const auto unitsFor = [&](double pixels, int32_t length) {
        int64_t units = int64_t(std::ceil(std::ceil(pixels) / scale));
        while (units < INT32_MAX && doc.screenPixels(clampInt32(units)) < pixels) ++units;
        return std::max<int64_t>(units, length);
    };
    // A text turned a quarter either way sets its lines along the box's height.
    const bool across = o.rotation == 1 || o.rotation == 3;
    int32_t& along = across ? o.height : o.width;
    int32_t& lines = across ? o.width : o.height;
    const auto pixelsOf = [&](int32_t units) { return doc.screenPixels(units); };
    bool grew = false;
    QSizeF extent = textExtent(o, ctx, scale);
    if (extent.width() > pixelsOf(along)) {
        along = clampInt32(unitsFor(extent.width(), along));
        extent = textExtent(o, ctx, scale);
        grew = true;
    }
    if (extent.height() > pixelsOf(lines)) {
        lines = clampInt32(unitsFor(extent.height(), lines));
        grew = true;
    }
    return grew;
}

}  // namespace bb
