// Cropped and adjusted copies of pictures, cached by picture, settings and size.
#include "render/PictureEffects.h"

#include "document/CardObject.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <list>
#include <vector>

namespace bb {

namespace {

// Bytes of adjusted copies kept: enough for a side full of adjusted photos on screen and a
// printed page of them.
constexpr qint64 kEffectCacheBytes = 96ll * 1024 * 1024;
// An edged copy is made at the drawn size up to this many pixels; a box drawn larger (deep zoom,
// a poster) gets a copy of this size, enlarged when drawn.
constexpr qint64 kMaxEdgedPixels = 24ll * 1024 * 1024;

struct EffectKey {
    const void* picture = nullptr;
    QRect crop;
    PictureLook look;
    int radius = 0, feather = 0;  // hundredths of a device pixel
    QSize size;
    friend bool operator==(const EffectKey&, const EffectKey&) = default;
};

struct EffectEntry {
    EffectKey key;
    DibImage picture;  // keeps the key's pixels alive, so that their address names them alone
    QImage image;
};

QMutex effectMutex;
std::list<EffectEntry> effectCache;  // most recently used first
qint64 effectBytes = 0;

// The pixels of `part` (top row first) as an opaque 32-bit image, converted straight from the
// picture's rows so that no drawing image of a large picture is built and kept.
QImage partImage(const DibImage& pic, const QRect& part) {
    QImage image(part.size(), QImage::Format_RGB32);
    if (image.isNull()) return image;
    std::vector<QRgb> lut(256, qRgb(0, 0, 0));
    const auto& table = pic.colourTable();
    for (size_t i = 0; i < std::min<size_t>(table.size(), 256); ++i)
        lut[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    const int bitCount = pic.bitCount();
    for (int r = 0; r < part.height(); ++r) {
        const uint8_t* line = pic.rowFromTop(part.top() + r);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(r));
        for (int c = 0; c < part.width(); ++c) {
            const int m = part.left() + c;
            switch (bitCount) {
                case 24: {
                    const uint8_t* px = line + qint64(m) * 3;
                    out[c] = qRgb(px[2], px[1], px[0]);
                    break;
                }
                case 8:
                    out[c] = lut[line[m]];
                    break;
                case 4:
                    out[c] = lut[(line[m >> 1] >> ((m & 1) ? 0 : 4)) & 0x0F];
                    break;
                default:
                    out[c] = lut[(line[m >> 3] >> (7 - (m & 7))) & 0x01];
                    break;
            }
        }
    }
    return image;
}

PictureToneKind toneKind(int32_t tone) {
    if (tone == ToneGrey) return PictureToneKind::Grey;
    if (tone == ToneSepia) return PictureToneKind::Sepia;
    return PictureToneKind::Colour;
}

}  // namespace

PictureEffects pictureEffectsOf(const CardObject& o) {
    const ObjectExtras& e = o.extras;
    PictureEffects fx;
    const QRectF unit(0, 0, 1, 1);
    const bool finite = std::isfinite(e.crop.x()) && std::isfinite(e.crop.y()) &&
                        std::isfinite(e.crop.width()) && std::isfinite(e.crop.height());
    QRectF crop = finite ? e.crop.normalized() & unit : QRectF();
    if (!finite || !e.crop.isValid() || crop.width() <= 1e-6 || crop.height() <= 1e-6 ||
        crop == unit)
        crop = QRectF();
    fx.crop = crop;
    fx.look = {e.brightness, e.contrast, e.saturation, toneKind(e.tone)};
    return fx;
}

QRect cropPixels(const QRectF& crop, int pw, int ph) {
    if (crop.isEmpty()) return QRect(0, 0, pw, ph);
    const int left = std::clamp(int(std::floor(crop.left() * pw + 1e-9)), 0, pw - 1);
    const int top = std::clamp(int(std::floor(crop.top() * ph + 1e-9)), 0, ph - 1);
    const int right = std::clamp(int(std::ceil(crop.right() * pw - 1e-9)), left + 1, pw);
    const int bottom = std::clamp(int(std::ceil(crop.bottom() * ph - 1e-9)), top + 1, ph);
    return QRect(left, top, right - left, bottom - top);
}

QSize uncroppedSize(const QRectF& crop, QSize drawn) {
    if (crop.isEmpty()) return drawn;
    constexpr double kMax = 1 << 15;  // no picture is decoded larger than this on a side
    const double w = std::min(kMax, std::ceil(drawn.width() / crop.width() - 1e-6));
    const double h = std::min(kMax, std::ceil(drawn.height() / crop.height() - 1e-6));
    return {std::max(1, int(w)), std::max(1, int(h))};
}

QImage effectImage(const DibImage& pixels, PictureEffects fx, QSize drawn) {
    if (pixels.isNull() || drawn.isEmpty()) return {};
    const QRect part = cropPixels(fx.crop, pixels.width(), pixels.height());
    const bool edge = fx.hasEdge();
    if (edge && qint64(drawn.width()) * drawn.height() > kMaxEdgedPixels) {
        const double f =
            std::sqrt(double(kMaxEdgedPixels) / (double(drawn.width()) * drawn.height()));
        drawn = QSize(std::max(1, int(drawn.width() * f)), std::max(1, int(drawn.height() * f)));
        fx.radius *= f;
        fx.feather *= f;
    }
    const EffectKey key{pixels.sharedId(),
                        part,
                        fx.look,
                        int(std::lround(fx.radius * 100)),
                        int(std::lround(fx.feather * 100)),
                        edge ? drawn : part.size()};
    {
        const QMutexLocker lock(&effectMutex);
        for (auto it = effectCache.begin(); it != effectCache.end(); ++it) {
            if (!(it->key == key)) continue;
            effectCache.splice(effectCache.begin(), effectCache, it);
            return effectCache.front().image;
        }
    }
    QImage image = partImage(pixels, part);
    if (image.isNull()) return {};
    if (edge && image.size() != drawn)
        image = image.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull()) return {};
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    adjustColours(image, fx.look);
    applySoftEdge(image, fx.radius, fx.feather);

    const QMutexLocker lock(&effectMutex);
    effectCache.push_front({key, pixels, image});
    effectBytes += image.sizeInBytes();
    while (effectBytes > kEffectCacheBytes && effectCache.size() > 1) {
        effectBytes -= effectCache.back().image.sizeInBytes();
        effectCache.pop_back();
    }
    return image;
}

void clearEffectImages() {
    const QMutexLocker lock(&effectMutex);
    effectCache.clear();
    effectBytes = 0;
}

}  // namespace bb
