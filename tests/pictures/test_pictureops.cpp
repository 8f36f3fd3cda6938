#include "pictures/DibImage.h"
#include "pictures/PictureOps.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <random>

using namespace bb;

namespace {

DibImage patterned(int w, int h, int bits, uint32_t seed) {
    std::vector<RgbQuad> colours;
    for (int i = 0; i < dibColourCount(bits); ++i)
        colours.push_back(RgbQuad{uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0});
    DibImage p = newDib(w, h, bits, colours.data(), int(colours.size()));
    std::mt19937 rng(seed);
    const uint32_t mask = bits == 24 ? 0xFFFFFFu : (1u << bits) - 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(p, x, y, rng() & mask);
    return p;
}

bool samePixels(const DibImage& a, const DibImage& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.bitCount() != b.bitCount())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (getPixel(a, x, y) != getPixel(b, x, y)) return false;
    return a.colourTable() == b.colourTable();
}

}  // namespace

TEST(PictureOps, NamesWithoutFolderComeFromTheProgramFolder) {
    EXPECT_EQ(resolvePictureName("rose.bmp", "/opt/bb"), "/opt/bb/rose.bmp");
    EXPECT_EQ(resolvePictureName("/home/a/rose.bmp", "/opt/bb"), "/home/a/rose.bmp");
}

// The same card finds the same pictures wherever the program was started: no name is taken
// relative to the working directory.
TEST(PictureOps, RelativeNamesLookInTheCardFolderThenTheProgramFolderNeverTheWorkingFolder) {
    const QString card = "/home/a/karten", program = "/opt/bb";
    EXPECT_EQ(pictureNameCandidates("bilder/rose.bmp", card, program),
              QStringList({"/home/a/karten/bilder/rose.bmp", "/opt/bb/bilder/rose.bmp",
                           "/home/a/karten/rose.bmp"}));
    EXPECT_EQ(pictureNameCandidates("rose.bmp", card, program),
              QStringList({"/opt/bb/rose.bmp", "/home/a/karten/rose.bmp"}));
    EXPECT_EQ(pictureNameCandidates("bilder\\rose.bmp", card, program),
              QStringList({"/home/a/karten/bilder/rose.bmp", "/opt/bb/bilder/rose.bmp",
                           "/home/a/karten/rose.bmp"}));
    EXPECT_EQ(pictureNameCandidates("D:\\Bilder\\rose.bmp", card, program),
              QStringList({"/home/a/karten/rose.bmp"}));
    EXPECT_EQ(pictureNameCandidates("/srv/rose.bmp", card, program),
              QStringList({"/srv/rose.bmp", "/home/a/karten/rose.bmp"}));
    // Without a card or a program folder a relative name has nowhere to be.
    EXPECT_EQ(resolvePictureName("bilder/rose.bmp", "/opt/bb"), "/opt/bb/bilder/rose.bmp");
    EXPECT_TRUE(resolvePictureName("bilder/rose.bmp", QString()).isEmpty());
    EXPECT_TRUE(pictureNameCandidates("../rose.bmp", QString(), QString()).isEmpty());
}

TEST(PictureOps, LoadPictureOrBlankTakesThePictureOrAWhitePlaceholder) {
    bbtest::TempFolder dir;
    const DibImage original = patterned(5, 4, 8, 1);
    ASSERT_EQ(savePictureFile(original, dir.file("rose.bmp"), DibBMP), 1);

    DibImage target = newDib(2, 2, 24);
    const DibImage otherHolder = target;
    EXPECT_TRUE(loadPictureOrBlank(target, "rose.bmp", dir.path()));
    EXPECT_TRUE(samePixels(target, original));
    EXPECT_FALSE(target.drawingImageCached());  // loading builds no drawing image
    EXPECT_EQ(otherHolder.width(), 2);          // the old picture's other holder stays valid

    EXPECT_FALSE(loadPictureOrBlank(target, "missing.bmp", dir.path()));
    ASSERT_FALSE(target.isNull());
    EXPECT_EQ(target.width(), 320);
    EXPECT_EQ(target.height(), 200);
    EXPECT_EQ(target.bitCount(), 24);
    EXPECT_EQ(getPixel(target, 0, 0), rgbRef(255, 255, 255));
    EXPECT_EQ(getPixel(target, 319, 199), rgbRef(255, 255, 255));
}

