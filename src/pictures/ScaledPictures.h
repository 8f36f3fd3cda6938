// Pictures reduced to the size they are drawn at. A phone photo drawn a few centimetres wide
// on screen, in an export or in print needs a small part of its pixels: a JPEG is decoded
// straight to that size (DCT scaling), other formats are read once and reduced. The reduced
// pictures are shared by every object and output through one cache for the whole process,
// keyed by file, modification time, turn and size, and bounded in memory.
#pragma once

#include "pictures/DibImage.h"

#include <QSize>

namespace bb {

// Bytes of reduced pictures the cache keeps beyond those still in use.
inline constexpr qint64 kScaledPictureCacheBytes = 192ll * 1024 * 1024;

// True when `picture` drawn at `size` device pixels is drawn from a reduced copy: it comes
// from a file (sourceFile) and is at least twice as large as `size` on both sides, or it has
// not been decoded yet (isDeferred). Everything else is drawn from its own pixels, as before.
bool drawsReduced(const DibImage& picture, QSize size);

// The pixels to draw `picture` with at `size` device pixels: the picture itself unless
// drawsReduced, else a 24-bit copy of exactly `size` (clamped to the picture's size), decoded
// at most once per file, modification time, turn and size. A picture that fails to decode is
// returned as it is (its stand-in). Blocks while decoding; safe on any thread.
DibImage scaledPicture(const DibImage& picture, QSize size);

// What the cache holds for `picture` at `size` without decoding anything: the exact size
// when held (`exact` true), else the largest held size of the same picture (`exact` false),
// else a null picture. Pictures that are not drawsReduced are returned as they are.
DibImage cachedScaledPicture(const DibImage& picture, QSize size, bool* exact = nullptr);

// Counters for tests and benchmarks.
struct ScaledPictureStats {
    qint64 decodes = 0;  // reduced pictures made from files
    qint64 hits = 0;     // requests answered from the cache
    qint64 bytes = 0;    // bytes of reduced pictures held now
};
ScaledPictureStats scaledPictureStats();
// Empties the cache and resets the counters (tests).
void clearScaledPictures();

}  // namespace bb
