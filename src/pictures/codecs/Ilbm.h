// Amiga IFF pictures. Reads FORM ILBM (1 to 8 bit planes, Extra-Half-Brite, HAM6/HAM8,
// 24 and 32 "deep" planes, optional mask plane, uncompressed or ByteRun1) and the chunky
// FORM "PBM " of DOS Deluxe Paint. Writes FORM ILBM with ByteRun1: palette pictures as
// 1, 4 or 8 planes with their CMAP, 24-bit pictures as 24 planes (lossless).
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>

namespace bb {

bool acceptsIlbm(const QByteArray& head, const QString& suffix);
DibImage readIlbm(const QByteArray& data);
bool writeIlbm(const DibImage& picture, QByteArray& out);

// ByteRun1 (PackBits) encoding of one line, appended to `out`.
void byteRun1Pack(const uint8_t* src, int count, QByteArray& out);

}  // namespace bb
