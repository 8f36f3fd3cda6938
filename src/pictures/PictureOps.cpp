#include "pictures/PictureOps.h"

#include "pictures/QtCodec.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <vector>

namespace bb {

namespace {

// "D:\Bilder\rose.jpg", "\\server\share\rose.jpg": absolute on another system.
bool foreignAbsolute(const QString& name) {
    if (name.startsWith(QLatin1String("\\\\"))) return true;
    return name.size() >= 3 && name[0].isLetter() && name[1] == QLatin1Char(':') &&
           (name[2] == QLatin1Char('\\') || name[2] == QLatin1Char('/'));
}

QString joined(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return {};
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace

QStringList pictureNameCandidates(const QString& name, const QString& cardFolder,
                                  const QString& programFolder) {
    QStringList out;
    const auto add = [&out](const QString& path) {
        if (!path.isEmpty() && !out.contains(path)) out << path;
    };
    if (name.isEmpty()) return out;
    if (name.startsWith(QLatin1Char('/'))) {
        add(name);
    } else if (!foreignAbsolute(name)) {
        QString relative = name;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!relative.contains(QLatin1Char('/'))) {
            add(joined(programFolder, relative));
            add(joined(cardFolder, relative));
        } else {
            add(joined(cardFolder, relative));
            add(joined(programFolder, relative));
        }
    }
    const QString part = pictureFilePart(name);
    if (!part.isEmpty()) add(joined(cardFolder, part));
    return out;
}

QString resolvePictureName(const QString& name, const QString& programFolder) {
    const QStringList candidates = pictureNameCandidates(name, QString(), programFolder);
    return candidates.isEmpty() ? QString() : candidates.first();
}

QString pictureFilePart(const QString& name) {
    const qsizetype cut =
        qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return name.mid(cut + 1);
}

void makeStandIn(DibImage& target, const QString& note) {
    releaseDib(target);
    target = newDib(320, 200, 24);
    if (!target.isNull()) {
        std::memset(target.bits(), 0xFF, size_t(target.byteCount()));
        target.markStandIn();
        target.setStandInNote(note);
    }
}

QString pictureLoadMessage(const QString& name, PictureError error) {
    QString text = QStringLiteral("Konnte Bild (") + name + QStringLiteral(") nicht Laden.");
    if (error != PictureError::None && error != PictureError::NotFound)
        text += QStringLiteral("\nGrund: ") + pictureErrorText(error);
    return text;
}

bool loadPictureOrBlank(DibImage& target, const QString& fileName, const QString& programFolder,
                        PictureError* error) {
    const QString path = resolvePictureName(fileName, programFolder);
    PictureError why = PictureError::NotFound;
    DibImage loaded = path.isEmpty() ? DibImage() : loadPictureFile(path, &why);
    if (error) *error = why;
    if (!loaded.isNull()) {
        releaseDib(target);
        target = std::move(loaded);
        return true;
    }
    makeStandIn(target, why == PictureError::TooLarge ? QStringLiteral("Bild zu groß") : QString());
    return false;
}

bool loadBitmapOrBlank(QImage& bitmap, const QString& fileName, const QString& programFolder) {
    bitmap = QImage(100, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const QString path = resolvePictureName(fileName, programFolder);
    if (path.isEmpty()) return false;
    // Only our readers: bitmaps are among them, and Qt's own guessing of a format would hand a
    // file any plugin (SVG with its references to other files included).
    const DibImage picture = loadPictureFile(path);
    if (picture.isNull()) return false;
    const QImage image = qimageFromDib(picture).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return false;
    bitmap = image;
    return true;
}

namespace {

// Raw pixel access on one row for each depth. Destination pictures come from newDib and
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

#if defined(__x86_64__) || defined(__i386__)
#define BB_TURN24_SSSE3 1

// Quarter turn of a 24-bit picture, 4 x 4 pixels at a time: four source rows of four
// pixels are widened to 32-bit lanes, transposed, and packed back into 12 bytes for each of
// four destination rows. The source is walked in bands of kBandRows rows and, inside a
// band, in strips of kStripPixels columns, so that the partly written destination lines of
// a strip stay in the first-level cache while four source rows stream through.
template <bool Clockwise>
__attribute__((target("ssse3"))) void quarterTurn24Ssse3(const DibImage& src, DibImage& dst,
                                                         const Progress& progress) {
    constexpr int kBandRows = 512, kStripPixels = 512;
    const int w = src.width(), h = src.height();
    const qint64 srcStride = src.bytesPerRow(), dstStride = dst.bytesPerRow();
    const uint8_t* const srcTop = src.rowFromTop(0);  // rows from the top go down in memory
    // Old column x is the destination row (bottom-up index) w-1-x clockwise, x otherwise;
    // old row y is the destination byte 3 (h-1-y) clockwise, 3 y otherwise.
    uint8_t* const dstColumn0 = dst.bits() + (Clockwise ? qint64(w - 1) * dstStride : 0);
    const qint64 columnStep = Clockwise ? -dstStride : dstStride;
    auto dstPixel = [&](int x, int y) {
        return dstColumn0 + x * columnStep + 3 * qint64(Clockwise ? h - 1 - y : y);
    };
    const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    // Clockwise the four old rows land in reverse order.
    const __m128i pack =
        Clockwise ? _mm_setr_epi8(12, 13, 14, 8, 9, 10, 4, 5, 6, 0, 1, 2, -1, -1, -1, -1)
                  : _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    // 16-byte loads at pixel x read 16 bytes: they must stay inside the row's pixels.
    const int simdEnd = w - 2;
    for (int y0 = 0; y0 < h; y0 += kBandRows) {
        const int y1 = std::min(h, y0 + kBandRows);
        for (int x0 = 0; x0 < w; x0 += kStripPixels) {
            const int x1 = std::min(w, x0 + kStripPixels);
            const int x1Simd = std::min(x1, simdEnd);
            int y = y0;
            for (; y + 4 <= y1; y += 4) {
                const uint8_t* r0 = srcTop - qint64(y) * srcStride;
                int x = x0;
                for (; x + 4 <= x1Simd; x += 4) {
                    const uint8_t* s = r0 + 3 * qint64(x);
                    const __m128i a0 = _mm_shuffle_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), widen);
                    const __m128i a1 = _mm_shuffle_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - srcStride)), widen);
                    const __m128i a2 = _mm_shuffle_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - 2 * srcStride)),
                        widen);
                    const __m128i a3 = _mm_shuffle_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - 3 * srcStride)),
                        widen);
                    const __m128i t0 = _mm_unpacklo_epi32(a0, a1), t1 = _mm_unpacklo_epi32(a2, a3);
                    const __m128i t2 = _mm_unpackhi_epi32(a0, a1), t3 = _mm_unpackhi_epi32(a2, a3);
                    const __m128i columns[4] = {
                        _mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                        _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                    uint8_t* d = dstPixel(x, Clockwise ? y + 3 : y);
                    for (int k = 0; k < 4; ++k, d += columnStep) {
                        const __m128i v = _mm_shuffle_epi8(columns[k], pack);
                        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
                        const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(v, 8));
                        std::memcpy(d + 8, &tail, 4);
                    }
                }
                for (; x < x1; ++x)
                    for (int k = 0; k < 4; ++k)
                        std::memcpy(dstPixel(x, y + k), r0 - k * srcStride + 3 * qint64(x), 3);
            }
            for (; y < y1; ++y) {
                const uint8_t* r = srcTop - qint64(y) * srcStride;
                for (int x = x0; x < x1; ++x) std::memcpy(dstPixel(x, y), r + 3 * qint64(x), 3);
            }
        }
        for (int y = y0; y < y1; ++y) progress.row(y);
    }
}
#endif

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

