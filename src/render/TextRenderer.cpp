#include "render/TextRenderer.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "render/DeviceCoords.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

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

}  // namespace

int textPixelSize(int fontSize, double scale, const RenderContext& ctx) {
    const double d = ctx.screenDpi > 0 ? ctx.screenDpi : 96;
    double px = 20000.0 / d * fontSize * scale * ctx.fontDpi / d;
    // 12 at 96 pixels per inch comes out as 11.999999999999998; truncating that would draw
    // the export one pixel smaller than the editor at the same size.
    const double whole = std::round(px);
    if (std::abs(px - whole) <= 1e-9 * std::max(1.0, std::abs(px))) px = whole;
    if (!(px >= 1)) return 1;
    return int(std::min(px, 65535.0));
}

int outlineThickness(double scale, double mmPerInchX) {
    const double v = scale * 4000.0 / mmPerInchX;
    if (!(v >= 1)) return 1;
    return int(std::min(v, 24.0));  // (2L)² copies: bounded even for absurd calibrations
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
        // (the escapement 3600 − rotation × 900 tenths of a degree counter-clockwise).
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

}  // namespace bb
