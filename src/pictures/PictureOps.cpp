#include "pictures/PictureOps.h"

#include "pictures/QtCodec.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

namespace bb {

QString resolvePictureName(const QString& name, const QString& programFolder) {
    // A backslash marks a folder part too: names written on Windows keep their path.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        programFolder.isEmpty())
        return name;
    return programFolder + QLatin1Char('/') + name;
}

bool LoadDIBit(DibImage& target, const QString& fileName, const QString& programFolder) {
    DibImage loaded = OpenDib(resolvePictureName(fileName, programFolder));
    deldib(target);
    if (!loaded.isNull()) {
        target = std::move(loaded);
        return true;
    }
    target = newdib(320, 200, 24);
    if (!target.isNull()) std::memset(target.bits(), 0xFF, size_t(target.byteCount()));
    return false;
}

bool LoadBit(QImage& bitmap, const QString& fileName, const QString& programFolder) {
    bitmap = QImage(100, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const QString path = resolvePictureName(fileName, programFolder);
    const DibImage picture = OpenDib(path);
    if (!picture.isNull()) {
        const QImage image = qimageFromDib(picture).convertToFormat(QImage::Format_RGB32);
        if (!image.isNull()) {
            bitmap = image;
            return true;
        }
    }
    QImage own;
    if (own.load(path)) {
        bitmap = own.convertToFormat(QImage::Format_RGB32);
        return true;
    }
    return false;
}

namespace {

// Raw pixel access on one row for each depth. Destination pictures come from newdib and
// start zeroed, so writes of 1- and 4-bit pixels only need to set bits.
template <int Bits>
inline uint32_t rawGet(const uint8_t* row, int x) {
    if constexpr (Bits == 1) return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    if constexpr (Bits == 4) return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    if constexpr (Bits == 8) return row[x];
    if constexpr (Bits == 24) {
        const uint8_t* p = row + 3 * qint64(x);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
}

template <int Bits>
inline void rawSetZeroed(uint8_t* row, int x, uint32_t v) {
    if constexpr (Bits == 1) row[x >> 3] |= uint8_t(v << (7 - (x & 7)));
    if constexpr (Bits == 4) row[x >> 1] |= uint8_t((x & 1) ? v : (v << 4));
    if constexpr (Bits == 8) row[x] = uint8_t(v);
    if constexpr (Bits == 24) {
        uint8_t* p = row + 3 * qint64(x);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
    }
}

class Progress {
public:
    Progress(const std::function<void(int)>& f, int rows) : f_(f), rows_(rows) {}
    void row(int y) const {
        if (f_) f_(rows_ > 1 ? int(qint64(y) * 100 / (rows_ - 1)) : 0);
    }
    void done() const {
        if (f_) f_(0);
    }

private:
    const std::function<void(int)>& f_;
    int rows_;
};

// Square tiles keep the rows being read and the rows being written in the cache.
constexpr int kTile = 64;

// Quarter turn of src into dst (sized H x W). Clockwise: old (x, y) goes to (H-1-y, x);
// counter-clockwise: to (y, W-1-x). Source rows are handled in bands of kTile; progress
// is reported for each row of a band once the band is done.
template <int Bits>
void quarterTurn(const DibImage& src, DibImage& dst, bool clockwise, const Progress& progress) {
    const int w = src.width(), h = src.height();
    const uint8_t* rows[kTile];
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(h, y0 + kTile);
        for (int y = y0; y < y1; ++y) rows[y - y0] = src.rowFromTop(y);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int x = x0; x < x1; ++x) {
                uint8_t* out = dst.rowFromTop(clockwise ? x : w - 1 - x);
                if constexpr (Bits == 24 || Bits == 8) {
                    constexpr int n = Bits / 8;
                    if (clockwise) {
                        uint8_t* d = out + qint64(h - 1 - y0) * n;
                        for (int y = y0; y < y1; ++y, d -= n)
                            std::memcpy(d, rows[y - y0] + qint64(x) * n, n);
                    } else {
                        uint8_t* d = out + qint64(y0) * n;
                        for (int y = y0; y < y1; ++y, d += n)
                            std::memcpy(d, rows[y - y0] + qint64(x) * n, n);
                    }
                } else {
                    for (int y = y0; y < y1; ++y)
                        rawSetZeroed<Bits>(out, clockwise ? h - 1 - y : y,
                                           rawGet<Bits>(rows[y - y0], x));
                }
            }
        }
        for (int y = y0; y < y1; ++y) progress.row(y);
    }
}

template <int Bits>
void halfTurn(const DibImage& src, DibImage& dst, const Progress& progress) {
    const int w = src.width(), h = src.height();
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = src.rowFromTop(y);
        uint8_t* out = dst.rowFromTop(h - 1 - y);
        if constexpr (Bits == 8) {
            std::reverse_copy(in, in + w, out);
        } else if constexpr (Bits == 24) {
            const uint8_t* s = in + qint64(w - 1) * 3;
            for (int x = 0; x < w; ++x, s -= 3, out += 3) std::memcpy(out, s, 3);
        } else {
            for (int x = 0; x < w; ++x) rawSetZeroed<Bits>(out, w - 1 - x, rawGet<Bits>(in, x));
        }
        progress.row(y);
    }
}

enum class Turn { Left, Right, Half };

bool turn(DibImage& picture, Turn how, const std::function<void(int)>& progressFn) {
    if (picture.isNull()) return false;
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    const auto& colours = picture.colourTable();
    DibImage turned = how == Turn::Half ? newdib(w, h, bits, colours.data(), int(colours.size()))
                                        : newdib(h, w, bits, colours.data(), int(colours.size()));
    // Without room for the turned copy the picture stays as it was.
    if (turned.isNull()) return false;
    const Progress progress(progressFn, h);
    const bool clockwise = how == Turn::Right;
    switch (bits) {
        case 1:
            how == Turn::Half ? halfTurn<1>(picture, turned, progress)
                              : quarterTurn<1>(picture, turned, clockwise, progress);
            break;
        case 4:
            how == Turn::Half ? halfTurn<4>(picture, turned, progress)
                              : quarterTurn<4>(picture, turned, clockwise, progress);
            break;
        case 8:
            how == Turn::Half ? halfTurn<8>(picture, turned, progress)
                              : quarterTurn<8>(picture, turned, clockwise, progress);
            break;
        default:
            how == Turn::Half ? halfTurn<24>(picture, turned, progress)
                              : quarterTurn<24>(picture, turned, clockwise, progress);
            break;
    }
    progress.done();
    picture = std::move(turned);
    return true;
}

}  // namespace

bool RotLeft(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Left, progress);
}
bool RotRight(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Right, progress);
}
bool Rot180(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Half, progress);
}

}  // namespace bb
