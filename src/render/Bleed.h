// A side drawn for a print shop: the background reaches a few millimetres beyond the cut (the
// bleed), so that a cut a little off the line leaves no white edge. Only the background grows;
// the objects stay where they are and are clipped at the grown edge instead of the card's.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"

class QPainter;

namespace bb {

// drawCardSide in output mode (editorMode false) with the background drawn into the card grown
// by `bleedPixels` device pixels on every side, and that grown card as the clip. The arguments
// are drawCardSide's: w × h the card's size, (sx, sy) its scroll. Defined in Renderer.cpp.
void drawCardSideBleeding(QPainter& canvas, const CardDocument& doc, int side,
                          const RenderContext& ctx, int w, int h, int sx, int sy, double scale,
                          int bleedPixels);

// The largest bleed taken, in device pixels (a larger one is cut to it).
inline constexpr int kMaxBleedPixels = 1 << 16;

// drawSideAt (render/Preview.h) with a bleed: `side` with its cut at device (x, y) and size
// w × h pixels, at ctx.outputScale, the background reaching `bleedPixels` beyond the cut. The
// side's pictures are decoded in parallel first.
void drawSideWithBleed(QPainter& painter, const CardDocument& doc, int side,
                       const RenderContext& ctx, int x, int y, int w, int h, int bleedPixels);

}  // namespace bb
