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
// makes the outside the working side (CardDocument::switchSide(0)), draws it at
// r = Trunc(90 × 25.39995 ÷ cardWidth) pixels per inch onto white and returns the picture.
// ctx's render mode and scale are restored. A card of 200 × 150 mm gives 86 × 64 pixels.
// Card sizes that give no pixels (or absurd ones) give a 1 × 1 white picture.
DibImage createCardPreview(CardDocument& doc, RenderContext& ctx);

// The working side in output mode at `dpi`: a white Format_RGB32 image of sideImageSize()
// with the card at (0, 0). Callers choose the side with CardDocument::switchSide first. A null
// image when the size is empty or above the picture limits.
QImage renderSide(CardDocument& doc, RenderContext& ctx, double dpi);

// Draws the working side with its top-left corner at device (x, y) and size w × h pixels,
// in output mode at ctx.outputScale (the caller sets output mode and the scale, e.g. with
// OutputModeGuard, and the calibrated millimetres per inch when printing).
void drawSideAt(QPainter& painter, CardDocument& doc, RenderContext& ctx, int x, int y, int w,
                int h);

// The same at `dpi`: sets output mode for the call; the size is sideImageSize(format, dpi).
void drawSideAt(QPainter& painter, CardDocument& doc, RenderContext& ctx, double dpi, int x, int y);

}  // namespace bb
