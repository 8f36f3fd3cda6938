// Colour settings and soft edges on drawn copies of pictures.
#include "pictures/PictureAdjust.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace bb {

namespace {

int clampByte(double v) {
    return int(std::clamp(std::lround(v), 0L, 255L));
}

double limit(int v) {
    return std::clamp(v, -100, 100) / 100.0;
}

// Brightness and contrast of one channel value: brightness moves towards white (or black) by
// its share, contrast then stretches about the middle grey (at −100 everything is 128).
std::array<uint8_t, 256> toneCurve(const PictureLook& look) {
    const double b = limit(look.brightness);
    const double c = limit(look.contrast);
    const double factor = c >= 0 ? 1.0 + 3.0 * c : 1.0 + c;
    std::array<uint8_t, 256> curve{};
    for (int v = 0; v < 256; ++v) {
        double x = b >= 0 ? v + (255.0 - v) * b : v * (1.0 + b);
        x = (x - 128.0) * factor + 128.0;
        curve[size_t(v)] = uint8_t(clampByte(x));
    }
    return curve;
}

// The colour after saturation and tone, from channel values already through the curve.
QRgb mixColour(int r, int g, int b, double saturation, PictureToneKind tone) {
    const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
    double R = r, G = g, B = b;
    if (saturation != 0) {
        const double s = 1.0 + saturation;
        R = luma + (R - luma) * s;
        G = luma + (G - luma) * s;
        B = luma + (B - luma) * s;
        R = std::clamp(R, 0.0, 255.0);
        G = std::clamp(G, 0.0, 255.0);
        B = std::clamp(B, 0.0, 255.0);
    }
    switch (tone) {
        case PictureToneKind::Grey: {
            const int y = clampByte(0.299 * R + 0.587 * G + 0.114 * B);
            return qRgb(y, y, y);
        }
        case PictureToneKind::Sepia:
            return qRgb(clampByte(0.393 * R + 0.769 * G + 0.189 * B),
                        clampByte(0.349 * R + 0.686 * G + 0.168 * B),
                        clampByte(0.272 * R + 0.534 * G + 0.131 * B));
        case PictureToneKind::Colour:
            break;
    }
    return qRgb(clampByte(R), clampByte(G), clampByte(B));
}

}  // namespace

QRgb adjustedColour(QRgb colour, const PictureLook& look) {
    const auto curve = toneCurve(look);
    return mixColour(curve[size_t(qRed(colour))], curve[size_t(qGreen(colour))],
                     curve[size_t(qBlue(colour))], limit(look.saturation), look.tone);
}

void adjustColours(QImage& image, const PictureLook& look) {
    if (image.isNull() || look.isPlain()) return;
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            break;
        default:
            image.convertTo(QImage::Format_ARGB32_Premultiplied);
            break;
    }
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    const auto curve = toneCurve(look);
    const double saturation = limit(look.saturation);
    const bool curveOnly = saturation == 0 && look.tone == PictureToneKind::Colour;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb px = line[x];
            const int alpha = qAlpha(px);
            if (premultiplied && alpha != 255) {
                if (alpha == 0) continue;
                px = qUnpremultiply(px);
            }
            const int r = curve[size_t(qRed(px))];
            const int g = curve[size_t(qGreen(px))];
            const int b = curve[size_t(qBlue(px))];
            QRgb out = curveOnly ? qRgb(r, g, b) : mixColour(r, g, b, saturation, look.tone);
            out = (out & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
            line[x] = premultiplied && alpha != 255 ? qPremultiply(out) : out;
        }
    }
}

double softEdgeCoverage(int x, int y, int w, int h, double radius, double feather) {
    if (w <= 0 || h <= 0) return 0;
    const double halfW = w / 2.0, halfH = h / 2.0;
    const double r = std::clamp(radius, 0.0, std::min(halfW, halfH));
    // Signed distance of the pixel centre from the rounded rectangle's edge, negative inside.
    const double px = std::abs(x + 0.5 - halfW) - (halfW - r);
    const double py = std::abs(y + 0.5 - halfH) - (halfH - r);
    const double outside = std::hypot(std::max(px, 0.0), std::max(py, 0.0));
    const double distance = outside + std::min(std::max(px, py), 0.0) - r;
    if (feather > 0) return std::clamp(-distance / feather, 0.0, 1.0);
    return std::clamp(0.5 - distance, 0.0, 1.0);
}

void applySoftEdge(QImage& image, double radius, double feather) {
    if (image.isNull() || (radius <= 0 && feather <= 0)) return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width(), h = image.height();
    // Only a band along the edge (the corners' radius or the feather, whichever is wider) can
    // be less than fully covered.
    const double reach =
        std::min(std::max(std::min(radius, std::min(w, h) / 2.0), feather), double(std::max(w, h)));
    const int band = int(std::ceil(reach)) + 1;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const bool edgeRow = y < band || y >= h - band;
        for (int x = 0; x < w; ++x) {
            if (!edgeRow && x == band && w - band > band) x = w - band;
            const double cover = softEdgeCoverage(x, y, w, h, radius, feather);
            if (cover >= 1.0) continue;
            const QRgb px = line[x];
            const auto scale = [cover](int v) { return int(std::lround(v * cover)); };
            line[x] =
                qRgba(scale(qRed(px)), scale(qGreen(px)), scale(qBlue(px)), scale(qAlpha(px)));
        }
    }
}

}  // namespace bb
