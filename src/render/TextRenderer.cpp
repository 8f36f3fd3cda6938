#include "render/TextRenderer.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "render/DeviceCoords.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QRawFont>
#include <QRegion>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

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

// The colour emoji face, asked for after each text's own face so that emoji come in colour
// rather than from a monochrome symbol face of the system's fallback list.
const QString& emojiFamily() {
    static const QString family = QStringLiteral("Noto Color Emoji");
    return family;
}

// The faces a text of face `name` is drawn with: that face, or the one that stands in for it
// when it is not installed, and after it the colour emoji face. (A face that is not installed
// cannot simply lead the list: the emoji face would then stand in for it.)
QStringList familiesOf(const QString& name) {
    static QMutex mutex;
    static QHash<QString, QStringList> known;
    const QMutexLocker lock(&mutex);
    const auto it = known.constFind(name);
    if (it != known.cend()) return *it;
    QString face = name;
    if (!QFontDatabase::hasFamily(name)) {
        QFont standIn(name);
        standIn.setStyleStrategy(QFont::ForceOutline);
        face = QFontInfo(standIn).family();
    }
    QStringList families = {face};
    if (face != emojiFamily()) families << emojiFamily();
    if (known.size() > 256) known.clear();
    known.insert(name, families);
    return families;
}

