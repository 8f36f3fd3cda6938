// Colour reduction and the halftoned copies built on it.
#include "CodecTestPictures.h"
#include "pictures/Halftone.h"
#include "pictures/codecs/Quantize.h"

#include <gtest/gtest.h>

#include <set>

using namespace bb;

namespace {

std::array<double, 3> meanColour(const DibImage& pic) {
    std::array<double, 3> s{0, 0, 0};
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            const ColorRef c = bbtest::colourAt(pic, x, y);
            s[0] += refRed(c), s[1] += refGreen(c), s[2] += refBlue(c);
        }
    for (double& v : s) v /= double(pic.width()) * pic.height();
    return s;
}

TEST(Quantize, FewColoursAreKeptExactly) {
    DibImage pic = newDib(16, 13, 24);  // 208 colours
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 16; ++x)
            setPixel(pic, x, y, rgbRef(x * 13 + 1, y * 19 + 3, (x * y) % 7 + 249));
    const DibImage out = reduceTo8(pic, 256, true);
    ASSERT_EQ(out.bitCount(), 8);
    EXPECT_EQ(bbtest::differingPixels(pic, out), 0);
}

// 400 colours in four tight clusters of odd values: a 5-bit cut would move every colour by
// up to 7 levels; the median-cut palette sits on the clusters' own colours.
TEST(Quantize, ManyColoursGetTheirOwnMeansNotCutBits) {
    const ColorRef bases[4] = {rgbRef(13, 201, 77), rgbRef(241, 9, 133), rgbRef(99, 99, 181),
                               rgbRef(3, 3, 3)};
    DibImage pic = newDib(40, 40, 24);
    std::set<ColorRef> distinct;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const ColorRef b = bases[(x / 20) + 2 * (y / 20)];
            const int d = (x % 10) * 10 + (y % 10);  // 100 variations per cluster
            const ColorRef c =
                rgbRef(refRed(b) + d % 5, refGreen(b) + d / 5 % 5, refBlue(b) + d / 25);
            setPixel(pic, x, y, c);
            distinct.insert(c);
        }
    ASSERT_GT(distinct.size(), 256u);
    for (bool dither : {false, true}) {
        const DibImage out = reduceTo8(pic, 256, dither);
        ASSERT_EQ(out.bitCount(), 8);
        EXPECT_LT(bbtest::meanError(pic, out), 1.5) << dither;
    }
    // Down to 4 colours the palette is the four cluster means.
    const DibImage four = reduceTo8(pic, 4, false);
    EXPECT_LT(bbtest::meanError(pic, four), 2.5);
}

TEST(Quantize, DitheringKeepsTheMeanColourOfAGradient) {
    // Channels stay inside 20..235 so that no diffused error is lost to clamping.
    DibImage pic = newDib(200, 100, 24);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            setPixel(pic, x, y,
                     rgbRef(20 + x * 215 / 199, 20 + y * 215 / 99, 20 + (x * 3 + y * 5) % 216));
    const DibImage out = reduceTo8(pic, 64, true);
    const auto a = meanColour(pic), b = meanColour(out);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[size_t(k)], b[size_t(k)], 1.0) << k;
}

TEST(Quantize, PalettePicturesAreWidenedNotChanged) {
    for (int bits : {1, 4, 8}) {
        const DibImage pic = bbtest::makeTestPicture(bits, 11, 3);
        const DibImage out = reduceTo8(pic);
        EXPECT_EQ(out.bitCount(), 8);
        EXPECT_EQ(bbtest::differingPixels(pic, out), 0);
        EXPECT_EQ(bbtest::differingPixels(pic, dibTo24(pic)), 0);
    }
    EXPECT_TRUE(reduceTo8(DibImage()).isNull());
}

TEST(Halftone, EightBitCopyWithOwnPaletteAndTheSameMeanColour) {
    const DibImage pic = bbtest::makeTestPicture(24, 150, 90);
    const DibImage ht = halftoneDib(pic);
    ASSERT_FALSE(ht.isNull());
    EXPECT_EQ(ht.width(), 150);
    EXPECT_EQ(ht.height(), 90);
    EXPECT_EQ(ht.bitCount(), 8);
    EXPECT_EQ(ht.colourTable().size(), 256u);
    std::set<uint32_t> used;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 150; ++x) used.insert(getPixel(ht, x, y));
    EXPECT_GT(used.size(), 64u);  // a real palette, not a handful of colours
    const auto a = meanColour(pic), b = meanColour(ht);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[size_t(k)], b[size_t(k)], 1.0);
}

TEST(Halftone, ResampledCopyHasTheAskedSizeAndMean) {
    DibImage pic = newDib(64, 64, 24);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            setPixel(pic, x, y, (x + y) % 2 ? rgbRef(250, 30, 10) : rgbRef(10, 90, 250));
    const DibImage ht = halftoneDibXY(pic, 17, 9);
    ASSERT_FALSE(ht.isNull());
    EXPECT_EQ(ht.width(), 17);
    EXPECT_EQ(ht.height(), 9);
    EXPECT_EQ(ht.bitCount(), 8);
    const auto b = meanColour(ht);
    EXPECT_NEAR(b[0], 130, 12);
    EXPECT_NEAR(b[1], 60, 12);
    EXPECT_NEAR(b[2], 130, 12);
    // Palette sources go through their colours.
    EXPECT_EQ(bbtest::differingPixels(halftoneDib(bbtest::makeTestPicture(4, 9, 9)),
                                      bbtest::makeTestPicture(4, 9, 9)),
              0);
    EXPECT_TRUE(halftoneDib(DibImage()).isNull());
    EXPECT_TRUE(halftoneDibXY(pic, 0, 5).isNull());
    EXPECT_TRUE(halftoneDibXY(pic, 100000, 5).isNull());
}

}  // namespace
