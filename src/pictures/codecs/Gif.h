// GIF writing through giflib. Reading stays with Qt's GIF reader (the table's last entry):
// it composes the first frame, which is what a card shows.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>

namespace bb {

// Palette pictures keep their colour table; 24-bit pictures with at most 256 colours keep
// their exact colours; others are reduced by median cut with Floyd-Steinberg dithering.
bool writeGif(const DibImage& picture, QByteArray& out);

}  // namespace bb
