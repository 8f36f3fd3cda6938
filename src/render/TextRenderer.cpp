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
#include <QTransform>

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

// For every position 0..content.size() of the content, the position in uprightText (and in
// rotatedText, which collapses the same pairs): a carriage return and line feed pair is one
// character there, so a position between the two lands after it.
std::vector<int> collapsedPositions(const QString& content) {
    std::vector<int> map(size_t(content.size()) + 1);
    int t = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        map[size_t(i)] = t;
        const bool pairEnd = content.at(i) == QChar('\n') && i > 0 && content.at(i - 1) == '\r';
        if (!pairEnd) ++t;
    }
    map[size_t(content.size())] = t;
    return map;
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
        positions_ = collapsedPositions(o.content);
        const std::vector<TextLineSpan> spans = designLineBreaks(text, o, ctx);
        // Every break the design layout made by wrapping becomes a line break; from the end,
        // so that the earlier positions stay valid.
        std::vector<int> inserted;
        for (size_t i = spans.size(); i-- > 1;) {
            const int end = spans[i - 1].start + spans[i - 1].length;
            if (end > 0 && end <= text.size() && text.at(end - 1) != QChar::LineSeparator) {
                text.insert(end, QChar::LineSeparator);
                inserted.push_back(end);
            }
        }
        // Content positions at or after an inserted break move one further.
        for (int& pos : positions_) {
            const int at = pos;
            for (int end : inserted)
                if (end <= at) ++pos;
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
        if (empty_) {
            const QFontMetricsF metrics(font);
            height_ = metrics.ascent() + metrics.descent();
            width_ = 0;
        }
    }

    // The advance of the widest line and the height of all lines (of one line when empty).
    QSizeF extent() const { return {width_, height_}; }

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

    // The line holding layout position `pos` (the last line when beyond the text); -1 when
    // the layout has no line.
    int lineOf(int pos) const {
        const int n = layout_.lineCount();
        for (int i = 0; i < n; ++i) {
            const QTextLine line = layout_.lineAt(i);
            if (pos < line.textStart() + line.textLength()) return i;
        }
        return n - 1;
    }

    // Left end of line `i` inside a box `boxWidth` wide, as draw() places it.
    qreal lineLeft(int i, qreal boxWidth, int alignment) const {
        const qreal advance = layout_.lineAt(i).horizontalAdvance();
        return alignment == 2 ? boxWidth - advance : alignment == 1 ? (boxWidth - advance) / 2 : 0;
    }

    int layoutPosition(int contentPos) const {
        if (positions_.empty()) return 0;
        return positions_[size_t(
            std::clamp<qsizetype>(contentPos, 0, qsizetype(positions_.size()) - 1))];
    }

    // The content position shown at layout position `pos`; where none is (after the spaces
    // that end a wrapped line) the one before it, on the same line.
    int contentPosition(int pos) const {
        // The last of equal ones: a line break's pair shows after the break.
        const auto it = std::upper_bound(positions_.begin(), positions_.end(), pos);
        return std::max(0, int(it - positions_.begin()) - 1);
    }

    // The caret before content position `contentPos`, in a box at the origin `boxWidth` wide.
    QLineF caret(int contentPos, qreal boxWidth, int alignment) const {
        const int pos = layoutPosition(contentPos);
        const int i = lineOf(pos);
        if (i < 0) {
            // No line at all (an empty text): at the top, where the first glyph would begin.
            const QFontMetricsF m(layout_.font());
            const qreal x = alignment == 2 ? boxWidth : alignment == 1 ? boxWidth / 2 : 0;
            return QLineF(x, 0, x, m.ascent() + m.descent());
        }
        const QTextLine line = layout_.lineAt(i);
        const qreal x = lineLeft(i, boxWidth, alignment) + line.cursorToX(pos);
        return QLineF(x, line.y(), x, line.y() + line.ascent() + line.descent());
    }

    // The content position nearest to `point` in a box at the origin.
    int positionAt(QPointF point, qreal boxWidth, int alignment) const {
        const int n = layout_.lineCount();
        if (n == 0) return 0;
        int i = 0;
        while (i + 1 < n && point.y() >= layout_.lineAt(i + 1).y()) ++i;
        const QTextLine line = layout_.lineAt(i);
        int pos = line.xToCursor(point.x() - lineLeft(i, boxWidth, alignment));
        // The line break ending a line belongs to it but the caret stays before it.
        const int end = line.textStart() + line.textLength();
        if (pos >= end && end > line.textStart() && i + 1 < n) pos = end - 1;
        return contentPosition(pos);
    }

    // The selection between two content positions: one rectangle per line it touches.
    std::vector<QPolygonF> selection(int from, int to, qreal boxWidth, int alignment) const {
        std::vector<QPolygonF> shapes;
        const int a = layoutPosition(std::min(from, to)), b = layoutPosition(std::max(from, to));
        if (a == b) return shapes;
        for (int i = lineOf(a); i >= 0 && i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            const int start = std::max(a, line.textStart());
            const int end = std::min(b, line.textStart() + line.textLength());
            if (start >= b) break;
            const qreal left = lineLeft(i, boxWidth, alignment);
            qreal x1 = left + line.cursorToX(start), x2 = left + line.cursorToX(end);
            // A selected line break shows as a narrow strip at the line's end.
            if (end > start && x2 <= x1) x2 = x1 + line.height() / 4;
            shapes.emplace_back(QRectF(QPointF(x1, line.y()),
                                       QPointF(x2, line.y() + line.ascent() + line.descent())));
        }
        return shapes;
    }

