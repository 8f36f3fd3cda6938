// Windows bitmaps: files with a BITMAPFILEHEADER and packed DIBs (info header, colour table,
// bits) without one.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>

namespace bb {

// True for data with the "BM" signature, and for a ".dib" that starts with a bitmap info
// header (a packed DIB as the clipboard stores it).
bool bmpAccepts(const QByteArray& head, const QString& suffix);

// Decodes a bitmap file or a packed DIB: OS/2 core, BITMAPINFOHEADER and V2..V5 headers;
// 1, 2, 4, 8, 16, 24 and 32 bits; BI_RLE4, BI_RLE8, BI_BITFIELDS; bottom-up and top-down.
// 2-bit pictures become 4 bit, 16- and 32-bit pictures 24 bit. Null on any failure.
DibImage readBmp(const QByteArray& data);

// Decodes a packed DIB of `size` bytes. The bits start at `bitsOffset` bytes from `data`
// when that lies behind the colour table, else right after the colour table.
DibImage readPackedDib(const uint8_t* data, qint64 size, qint64 bitsOffset = -1);

// A packed DIB: 40-byte header, colour table, the rows as stored.
QByteArray packedDib(const DibImage& picture);

// A Windows bitmap file: BITMAPFILEHEADER followed by packedDib(). False for a null picture.
bool writeBmp(const DibImage& picture, QByteArray& out);

}  // namespace bb
