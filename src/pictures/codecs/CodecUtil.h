// Small helpers shared by the picture codecs: byte order, bounded output, planar packing.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>

namespace bb::codec {

inline uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t be16(const uint8_t* p) {
    return uint16_t((p[0] << 8) | p[1]);
}
inline uint32_t be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void putLe16(QByteArray& out, uint32_t v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
inline void putLe32(QByteArray& out, uint32_t v) {
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}
inline void putBe16(QByteArray& out, uint32_t v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}
inline void putBe32(QByteArray& out, uint32_t v) {
    putBe16(out, v >> 16);
    putBe16(out, v & 0xFFFF);
}

inline const uint8_t* bytes(const QByteArray& data) {
    return reinterpret_cast<const uint8_t*>(data.constData());
}

// The palette index (1, 4, 8 bits) at column x of a packed row.
inline uint8_t indexAt(const uint8_t* row, int bitCount, int x) {
    switch (bitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        default:
            return row[x];
    }
}

// Expands one packed row of 1-, 4- or 8-bit indices to one byte per pixel.
void expandIndices(const uint8_t* row, int bitCount, int width, uint8_t* out);

// Bit planes <-> one byte per pixel, eight pixels at a time. `planes[k]` points at the
// row of plane k (most significant bit = leftmost pixel). planarToChunky ORs bit k of each
// output byte in from plane k (k < 8); chunkyToPlanar writes plane bytes for bit k.
void planarToChunky(const uint8_t* const* planes, int planeCount, int width, uint8_t* out);
void chunkyToPlanarBit(const uint8_t* pixels, int width, int bit, uint8_t* planeRow);

// Same as chunkyToPlanarBit but for a pixel stride (e.g. 3 for one channel of BGR).
void chunkyToPlanarBitStrided(const uint8_t* pixels, int stride, int width, int bit,
                              uint8_t* planeRow);

}  // namespace bb::codec