// Quarter turns clockwise that `how` adds to a picture's turn.
int32_t turnSteps(Turn how) {
    return how == Turn::Right ? 1 : how == Turn::Half ? 2 : 3;
}

// A picture not decoded yet turns by naming one more turn of its file: it stays undecoded.
bool turnDeferred(DibImage& picture, Turn how, const std::function<void(int)>& progressFn) {
    const int32_t was = picture.sourceTurn();
    const bool odd = was == 1 || was == 3;
    const QSize asRead =
        odd ? QSize(picture.height(), picture.width()) : QSize(picture.width(), picture.height());
    DibImage turned = deferredPictureFile(picture.sourceFile(), asRead, (was + turnSteps(how)) % 4);
    if (turned.isNull()) return false;
    picture = std::move(turned);
    if (progressFn) progressFn(0);
    return true;
}

bool turn(DibImage& picture, Turn how, const std::function<void(int)>& progressFn) {
    if (picture.isNull()) return false;
    if (picture.isDeferred()) return turnDeferred(picture, how, progressFn);
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    const auto& colours = picture.colourTable();
    DibImage turned = how == Turn::Half ? newDib(w, h, bits, colours.data(), int(colours.size()))
                                        : newDib(h, w, bits, colours.data(), int(colours.size()));
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
            if (how == Turn::Half) {
                halfTurn<24>(picture, turned, progress);
                break;
            }
#ifdef BB_TURN24_SSSE3
            if (__builtin_cpu_supports("ssse3")) {
                clockwise ? quarterTurn24Ssse3<true>(picture, turned, progress)
                          : quarterTurn24Ssse3<false>(picture, turned, progress);
                break;
            }
#endif
            quarterTurn<24>(picture, turned, clockwise, progress);
            break;
    }
    progress.done();
    if (picture.isStandIn()) {
        turned.markStandIn();
        turned.setStandInNote(picture.standInNote());
    } else if (!picture.sourceFile().isEmpty()) {
        turned.setSource(picture.sourceFile(), (picture.sourceTurn() + turnSteps(how)) % 4);
    }
    picture = std::move(turned);
    return true;
}

}  // namespace

bool turnPictureLeft(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Left, progress);
}
bool turnPictureRight(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Right, progress);
}
bool turnPictureHalf(DibImage& picture, const std::function<void(int)>& progress) {
    return turn(picture, Turn::Half, progress);
}

bool turnByRotation(DibImage& picture, int32_t rotation, const std::function<void(int)>& progress) {
    switch (rotation) {
        case 1:
            return turnPictureRight(picture, progress);
        case 2:
            return turnPictureHalf(picture, progress);
        case 3:
            return turnPictureLeft(picture, progress);
        default:
            return true;
    }
}

}  // namespace bb
