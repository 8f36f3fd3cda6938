// Halftoned 8-bit copies of pictures for displays with a palette.
#pragma once

#include "pictures/DibImage.h"

namespace bb {

// An 8-bit copy with its own palette (median cut of the picture's colours) and
// Floyd-Steinberg error diffusion. Palette pictures are converted through their colours.
// Null for a null source.
DibImage halftoneDib(const DibImage& source);
// The same, resampled (smoothly) to width x height first. Null for a null source or a
// size that dibSizeAllowed refuses.
DibImage halftoneDibXY(const DibImage& source, int width, int height);

}  // namespace bb
