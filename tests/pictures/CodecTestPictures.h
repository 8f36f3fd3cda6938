// Test pictures and pixel comparisons shared by the codec tests.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace bbtest {

// A picture of the given depth whose pixels depend on x and y. Palette pictures get a
// palette of distinct, non-grey colours; 24-bit pictures with `manyColours` a smooth
// gradient with thousands of colours, else a pattern of 200 colours.
inline bb::DibImage makeTestPicture(int bits, int w, int h, bool manyColours = true) {
    std::vector<bb::RgbQuad> table;
    const int count = bb::dibColourCount(bits);
    for (int i = 0; i < count; ++i)
        table.push_back({uint8_t(i * 37 + 11), uint8_t(255 - i * 13), uint8_t(i * 91 + 5), 0});
    bb::DibImage pic = bb::newDib(w, h, bits, table.empty() ? nullptr : table.data(), count);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (bits <= 8) {
                bb::setPixel(pic, x, y, uint32_t((x * 7 + y * 3 + (x ^ y)) % count));
            } else if (manyColours) {
                bb::setPixel(pic, x, y,
                             bb::rgbRef((x * 255) / std::max(1, w - 1),
                                        (y * 255) / std::max(1, h - 1), (x * 3 + y * 5) & 0xFF));
            } else {
                const int k = (x * 7 + y * 13) % 200;
                bb::setPixel(pic, x, y, bb::rgbRef(k * 5 % 256, 255 - k, (k * 77) & 0xFF));
            }
        }
    return pic;
}

inline bb::ColorRef colourAt(const bb::DibImage& pic, int x, int y) {
    return bb::pixelColor(pic, bb::getPixel(pic, x, y));
}

// Number of pixels whose colours differ (sizes must match).
inline int differingPixels(const bb::DibImage& a, const bb::DibImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) return -1;
    int diff = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) diff += colourAt(a, x, y) != colourAt(b, x, y);
    return diff;
}

// Mean absolute channel difference (sizes must match).
inline double meanError(const bb::DibImage& a, const bb::DibImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bb::ColorRef p = colourAt(a, x, y), q = colourAt(b, x, y);
            sum += std::abs(bb::refRed(p) - bb::refRed(q)) +
                   std::abs(bb::refGreen(p) - bb::refGreen(q)) +
                   std::abs(bb::refBlue(p) - bb::refBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Pixels that differ from a reference image, ignoring fully transparent reference pixels
// (their colour is undefined). -1 when the sizes differ.
inline int differingFromImage(const bb::DibImage& pic, const QImage& reference) {
    if (pic.isNull() || reference.isNull() || pic.width() != reference.width() ||
        pic.height() != reference.height())
        return -1;
    const QImage ref = reference.convertToFormat(QImage::Format_ARGB32);
    int diff = 0;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb r = ref.pixel(x, y);
            if (qAlpha(r) == 0) continue;
            diff += colourAt(pic, x, y) != bb::rgbRef(qRed(r), qGreen(r), qBlue(r));
        }
    return diff;
}

}  // namespace bbtest