private:
    QTextLayout layout_;
    std::vector<int> positions_;
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

QSizeF textExtent(const CardObject& o, const RenderContext& ctx, double scale) {
    return UprightLayout(o, ctx, scale).extent();
}

double textLineHeightUnits(const CardObject& o, const RenderContext& ctx) {
    const QFontMetricsF metrics(textFont(o, kDesignPixels, QFont::PreferNoHinting));
    return (metrics.ascent() + metrics.descent()) * fontHeightUnits(o.fontSize, ctx) /
           kDesignPixels;
}

namespace {

// Turned text: one line from the reference point; the caret geometry runs along it.
struct TurnedLine {
    QFont font;
    QString text;
    QTransform toDevice;
};

TurnedLine turnedLine(const CardObject& o, const RenderContext& ctx, double scale,
                      const QRect& box) {
    TurnedLine t;
    t.font = textFont(o, textPixelSize(o.fontSize, scale, ctx), QFont::PreferVerticalHinting);
    t.text = rotatedText(o.content);
    const QPoint ref = o.rotation == 1   ? box.topLeft()
                       : o.rotation == 2 ? QPoint(box.x() + box.width(), box.y())
                                         : QPoint(box.x() + box.width(), box.y() + box.height());
    t.toDevice.translate(ref.x(), ref.y());
    t.toDevice.rotate(90.0 * o.rotation);
    return t;
}

bool isTurned(const CardObject& o) {
    return o.rotation >= 1 && o.rotation <= 3;
}

}  // namespace

QLineF textCaretLine(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                     int index) {
    if (isTurned(o)) {
        const TurnedLine t = turnedLine(o, ctx, scale, box);
        const std::vector<int> map = collapsedPositions(o.content);
        const int pos = map[size_t(std::clamp<qsizetype>(index, 0, o.content.size()))];
        const QFontMetricsF m(t.font);
        const qreal x = m.horizontalAdvance(t.text.left(pos));
        return t.toDevice.map(QLineF(x, -m.ascent(), x, m.descent()));
    }
    const UprightLayout layout(o, ctx, scale);
    return layout.caret(index, box.width(), o.alignment).translated(box.topLeft());
}

int textIndexAt(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                QPointF point) {
    if (isTurned(o)) {
        const TurnedLine t = turnedLine(o, ctx, scale, box);
        const qreal along = t.toDevice.inverted().map(point).x();
        const QFontMetricsF m(t.font);
        const std::vector<int> map = collapsedPositions(o.content);
        // The position whose caret lies nearest, walking the prefixes.
        int best = 0;
        qreal bestDistance = std::abs(along);
        for (qsizetype i = 1; i <= o.content.size(); ++i) {
            const qreal d = std::abs(m.horizontalAdvance(t.text.left(map[size_t(i)])) - along);
            if (d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        return best;
    }
    const UprightLayout layout(o, ctx, scale);
    return layout.positionAt(point - QPointF(box.topLeft()), box.width(), o.alignment);
}

std::vector<QPolygonF> textSelectionShapes(const CardObject& o, const RenderContext& ctx,
                                           double scale, const QRect& box, int from, int to) {
    if (from == to) return {};
    if (isTurned(o)) {
        const QLineF a = textCaretLine(o, ctx, scale, box, from);
        const QLineF b = textCaretLine(o, ctx, scale, box, to);
        return {QPolygonF({a.p1(), b.p1(), b.p2(), a.p2()})};
    }
    const UprightLayout layout(o, ctx, scale);
    std::vector<QPolygonF> shapes = layout.selection(from, to, box.width(), o.alignment);
    for (QPolygonF& shape : shapes) shape.translate(box.topLeft());
    return shapes;
}

void drawText(QPainter& p, const CardDocument& doc, const CardObject& o, const RenderContext& ctx,
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

    const QColor shadowColor = toQColor(uint32_t(o.shadowColor));
    const QColor outlineColor = toQColor(o.outlineColor);
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
        if (o.outline) {
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
    if (o.outline) {
        p.setPen(outlineColor);
        for (int i = -L; i <= L; ++i)
            for (int j = -L; j <= L; ++j)
                if (i != 0 && j != 0) layout.draw(p, box.translated(i, j), o.alignment);
    }
    p.setPen(textColor);
    layout.draw(p, box, o.alignment);
}

}  // namespace bb
