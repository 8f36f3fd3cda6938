// Colour settings and soft edges: values worked out by hand.
#include "pictures/PictureAdjust.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

TEST(PictureAdjust, BrightnessContrastAndSaturationAtTheirLimits) {
    const QRgb c = qRgb(40, 120, 220);
    EXPECT_EQ(adjustedColour(c, {}), c);
    EXPECT_EQ(adjustedColour(c, {100, 0, 0, PictureToneKind::Colour}), qRgb(255, 255, 255));
    EXPECT_EQ(adjustedColour(c, {-100, 0, 0, PictureToneKind::Colour}), qRgb(0, 0, 0));
    EXPECT_EQ(adjustedColour(c, {0, -100, 0, PictureToneKind::Colour}), qRgb(128, 128, 128));
    // Half brightness: halfway to white, (40 + 215 / 2) = 147.5 → 148.
    EXPECT_EQ(qRed(adjustedColour(c, {50, 0, 0, PictureToneKind::Colour})), 148);
    // Contrast stretches about 128: values below fall, above rise.
    const QRgb hard = adjustedColour(c, {0, 30, 0, PictureToneKind::Colour});
    EXPECT_LT(qRed(hard), 40);
    EXPECT_GT(qBlue(hard), 220);
    // No saturation is the luminance: .299·40 + .587·120 + .114·220 = 107.48.
    const QRgb grey = adjustedColour(c, {0, 0, -100, PictureToneKind::Colour});
    EXPECT_EQ(grey, qRgb(107, 107, 107));
}

TEST(PictureAdjust, GreyAndSepiaTones) {
    EXPECT_EQ(adjustedColour(qRgb(100, 150, 200), {0, 0, 0, PictureToneKind::Grey}),
              qRgb(141, 141, 141));
    EXPECT_EQ(adjustedColour(qRgb(100, 150, 200), {0, 0, 0, PictureToneKind::Sepia}),
              qRgb(192, 171, 134));
    // White turns to the sepia's light tone, clipped at 255 in red and green.
    EXPECT_EQ(adjustedColour(qRgb(255, 255, 255), {0, 0, 0, PictureToneKind::Sepia}),
              qRgb(255, 255, 239));
}

TEST(PictureAdjust, ImagesFollowTheColourFunctionAndKeepAlpha) {
    const PictureLook look{20, -10, 40, PictureToneKind::Colour};
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(10, 20, 30, 255));
    image.setPixel(1, 0, qRgba(200, 100, 0, 255));
    image.setPixel(2, 0, qRgba(200, 100, 0, 0));
    adjustColours(image, look);
    EXPECT_EQ(image.pixel(0, 0), adjustedColour(qRgb(10, 20, 30), look));
    EXPECT_EQ(image.pixel(1, 0), adjustedColour(qRgb(200, 100, 0), look));
    EXPECT_EQ(qAlpha(image.pixel(2, 0)), 0);
}

TEST(PictureAdjust, SoftEdgeCoverage) {
    // A 100 × 50 picture with corners of radius 10: the corner pixel lies outside the arc,
    // the middle of an edge and the inside are covered.
    EXPECT_EQ(softEdgeCoverage(0, 0, 100, 50, 10, 0), 0.0);
    EXPECT_EQ(softEdgeCoverage(50, 25, 100, 50, 10, 0), 1.0);
    EXPECT_EQ(softEdgeCoverage(50, 0, 100, 50, 10, 0), 1.0);
    // (3, 2): its centre lies hypot(6.5, 7.5) − 10 ≈ −0.075 from the arc: partly covered,
    // and (2, 2) ≈ 0.6 outside it: not at all.
    EXPECT_EQ(softEdgeCoverage(2, 2, 100, 50, 10, 0), 0.0);
    const double arc = softEdgeCoverage(3, 2, 100, 50, 10, 0);
    EXPECT_GT(arc, 0.5);
    EXPECT_LT(arc, 1.0);
    // A feather of 10 fades in linearly from the edge: 0.5/10 at the edge pixel, 1 from 10 in.
    EXPECT_NEAR(softEdgeCoverage(0, 25, 100, 50, 0, 10), 0.05, 1e-9);
    EXPECT_NEAR(softEdgeCoverage(4, 25, 100, 50, 0, 10), 0.45, 1e-9);
    EXPECT_EQ(softEdgeCoverage(10, 25, 100, 50, 0, 10), 1.0);
}

TEST(PictureAdjust, ApplySoftEdgeScalesPremultipliedPixels) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    applySoftEdge(image, 0, 4);
    ASSERT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixel(20, 10), qRgb(200, 100, 50));
    // Pixel 1 from the left: coverage 1.5 / 4 = .375.
    const QRgb edge = image.pixel(1, 10);
    EXPECT_EQ(qAlpha(edge), 96);
    EXPECT_EQ(qRed(edge), 75);
    // The band on every side, not only the first rows: the last column fades too.
    EXPECT_EQ(qAlpha(image.pixel(39, 10)), 32);
    EXPECT_EQ(qAlpha(image.pixel(20, 19)), 32);
}

}  // namespace
