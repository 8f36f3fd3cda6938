// ZSoft PCX: reads versions 0 to 5 (1-bit, 2-bit, 4-bit packed or planar, 8-bit with the
// 256-colour palette at the end, 24-bit as three planes), writes version 5 with RLE.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>

namespace bb {

bool acceptsPcx(const QByteArray& head, const QString& suffix);
DibImage readPcx(const QByteArray& data);
// 24-bit pictures as three 8-bit planes; 1-, 4- and 8-bit ones as 8-bit with a palette.
bool writePcx(const DibImage& picture, QByteArray& out);

}  // namespace bb
