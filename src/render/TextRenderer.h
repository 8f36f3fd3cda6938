// Drawing of text objects: font size from the card's units, word wrap, alignment and spacing in
// a frame turned by the object's quarter turns, or the text set along an arc; formatted spans,
// colour emoji, outline and shadow effects.
#pragma once

#include <QLineF>
#include <QPolygonF>
#include <QRect>
#include <QSizeF>
#include <QStringList>

#include <vector>

class QPainter;

namespace bb {

class CardDocument;
struct CardObject;
struct RenderContext;

// Height of a text object's font in document units: 20000 / d × fontSize × p / d
// (d = ctx.screenDpi, p = ctx.fontDpi). Its pixel size at a scale is this times the scale.
double fontHeightUnits(int fontSize, const RenderContext& ctx);

// Pixel size of a text object's font: Trunc(20000 / d × fontSize × scale × p / d), at least 1.
// A product that misses a whole number only by rounding error counts as that number.
int textPixelSize(int fontSize, double scale, const RenderContext& ctx);

// Outline thickness of a text: max(1, Trunc(scale × 4000 / mmPerInchX)).
int outlineThickness(double scale, double mmPerInchX);

// One line of a text: its first character and length in the text as drawn (carriage
// returns turned into line breaks), trailing spaces and line break included.
struct TextLineSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextLineSpan&, const TextLineSpan&) = default;
};

// Where text `o` breaks into lines. Decided from the unhinted outline metrics of its fonts and
// the length of its lines (the width of its box, its height when turned a quarter either way),
// both in document units, so the breaks do not depend on the
// scale: editor, preview, export and print all wrap the text alike.
std::vector<TextLineSpan> textLineBreaks(const CardObject& o, const RenderContext& ctx);

// The lines that drawText paints for text `o` at `scale`, top to bottom, each without
// its trailing spaces and line break.
QStringList textLinesAt(const CardObject& o, const RenderContext& ctx, double scale);

// The room that text `o` takes when drawn at `scale`, in device pixels along and across its
// lines (before its quarter turns): the advance of its widest line and the height of its lines
// (of one line of its font when it is empty); for text on an arc, the arc's chord and height.
QSizeF textExtent(const CardObject& o, const RenderContext& ctx, double scale);

// The height of one line of text `o`'s font in document units, from its unhinted metrics;
// it does not depend on any scale.
double textLineHeightUnits(const CardObject& o, const RenderContext& ctx);

// Caret geometry of text `o` drawn into `box` (device pixels, as drawText places it) at
// `scale`, for positions 0..content.size() of its content: the caret before a position, the
// position nearest to a point, and the shapes that cover the characters between two positions.
// They follow the layout drawText paints, lines, wrapping, alignment, quarter turns and arcs
// included.
QLineF textCaretLine(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                     int index);
int textIndexAt(const CardObject& o, const RenderContext& ctx, double scale, const QRect& box,
                QPointF point);
std::vector<QPolygonF> textSelectionShapes(const CardObject& o, const RenderContext& ctx,
                                           double scale, const QRect& box, int from, int to);

// Draws text object `o` of a side, shifted by the scroll position; `visible` is
// the part of the device that can change, used only to skip invisible work.
void drawText(QPainter& p, const CardDocument& doc, const CardObject& o, const RenderContext& ctx,
              int scrollX, int scrollY, double scale, const QRect& visible);

}  // namespace bb
