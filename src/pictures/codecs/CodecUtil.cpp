#include "pictures/codecs/CodecUtil.h"

#include <array>

namespace bb::codec {

void expandIndices(const uint8_t* row, int bitCount, int width, uint8_t* out) {
    if (bitCount == 8) {
        std::memcpy(out, row, size_t(width));
        return;
    }
    for (int x = 0; x < width; ++x) out[x] = indexAt(row, bitCount, x);
}

namespace {

// spread[b]: byte j (little-endian order) is bit (7 - j) of b, i.e. pixel j of a plane byte.
const std::array<uint64_t, 256>& spreadTable() {
    static const std::array<uint64_t, 256> table = [] {
        std::array<uint64_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            uint64_t v = 0;
            for (int j = 0; j < 8; ++j)
                if (b & (0x80 >> j)) v |= uint64_t(1) << (8 * j);
            t[size_t(b)] = v;
        }
        return t;
    }();
    return table;
}

// Collects bit `bit` of eight pixel bytes into one plane byte, leftmost pixel in bit 7.
inline uint8_t gather8(const uint8_t* px, int stride, int count, int bit) {
    uint64_t x = 0;
    for (int j = 0; j < count; ++j) x |= uint64_t(px[j * stride]) << (8 * (7 - j));
    x = (x >> bit) & 0x0101010101010101ull;
    return uint8_t((x * 0x0102040810204080ull) >> 56);
}

}  // namespace

void planarToChunky(const uint8_t* const* planes, int planeCount, int width, uint8_t* out) {
    const auto& spread = spreadTable();
    const int fullBytes = width / 8;
    for (int i = 0; i < fullBytes; ++i) {
        uint64_t v = 0;
        for (int k = 0; k < planeCount; ++k) v |= spread[planes[k][i]] << k;
        for (int j = 0; j < 8; ++j) out[i * 8 + j] = uint8_t(v >> (8 * j));
    }
    const int rest = width - fullBytes * 8;
    if (rest > 0) {
        uint64_t v = 0;
        for (int k = 0; k < planeCount; ++k) v |= spread[planes[k][fullBytes]] << k;
        for (int j = 0; j < rest; ++j) out[fullBytes * 8 + j] = uint8_t(v >> (8 * j));
    }
}

void chunkyToPlanarBitStrided(const uint8_t* pixels, int stride, int width, int bit,
                              uint8_t* planeRow) {
    const int fullBytes = width / 8;
    for (int i = 0; i < fullBytes; ++i)
        planeRow[i] = gather8(pixels + size_t(i) * 8 * stride, stride, 8, bit);
    const int rest = width - fullBytes * 8;
    if (rest > 0)
        planeRow[fullBytes] = gather8(pixels + size_t(fullBytes) * 8 * stride, stride, rest, bit);
}

void chunkyToPlanarBit(const uint8_t* pixels, int width, int bit, uint8_t* planeRow) {
    chunkyToPlanarBitStrided(pixels, 1, width, bit, planeRow);
}

}  // namespace bb::codec
