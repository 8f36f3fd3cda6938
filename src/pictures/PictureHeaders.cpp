// The size a picture file announces, read from its header before anything is decoded, so
// that a file too large to load is refused without reading it whole.
#include "pictures/ImageCodec.h"
#include "pictures/codecs/CodecUtil.h"

namespace bb {

using codec::be16;
using codec::be32;
using codec::le16;
using codec::le32;

namespace {

const uint8_t* headBytes(const QByteArray& head) {
    return reinterpret_cast<const uint8_t*>(head.constData());
}

bool setSize(qint64 width, qint64 height, int bits, QSize& size, int& bitCount) {
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return false;
    size = QSize(int(width), int(height));
    bitCount = bits;
    return true;
}

// Depth a bitmap decodes to: its own up to 8 bits, else 24.
int bmpOutBits(int bits) {
    return bits == 1 || bits == 4 || bits == 8 ? bits : 24;
}

}  // namespace

bool bmpHeader(QIODevice&, const QByteArray& head, QSize& size, int& bitCount) {
    const uint8_t* p = headBytes(head);
    // A file starts with the 14-byte file header; a packed ".dib" with the info header.
    const qsizetype at = head.startsWith("BM") ? 14 : 0;
    if (head.size() < at + 16) return false;
    const uint32_t infoSize = le32(p + at);
    if (infoSize == 12)  // OS/2 core header: 16-bit sides
        return setSize(le16(p + at + 4), le16(p + at + 6), bmpOutBits(le16(p + at + 10)), size,
                       bitCount);
    const auto width = qint64(int32_t(le32(p + at + 4)));
    const auto height = qint64(int32_t(le32(p + at + 8)));
    return setSize(width, height < 0 ? -height : height, bmpOutBits(le16(p + at + 14)), size,
                   bitCount);
}

bool gifHeader(QIODevice&, const QByteArray& head, QSize& size, int& bitCount) {
    if (head.size() < 10) return false;
    const uint8_t* p = headBytes(head);
    return setSize(le16(p + 6), le16(p + 8), 24, size, bitCount);
}

bool pcxHeader(QIODevice&, const QByteArray& head, QSize& size, int& bitCount) {
    if (head.size() < 66) return false;
    const uint8_t* p = headBytes(head);
    const int xmin = le16(p + 4), ymin = le16(p + 6), xmax = le16(p + 8), ymax = le16(p + 10);
    if (xmax < xmin || ymax < ymin) return false;
    const int bpp = p[3], planes = p[65];
    const int bits = bpp == 8 && planes >= 3 ? 24 : bpp == 8 ? 8 : bpp == 1 && planes == 1 ? 1 : 4;
    return setSize(qint64(xmax) - xmin + 1, qint64(ymax) - ymin + 1, bits, size, bitCount);
}

bool ilbmHeader(QIODevice& file, const QByteArray&, QSize& size, int& bitCount) {
    // Walks the chunks after "FORM size ILBM" to the bitmap header; a bounded number of them,
    // and only their 8-byte headers are read.
    constexpr int kMaxChunks = 64;
    qint64 pos = 12;
    for (int i = 0; i < kMaxChunks; ++i) {
        if (!file.seek(pos)) return false;
        const QByteArray chunk = file.read(8 + 20);
        if (chunk.size() < 8) return false;
        const uint8_t* c = headBytes(chunk);
        const qint64 length = be32(c + 4);
        if (chunk.startsWith("BMHD")) {
            if (length < 20 || chunk.size() < 28) return false;
            const int planes = c[8 + 8];
            return setSize(be16(c + 8), be16(c + 10), planes > 8 ? 24 : 8, size, bitCount);
        }
        if (chunk.startsWith("BODY")) return false;
        pos += 8 + length + (length & 1);
    }
    return false;
}

bool tgaHeader(QIODevice&, const QByteArray& head, QSize& size, int& bitCount) {
    if (head.size() < 18) return false;
    const uint8_t* p = headBytes(head);
    const int type = p[2] & 7;
    return setSize(le16(p + 12), le16(p + 14), type == 2 ? 24 : 8, size, bitCount);
}

}  // namespace bb
