// Windows bitmap with run-length compression (the ".rle" save type): 8-bit pictures as
// RLE8, 1- and 4-bit pictures as RLE4, 24-bit pictures reduced to 256 colours (exactly when
// they have no more, by median cut otherwise) and written as RLE8. Reading is the BMP
// reader's, which decodes both compressions.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>

namespace bb {

bool writeBmpRle(const DibImage& picture, QByteArray& out);

// One row of indices (one byte each) as RLE8 or RLE4 codes, without the end-of-line code.
void encodeRle8Row(const uint8_t* indices, int width, QByteArray& out);
void encodeRle4Row(const uint8_t* indices, int width, QByteArray& out);

}  // namespace bb
