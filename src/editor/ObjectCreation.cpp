#include "editor/ObjectCreation.h"

#include "editor/EditMath.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
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

void initNewObject(const CardDocument& doc, CardObject& o, int32_t kind, int x, int y,
                   const FontChoice& font, int screenDpi, DibImage picture,
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
    if (kind == KindPicture && !o.picture.isNull()) {
        const QSize size = pictureViewSize(doc, o.picture, screenDpi);
        o.width = doc.fromView(size.width());
        o.height = doc.fromView(size.height());
        fitIntoCard(doc, o);
    }
    o.color = 0;
    o.fontColor = font.color;
    o.fontHeight = font.height;
    o.fontName = font.name;
    o.fontPitch = font.pitch;
    o.fontStyle = font.style;
    o.fontSize = font.size;
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

bool fitIntoCard(const CardDocument& doc, CardObject& o) {
    const CardGeometry card = cardGeometry(doc);
    const int32_t width = card.right - card.left, height = card.bottom - card.top;
    if (width <= 0 || height <= 0 || o.width <= 0 || o.height <= 0) return false;
    if (o.width <= width && o.height <= height) return false;
    const double scale = std::min(double(width) / o.width, double(height) / o.height);
    o.width = std::clamp(int32_t(std::floor(o.width * scale)), 1, width);
    o.height = std::clamp(int32_t(std::floor(o.height * scale)), 1, height);
    o.x = std::clamp(o.x, card.left, card.right - o.width);
    o.y = std::clamp(o.y, card.top, card.bottom - o.height);
    return true;
}

}  // namespace bb
