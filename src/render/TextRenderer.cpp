#include "render/TextRenderer.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "render/DeviceCoords.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// Pixel size of the font that line breaks are decided with. Only its ratio to the box width
// counts; at this size outline metrics are exact to a tiny fraction of a pixel.
constexpr int kDesignPixels = 1024;
// Tab stops every 80 pixels at 96 pixels per inch, in document units, so that they scale with
// the text instead of staying 80 device pixels apart.
constexpr double kTabStopUnits = 80.0 * 20000.0 / 96.0;
// Qt's width for a line without limit.
constexpr double kUnboundedWidth = 0x01000000;

// Line breaks as QTextLayout knows them: carriage returns, alone or before a line feed, and
// line feeds.
QString uprightText(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QChar('\r'), QChar::LineSeparator);
    text.replace(QChar('\n'), QChar::LineSeparator);
    return text;
}

QString rotatedText(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QChar('\r'), QChar(' '));
    text.replace(QChar('\n'), QChar(' '));
    return text;
}

// Outline fonts only, so that a face is the same at every size; horizontal metrics unhinted
// (vertical hinting keeps small screen text crisp), so that widths grow in proportion to the
// size.
QFont textFont(const CardObject& o, int pixelSize, QFont::HintingPreference hinting) {
    QFont font(o.fontName);
    font.setPixelSize(pixelSize);
    font.setWeight((o.fontStyle & StyleBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(o.fontStyle & StyleItalic);
    font.setUnderline(o.fontStyle & StyleUnderline);
    font.setStrikeOut(o.fontStyle & StyleStrikeOut);
    font.setStyleStrategy(QFont::ForceOutline);
    font.setHintingPreference(hinting);
    return font;
}

double boundedWidth(double width) {
    if (!(width > 0)) return 0;
    return std::min(width, kUnboundedWidth);
}

// Lays `text` out at kDesignPixels without hinting, in a box as wide as the object's box
// relative to its font height in document units.
std::vector<TextLineSpan> designLineBreaks(const QString& text, const CardObject& o,
                                           const RenderContext& ctx) {
    std::vector<TextLineSpan> spans;
    if (text.isEmpty()) return spans;
    const double em = fontHeightUnits(o.fontSize, ctx);
    // Design pixels per document unit; a font without height wraps only at line breaks.
    const double perUnit = em > 0 ? kDesignPixels / em : 0;
    const double width = perUnit > 0 ? boundedWidth(double(o.width) * perUnit) : kUnboundedWidth;

    QTextLayout layout(text, textFont(o, kDesignPixels, QFont::PreferNoHinting));
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setUseDesignMetrics(true);
    option.setTabStopDistance(std::clamp(kTabStopUnits * perUnit, 1.0, kUnboundedWidth));
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        spans.push_back({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    return spans;
}

// An upright text laid out for one scale: the lines of designLineBreaks, each shaped with the
// device font and placed as Qt places word-wrapped text in a box (lines on whole pixels, one
// leading apart, each aligned by its own advance).
class UprightLayout {
public:
    UprightLayout(const CardObject& o, const RenderContext& ctx, double scale) {
        QString text = uprightText(o.content);
        empty_ = text.isEmpty();
        const std::vector<TextLineSpan> spans = designLineBreaks(text, o, ctx);
        // Every break the design layout made by wrapping becomes a line break; from the end,
        // so that the earlier positions stay valid.
        for (size_t i = spans.size(); i-- > 1;) {
            const int end = spans[i - 1].start + spans[i - 1].length;
            if (end > 0 && end <= text.size() && text.at(end - 1) != QChar::LineSeparator)
                text.insert(end, QChar::LineSeparator);
        }

        const QFont font =
            textFont(o, textPixelSize(o.fontSize, scale, ctx), QFont::PreferVerticalHinting);
        layout_.setText(text);
        layout_.setFont(font);
        layout_.setCacheEnabled(true);
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        option.setUseDesignMetrics(true);
        option.setTabStopDistance(std::clamp(kTabStopUnits * scale, 1.0, kUnboundedWidth));
        layout_.setTextOption(option);

        const qreal leading = QFontMetricsF(font).leading();
        qreal height = -leading;
        layout_.beginLayout();
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(kUnboundedWidth);
            height = std::ceil(height + leading);
            line.setPosition(QPointF(0, height));
            height += line.ascent() + line.descent();
            width_ = std::max(width_, line.naturalTextWidth());
        }
        layout_.endLayout();
        height_ = height;
    }

    QStringList lineTexts() const {
        QStringList lines;
        if (empty_) return lines;
        const QString text = layout_.text();
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            QString part = text.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace()) part.chop(1);
            lines << part;
        }
        return lines;
    }

    // Draws the lines into `box`: top-aligned, horizontally by `alignment` (1 centred,
    // 2 right, anything else left), clipped to the box when they reach beyond it.
    void draw(QPainter& p, const QRect& box, int alignment) const {
        if (empty_) return;
        const qreal boxWidth = box.width();
        auto offset = [&](qreal advance) {
            return alignment == 2   ? boxWidth - advance
                   : alignment == 1 ? (boxWidth - advance) / 2
                                    : 0.0;
        };
        const QRectF bounds(box.x() + offset(width_), box.y(), width_, height_);
        const bool clip = !QRectF(box).contains(bounds);
        if (clip) {
            p.save();
            p.setClipRect(box, Qt::IntersectClip);
        }
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            if (line.y() >= box.height()) break;  // below the box: clipped away in full
            line.draw(&p, QPointF(box.x() + offset(line.horizontalAdvance()), box.y()));
        }
        if (clip) p.restore();
    }

private:
    QTextLayout layout_;
    bool empty_ = true;
    qreal width_ = 0;
    qreal height_ = 0;
};

}  // namespace

