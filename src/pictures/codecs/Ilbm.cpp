#include "pictures/codecs/Ilbm.h"

#include "pictures/codecs/CodecUtil.h"

#include <algorithm>
#include <vector>

namespace bb {

using namespace codec;

namespace {

constexpr uint32_t kCamgEhb = 0x80;
constexpr uint32_t kCamgHam = 0x800;

bool isId(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

struct Bmhd {
    int width = 0, height = 0, planes = 0, masking = 0, compression = 0;
};

// Decodes ByteRun1 from src[0..srcLen) into exactly `total` bytes. False when the data
// ends early.
bool byteRun1Unpack(const uint8_t* src, qint64 srcLen, uint8_t* dst, qint64 total) {
    qint64 i = 0, o = 0;
    while (o < total) {
        if (i >= srcLen) return false;
        // The count byte is signed: 0..127 copy, -127..-1 repeat, -128 nothing.
        const int c = src[i] < 0x80 ? int(src[i]) : int(src[i]) - 256;
        ++i;
        if (c >= 0) {
            const qint64 len = c + 1;
            if (i + len > srcLen) return false;
            const qint64 take = std::min(len, total - o);
            std::memcpy(dst + o, src + i, size_t(take));
            i += len;
            o += take;
        } else if (c != -128) {
            if (i >= srcLen) return false;
            const qint64 take = std::min<qint64>(1 - c, total - o);
            std::memset(dst + o, src[i++], size_t(take));
            o += take;
        }
    }
    return true;
}

}  // namespace

bool acceptsIlbm(const QByteArray& head, const QString& suffix) {
    Q_UNUSED(suffix);
    const auto* p = bytes(head);
    return head.size() >= 12 && isId(p, "FORM") && (isId(p + 8, "ILBM") || isId(p + 8, "PBM "));
}

namespace {

// The chunks of an ILBM or PBM file that reading it needs.
struct IlbmChunks {
    Bmhd bmhd;
    bool haveBmhd = false;
    std::vector<RgbQuad> cmap;
    uint32_t camg = 0;
    const uint8_t* body = nullptr;
    qint64 bodySize = 0;
};

// Walks the chunks up to `end`; false when the BODY is cut short.
bool readChunks(const uint8_t* p, qint64 end, IlbmChunks& out) {
    Bmhd& bmhd = out.bmhd;
    bool& haveBmhd = out.haveBmhd;
    std::vector<RgbQuad>& cmap = out.cmap;
    uint32_t& camg = out.camg;
    const uint8_t*& body = out.body;
    qint64& bodySize = out.bodySize;
    for (qint64 pos = 12; pos + 8 <= end;) {
        const uint8_t* c = p + pos;
        const qint64 size = be32(c + 4);
        const qint64 dataPos = pos + 8;
        if (size > end - dataPos) {
            if (isId(c, "BODY")) return false;  // truncated picture data
            break;
        }
        if (isId(c, "BMHD") && size >= 20) {
            const uint8_t* b = p + dataPos;
            bmhd = {be16(b), be16(b + 2), b[8], b[9], b[10]};
            haveBmhd = true;
        } else if (isId(c, "CMAP")) {
            const qint64 count = std::min<qint64>(size / 3, 256);
            cmap.resize(size_t(count));
            for (qint64 k = 0; k < count; ++k) {
                const uint8_t* e = p + dataPos + 3 * k;
                cmap[size_t(k)] = {e[2], e[1], e[0], 0};
            }
        } else if (isId(c, "CAMG") && size >= 4) {
            camg = be32(p + dataPos);
        } else if (isId(c, "BODY")) {
            body = p + dataPos;
            bodySize = size;
        }
        pos = dataPos + size + (size & 1);
    }
    return true;
}

// Colour table for palette pictures (and the base colours of HAM): the file's, else grey.
std::vector<RgbQuad> ilbmTable(const std::vector<RgbQuad>& cmap, uint32_t camg, bool chunky,
                               int planes) {
    std::vector<RgbQuad> table(256);
    const int needed = chunky ? 256 : (planes <= 8 ? 1 << planes : 0);
    if (cmap.empty()) {
        for (int k = 0; k < needed && k < 256; ++k) {
            const int v = needed > 1 ? k * 255 / (needed - 1) : 0;
            table[size_t(k)] = {uint8_t(v), uint8_t(v), uint8_t(v), 0};
        }
    } else {
        std::copy(cmap.begin(), cmap.end(), table.begin());
        // Extra-Half-Brite: the upper 32 colours are the lower 32 at half brightness, unless
        // the file stores them itself.
        if ((camg & kCamgEhb) && planes == 6 && cmap.size() < 64) {
            for (int k = 32; k < 64; ++k) {
                const RgbQuad& s = table[size_t(k - 32)];
                table[size_t(k)] = {uint8_t(s.blue >> 1), uint8_t(s.green >> 1),
                                    uint8_t(s.red >> 1), 0};
            }
        }
    }
    return table;
}

// Hold-And-Modify: the top two bits choose a palette colour or which channel of the previous
// pixel to replace with the data bits.
void hamRow(const uint8_t* chunkyRow, int w, int planes, const std::vector<RgbQuad>& table,
            uint8_t* dst) {
    const int dataBits = planes - 2;
    const int mask = (1 << dataBits) - 1;
    RgbQuad cur = table[0];
    for (int x = 0; x < w; ++x) {
        const int v = chunkyRow[size_t(x)];
        const int ctl = v >> dataBits, val = v & mask;
        const uint8_t full = dataBits == 4 ? uint8_t(val * 17) : uint8_t((val << 2) | (val >> 4));
        switch (ctl) {
            case 0:
                cur = table[size_t(val)];
                break;
            case 1:
                cur.blue = full;
                break;
            case 2:
                cur.red = full;
                break;
            default:
                cur.green = full;
                break;
        }
        dst[3 * x] = cur.blue;
        dst[3 * x + 1] = cur.green;
        dst[3 * x + 2] = cur.red;
    }
}

}  // namespace

DibImage readIlbm(const QByteArray& data) {
    const auto* p = bytes(data);
    const qint64 n = data.size();
    if (n < 12 || !isId(p, "FORM")) return {};
    const bool chunky = isId(p + 8, "PBM ");
    if (!chunky && !isId(p + 8, "ILBM")) return {};
    // A FORM that claims more than the file holds is read up to the end of the file; its
    // BODY must still be complete.
    const qint64 end = std::min<qint64>(n, 8 + qint64(be32(p + 4)));

    IlbmChunks chunks;
    if (!readChunks(p, end, chunks) || !chunks.haveBmhd || !chunks.body) return {};
    const Bmhd& bmhd = chunks.bmhd;
    const uint32_t camg = chunks.camg;
    const uint8_t* body = chunks.body;
    const qint64 bodySize = chunks.bodySize;

    const int w = bmhd.width, h = bmhd.height, planes = bmhd.planes;
    if (bmhd.compression > 1 || bmhd.masking > 3) return {};
    const bool ham = !chunky && (camg & kCamgHam) && (planes == 6 || planes == 8);
    const bool deep = !chunky && (planes == 24 || planes == 32);
    if (chunky ? planes != 8 : !(deep || (planes >= 1 && planes <= 8))) return {};
    const int outBits = (deep || ham) ? 24 : chunky || planes > 4 ? 8 : planes == 1 ? 1 : 4;
    if (!dibSizeAllowed(w, h, outBits)) return {};

    const qint64 planeBytes = chunky ? qint64(w + (w & 1)) : qint64((w + 15) / 16) * 2;
    const int storedPlanes = chunky ? 1 : planes + (bmhd.masking == 1 ? 1 : 0);
    const qint64 rowBytes = planeBytes * storedPlanes;
    const qint64 total = rowBytes * h;
    // ByteRun1 yields at most 128 bytes for 2 input bytes.
    if (total > kMaxDibBytes || total > (bmhd.compression ? bodySize * 64 : bodySize)) return {};
    std::vector<uint8_t> raw(static_cast<size_t>(total));
    if (bmhd.compression) {
        if (!byteRun1Unpack(body, bodySize, raw.data(), total)) return {};
    } else {
        std::memcpy(raw.data(), body, size_t(total));
    }

    const std::vector<RgbQuad> table = ilbmTable(chunks.cmap, camg, chunky, planes);
    const int tableSize = outBits == 24 ? 0 : 1 << outBits;
    DibImage picture = newDib(w, h, outBits, tableSize ? table.data() : nullptr, tableSize);
    if (picture.isNull()) return {};

    std::vector<uint8_t> chunkyRow(size_t(w) + 8);
    std::vector<const uint8_t*> planePtr(size_t(std::max(planes, 1)));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = raw.data() + qint64(y) * rowBytes;
        uint8_t* dst = picture.rowFromTop(y);
        if (chunky) {
            std::memcpy(dst, row, size_t(w));
            continue;
        }
        for (int k = 0; k < planes; ++k) planePtr[size_t(k)] = row + k * planeBytes;
        if (deep) {
            // Planes 0-7 red, 8-15 green, 16-23 blue (24-31 alpha, ignored).
            for (int c = 0; c < 3; ++c) {
                planarToChunky(planePtr.data() + 8 * c, 8, w, chunkyRow.data());
                for (int x = 0; x < w; ++x) dst[3 * x + 2 - c] = chunkyRow[size_t(x)];
            }
            continue;
        }
        std::fill(chunkyRow.begin(), chunkyRow.end(), 0);
        planarToChunky(planePtr.data(), planes, w, chunkyRow.data());
        if (ham) {
            hamRow(chunkyRow.data(), w, planes, table, dst);
        } else if (outBits == 8) {
            std::memcpy(dst, chunkyRow.data(), size_t(w));
        } else if (outBits == 1) {
            std::memcpy(dst, row, size_t((w + 7) / 8));
        } else {
            for (int x = 0; x < w; x += 2)
                dst[x >> 1] =
                    uint8_t((chunkyRow[size_t(x)] << 4) | (chunkyRow[size_t(x) + 1] & 0x0F));
        }
    }
    picture.markModified();
    return picture;
}

void byteRun1Pack(const uint8_t* src, int count, QByteArray& out) {
    int i = 0;
    while (i < count) {
        // A run of three or more equal bytes becomes a replicate packet.
        int run = 1;
        while (i + run < count && run < 128 && src[i + run] == src[i]) ++run;
        if (run >= 3) {
            out.append(char(1 - run));
            out.append(char(src[i]));
            i += run;
            continue;
        }
        // Otherwise copy literally up to the next run of three.
        int lit = 0;
        while (i + lit < count && lit < 128) {
            if (i + lit + 2 < count && src[i + lit] == src[i + lit + 1] &&
                src[i + lit] == src[i + lit + 2])
                break;
            ++lit;
        }
        out.append(char(lit - 1));
        out.append(reinterpret_cast<const char*>(src + i), lit);
        i += lit;
    }
}

bool writeIlbm(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    if (w > 65535 || h > 65535) return false;
    const int planes = bits;  // 1, 4, 8 or 24
    const int planeBytes = ((w + 15) / 16) * 2;

    out.clear();
    out.append("FORM", 4);
    putBe32(out, 0);  // patched below
    out.append("ILBM", 4);
    out.append("BMHD", 4);
    putBe32(out, 20);
    putBe16(out, uint32_t(w));
    putBe16(out, uint32_t(h));
    putBe32(out, 0);  // x, y
    out.append(char(planes));
    out.append(char(0));  // no mask
    out.append(char(1));  // ByteRun1
    out.append(char(0));
    putBe16(out, 0);      // transparent colour
    out.append(char(1));  // aspect 1:1
    out.append(char(1));
    putBe16(out, uint32_t(std::min(w, 32767)));
    putBe16(out, uint32_t(std::min(h, 32767)));
    if (bits <= 8) {
        const auto& table = picture.colourTable();
        const int count = 1 << bits;
        out.append("CMAP", 4);
        putBe32(out, uint32_t(count * 3));
        for (int k = 0; k < count; ++k) {
            const RgbQuad c = k < int(table.size()) ? table[size_t(k)] : RgbQuad{};
            out.append(char(c.red));
            out.append(char(c.green));
            out.append(char(c.blue));
        }
        if ((count * 3) & 1) out.append(char(0));
    }
    out.append("BODY", 4);
    const qint64 bodySizePos = out.size();
    putBe32(out, 0);
    const qint64 bodyStart = out.size();
    std::vector<uint8_t> plane(size_t(planeBytes) + 1, 0);
    std::vector<uint8_t> chunkyRow(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = picture.rowFromTop(y);
        if (bits == 24) {
            for (int c = 0; c < 3; ++c) {  // red, green, blue
                for (int b = 0; b < 8; ++b) {
                    std::fill(plane.begin(), plane.end(), 0);
                    chunkyToPlanarBitStrided(row + (2 - c), 3, w, b, plane.data());
                    byteRun1Pack(plane.data(), planeBytes, out);
                }
            }
        } else if (bits == 1) {
            std::fill(plane.begin(), plane.end(), 0);
            std::memcpy(plane.data(), row, size_t((w + 7) / 8));
            if (w & 7) plane[size_t(w / 8)] &= uint8_t(0xFF << (8 - (w & 7)));
            byteRun1Pack(plane.data(), planeBytes, out);
        } else {
            expandIndices(row, bits, w, chunkyRow.data());
            for (int b = 0; b < planes; ++b) {
                std::fill(plane.begin(), plane.end(), 0);
                chunkyToPlanarBit(chunkyRow.data(), w, b, plane.data());
                byteRun1Pack(plane.data(), planeBytes, out);
            }
        }
    }
    const qint64 bodySize = out.size() - bodyStart;
    if (bodySize & 1) out.append(char(0));
    if (out.size() - 8 > 0xFFFFFFFFll) return false;
    auto patch = [&](qint64 at, uint32_t v) {
        out[at] = char(v >> 24);
        out[at + 1] = char(v >> 16);
        out[at + 2] = char(v >> 8);
        out[at + 3] = char(v);
    };
    patch(bodySizePos, uint32_t(bodySize));
    patch(4, uint32_t(out.size() - 8));
    return true;
}

}  // namespace bb
