// A picture object's crop, colour settings and soft edge as the renderer draws them: the part
// of the picture's pixels that is shown, and the adjusted copy of it, made once per picture,
// settings and drawn size and kept in a small process-wide cache.
#pragma once

#include "pictures/DibImage.h"
#include "pictures/PictureAdjust.h"

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace bb {

struct CardObject;
class CardDocument;
struct RenderContext;

struct PictureEffects {
    QRectF crop;  // fractions of the picture; empty for the whole picture
    PictureLook look;
    double radius = 0;   // corner radius in device pixels of the drawn box
    double feather = 0;  // soft edge in device pixels of the drawn box

    bool hasEdge() const { return radius > 0 || feather > 0; }
    bool isPlain() const { return crop.isEmpty() && look.isPlain() && !hasEdge(); }
};

// The crop of `o` (the whole picture for an empty, inverted or out-of-range one, clipped to
// 0..1 otherwise) and its colour settings; the edge lengths are left 0 for the caller, who
// knows the drawn scale.
PictureEffects pictureEffectsOf(const CardObject& o);

// The crop rectangle as pixels of a pw × ph picture, top row first, at least one pixel.
QRect cropPixels(const QRectF& crop, int pw, int ph);

// The pixel size at which the whole picture must be decoded so that its cropped part covers
// `drawn` device pixels.
QSize uncroppedSize(const QRectF& crop, QSize drawn);

// The cropped and adjusted picture for drawing `drawn` device pixels large: with an edge it is
// resampled to exactly `drawn` (so that the corners are round on the device), else it keeps
// the resolution of the cropped pixels (an edged copy is at most 24 megapixels, drawn enlarged
// beyond). Null when `pixels` is null or memory runs out.
QImage effectImage(const DibImage& pixels, PictureEffects effects, QSize drawn);

// Empties the cache of adjusted copies (tests).
void clearEffectImages();

}  // namespace bb
