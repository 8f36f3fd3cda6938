// Draws a region of a DibImage stretched onto a painter.
#pragma once

#include "pictures/DibImage.h"

class QPainter;

namespace bb {

// A destination and source rectangle pair as DrawDib uses it. The source counts rows from
// the picture's bottom edge (srcY = 0 is the bottom row), as device-independent bitmaps do.
struct DibDrawRect {
    int destX = 0, destY = 0, destWidth = 0, destHeight = 0;
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    friend bool operator==(const DibDrawRect&, const DibDrawRect&) = default;
};

// Clips the source rectangle to a picture of pw × ph pixels and shrinks (and shifts) the
// destination in proportion, rounding halves to the even neighbour. The source size must be
// positive; the caller checks that the result still has a positive size.
DibDrawRect clipDibSource(DibDrawRect r, int pw, int ph);

// Draws the source region (srcY counted from the bottom) of `picture` into the destination
// rectangle, nearest-pixel sampling. On a QImage painter with at most a translation the
// pixels are copied row by row straight from the picture's bits into the image, honouring the
// clip and touching only the visible rows and columns; on any other device (printer, PDF,
// scaled painter) the cached QImage of the picture is drawn scaled, so a PDF embeds it once.
void DrawDib(QPainter& painter, int destX, int destY, int destWidth, int destHeight,
             const DibImage& picture, int srcX, int srcY, int srcWidth, int srcHeight);

// The whole picture into the destination rectangle.
inline void DrawDib(QPainter& painter, int destX, int destY, int destWidth, int destHeight,
                    const DibImage& picture) {
    if (picture.isNull()) return;
    DrawDib(painter, destX, destY, destWidth, destHeight, picture, 0, 0, picture.width(),
            picture.height());
}

}  // namespace bb
