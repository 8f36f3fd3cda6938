#include "pictures/Bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace bb {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;

// Little-endian reads that yield 0 past the end; callers check the size first where a
// missing value matters.
struct Bytes {
    const uint8_t* p;
    qint64 n;
    uint32_t u8(qint64 at) const { return at >= 0 && at < n ? p[at] : 0; }
    uint32_t u16(qint64 at) const { return u8(at) | (u8(at + 1) << 8); }
    uint32_t u32(qint64 at) const { return u16(at) | (u16(at + 2) << 16); }
    int32_t s32(qint64 at) const { return int32_t(u32(at)); }
};

bool plausibleInfoHeaderSize(uint32_t size) {
    return size == 12 || (size >= 16 && size <= 64) || size == 108 || size == 124;
}

// One colour channel of a bit-field pixel, scaled to 0..255 (rounded, so that a full
// 5-bit channel gives 255, not 248).
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    uint8_t operator()(uint32_t v) const {
        if (!max) return 0;
        return uint8_t((uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
    }
};

void putIndex(uint8_t* row, qint64 x, int bits, uint32_t value) {
    if (bits == 8) {
        row[x] = uint8_t(value);
    } else {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0u) | (value & 0x0Fu))
                    : uint8_t((b & 0x0Fu) | ((value & 0x0Fu) << 4));
    }
}

// BI_RLE8 / BI_RLE4. Rows are bottom-up; pixels that the stream skips (delta, early end of
// line or bitmap) stay index 0. Every write is bounded to the picture; a truncated stream
// keeps what was decoded.
void decodeRle(const uint8_t* s, qint64 len, DibImage& picture) {
    const int bits = picture.bitCount();
    const qint64 w = picture.width(), h = picture.height();
    uint8_t* base = picture.bits();
    const qint64 stride = picture.bytesPerRow();
    qint64 x = 0, y = 0, i = 0;
    auto put = [&](uint32_t value) {
        if (x < w && y < h) putIndex(base + y * stride, x, bits, value);
        ++x;
    };
    while (y < h && i + 1 < len) {
        const uint32_t count = s[i], value = s[i + 1];
        i += 2;
        if (count > 0) {
            const uint32_t todo = uint32_t(std::clamp<qint64>(w - x, 0, count));
            for (uint32_t k = 0; k < todo; ++k)
                put(bits == 8 ? value : ((k & 1) ? (value & 0x0F) : (value >> 4)));
            x += count - todo;
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (i + 1 >= len) break;
            x += s[i];
            y += s[i + 1];
            i += 2;
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const qint64 bytes = bits == 8 ? value : (value + 1) / 2;
            const qint64 avail = std::min(bytes, len - i);
            for (uint32_t k = 0; k < value; ++k) {
                const qint64 at = bits == 8 ? k : k / 2;
                if (at >= avail) break;
                const uint32_t b = s[i + at];
                put(bits == 8 ? b : ((k & 1) ? (b & 0x0F) : (b >> 4)));
            }
            if (avail < bytes) break;
            i += bytes + (bytes & 1);
        }
    }
}