double fontHeightUnits(int fontSize, const RenderContext& ctx) {
    const double d = ctx.screenDpi > 0 ? ctx.screenDpi : 96;
    return 20000.0 / d * fontSize * ctx.fontDpi / d;
}

int textPixelSize(int fontSize, double scale, const RenderContext& ctx) {
    double px = fontHeightUnits(fontSize, ctx) * scale;
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

std::vector<TextLineSpan> textLineBreaks(const CardObject& o, const RenderContext& ctx) {
    return designLineBreaks(uprightText(o.content), o, ctx);
}

QStringList textLinesAt(const CardObject& o, const RenderContext& ctx, double scale) {
    return UprightLayout(o, ctx, scale).lineTexts();
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

    p.setBrush(Qt::NoBrush);

    const QColor shadowColor = toQColor(uint32_t(o.shadowColor()));
    const QColor outlineColor = toQColor(o.outlineColor());
    const QColor textColor = toQColor(o.color);

    if (o.rotation >= 1 && o.rotation <= 3) {
        // One line, baseline-left at the reference point, turned clockwise by quarter turns
        // (the escapement 3600 − rotation × 900 tenths of a degree counter-clockwise).
        p.setFont(textFont(o, textPixelSize(o.fontSize, scale, ctx), QFont::PreferVerticalHinting));
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

    const UprightLayout layout(o, ctx, scale);
    const QRect box(x, y, w, h);
    if (o.shadow) {
        const int l = clampCoord(ox + dx), t = clampCoord(oy + dy);
        const int r = clampCoord(ox + w + dx), b = clampCoord(oy + h + dy);
        p.setPen(shadowColor);
        layout.draw(p, QRect(l - scrollX, t - scrollY, r - l, b - t), o.alignment);
    }
    if (o.outline()) {
        p.setPen(outlineColor);
        for (int i = -L; i <= L; ++i)
            for (int j = -L; j <= L; ++j)
                if (i != 0 && j != 0) layout.draw(p, box.translated(i, j), o.alignment);
    }
    p.setPen(textColor);
    layout.draw(p, box, o.alignment);
}

}  // namespace bb
