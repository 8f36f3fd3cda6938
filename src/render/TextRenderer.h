// Drawing of text objects: font size from the card's units, word wrap and alignment for upright
// texts, one turned line for rotated ones, outline and shadow effects.
#pragma once

#include <QRect>

class QPainter;

namespace bb {

class CardDocument;
struct CardObject;
struct RenderContext;

// Pixel size of a text object's font: Trunc(20000 / d × fontSize × scale × p / d), at least 1
// (d = ctx.screenDpi, p = ctx.fontDpi). A product that misses a whole number only by rounding
// error counts as that number.
int textPixelSize(int fontSize, double scale, const RenderContext& ctx);

// Outline thickness of a text: max(1, Trunc(scale × 4000 / mmPerInchX)).
int outlineThickness(double scale, double mmPerInchX);

// Draws text object `o` of the working side, shifted by the scroll position; `visible` is
// the part of the device that can change, used only to skip invisible work.
void drawText(QPainter& p, CardDocument& doc, const CardObject& o, const RenderContext& ctx,
              int scrollX, int scrollY, double scale, const QRect& visible);

}  // namespace bb
