// Conversions between DibImage and QImage, and the QImageReader fallback reader.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace bb {

// A new image of the picture: Format_RGB32 for 24 bits, Format_Indexed8 with the colour
// table for 1, 4 and 8 bits. Null for a null picture. Not cached (see DibImage::toQImage).
QImage qimageFromDib(const DibImage& picture);

// The last reader of the table: takes anything QImageReader can decode except bitmaps
// ("BM"), which are ours alone. Sizes are checked against dibSizeAllowed() before any
// pixels are decoded.
bool qtReaderAccepts(const QByteArray& head, const QString& suffix);
DibImage readWithQt(const QByteArray& data);

}  // namespace bb
