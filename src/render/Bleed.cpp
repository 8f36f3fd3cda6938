// A side drawn with a bleed; see Bleed.h.
#include "render/Bleed.h"

#include "render/PicturePrefetch.h"

#include <QPainter>

#include <algorithm>

namespace bb {

void drawSideWithBleed(QPainter& painter, const CardDocument& doc, int side,
                       const RenderContext& ctx, int x, int y, int w, int h, int bleedPixels) {
    const int bleed = std::clamp(bleedPixels, 0, kMaxBleedPixels);
    // The pictures the side asks for without the bleed; only a background picture is then
    // asked for at its grown size, and decoded when the draw reaches it.
    const auto prepared = preparePictures(
        sidePictureRequests(painter, doc, side, ctx, w, h, w - x, h - y, ctx.outputScale, false));
    drawCardSideBleeding(painter, doc, side, withPreparedPictures(ctx, prepared), w, h, w - x,
                         h - y, ctx.outputScale, bleed);
}

}  // namespace bb
