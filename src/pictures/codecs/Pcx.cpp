#include "pictures/codecs/Pcx.h"

#include "pictures/codecs/CodecUtil.h"

#include <algorithm>
#include <vector>

namespace bb {

using namespace codec;

namespace {

constexpr int kHeaderSize = 128;

// The standard EGA colours, used when a 16-colour file carries an empty header palette.
constexpr uint8_t kEgaPalette[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},  {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},  {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255}};

bool headerPlausible(const uint8_t* p, qint64 size) {
    if (size < kHeaderSize || p[0] != 0x0A) return false;
    if (p[1] > 5 || p[1] == 1) return false;
    return p[2] <= 1 && (p[3] == 1 || p[3] == 2 || p[3] == 4 || p[3] == 8);
}

}  // namespace

bool acceptsPcx(const QByteArray& head, const QString& suffix) {
    Q_UNUSED(suffix);
    // The first 64 bytes hold everything up to the planes count at byte 65, so only the
    // fixed fields are checked here; readPcx checks the rest.
    const auto* p = bytes(head);
    if (head.size() < 4 || p[0] != 0x0A) return false;
    if (p[1] > 5 || p[1] == 1) return false;
    return p[2] <= 1 && (p[3] == 1 || p[3] == 2 || p[3] == 4 || p[3] == 8);
}

