// Colour reduction: exact palettes for pictures with few colours, median cut otherwise,
// with optional Floyd-Steinberg error diffusion.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>

namespace bb {

// A 24-bit copy of any picture (palette pictures looked up through their colour table).
DibImage dibTo24(const DibImage& picture);
// A 24-bit picture from any QImage (alpha dropped).
DibImage dib24FromQImage(const QImage& image);

// An 8-bit picture of at most `maxColours` (2..256) colours. Palette pictures are only
// widened to 8 bits (their table kept). A 24-bit picture with at most `maxColours` distinct
// colours keeps them exactly; with more it gets a median-cut palette whose entries are the
// mean true colours of their boxes, mapped with or without dithering.
DibImage reduceTo8(const DibImage& picture, int maxColours = 256, bool dither = false);

}  // namespace bb