// Outline fonts only, so that a face is the same at every size; horizontal metrics unhinted
// (vertical hinting keeps small screen text crisp), so that widths grow in proportion to the
// size. Letter spacing in thousandths of the size, so that it scales with the text.
QFont textFont(const QString& name, uint8_t style, int pixelSize, QFont::HintingPreference hinting,
               int32_t letterSpacing) {
    QFont font(name);
    font.setFamilies(familiesOf(name));
    font.setPixelSize(pixelSize);
    font.setWeight((style & StyleBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(style & StyleItalic);
    font.setUnderline(style & StyleUnderline);
    font.setStrikeOut(style & StyleStrikeOut);
    font.setStyleStrategy(QFont::ForceOutline);
    font.setHintingPreference(hinting);
    const int32_t spacing = std::clamp(letterSpacing, -900, 10000);
    if (spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, pixelSize * spacing / 1000.0);
    return font;
}

QFont textFont(const CardObject& o, int pixelSize, QFont::HintingPreference hinting) {
    return textFont(o.fontName, o.fontStyle, pixelSize, hinting, o.extras.letterSpacing);
}

double boundedWidth(double width) {
    if (!(width > 0)) return 0;
    return std::min(width, kUnboundedWidth);
}

bool isTurned(const CardObject& o) {
    return o.rotation >= 1 && o.rotation <= 3;
}

bool onArc(const CardObject& o) {
    return o.extras.arcRadius > 0;
}

// The length of the lines' direction in document units: a text turned by one or three quarter
// turns sets its lines along the height of its box.
int32_t lineLengthUnits(const CardObject& o) {
    return (o.rotation == 1 || o.rotation == 3) ? o.height : o.width;
}

// The formats of the text's spans for a layout of `text`, whose positions `positions` gives
// for each content position; `pixels` turns a span's font size into its pixel size there.
QList<QTextLayout::FormatRange> runFormats(const CardObject& o, const std::vector<int>& positions,
                                           const std::function<int(int)>& pixels,
                                           QFont::HintingPreference hinting) {
    QList<QTextLayout::FormatRange> formats;
    if (positions.empty()) return formats;
    const auto at = [&](int64_t contentPos) {
        return positions[size_t(std::clamp<int64_t>(contentPos, 0, int64_t(positions.size()) - 1))];
    };
    for (const TextRun& r : o.extras.runs) {
        if (r.length <= 0 || r.start < 0) continue;
        const int from = at(r.start), to = at(int64_t(r.start) + r.length);
        if (to <= from) continue;
        QTextLayout::FormatRange range;
        range.start = from;
        range.length = to - from;
        const QString name = r.fontName.isEmpty() ? o.fontName : r.fontName;
        // A span's size within what a card can sensibly hold (a damaged one draws, if large).
        const int size = r.fontSize > 0 ? std::min(r.fontSize, 1000) : o.fontSize;
        range.format.setFont(
            textFont(name, r.fontStyle, pixels(size), hinting, o.extras.letterSpacing));
        range.format.setForeground(toQColor(r.fontColor));
        formats.push_back(range);
    }
    return formats;
}

// Lays `text` out at kDesignPixels without hinting, in a box as long as the object's lines
// relative to its font height in document units.
std::vector<TextLineSpan> designLineBreaks(const QString& text, const CardObject& o,
                                           const RenderContext& ctx) {
    std::vector<TextLineSpan> spans;
    if (text.isEmpty()) return spans;
    const double em = fontHeightUnits(o.fontSize, ctx);
    // Design pixels per document unit; a font without height wraps only at line breaks.
    const double perUnit = em > 0 ? kDesignPixels / em : 0;
    const double width =
        perUnit > 0 ? boundedWidth(double(lineLengthUnits(o)) * perUnit) : kUnboundedWidth;

    QTextLayout layout(text, textFont(o, kDesignPixels, QFont::PreferNoHinting));
    const auto pixels = [&](int size) {
        if (!(perUnit > 0)) return kDesignPixels;
        return int(std::clamp(std::lround(fontHeightUnits(size, ctx) * perUnit), 1L, 65535L));
    };
    layout.setFormats(runFormats(o, collapsedPositions(o.content), pixels, QFont::PreferNoHinting));
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

// What a drawing pass paints: the text itself in its colours, or a shadow or outline copy in
// the painter's pen, which leaves colour emoji out (they would show as coloured copies).
enum class Pass { Text, Effect };

bool rastersGlyphs(const QPainter& p) {
    const QPaintEngine* engine = p.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster;
}

bool isEmojiRun(const QGlyphRun& run) {
    return run.rawFont().familyName() == emojiFamily();
}

// Colour emoji on a device that keeps only outlines (PDF, printer): drawn as a picture at the
// device's resolution, since such devices cannot hold the font's bitmaps.
void drawEmojiAsPicture(QPainter& p, const QGlyphRun& run, QPointF origin) {
    const QRectF bounds = run.boundingRect().translated(origin);
    const QTransform device = p.combinedTransform();
    const QRect target = device.mapRect(bounds).toAlignedRect();
    if (target.isEmpty()) return;
    // A bounded picture: beyond 2048 pixels a side, the emoji is drawn at a lower resolution.
    const double reduce = std::min(1.0, 2048.0 / std::max(target.width(), target.height()));
    const QSize size(std::max(1, int(std::ceil(target.width() * reduce))),
                     std::max(1, int(std::ceil(target.height() * reduce))));
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter q(&picture);
        q.setRenderHint(QPainter::Antialiasing);
        // The move into the picture goes into the glyphs' origin, not the painter: glyphs
        // drawn under a moved painter would leave the move in the raster engine's shared cache
        // of colour glyphs, and later texts on other pictures would be drawn shifted by it.
        const QTransform linear(device.m11(), device.m12(), device.m21(), device.m22(), 0, 0);
        const QPointF shift(device.dx() - target.x(), device.dy() - target.y());
        q.setTransform(linear * QTransform::fromScale(reduce, reduce));
        q.drawGlyphRun(origin + linear.inverted().map(shift), run);
    }
    p.save();
    // Device coordinates: a world transform that undoes the view transform after it (the
    // combined transform is the world's followed by the view's).
    p.setWorldTransform(device.inverted() * p.worldTransform());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(target), picture);
    p.restore();
}

void drawGlyphs(QPainter& p, const QGlyphRun& run, QPointF origin, Pass pass) {
    if (!isEmojiRun(run)) {
        p.drawGlyphRun(origin, run);
    } else if (pass == Pass::Text) {
        if (rastersGlyphs(p))
            p.drawGlyphRun(origin, run);
        else
            drawEmojiAsPicture(p, run, origin);
    }
}

// The text pass of a line on PDF and printers, run by run in the colours of the spans (the
// painter's pen outside them), colour emoji as pictures. Qt's PDF engine must never be given
// the colour emoji face: once it has drawn (embedded) it, that face's glyphs come out shifted
// or not at all in every later raster drawing of the process, such as an export after a print.
void drawLineOnOutlineDevice(QPainter& p, const QTextLine& line,
                             const QList<QTextLayout::FormatRange>& formats, QPointF origin) {
    const int from = line.textStart(), to = from + line.textLength();
    std::vector<int> cuts = {from, to};
    for (const QTextLayout::FormatRange& f : formats) {
        cuts.push_back(std::clamp(f.start, from, to));
        cuts.push_back(std::clamp(f.start + f.length, from, to));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    const QPen pen = p.pen();
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        QColor colour = pen.color();
        for (const QTextLayout::FormatRange& f : formats)
            if (cuts[i] >= f.start && cuts[i] < f.start + f.length &&
                f.format.hasProperty(QTextFormat::ForegroundBrush))
                colour = f.format.foreground().color();
        p.setPen(QPen(colour));
        for (const QGlyphRun& run : line.glyphRuns(cuts[i], cuts[i + 1] - cuts[i]))
            drawGlyphs(p, run, origin, Pass::Text);
    }
    p.setPen(pen);
}

bool writesPdf(const QPainter& p) {
    const QPaintEngine* engine = p.paintEngine();
    return engine && engine->type() == QPaintEngine::Pdf;
}

// Draws one laid-out line at `origin`: the text pass as Qt draws it (formats, colours,
// decorations), run by run on PDF and printers, with colour emoji as pictures on every device
// that keeps only outlines; effect passes glyph by glyph.
void drawLine(QPainter& p, const QTextLine& line, const QList<QTextLayout::FormatRange>& formats,
              QPointF origin, Pass pass) {
    if (pass == Pass::Effect) {
        for (const QGlyphRun& run : line.glyphRuns()) drawGlyphs(p, run, origin, pass);
    } else if (writesPdf(p)) {
        drawLineOnOutlineDevice(p, line, formats, origin);
    } else {
        line.draw(&p, origin);
        if (rastersGlyphs(p)) return;
        for (const QGlyphRun& run : line.glyphRuns())
            if (isEmojiRun(run)) drawEmojiAsPicture(p, run, origin);
    }
}

// A text laid out for one scale in its own frame, a box `boxWidth` wide at the origin with its
// lines running along x: the lines of designLineBreaks, each shaped with the device font and
// placed as Qt places word-wrapped text in a box (lines on whole pixels, one line height times
// the line spacing plus the leading apart, each aligned by its own advance).
class LineLayout {
public:
    LineLayout(const CardObject& o, const RenderContext& ctx, double scale) {
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
        layout_.setFormats(runFormats(
            o, positions_, [&](int size) { return textPixelSize(size, scale, ctx); },
            QFont::PreferVerticalHinting));
        layout_.setCacheEnabled(true);
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        option.setUseDesignMetrics(true);
        option.setTabStopDistance(std::clamp(kTabStopUnits * scale, 1.0, kUnboundedWidth));
        layout_.setTextOption(option);

        const double spacing = std::clamp(o.extras.lineSpacing, 10, 1000) / 100.0;
        const qreal leading = QFontMetricsF(font).leading();
        qreal height = -leading;
        qreal last = 0;
        layout_.beginLayout();
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(kUnboundedWidth);
            height = std::ceil(height + leading);
            line.setPosition(QPointF(0, height));
            last = line.ascent() + line.descent();
            height += last * spacing;
            width_ = std::max(width_, line.naturalTextWidth());
        }
        layout_.endLayout();
        if (layout_.lineCount() > 0) height_ = layout_.lineAt(layout_.lineCount() - 1).y() + last;
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

    // Draws the lines into the box `size` at the origin: top-aligned, horizontally by
    // `alignment` (1 centred, 2 right, anything else left), clipped to the box when they
    // reach beyond it.
    void draw(QPainter& p, QSizeF size, int alignment, Pass pass) const {
        if (empty_) return;
        const QRectF box(QPointF(0, 0), size);
        const QRectF bounds(offset(width_, size.width(), alignment), 0, width_, height_);
        const bool clip = !box.contains(bounds);
        if (clip) {
            p.save();
            p.setClipRect(box, Qt::IntersectClip);
        }
        for (int i = 0; i < layout_.lineCount(); ++i) {
            const QTextLine line = layout_.lineAt(i);
            if (line.y() >= size.height()) break;  // below the box: clipped away in full
            drawLine(p, line, layout_.formats(),
                     QPointF(offset(line.horizontalAdvance(), size.width(), alignment), 0), pass);
        }
        if (clip) p.restore();
    }

    // The caret before content position `contentPos`.
    QLineF caret(int contentPos, qreal boxWidth, int alignment) const {
        const int pos = layoutPosition(contentPos);
        const int i = lineOf(pos);
        if (i < 0) {
            // No line at all (an empty text): at the top, where the first glyph would begin.
            const QFontMetricsF m(layout_.font());
            const qreal x = offset(0, boxWidth, alignment);
            return QLineF(x, 0, x, m.ascent() + m.descent());
        }
        const QTextLine line = layout_.lineAt(i);
        const qreal x = lineLeft(i, boxWidth, alignment) + line.cursorToX(pos);
        return QLineF(x, line.y(), x, line.y() + line.ascent() + line.descent());
    }

    // The content position nearest to `point`.
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
    static qreal offset(qreal advance, qreal boxWidth, int alignment) {
        return alignment == 2 ? boxWidth - advance : alignment == 1 ? (boxWidth - advance) / 2 : 0;
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

    qreal lineLeft(int i, qreal boxWidth, int alignment) const {
        return offset(layout_.lineAt(i).horizontalAdvance(), boxWidth, alignment);
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

    QTextLayout layout_;
    std::vector<int> positions_;
    bool empty_ = true;
    qreal width_ = 0;
    qreal height_ = 0;
};

// A text set along a circle of radius extras.arcRadius: one line (line breaks become spaces)
// whose baseline follows the circle, its middle at the top of the circle (or, arcDown, at the
// bottom with the letters' tops towards the centre), the whole centred in the box.
class ArcLayout {
public:
    ArcLayout(const CardObject& o, const RenderContext& ctx, double scale, QSizeF box) {
        positions_ = collapsedPositions(o.content);
        down_ = o.extras.arcDown;
        const QFont font =
            textFont(o, textPixelSize(o.fontSize, scale, ctx), QFont::PreferVerticalHinting);
        layout_.setText(rotatedText(o.content));
        layout_.setFont(font);
        layout_.setFormats(runFormats(
            o, positions_, [&](int size) { return textPixelSize(size, scale, ctx); },
            QFont::PreferVerticalHinting));
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        option.setUseDesignMetrics(true);
        layout_.setTextOption(option);
        layout_.beginLayout();
        QTextLine line = layout_.createLine();
        if (line.isValid()) line.setLineWidth(kUnboundedWidth);
        layout_.endLayout();
        const QFontMetricsF metrics(font);
        ascent_ = line.isValid() ? line.ascent() : metrics.ascent();
        descent_ = line.isValid() ? line.descent() : metrics.descent();
        width_ = line.isValid() ? line.naturalTextWidth() : 0;

        const double mmPerInch = ctx.mmPerInchX > 0 ? ctx.mmPerInchX : kNominalMmPerInch;
        radius_ = std::clamp(o.extras.arcRadius * 200.0 / mmPerInch * scale, 1.0, kUnboundedWidth);
        // The arc's height: the baseline's rise from its middle to its ends and one line.
        const double half = std::min(width_ / (2 * radius_), M_PI);
        const double rise = radius_ * (1 - std::cos(half));
        height_ = rise + ascent_ + descent_;
        chord_ = half >= M_PI / 2 ? 2 * radius_ : 2 * radius_ * std::sin(half);
        const double middle = box.height() / 2;
        centre_ = down_ ? QPointF(box.width() / 2, middle + height_ / 2 - descent_ - radius_)
                        : QPointF(box.width() / 2, middle - height_ / 2 + ascent_ + radius_);
    }

    QSizeF extent() const { return {chord_, height_}; }

    void draw(QPainter& p, QSizeF size, const CardObject& o, Pass pass) const {
        if (layout_.lineCount() == 0 || width_ <= 0) return;
        const QTextLine line = layout_.lineAt(0);
        const QString text = layout_.text();
        const qreal baseline = line.y() + line.ascent();
        p.save();
        p.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
        const QPen pen = p.pen();
        QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
        for (int from = 0; from < text.size();) {
            clusters.setPosition(from);
            int to = int(clusters.toNextBoundary());
            if (to <= from) to = int(text.size());
            if (!text.at(from).isSpace()) {
                const qreal x0 = line.cursorToX(from), x1 = line.cursorToX(to);
                const qreal middle = (x0 + x1) / 2;
                p.save();
                p.translate(centre_);
                p.rotate(degrees(middle) * (down_ ? -1 : 1));
                p.translate(0, down_ ? radius_ : -radius_);
                p.translate(-middle, -baseline);
                if (pass == Pass::Text)
                    p.setPen(formatColour(o, from));
                else
                    p.setPen(pen);
                for (const QGlyphRun& run : line.glyphRuns(from, to - from))
                    drawGlyphs(p, run, QPointF(0, 0), pass);
                p.restore();
            }
            from = to;
        }
        p.restore();
    }

    QLineF caret(int contentPos) const {
        const qreal x = xOf(layoutPosition(contentPos));
        const double sign = down_ ? -1 : 1;
        return QLineF(at(x, radius_ + sign * ascent_), at(x, radius_ - sign * descent_));
    }

    int positionAt(QPointF point) const {
        if (layout_.lineCount() == 0) return 0;
        const QPointF v = point - centre_;
        const double angle = down_ ? std::atan2(v.x(), v.y()) : std::atan2(v.x(), -v.y());
        const int pos = layout_.lineAt(0).xToCursor(angle * radius_ + width_ / 2);
        const auto it = std::upper_bound(positions_.begin(), positions_.end(), pos);
        return std::max(0, int(it - positions_.begin()) - 1);
    }

    std::vector<QPolygonF> selection(int from, int to) const {
        const qreal x1 = xOf(layoutPosition(std::min(from, to)));
        const qreal x2 = xOf(layoutPosition(std::max(from, to)));
        if (x2 <= x1) return {};
        const double sign = down_ ? -1 : 1;
        constexpr int kSteps = 16;
        QPolygonF shape;
        for (int i = 0; i <= kSteps; ++i)
            shape << at(x1 + (x2 - x1) * i / kSteps, radius_ + sign * ascent_);
        for (int i = kSteps; i >= 0; --i)
            shape << at(x1 + (x2 - x1) * i / kSteps, radius_ - sign * descent_);
        return {shape};
    }

private:
    // The turn in degrees at distance `x` along the line, 0 at its middle.
    double degrees(qreal x) const { return (x - width_ / 2) / radius_ * 180 / M_PI; }

    // The point `r` from the centre at distance `x` along the line.
    QPointF at(qreal x, double r) const {
        const double angle = (x - width_ / 2) / radius_;
        return centre_ + QPointF(r * std::sin(angle), (down_ ? r : -r) * std::cos(angle));
    }

    qreal xOf(int layoutPos) const {
        return layout_.lineCount() > 0 ? layout_.lineAt(0).cursorToX(layoutPos) : width_ / 2;
    }

    int layoutPosition(int contentPos) const {
        return positions_[size_t(
            std::clamp<qsizetype>(contentPos, 0, qsizetype(positions_.size()) - 1))];
    }

    QColor formatColour(const CardObject& o, int layoutPos) const {
        for (const QTextLayout::FormatRange& f : layout_.formats())
            if (layoutPos >= f.start && layoutPos < f.start + f.length)
                return f.format.foreground().color();
        return toQColor(o.color);
    }

    QTextLayout layout_;
    std::vector<int> positions_;
    bool down_ = false;
    qreal ascent_ = 0, descent_ = 0, width_ = 0;
    double radius_ = 1, height_ = 0, chord_ = 0;
    QPointF centre_;
};

// Text `o` laid out in its box `box` (device pixels, as drawText places it) at `scale`: in
// lines or along an arc, in a frame turned by the object's quarter turns about the box's
// centre. Everything is laid out in the frame and mapped to the device.
class TextFrame {
public:
    TextFrame(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box)
        : o_(o) {
        const bool across = o.rotation == 1 || o.rotation == 3;
        size_ = across ? QSizeF(box.height(), box.width()) : QSizeF(box.width(), box.height());
        if (isTurned(o)) {
            toDevice_.translate(box.x() + box.width() / 2.0, box.y() + box.height() / 2.0);
            toDevice_.rotate(90.0 * o.rotation);
            toDevice_.translate(-size_.width() / 2, -size_.height() / 2);
        } else {
            toDevice_.translate(box.x(), box.y());
        }
        if (onArc(o))
            arc_.emplace(o, ctx, scale, size_);
        else
            lines_.emplace(o, ctx, scale);
    }

    // Draws the text moved by `shift` device pixels.
    void draw(QPainter& p, QPoint shift, Pass pass) const {
        p.save();
        p.translate(shift);
        p.setTransform(toDevice_, true);
        if (arc_)
            arc_->draw(p, size_, o_, pass);
        else
            lines_->draw(p, size_, o_.alignment, pass);
        p.restore();
    }

    QLineF caret(int index) const {
        return toDevice_.map(arc_ ? arc_->caret(index)
                                  : lines_->caret(index, size_.width(), o_.alignment));
    }

    int indexAt(QPointF point) const {
        const QPointF local = toDevice_.inverted().map(point);
        return arc_ ? arc_->positionAt(local)
                    : lines_->positionAt(local, size_.width(), o_.alignment);
    }

    std::vector<QPolygonF> selection(int from, int to) const {
        std::vector<QPolygonF> shapes =
            arc_ ? arc_->selection(from, to)
                 : lines_->selection(from, to, size_.width(), o_.alignment);
        for (QPolygonF& shape : shapes) shape = toDevice_.map(shape);
        return shapes;
    }

private:
    const CardObject& o_;
    QSizeF size_;
    QTransform toDevice_;
    std::optional<LineLayout> lines_;
    std::optional<ArcLayout> arc_;
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
    return LineLayout(o, ctx, scale).lineTexts();
}

QSizeF textExtent(const CardObject& o, const RenderContext& ctx, double scale) {
    if (onArc(o)) return ArcLayout(o, ctx, scale, QSizeF()).extent();
    return LineLayout(o, ctx, scale).extent();
}

double textLineHeightUnits(const CardObject& o, const RenderContext& ctx) {
    const QFontMetricsF metrics(textFont(o, kDesignPixels, QFont::PreferNoHinting));
    return (metrics.ascent() + metrics.descent()) * fontHeightUnits(o.fontSize, ctx) /
           kDesignPixels;
}

QLineF textCaretLine(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                     int index) {
    return TextFrame(o, ctx, scale, box).caret(index);
}

int textIndexAt(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                QPointF point) {
    return TextFrame(o, ctx, scale, box).indexAt(point);
}

std::vector<QPolygonF> textSelectionShapes(const CardObject& o, const RenderContext& ctx,
                                           double scale, const QRect& box, int from, int to) {
    if (from == to) return {};
    return TextFrame(o, ctx, scale, box).selection(from, to);
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
    // Text never paints outside its box (it is clipped to it), its shadow box and the
    // outline offsets: skip it when none of that can be seen.
    QRect reach(x, y, w, h);
    if (o.shadow) reach |= reach.translated(clampCoord(dx), clampCoord(dy));
    if (!reach.adjusted(-L - 2, -L - 2, L + 2, L + 2).intersects(visible)) return;

    p.setBrush(Qt::NoBrush);
    const TextFrame frame(o, ctx, scale, QRect(x, y, w, h));
    if (o.shadow) {
        p.setPen(toQColor(uint32_t(o.shadowColor)));
        frame.draw(p, QPoint(clampCoord(ox + dx) - ox, clampCoord(oy + dy) - oy), Pass::Effect);
    }
    if (o.outline) {
        p.setPen(toQColor(o.outlineColor));
        for (int i = -L; i <= L; ++i)
            for (int j = -L; j <= L; ++j)
                if (i != 0 && j != 0) frame.draw(p, QPoint(i, j), Pass::Effect);
    }
    p.setPen(toQColor(o.color));
    frame.draw(p, QPoint(0, 0), Pass::Text);
}

}  // namespace bb