namespace {

// The bits per pixel of the picture a PCX file of `bpp` bits in `planes` planes gives, or 0
// for a layout that is not read.
int pcxOutBits(int bpp, int planes) {
    if (bpp == 8 && (planes == 3 || planes == 4)) return 24;
    if (bpp == 8 && planes == 1) return 8;
    if (bpp == 1 && planes == 1) return 1;
    if ((bpp == 1 && planes >= 2 && planes <= 4) || (bpp == 4 && planes == 1) ||
        (bpp == 2 && planes == 1))
        return 4;
    return 0;
}

// The body after the header into `raw` (its size set): false when it is cut short.
bool unpackBody(const uint8_t* p, qint64 n, bool rle, std::vector<uint8_t>& raw) {
    const auto total = qint64(raw.size());
    qint64 o = 0, i = kHeaderSize;
    if (!rle) {
        std::memcpy(raw.data(), p + i, size_t(total));
        return true;
    }
    while (o < total && i < n) {
        const uint8_t b = p[i++];
        if ((b & 0xC0) == 0xC0) {
            if (i >= n) break;
            const qint64 count = std::min<qint64>(b & 0x3F, total - o);
            std::memset(raw.data() + o, p[i++], size_t(count));
            o += count;
        } else {
            raw[size_t(o++)] = b;
        }
    }
    return o >= total;
}

// The colour table: the 256 colours at the end of a version 5 file (else grey), the header's
// two colours (else black and white), or its 16 (else the EGA colours).
std::vector<RgbQuad> pcxTable(const uint8_t* p, qint64 n, int version, int outBits) {
    std::vector<RgbQuad> table;
    auto headerColour = [&](int k) {
        const uint8_t* c = p + 16 + 3 * k;
        return RgbQuad{c[2], c[1], c[0], 0};
    };
    if (outBits == 8) {
        table.resize(256);
        if (version >= 5 && n >= 769 + kHeaderSize && p[n - 769] == 0x0C) {
            const uint8_t* c = p + n - 768;
            for (int k = 0; k < 256; ++k)
                table[size_t(k)] = {c[3 * k + 2], c[3 * k + 1], c[3 * k], 0};
        } else {
            for (int k = 0; k < 256; ++k)
                table[size_t(k)] = {uint8_t(k), uint8_t(k), uint8_t(k), 0};
        }
    } else if (outBits == 1) {
        // The header palette when it names two different colours, else black and white.
        const RgbQuad c0 = headerColour(0), c1 = headerColour(1);
        if (c0 == c1)
            table = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        else
            table = {c0, c1};
    } else if (outBits == 4) {
        bool empty = true;
        for (int k = 0; k < 48; ++k) empty = empty && p[16 + k] == 0;
        table.resize(16);
        for (int k = 0; k < 16; ++k)
            table[size_t(k)] =
                empty ? RgbQuad{kEgaPalette[k][2], kEgaPalette[k][1], kEgaPalette[k][0], 0}
                      : headerColour(k);
    }
    return table;
}

// The plane layout of one PCX file.
struct PcxLayout {
    int outBits;
    int bpp;
    int planes;
    qint64 bytesPerLine;
};

// One unpacked scan line (all its planes at `src`) as a row of the picture.
void pcxRow(const uint8_t* src, uint8_t* dst, int w, const PcxLayout& l) {
    if (l.outBits == 24) {
        const uint8_t* r = src;
        const uint8_t* g = src + l.bytesPerLine;
        const uint8_t* b = src + 2 * l.bytesPerLine;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = b[x];
            dst[3 * x + 1] = g[x];
            dst[3 * x + 2] = r[x];
        }
    } else if (l.outBits == 8) {
        std::memcpy(dst, src, size_t(w));
    } else if (l.outBits == 1) {
        std::memcpy(dst, src, size_t((w + 7) / 8));
    } else if (l.bpp == 4) {
        std::memcpy(dst, src, size_t((w + 1) / 2));
    } else {
        for (int x = 0; x < w; ++x) {
            int v = 0;
            if (l.bpp == 2) {
                v = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            } else {
                for (int k = 0; k < l.planes; ++k)
                    v |= ((src[k * l.bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << k;
            }
            uint8_t& d = dst[x >> 1];
            d = (x & 1) ? uint8_t((d & 0xF0) | v) : uint8_t((d & 0x0F) | (v << 4));
        }
    }
}

}  // namespace

DibImage readPcx(const QByteArray& data) {
    const auto* p = bytes(data);
    const qint64 n = data.size();
    if (!headerPlausible(p, n)) return {};
    const int version = p[1];
    const bool rle = p[2] == 1;
    const int bpp = p[3];
    const int xmin = le16(p + 4), ymin = le16(p + 6), xmax = le16(p + 8), ymax = le16(p + 10);
    if (xmax < xmin || ymax < ymin) return {};
    const qint64 width = qint64(xmax) - xmin + 1;
    const qint64 height = qint64(ymax) - ymin + 1;
    const PcxLayout layout{pcxOutBits(bpp, p[65]), bpp, p[65], le16(p + 66)};
    if (layout.outBits == 0) return {};
    if (layout.bytesPerLine < (width * bpp + 7) / 8) return {};
    if (!dibSizeAllowed(width, height, layout.outBits)) return {};

    // Each body byte yields at most 63 pixels bytes; refuse sizes the file cannot hold
    // before allocating.
    const qint64 scan = layout.bytesPerLine * layout.planes;
    const qint64 total = scan * height;
    const qint64 body = n - kHeaderSize;
    if (total > kMaxDibBytes || total > (rle ? body * 63 : body)) return {};
    std::vector<uint8_t> raw(size_t(total), 0);
    if (!unpackBody(p, n, rle, raw)) return {};  // truncated picture data

    const std::vector<RgbQuad> table = pcxTable(p, n, version, layout.outBits);
    DibImage picture = newDib(int(width), int(height), layout.outBits,
                              table.empty() ? nullptr : table.data(), int(table.size()));
    if (picture.isNull()) return {};
    for (int y = 0; y < int(height); ++y)
        pcxRow(raw.data() + qint64(y) * scan, picture.rowFromTop(y), int(width), layout);
    picture.markModified();
    return picture;
}

namespace {

// RLE-encodes one plane line at `dst` (at most 2 * count bytes): runs of up to 63 equal
// bytes; single bytes below 0xC0 as they are. Returns the end of the output.
uint8_t* packLine(const uint8_t* src, int count, uint8_t* dst) {
    int i = 0;
    while (i < count) {
        const uint8_t v = src[i];
        int run = 1;
        while (i + run < count && run < 63 && src[i + run] == v) ++run;
        if (run > 1 || v >= 0xC0) *dst++ = uint8_t(0xC0 | run);
        *dst++ = v;
        i += run;
    }
    return dst;
}

}  // namespace

bool writePcx(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const int w = picture.width(), h = picture.height();
    const int bits = picture.bitCount();
    if (w > 65535 || h > 65535) return false;
    const bool rgb = bits == 24;
    const int planes = rgb ? 3 : 1;
    const int bytesPerLine = (w + 1) & ~1;  // even, as the format asks

    out.clear();
    QByteArray header(kHeaderSize, '\0');
    auto* hp = reinterpret_cast<uint8_t*>(header.data());
    hp[0] = 0x0A;
    hp[1] = 5;
    hp[2] = 1;
    hp[3] = 8;
    hp[8] = uint8_t((w - 1) & 0xFF);
    hp[9] = uint8_t((w - 1) >> 8);
    hp[10] = uint8_t((h - 1) & 0xFF);
    hp[11] = uint8_t((h - 1) >> 8);
    hp[12] = 72;  // resolution in dots per inch
    hp[14] = 72;
    const auto& table = picture.colourTable();
    if (!rgb) {
        for (int k = 0; k < 16 && k < int(table.size()); ++k) {
            hp[16 + 3 * k] = table[size_t(k)].red;
            hp[17 + 3 * k] = table[size_t(k)].green;
            hp[18 + 3 * k] = table[size_t(k)].blue;
        }
    }
    hp[65] = uint8_t(planes);
    hp[66] = uint8_t(bytesPerLine & 0xFF);
    hp[67] = uint8_t(bytesPerLine >> 8);
    hp[68] = 1;  // colour palette
    out.append(header);

    // Worst case two bytes per input byte; the buffer is cut to size afterwards.
    const qint64 start = out.size();
    out.resize(start + qint64(bytesPerLine) * planes * h * 2);
    auto* const base = reinterpret_cast<uint8_t*>(out.data());
    uint8_t* d = base + start;
    std::vector<uint8_t> line(size_t(bytesPerLine), 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = picture.rowFromTop(y);
        if (rgb) {
            for (int c = 2; c >= 0; --c) {  // red, green, blue planes
                for (int x = 0; x < w; ++x) line[size_t(x)] = row[3 * x + c];
                d = packLine(line.data(), bytesPerLine, d);
            }
        } else {
            expandIndices(row, bits, w, line.data());
            d = packLine(line.data(), bytesPerLine, d);
        }
    }
    out.resize(d - base);
    if (!rgb) {
        out.append(char(0x0C));
        for (int k = 0; k < 256; ++k) {
            const RgbQuad c = k < int(table.size()) ? table[size_t(k)] : RgbQuad{};
            out.append(char(c.red));
            out.append(char(c.green));
            out.append(char(c.blue));
        }
    }
    return true;
}

}  // namespace bb
