// Pictures decoded before an output draws them. An output (export, print, previews, the
// command-line renders) first works out which pictures a side asks for at which device size,
// by the renderer's own picture pass on a device that draws nothing, decodes those in
// parallel over the available cores, and then draws the side from them. The draw gives the
// same pixels as one that decodes each picture when it reaches it.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"
#include "pictures/PicturePixels.h"

#include <QHash>
#include <QSize>

#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace bb {

// A picture and the device size a draw asks for it at.
struct PictureRequest {
    DibImage picture;
    QSize size;
};

// What drawCardSide(painter, doc, side, ctx, ...) with the same arguments asks for, each pair
// of picture and size once, in drawing order. Reads the painter's device, transform and clip
// and draws nothing.
std::vector<PictureRequest> sidePictureRequests(const QPainter& painter, const CardDocument& doc,
                                                int side, const RenderContext& ctx, int areaWidth,
                                                int areaHeight, int scrollX, int scrollY,
                                                double scale, bool editorMode);

// Pixels decoded for a set of requests and held while an output draws with them; a request it
// does not hold is decoded when asked for (scaledPicture), so drawing never misses a picture.
class PreparedPictures : public PicturePixels {
public:
    DibImage pixels(const DibImage& picture, QSize size) const override;
    // Pictures made by decoding (not found in the shared cache), for tests and benchmarks.
    int decoded() const { return decoded_; }

private:
    friend std::shared_ptr<const PreparedPictures> preparePictures(
        const std::vector<PictureRequest>& requests);
    QHash<std::pair<const void*, QSize>, DibImage> held_;
    int decoded_ = 0;
};

// Decodes what `requests` need and the shared cache does not hold (reduced copies, and pictures
// not decoded yet that are drawn from their own pixels), in parallel: the calling thread and
// up to QThread::idealThreadCount() − 1 helpers from the global pool take the decodes one by
// one. Returns once every one is ready; a decode a helper has not finished within minutes is
// left to the draw, which then makes or waits for it itself.
std::shared_ptr<const PreparedPictures> preparePictures(
    const std::vector<PictureRequest>& requests);

// ctx drawing from `prepared` (an output's draw after preparePictures).
inline RenderContext withPreparedPictures(RenderContext ctx,
                                          std::shared_ptr<const PreparedPictures> prepared) {
    ctx.pictures = std::move(prepared);
    return ctx;
}

// drawCardSide for an output that waits for its pictures: the side's pictures are decoded
// first (sidePictureRequests, preparePictures), then the side is drawn from them. A picture
// source in ctx (the editor's background decoding) is not used.
void drawOutputSide(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                    int areaWidth, int areaHeight, int scrollX, int scrollY, double scale);

}  // namespace bb
