// Whole-side renders in output mode: the card file's small preview and a side as an image
// or onto a device position (export, command-line tool, printing).
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"

#include <QImage>
#include <QSize>

class QPainter;

namespace bb {

// Pixel size of a side drawn at `dpi`: Trunc(mm ÷ 25.39995 × dpi) in each direction.
QSize sideImageSize(const CardFormat& format, double dpi);

// The outside of the card as the 24-bit preview stored in card files (about 90 pixels wide):
// draws it at r = Trunc(90 × 25.39995 ÷ cardWidth) pixels per inch onto white, with every
// text as typed, and returns the picture. A card of 200 × 150 mm gives 86 × 64 pixels. Card
// sizes that give no pixels (or absurd ones) give a 1 × 1 white picture.
DibImage createCardPreview(const CardDocument& doc, const RenderContext& ctx);

// `side` in output mode at `dpi`: a white Format_RGB32 image of sideImageSize() with the card
// at (0, 0). A null image when the size is empty or above the picture limits.
QImage renderSide(const CardDocument& doc, int side, const RenderContext& ctx, double dpi);

// Draws `side` with its top-left corner at device (x, y) and size w × h pixels, in output mode
// at ctx.outputScale (the caller passes an output context, e.g. from atOutputDpi, with the
// calibrated millimetres per inch when printing). Waits for the side's pictures, decoded in
// parallel at the size they are drawn (drawOutputSide).
void drawSideAt(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                int x, int y, int w, int h);

// The same at `dpi` in output mode; the size is sideImageSize(format, dpi).
void drawSideAt(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                double dpi, int x, int y);

}  // namespace bb