TEST(PictureOps, LoadBitGivesTheImageOrAWhiteSquare) {
    bbtest::TempFolder dir;
    DibImage p = newDib(3, 2, 4);
    setPixel(p, 2, 1, 15);
    ASSERT_EQ(savePictureFile(p, dir.file("a.bmp"), DibBMP), 1);
    QImage bitmap;
    EXPECT_TRUE(loadBitmapOrBlank(bitmap, dir.file("a.bmp"), dir.path()));
    EXPECT_EQ(bitmap.size(), QSize(3, 2));
    EXPECT_EQ(bitmap.pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));

    EXPECT_FALSE(loadBitmapOrBlank(bitmap, "nothing.png", dir.path()));
    EXPECT_EQ(bitmap.size(), QSize(100, 100));
    EXPECT_EQ(bitmap.pixel(50, 50), qRgb(255, 255, 255));
}

TEST(PictureOps, TurnsMapEveryPixelAtEveryDepth) {
    // Sizes larger than the internal tiles and odd widths exercise the edges of the blocking
    // and of the packed 1- and 4-bit rows.
    for (int bits : {1, 4, 8, 24}) {
        for (QSize s : {QSize(3, 2), QSize(1, 1), QSize(7, 1), QSize(1, 5), QSize(70, 131),
                        QSize(601, 517)}) {
            SCOPED_TRACE(testing::Message() << bits << " bits " << s.width() << "x" << s.height());
            const int w = s.width(), h = s.height();
            const DibImage src = patterned(w, h, bits, uint32_t(w * 1000 + h));

            DibImage right = src, left = src, half = src;
            ASSERT_TRUE(turnPictureRight(right));
            ASSERT_TRUE(turnPictureLeft(left));
            ASSERT_TRUE(turnPictureHalf(half));
            ASSERT_EQ(right.width(), h);
            ASSERT_EQ(right.height(), w);
            ASSERT_EQ(left.width(), h);
            ASSERT_EQ(half.width(), w);
            EXPECT_EQ(right.colourTable(), src.colourTable());
            EXPECT_EQ(left.colourTable(), src.colourTable());
            bool ok = true;
            for (int y = 0; y < h && ok; ++y)
                for (int x = 0; x < w && ok; ++x) {
                    const uint32_t v = getPixel(src, x, y);
                    ok = getPixel(right, h - 1 - y, x) == v && getPixel(left, y, w - 1 - x) == v &&
                         getPixel(half, w - 1 - x, h - 1 - y) == v;
                }
            EXPECT_TRUE(ok);

            DibImage p = src;
            for (int i = 0; i < 4; ++i) turnPictureRight(p);
            EXPECT_TRUE(samePixels(p, src));
            turnPictureRight(p);
            turnPictureLeft(p);
            EXPECT_TRUE(samePixels(p, src));
            turnPictureHalf(p);
            turnPictureHalf(p);
            EXPECT_TRUE(samePixels(p, src));
            // Row padding of the turned pictures stays clean, so saved files are stable.
            const int used = (h * bits + 7) / 8;
            for (int y = 0; y < right.height(); ++y)
                for (int i = used; i < right.bytesPerRow(); ++i)
                    ASSERT_EQ(right.rowFromTop(y)[i], 0);
        }
    }
}

TEST(PictureOps, TurningOneHolderLeavesTheOtherCopy) {
    const DibImage src = patterned(4, 3, 8, 5);
    DibImage turned = src;
    ASSERT_TRUE(turnPictureRight(turned));
    EXPECT_NE(turned.sharedId(), src.sharedId());
    EXPECT_EQ(src.width(), 4);
    EXPECT_EQ(src.useCount(), 1);
    DibImage none;
    EXPECT_FALSE(turnPictureRight(none));
    EXPECT_FALSE(turnPictureHalf(none));
    EXPECT_TRUE(none.isNull());
}

TEST(PictureOps, ProgressCountsSourceRowsThenReturnsToZero) {
    std::vector<int> seen;
    auto record = [&](int v) { seen.push_back(v); };
    DibImage p = patterned(3, 5, 24, 2);
    turnPictureRight(p, record);
    EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100, 0}));

    seen.clear();
    turnPictureLeft(p, record);  // now 5 x 3: three source rows
    EXPECT_EQ(seen, (std::vector<int>{0, 50, 100, 0}));

    seen.clear();
    DibImage one = patterned(1, 1, 1, 9);
    turnPictureHalf(one, record);
    EXPECT_EQ(seen, (std::vector<int>{0, 0}));

    seen.clear();
    DibImage tall = patterned(2, 200, 8, 4);  // more rows than one tile band
    turnPictureLeft(tall, record);
    ASSERT_EQ(seen.size(), 201u);
    for (int y = 0; y < 200; ++y) ASSERT_EQ(seen[size_t(y)], y * 100 / 199);
    EXPECT_EQ(seen.back(), 0);
}
