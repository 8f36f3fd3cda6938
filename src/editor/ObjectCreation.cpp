#include "editor/ObjectCreation.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

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

void initNewObject(const CardDocument& doc, Tobs& o, int32_t kind, int x, int y,
                   const FontChoice& font, int screenDpi) {
    o.Kind = kind;
    if (kind != KindPicture) o.Content.clear();
    o.KeepAspect = true;
    o.FigureKind = FigRectangle;
    o.X = doc.fromView(x);
    o.Y = doc.fromView(y);
    o.Width = doc.fromView(50);
    o.Height = doc.fromView(50);
    if (kind == KindPicture && !o.Picture.isNull()) {
        // The picture at the screen's size: 10000 / dpi units per picture pixel.
        const double dpi = screenDpi > 0 ? screenDpi : 96;
        const auto viewPixels = [&](int pixels) {
            const long double v = 10000.0L / dpi * pixels * doc.ZoomFactor / doc.UnitsPerPixel;
            return int(std::trunc(std::clamp<long double>(v, -2e9L, 2e9L)));
        };
        o.Width = doc.fromView(viewPixels(o.Picture.width()));
        o.Height = doc.fromView(viewPixels(o.Picture.height()));
    }
    o.Color = 0;
    o.FontColor = font.color;
    o.FontHeight = font.height;
    o.FontName = font.name;
    o.FontPitch = font.pitch;
    o.FontStyle = font.style;
    o.FontSize = font.size;
}

}  // namespace bb
