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

// The last reader of the table: PNG, JPEG, TIFF and WebP, recognised by their signature and
// each decoded by its own Qt plugin alone (no guessing of the format from the content, so no
// other plugin, SVG above all, ever sees a picture file). Sizes are checked against
// dibSizeAllowed() before any pixels are decoded.
bool qtReaderAccepts(const QByteArray& head, const QString& suffix);
DibImage readWithQt(const QByteArray& data);
bool qtHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);

// The Qt format names ("png", "jpeg", ...) read through readWithQt that this Qt offers.
QList<QByteArray> qtPictureFormats();
// The format of a file starting with `head`, empty when it is none of qtPictureFormats().
QByteArray qtPictureFormat(const QByteArray& head);

// True when the picture starting with `head` can be decoded straight to a smaller size
// (readWithQtScaled), without the whole picture in memory first.
bool qtCanReadScaled(const QByteArray& head);
// Decodes the picture scaled to `size`; null on failure.
DibImage readWithQtScaled(const QByteArray& data, QSize size);

// The size readWithQt gives the picture in `file` (starting with `head`), after the
// orientation the file names, when it decodes to 24 bits; invalid for pictures that decode
// to fewer (grey, palette, two colours) and for files it does not read. Reads the header only.
QSize qtColourPictureSize(QIODevice& file, const QByteArray& head);
// Decodes the JPEG in `file` to `size` (after orientation) through the decoder's own scaling,
// with readWithQt's restrictions and orientation; any format with the reader's scaling.
// Null on failure.
DibImage readWithQtAtSize(QIODevice& file, const QByteArray& head, QSize size);

}  // namespace bb