void put16(QByteArray& out, uint32_t v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

bool bmpAccepts(const QByteArray& head, const QString& suffix) {
    if (head.startsWith("BM")) return true;
    if (suffix != QLatin1String("dib") || head.size() < 16) return false;
    const Bytes b{reinterpret_cast<const uint8_t*>(head.constData()), head.size()};
    return plausibleInfoHeaderSize(b.u32(0));
}

namespace {

// The fields of a DIB header that reading the picture needs.
struct DibHeader {
    uint32_t headerSize = 0;
    qint64 width = 0, height = 0;
    uint32_t bpp = 0, compression = kRgb, coloursUsed = 0;
    int entrySize = 4;  // bytes per colour table entry
    bool topDown = false, rle = false, fields = false;
    int outBits = 0;  // depth of the picture made from it
};

// Reads the header at the start of a packed DIB; false for a header this reader does not
// take (unknown size, depth or compression, or a picture too large).
bool readDibHeader(const Bytes& b, qint64 size, DibHeader& h) {
    if (size < 12) return false;
    h.headerSize = b.u32(0);
    if (!plausibleInfoHeaderSize(h.headerSize) || h.headerSize > size) return false;
    uint32_t planes = 0;
    bool os2 = false;
    if (h.headerSize == 12) {  // OS/2 core header: unsigned 16-bit sides, 3-byte colours
        h.width = b.u16(4);
        h.height = b.u16(6);
        planes = b.u16(8);
        h.bpp = b.u16(10);
        h.entrySize = 3;
    } else {
        h.width = b.s32(4);
        h.height = b.s32(8);
        planes = b.u16(12);
        h.bpp = b.u16(14);
        if (h.headerSize >= 20) h.compression = b.u32(16);
        if (h.headerSize >= 36) h.coloursUsed = b.u32(32);
        os2 = h.headerSize != 40 && h.headerSize != 52 && h.headerSize != 56 && h.headerSize <= 64;
    }
    h.topDown = h.height < 0;
    h.height = std::abs(h.height);
    const uint32_t bpp = h.bpp, compression = h.compression;
    if (planes != 1 || h.width <= 0 || h.height <= 0) return false;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    h.rle = compression == kRle8 || compression == kRle4;
    h.fields = !os2 && (compression == kBitFields || compression == kAlphaBitFields);
    if (compression != kRgb && !h.rle && !h.fields) return false;  // Huffman, RLE24, JPEG, PNG
    if ((compression == kRle8 && bpp != 8) || (compression == kRle4 && bpp != 4)) return false;
    if (h.fields && bpp != 16 && bpp != 32) return false;
    if (h.rle && h.topDown) return false;
    h.outBits = bpp <= 8 ? (bpp == 2 ? 4 : int(bpp)) : 24;
    return dibSizeAllowed(h.width, h.height, h.outBits);
}

using Masks = std::array<uint32_t, 4>;  // red, green, blue, alpha

// The bit-field masks, and where the colour table starts: the masks live in the header from
// V2 on, else right behind a 40-byte header. -1 when they run past the data.
qint64 readMasks(const Bytes& b, qint64 size, const DibHeader& h, Masks& masks) {
    qint64 tableStart = h.headerSize;
    masks = {0, 0, 0, 0};
    if (h.fields) {
        const int maskCount = h.compression == kAlphaBitFields ? 4 : 3;
        const qint64 at = h.headerSize >= 52 ? 40 : h.headerSize;
        if (h.headerSize < 52) tableStart += 4 * maskCount;
        if (tableStart > size) return -1;
        for (int k = 0; k < maskCount; ++k) masks[size_t(k)] = b.u32(at + 4 * k);
        if (maskCount == 3 && h.headerSize >= 56) masks[3] = b.u32(52);
    } else if (h.bpp == 16) {
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    } else if (h.bpp == 32) {
        masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
    }
    return tableStart;
}

// The colour table: the used count when it is smaller than the depth's, never more entries
// than lie between the table and the bits, filled up to the output depth's count.
std::vector<RgbQuad> readColourTable(const Bytes& b, const DibHeader& h, qint64 tableStart,
                                     qint64 bitsStart) {
    std::vector<RgbQuad> colours;
    if (h.bpp > 8) return colours;
    const qint64 depthColours = qint64(1) << h.bpp;
    const qint64 tableEntries = h.coloursUsed ? qint64(h.coloursUsed) : depthColours;
    const qint64 wanted = std::min(depthColours, tableEntries);
    const qint64 room = (bitsStart - tableStart) / h.entrySize;
    const qint64 count = std::max<qint64>(0, std::min(wanted, room));
    for (qint64 k = 0; k < count; ++k) {
        const qint64 at = tableStart + k * h.entrySize;
        colours.push_back(
            RgbQuad{uint8_t(b.u8(at)), uint8_t(b.u8(at + 1)), uint8_t(b.u8(at + 2)), 0});
    }
    colours.resize(size_t(dibColourCount(h.outBits)), RgbQuad{});
    return colours;
}

// Writers often declare an alpha mask and leave it zero everywhere: such a picture is opaque.
bool anyAlpha(const uint8_t* src, qint64 srcStride, const DibHeader& h, uint32_t alphaMask) {
    if (!alphaMask || h.bpp < 16) return false;
    for (qint64 r = 0; r < h.height; ++r) {
        const uint8_t* s = src + r * srcStride;
        for (qint64 x = 0; x < h.width; ++x) {
            const uint32_t v =
                h.bpp == 16 ? Bytes{s, 2 * h.width}.u16(2 * x) : Bytes{s, 4 * h.width}.u32(4 * x);
            if ((v & alphaMask) != 0) return true;
        }
    }
    return false;
}

// One row of 16- or 32-bit pixels through the masks into 24-bit BGR; with alpha, flattened
// onto white.
void convertMaskedRow(const uint8_t* s, uint8_t* d, qint64 width, uint32_t bpp, const Masks& masks,
                      bool useAlpha) {
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    for (qint64 x = 0; x < width; ++x, d += 3) {
        const uint8_t* p = s + x * (bpp / 8);
        const uint32_t v =
            bpp == 16 ? uint32_t(p[0] | (p[1] << 8))
                      : uint32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
        int rr = red(v), gg = green(v), bb = blue(v);
        if (useAlpha) {
            const int a = alpha(v);
            rr = (rr * a + 255 * (255 - a) + 127) / 255;
            gg = (gg * a + 255 * (255 - a) + 127) / 255;
            bb = (bb * a + 255 * (255 - a) + 127) / 255;
        }
        d[0] = uint8_t(bb);
        d[1] = uint8_t(gg);
        d[2] = uint8_t(rr);
    }
}

// The uncompressed rows into the picture (which is bottom-up like the file, unless the file
// is top-down).
void copyRows(const uint8_t* src, qint64 srcStride, const DibHeader& h, const Masks& masks,
              DibImage& picture) {
    const bool useAlpha = anyAlpha(src, srcStride, h, masks[3]);
    const qint64 width = h.width, height = h.height, bpp = h.bpp;
    const qint64 rowBytes = (width * bpp + 7) / 8;
    uint8_t* const base = picture.bits();
    const qint64 stride = picture.bytesPerRow();
    for (qint64 r = 0; r < height; ++r) {
        const uint8_t* s = src + r * srcStride;
        uint8_t* d = base + (h.topDown ? height - 1 - r : r) * stride;
        switch (bpp) {
            case 1:
            case 4:
            case 8:
                std::memcpy(d, s, size_t(rowBytes));
                if ((width * bpp) % 8)  // clear the bits behind the last pixel
                    d[rowBytes - 1] &= uint8_t(0xFF00u >> ((width * bpp) % 8));
                break;
            case 2:
                for (qint64 x = 0; x < width; ++x)
                    putIndex(d, x, 4, (s[x >> 2] >> (6 - 2 * (x & 3))) & 3u);
                break;
            case 24:
                std::memcpy(d, s, size_t(width) * 3);
                break;
            default:  // 16 and 32 bits through the masks
                convertMaskedRow(s, d, width, h.bpp, masks, useAlpha);
                break;
        }
    }
}

}  // namespace

DibImage readPackedDib(const uint8_t* data, qint64 size, qint64 bitsOffset) {
    const Bytes b{data, size};
    DibHeader h;
    if (!readDibHeader(b, size, h)) return {};
    Masks masks{};
    const qint64 tableStart = readMasks(b, size, h, masks);
    if (tableStart < 0) return {};

    const qint64 depthColours = h.bpp <= 8 ? (qint64(1) << h.bpp) : 0;
    const qint64 tableEntries = h.coloursUsed ? qint64(h.coloursUsed) : depthColours;
    qint64 bitsStart = tableStart + tableEntries * h.entrySize;
    if (bitsOffset >= tableStart) bitsStart = bitsOffset;
    if (bitsStart > size) return {};
    const std::vector<RgbQuad> colours = readColourTable(b, h, tableStart, bitsStart);

    const uint8_t* src = data + bitsStart;
    const qint64 avail = size - bitsStart;
    const qint64 srcStride = ((h.width * h.bpp + 31) / 32) * 4;
    if (!h.rle) {
        // Every row must be there; only the padding of the last row may be missing.
        const qint64 need = srcStride * (h.height - 1) + (h.width * h.bpp + 7) / 8;
        if (avail < need) return {};
    }

    DibImage picture = newDib(int(h.width), int(h.height), h.outBits,
                              colours.empty() ? nullptr : colours.data(), int(colours.size()));
    if (picture.isNull()) return picture;
    if (h.rle)
        decodeRle(src, avail, picture);
    else
        copyRows(src, srcStride, h, masks, picture);
    return picture;
}

DibImage readBmp(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const qint64 n = data.size();
    if (n >= kFileHeaderSize && p[0] == 'B' && p[1] == 'M') {
        const Bytes b{p, n};
        const qint64 offBits = b.u32(10);
        return readPackedDib(p + kFileHeaderSize, n - kFileHeaderSize,
                             offBits > kFileHeaderSize ? offBits - kFileHeaderSize : -1);
    }
    return readPackedDib(p, n);
}

QByteArray packedDib(const DibImage& picture) {
    QByteArray out;
    if (picture.isNull()) return out;
    const auto& colours = picture.colourTable();
    out.reserve(int(kInfoHeaderSize + 4 * qint64(colours.size()) + picture.byteCount()));
    put32(out, uint32_t(kInfoHeaderSize));
    put32(out, uint32_t(picture.width()));
    put32(out, uint32_t(picture.height()));
    put16(out, 1);
    put16(out, uint32_t(picture.bitCount()));
    put32(out, kRgb);
    put32(out, uint32_t(picture.byteCount()));
    put32(out, 3780);  // 96 pixels per inch
    put32(out, 3780);
    put32(out, uint32_t(colours.size()));
    put32(out, 0);
    for (const RgbQuad& q : colours) {
        out.append(char(q.blue));
        out.append(char(q.green));
        out.append(char(q.red));
        out.append(char(0));
    }
    out.append(reinterpret_cast<const char*>(picture.bits()), qsizetype(picture.byteCount()));
    return out;
}

bool writeBmp(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const QByteArray dib = packedDib(picture);
    const qint64 offBits =
        kFileHeaderSize + kInfoHeaderSize + 4 * qint64(picture.colourTable().size());
    out.clear();
    out.reserve(qsizetype(kFileHeaderSize + dib.size()));
    out.append("BM", 2);
    put32(out, uint32_t(kFileHeaderSize + dib.size()));
    put32(out, 0);
    put32(out, uint32_t(offBits));
    out.append(dib);
    return true;
}

}  // namespace bb
