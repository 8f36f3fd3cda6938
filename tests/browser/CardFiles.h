// Small card files for the browser tests and benchmarks: the signature, a stored preview of
// any depth, and a card with no objects behind it.
#pragma once

#include "document/CardFile.h"
#include "document/CardFormat.h"
#include "pictures/DibImage.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

namespace bbtest {

inline void putI32(QByteArray& out, int32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

inline void putF64(QByteArray& out, double v) {
    char b[8];
    qToLittleEndian(v, b);
    out.append(b, 8);
}

// The preview as stored: header size, colour count, BITMAPINFOHEADER, colour table, rows.
inline QByteArray previewBytes(const bb::DibImage& p) {
    QByteArray out;
    const int colours = bb::dibColourCount(p.bitCount());
    putI32(out, 40 + 4 * colours);
    putI32(out, colours);
    putI32(out, 40);
    putI32(out, p.width());
    putI32(out, p.height());
    out.append(char(1)).append(char(0));             // planes
    out.append(char(p.bitCount())).append(char(0));  // bit count
    putI32(out, 0);                                  // no compression
    putI32(out, int32_t(p.byteCount()));             // image size
    putI32(out, 0);
    putI32(out, 0);
    putI32(out, colours);
    putI32(out, 0);
    for (const auto& q : p.colourTable()) {
        out.append(char(q.blue)).append(char(q.green)).append(char(q.red)).append(char(0));
    }
    out.append(reinterpret_cast<const char*>(p.bits()), qsizetype(p.byteCount()));
    return out;
}

// A whole card file with no objects and `preview` as its stored picture.
inline QByteArray cardBytes(const bb::DibImage& preview) {
    QByteArray out = bb::cardSignature();
    out.append(previewBytes(preview));
    bb::CardFormat format;
    out.append(format.toBytes());
    putI32(out, bb::sideUnits(format.cardWidth));
    putI32(out, bb::sideUnits(format.cardHeight));
    putI32(out, -1);
    out.append('\0');
    putI32(out, -1);
    out.append('\0');
    putF64(out, 1.0);
    putF64(out, 312.0);
    putI32(out, 10001);
    putI32(out, 10001);
    putI32(out, 0xFFFFFF);
    putI32(out, 0xFFFFFF);
    return out;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A picture whose pixel values change from column to column and row to row: a palette index
// for 1, 4 and 8 bits, a colour for 24 bits.
inline uint32_t patternValue(int x, int y, int bits) {
    switch (bits) {
        case 1:
            return uint32_t((x + y) % 2);
        case 4:
            return uint32_t((x + 3 * y) % 16);
        case 8:
            return uint32_t((x + 7 * y) % 256);
        default:
            return bb::rgbRef(x % 256, y % 256, (x * 3 + y) % 256);
    }
}

inline bb::DibImage patternPicture(int w, int h, int bits) {
    std::vector<bb::RgbQuad> table(size_t(bb::dibColourCount(bits)));
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = bb::RgbQuad{uint8_t(255 - i), uint8_t(i * 3), uint8_t(i), 0};
    bb::DibImage p =
        bb::newDib(w, h, bits, table.empty() ? nullptr : table.data(), int(table.size()));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bb::setPixel(p, x, y, patternValue(x, y, bits));
    return p;
}

// A 24-bit card preview of the size the writer makes for a 200 × 150 mm card.
inline bool writeCard(const QString& path, int w = 86, int h = 64, int bits = 24) {
    return writeBytes(path, cardBytes(patternPicture(w, h, bits)));
}

}  // namespace bbtest
