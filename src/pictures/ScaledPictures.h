// Pictures reduced to the size they are drawn at. A phone photo drawn a few centimetres wide
// on screen, in an export or in print needs a small part of its pixels: a JPEG is decoded
// straight to that size (DCT scaling), other formats are read once and reduced. The reduced
// pictures are shared by every object and output through one cache for the whole process,
// keyed by file, modification time, turn and size, and bounded in memory.
#pragma once

#include "pictures/DibImage.h"

#include <QSize>

#include <functional>

namespace bb {

// Bytes of reduced pictures the cache keeps beyond those still in use.
inline constexpr qint64 kScaledPictureCacheBytes = 192ll * 1024 * 1024;

// Pictures whose pixels take at least this many bytes are large: a card's pictures this
// large are read as deferred pictures (PictureCache), and large pictures are drawn from
// reduced copies. Smaller pictures are loaded at once and drawn from their own pixels.
inline constexpr qint64 kDeferredPictureBytes = 4ll * 1024 * 1024;

// True when `picture` drawn at `size` device pixels is drawn from a reduced copy: a large
// picture (kDeferredPictureBytes) read from a file (sourceFile), not a stand-in, drawn
// smaller than itself on both sides. Everything else, and every picture below the threshold,
// is drawn from its own pixels exactly as before.
bool drawsReduced(const DibImage& picture, QSize size);

// The pixels to draw `picture` with at `size` device pixels: the picture itself unless
// drawsReduced (a deferred picture is decoded here, on the calling thread), else a 24-bit
// copy of exactly `size`, made at most once per file, modification time, file size, turn and
// size: a deferred picture from its file (a JPEG decoded straight at that size), a decoded
// one from its own pixels. A thread asking for a copy another thread is making waits for it.
// A picture whose copy cannot be made is returned as it is, decoded (its stand-in when the
// file fails). Blocks while decoding; safe on any thread.
DibImage scaledPicture(const DibImage& picture, QSize size);

// What the cache holds for `picture` at `size` without decoding anything: the exact size
// when held (`exact` true), else the largest held size of the same picture (`exact` false),
// else a null picture. Pictures that are not drawsReduced are returned as they are, except a
// deferred one, which needs a decode: null.
DibImage cachedScaledPicture(const DibImage& picture, QSize size, bool* exact = nullptr);

// Counters for tests and benchmarks.
struct ScaledPictureStats {
    qint64 decodes = 0;  // reduced pictures made from files
    qint64 hits = 0;     // requests answered from the cache
    qint64 bytes = 0;    // bytes of reduced pictures held now
    qint64 waits = 0;    // requests that waited for another thread making the same copy
};
ScaledPictureStats scaledPictureStats();
// Empties the cache and resets the counters (tests).
void clearScaledPictures();
// Sets the bytes kept beyond those in use (kScaledPictureCacheBytes until set).
void setScaledPictureCacheBytes(qint64 bytes);
// Called on the decoding thread before each reduced copy is made, so that a test can hold a
// decode there; empty to remove.
void setScaledPictureDecodeHook(std::function<void()> hook);

}  // namespace bb
