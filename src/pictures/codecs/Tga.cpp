#include "pictures/codecs/Tga.h"

#include "pictures/codecs/CodecUtil.h"

#include <algorithm>
#include <vector>

namespace bb {

using namespace codec;

namespace {

constexpr int kHeaderSize = 18;

struct TgaHeader {
    int idLength, mapType, type, mapFirst, mapLength, mapBits, width, height, depth, descriptor;
    int base() const { return type & 7; }
    bool rle() const { return (type & 8) != 0; }
};

TgaHeader parseHeader(const uint8_t* p) {
    return {p[0], p[1],         p[2],         le16(p + 3), le16(p + 5),
            p[7], le16(p + 12), le16(p + 14), p[16],       p[17]};
}

bool headerValid(const TgaHeader& h) {
    if (h.type != 1 && h.type != 2 && h.type != 3 && h.type != 9 && h.type != 10 && h.type != 11)
        return false;
    if (h.mapType > 1 || h.width == 0 || h.height == 0) return false;
    if (h.mapType == 1 && h.mapBits != 15 && h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32)
        return false;
    switch (h.base()) {
        case 1:
            return h.mapType == 1 && h.depth == 8;
        case 2:
            return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
        case 3:
            return h.depth == 8 || h.depth == 16;
    }
    return false;
}

// A 15/16/24/32-bit colour in file order (blue first) as a colour table entry.
RgbQuad colourAt(const uint8_t* p, int bytesPer) {
    if (bytesPer >= 3) return {p[0], p[1], p[2], 0};
    const int v = le16(p);
    // Five bits to eight by rounded proportion: 0 -> 0, 16 -> 132, 31 -> 255.
    auto scale = [](int c) { return uint8_t((c * 255 + 15) / 31); };
    return {scale(v & 31), scale((v >> 5) & 31), scale((v >> 10) & 31), 0};
}

// Unpacks RLE packets of `bytesPer`-byte pixels from src[0..avail) until `raw` is full;
// false when the data ends first.
bool unpackRle(const uint8_t* src, qint64 avail, int bytesPer, std::vector<uint8_t>& raw) {
    const auto total = qint64(raw.size());
    qint64 o = 0, i = 0;
    while (o < total) {
        if (i >= avail) return false;  // truncated
        const int packet = src[i++];
        const qint64 count = std::min<qint64>((packet & 0x7F) + 1, (total - o) / bytesPer);
        if (packet & 0x80) {
            if (i + bytesPer > avail) return false;
            for (qint64 k = 0; k < count; ++k) {
                std::memcpy(raw.data() + o, src + i, size_t(bytesPer));
                o += bytesPer;
            }
            i += bytesPer;
        } else {
            const qint64 len = count * bytesPer;
            if (i + len > avail) return false;
            std::memcpy(raw.data() + o, src + i, size_t(len));
            o += len;
            i += qint64((packet & 0x7F) + 1) * bytesPer;
        }
    }
    return true;
}

}  // namespace

bool acceptsTga(const QByteArray& head, const QString& suffix) {
    static const QStringList suffixes{"tga", "icb", "vda", "vst"};
    if (!suffixes.contains(suffix) || head.size() < kHeaderSize) return false;
    return headerValid(parseHeader(bytes(head)));
}

DibImage readTga(const QByteArray& data) {
    const auto* p = bytes(data);
    const qint64 n = data.size();
    if (n < kHeaderSize) return {};
    const TgaHeader h = parseHeader(p);
    if (!headerValid(h)) return {};
    const int outBits = h.base() == 2 ? 24 : 8;
    if (!dibSizeAllowed(h.width, h.height, outBits)) return {};

    qint64 pos = kHeaderSize + h.idLength;
    const int mapBytesPer = (h.mapBits + 7) / 8;
    const qint64 mapSize = h.mapType == 1 ? qint64(h.mapLength) * mapBytesPer : 0;
    if (pos + mapSize > n) return {};
    std::vector<RgbQuad> table;
    if (h.base() == 1) {
        // Index i stands for map entry i - mapFirst; indices outside the map are black.
        table.resize(256);
        for (int i = h.mapFirst; i < 256 && i - h.mapFirst < h.mapLength; ++i)
            table[size_t(i)] =
                colourAt(p + pos + qint64(i - h.mapFirst) * mapBytesPer, mapBytesPer);
    } else if (h.base() == 3) {
        table.resize(256);
        for (int i = 0; i < 256; ++i) table[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
    pos += mapSize;

    // Unpack the pixel data into file order (rows as stored, unpadded).
    const int bytesPer = (h.depth + 7) / 8;
    const qint64 pixels = qint64(h.width) * h.height;
    const qint64 total = pixels * bytesPer;
    const qint64 avail = n - pos;
    // An RLE packet of 1 + bytesPer bytes yields at most 128 pixels.
    if (h.rle() ? pixels > avail * 128 : total > avail) return {};
    std::vector<uint8_t> raw;
    const uint8_t* src = p + pos;
    if (h.rle()) {
        raw.resize(size_t(total));
        if (!unpackRle(src, avail, bytesPer, raw)) return {};
        src = raw.data();
    }

    DibImage picture = newDib(h.width, h.height, outBits, table.empty() ? nullptr : table.data(),
                              int(table.size()));
    if (picture.isNull()) return {};
    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool rightToLeft = (h.descriptor & 0x10) != 0;
    const qint64 rowBytes = qint64(h.width) * bytesPer;
    for (int r = 0; r < h.height; ++r) {
        const uint8_t* s = src + r * rowBytes;
        uint8_t* d = picture.rowFromTop(topDown ? r : h.height - 1 - r);
        if (!rightToLeft && (bytesPer == 3 || (outBits == 8 && bytesPer == 1))) {
            std::memcpy(d, s, size_t(rowBytes));
            continue;
        }
        for (int c = 0; c < h.width; ++c) {
            const int x = rightToLeft ? h.width - 1 - c : c;
            const uint8_t* px = s + qint64(c) * bytesPer;
            if (outBits == 8) {
                d[x] = px[0];  // index or grey; a grey+alpha pair keeps its grey
            } else {
                const RgbQuad q = colourAt(px, bytesPer);
                d[3 * x] = q.blue;
                d[3 * x + 1] = q.green;
                d[3 * x + 2] = q.red;
            }
        }
    }
    picture.markModified();
    return picture;
}

bool writeTga(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    if (w > 65535 || h > 65535) return false;
    const bool mapped = bits <= 8;
    const auto& table = picture.colourTable();
    const int mapLength = mapped ? int(table.size()) : 0;
    const int bytesPer = mapped ? 1 : 3;

    out.clear();
    out.reserve(kHeaderSize + mapLength * 3 + qint64(w) * h * bytesPer + 26);
    out.append(char(0));               // no image ID
    out.append(char(mapped ? 1 : 0));  // colour map type
    out.append(char(mapped ? 1 : 2));  // image type
    putLe16(out, 0);                   // first map entry
    putLe16(out, uint32_t(mapLength));
    out.append(char(mapped ? 24 : 0));  // map entry size
    putLe16(out, 0);                    // x origin
    putLe16(out, 0);                    // y origin
    putLe16(out, uint32_t(w));
    putLe16(out, uint32_t(h));
    out.append(char(mapped ? 8 : 24));
    out.append(char(0));  // bottom-left origin: rows in the same order as the bitmap
    for (const RgbQuad& c : table) {
        out.append(char(c.blue));
        out.append(char(c.green));
        out.append(char(c.red));
    }
    const qint64 start = out.size();
    out.resize(start + qint64(w) * h * bytesPer);
    auto* d = reinterpret_cast<uint8_t*>(out.data()) + start;
    for (int r = 0; r < h; ++r) {
        const uint8_t* row = picture.rowFromTop(h - 1 - r);
        if (mapped)
            expandIndices(row, bits, w, d);
        else
            std::memcpy(d, row, size_t(w) * 3);
        d += qint64(w) * bytesPer;
    }
    putLe32(out, 0);  // no extension area
    putLe32(out, 0);  // no developer area
    out.append("TRUEVISION-XFILE.", 17);
    out.append(char(0));
    return true;
}

}  // namespace bb
