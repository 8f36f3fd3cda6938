#include "pictures/codecs/BmpRle.h"

#include "pictures/codecs/CodecUtil.h"
#include "pictures/codecs/Quantize.h"

#include <vector>

namespace bb {

using namespace codec;

namespace {

int runLength(const uint8_t* p, int from, int width) {
    int run = 1;
    while (from + run < width && run < 255 && p[from + run] == p[from]) ++run;
    return run;
}

// Literal stretch from `from`: up to the next run of three equal pixels, at most 255.
int literalLength(const uint8_t* p, int from, int width) {
    int n = 0;
    while (from + n < width && n < 255) {
        if (from + n + 2 < width && p[from + n] == p[from + n + 1] &&
            p[from + n] == p[from + n + 2])
            break;
        ++n;
    }
    return n;
}

}  // namespace

void encodeRle8Row(const uint8_t* p, int width, QByteArray& out) {
    int i = 0;
    while (i < width) {
        const int run = runLength(p, i, width);
        if (run >= 2) {
            out.append(char(run));
            out.append(char(p[i]));
            i += run;
            continue;
        }
        const int lit = literalLength(p, i, width);
        if (lit < 3) {  // absolute mode needs at least three pixels
            for (int k = 0; k < lit; ++k) {
                out.append(char(1));
                out.append(char(p[i + k]));
            }
        } else {
            out.append(char(0));
            out.append(char(lit));
            out.append(reinterpret_cast<const char*>(p + i), lit);
            if (lit & 1) out.append(char(0));  // absolute runs end on a word boundary
        }
        i += lit;
    }
}

void encodeRle4Row(const uint8_t* p, int width, QByteArray& out) {
    int i = 0;
    while (i < width) {
        const int run = runLength(p, i, width);
        if (run >= 2) {
            out.append(char(run));
            out.append(char((p[i] << 4) | (p[i] & 0x0F)));
            i += run;
            continue;
        }
        const int lit = literalLength(p, i, width);
        if (lit < 3) {
            for (int k = 0; k < lit; ++k) {
                out.append(char(1));
                out.append(char(p[i + k] << 4));
            }
        } else {
            out.append(char(0));
            out.append(char(lit));
            const int packed = (lit + 1) / 2;
            for (int k = 0; k < packed; ++k) {
                const int hi = p[i + 2 * k] & 0x0F;
                const int lo = 2 * k + 1 < lit ? p[i + 2 * k + 1] & 0x0F : 0;
                out.append(char((hi << 4) | lo));
            }
            if (packed & 1) out.append(char(0));
        }
        i += lit;
    }
}

bool writeBmpRle(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const DibImage indexed = picture.bitCount() == 24 ? reduceTo8(picture, 256, false) : picture;
    if (indexed.isNull()) return false;
    const int w = indexed.width(), h = indexed.height();
    const bool rle4 = indexed.bitCount() <= 4;
    const auto& table = indexed.colourTable();
    const int colours = rle4 ? 16 : 256;

    QByteArray data;
    data.reserve(qint64(w) * h / 4 + 2 * h + 2);
    std::vector<uint8_t> line(static_cast<size_t>(w));
    for (int r = 0; r < h; ++r) {  // bottom row first, as the bitmap stores it
        expandIndices(indexed.rowFromTop(h - 1 - r), indexed.bitCount(), w, line.data());
        if (rle4)
            encodeRle4Row(line.data(), w, data);
        else
            encodeRle8Row(line.data(), w, data);
        data.append(char(0));
        data.append(char(r == h - 1 ? 1 : 0));  // end of line, or end of bitmap
    }

    const qint64 offBits = 14 + 40 + 4 * colours;
    const qint64 fileSize = offBits + data.size();
    if (fileSize > 0x7FFFFFFF) return false;
    out.clear();
    out.reserve(fileSize);
    out.append("BM", 2);
    putLe32(out, uint32_t(fileSize));
    putLe32(out, 0);
    putLe32(out, uint32_t(offBits));
    putLe32(out, 40);
    putLe32(out, uint32_t(w));
    putLe32(out, uint32_t(h));
    putLe16(out, 1);
    putLe16(out, rle4 ? 4 : 8);
    putLe32(out, rle4 ? 2 : 1);  // BI_RLE4 / BI_RLE8
    putLe32(out, uint32_t(data.size()));
    putLe32(out, 2835);  // 72 dpi
    putLe32(out, 2835);
    putLe32(out, uint32_t(colours));
    putLe32(out, 0);
    for (int k = 0; k < colours; ++k) {
        const RgbQuad c = k < int(table.size()) ? table[size_t(k)] : RgbQuad{};
        out.append(char(c.blue));
        out.append(char(c.green));
        out.append(char(c.red));
        out.append(char(0));
    }
    out.append(data);
    return true;
}

}  // namespace bb
