// Truevision TGA: reads image types 1, 2, 3 and their RLE forms 9, 10, 11 (8-bit
// colour-mapped with 15/16/24/32-bit maps, 15/16/24/32-bit true colour, 8-bit grey and
// grey+alpha), any origin, with or without the version 2 footer. Alpha is dropped.
// Writes 24-bit true colour or 8-bit colour-mapped, uncompressed, with the footer.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>

namespace bb {

// TGA has no signature: a plausible header and one of the usual suffixes.
bool acceptsTga(const QByteArray& head, const QString& suffix);
DibImage readTga(const QByteArray& data);
bool writeTga(const DibImage& picture, QByteArray& out);

}  // namespace bb
