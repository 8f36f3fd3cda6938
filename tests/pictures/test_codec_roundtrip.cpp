// Every writer of the save filter, read back through loadPictureFile: lossless formats give the
// same colours for 1-, 4-, 8- and 24-bit pictures of awkward sizes; JPEG stays close.
#include "CodecTestPictures.h"
#include "pictures/DibImage.h"
#include "pictures/PictureFormat.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace bb;
using bbtest::makeTestPicture;

namespace {

struct Size {
    int w, h;
};
const Size kSizes[] = {{1, 1}, {13, 1}, {1, 11}, {17, 9}, {64, 5}, {33, 31}};

DibImage saveAndOpen(const DibImage& pic, int typeCode, const QString& file,
                     const PictureSaveOptions& options = {}) {
    if (savePictureFile(pic, file, typeCode, options) != 1) return {};
    return loadPictureFile(file);
}

class LosslessRoundTrip : public ::testing::TestWithParam<int> {};

// GIF and RLE are lossless for palette pictures and for 24-bit pictures with at most 256
// colours; the others for everything.
TEST_P(LosslessRoundTrip, SameColoursForEveryDepthAndSize) {
    const int type = GetParam();
    const bool paletteFormat = type == DibGIF || type == DibRLE;
    bbtest::TempFolder dir;
    for (int bits : {1, 4, 8, 24})
        for (const Size& s : kSizes) {
            SCOPED_TRACE(QStringLiteral("type %1, %2 bit, %3x%4")
                             .arg(type)
                             .arg(bits)
                             .arg(s.w)
                             .arg(s.h)
                             .toStdString());
            const DibImage pic = makeTestPicture(bits, s.w, s.h, !paletteFormat);
            const DibImage back =
                saveAndOpen(pic, type,
                            dir.file(QStringLiteral("p%1_%2.").arg(bits).arg(s.w) +
                                     QLatin1String(pictureFormatForType(type)->suffix)));
            ASSERT_FALSE(back.isNull());
            EXPECT_EQ(bbtest::differingPixels(pic, back), 0);
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip,
                         ::testing::Values(DibBMP, DibDIB, DibGIF, DibIFF, DibLBM, DibPCX, DibRLE,
                                           DibTGA, DibTIF, DibPNG));

TEST(CodecRoundTrip, PaletteDepthIsKeptWhereTheFormatHasIt) {
    bbtest::TempFolder dir;
    const DibImage pic4 = makeTestPicture(4, 9, 7);
    const DibImage pic1 = makeTestPicture(1, 9, 7);
    EXPECT_EQ(saveAndOpen(pic4, DibIFF, dir.file("a.iff")).bitCount(), 4);
    EXPECT_EQ(saveAndOpen(pic1, DibIFF, dir.file("b.iff")).bitCount(), 1);
    EXPECT_EQ(saveAndOpen(pic4, DibRLE, dir.file("c.rle")).bitCount(), 4);
    EXPECT_EQ(saveAndOpen(pic4, DibTGA, dir.file("d.tga")).bitCount(), 8);
    EXPECT_EQ(saveAndOpen(makeTestPicture(24, 9, 7), DibIFF, dir.file("e.iff")).bitCount(), 24);
}

TEST(CodecRoundTrip, JpegStaysWithinItsErrorAndFollowsTheQuality) {
    bbtest::TempFolder dir;
    const DibImage pic = makeTestPicture(24, 96, 64);
    for (int type : {DibJIF, DibJPG}) {
        const DibImage good = saveAndOpen(pic, type, dir.file("good.jpg"), {95});
        const DibImage poor = saveAndOpen(pic, type, dir.file("poor.jpg"), {5});
        ASSERT_FALSE(good.isNull());
        ASSERT_FALSE(poor.isNull());
        EXPECT_LT(bbtest::meanError(pic, good), 3.0);  // stated bound at quality 95
        EXPECT_GT(bbtest::meanError(pic, poor), bbtest::meanError(pic, good));
        EXPECT_LT(QFile(dir.file("poor.jpg")).size(), QFile(dir.file("good.jpg")).size());
    }
    // Palette pictures are written as true colour (flat 8x8 blocks of palette colours).
    DibImage pal = makeTestPicture(8, 64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) setPixel(pal, x, y, uint32_t((x / 16) * 5 + (y / 16) * 17));
    const DibImage back = saveAndOpen(pal, DibJPG, dir.file("pal.jpg"), {95});
    ASSERT_FALSE(back.isNull());
    EXPECT_LT(bbtest::meanError(pal, back), 8.0);  // sharp edges between unrelated colours
}

TEST(CodecRoundTrip, EachJpegSaveUsesItsOwnQualityAndNoneLingers) {
    bbtest::TempFolder dir;
    const DibImage pic = makeTestPicture(24, 48, 32);
    auto bytes = [&](const QString& name) {
        QFile f(dir.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ASSERT_EQ(savePictureFile(pic, dir.file("plain.jpg"), DibJPG), 1);
    ASSERT_EQ(savePictureFile(pic, dir.file("low.jpg"), DibJPG, PictureSaveOptions{5}), 1);
    // A save without options after one with a low quality writes what it wrote before.
    ASSERT_EQ(savePictureFile(pic, dir.file("again.jpg"), DibJPG), 1);
    EXPECT_EQ(bytes("again.jpg"), bytes("plain.jpg"));
    EXPECT_NE(bytes("low.jpg"), bytes("plain.jpg"));
    // The default is quality 75; values outside 1..99 are held to that range.
    ASSERT_EQ(savePictureFile(pic, dir.file("q75.jpg"), DibJPG, PictureSaveOptions{75}), 1);
    EXPECT_EQ(bytes("q75.jpg"), bytes("plain.jpg"));
    ASSERT_EQ(savePictureFile(pic, dir.file("q0.jpg"), DibJPG, PictureSaveOptions{0}), 1);
    ASSERT_EQ(savePictureFile(pic, dir.file("q1.jpg"), DibJPG, PictureSaveOptions{1}), 1);
    EXPECT_EQ(bytes("q0.jpg"), bytes("q1.jpg"));
    ASSERT_EQ(savePictureFile(pic, dir.file("q100.jpg"), DibJPG, PictureSaveOptions{100}), 1);
    ASSERT_EQ(savePictureFile(pic, dir.file("q99.jpg"), DibJPG, PictureSaveOptions{99}), 1);
    EXPECT_EQ(bytes("q100.jpg"), bytes("q99.jpg"));
}

// Mean colour of each 4x4 block, as a picture a quarter the size: dithering trades
// per-pixel error for a correct local average.
DibImage blockMeans(const DibImage& pic) {
    DibImage out = newDib(pic.width() / 4, pic.height() / 4, 24);
    for (int by = 0; by < out.height(); ++by)
        for (int bx = 0; bx < out.width(); ++bx) {
            int s[3] = {0, 0, 0};
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const ColorRef c = bbtest::colourAt(pic, bx * 4 + x, by * 4 + y);
                    s[0] += refRed(c), s[1] += refGreen(c), s[2] += refBlue(c);
                }
            setPixel(out, bx, by, rgbRef(s[0] / 16, s[1] / 16, s[2] / 16));
        }
    return out;
}

TEST(CodecRoundTrip, ManyColoursInPaletteFormatsAreQuantisedNotCut) {
    bbtest::TempFolder dir;
    const DibImage pic = makeTestPicture(24, 120, 80);  // thousands of colours
    // GIF dithers: the local averages stay close.
    const DibImage gif = saveAndOpen(pic, DibGIF, dir.file("q.gif"));
    ASSERT_FALSE(gif.isNull());
    EXPECT_LT(bbtest::meanError(blockMeans(pic), blockMeans(gif)), 2.0);
    // RLE maps every pixel to its nearest palette colour.
    const DibImage rle = saveAndOpen(pic, DibRLE, dir.file("q.rle"));
    ASSERT_FALSE(rle.isNull());
    EXPECT_LT(bbtest::meanError(pic, rle), 6.0);
}

TEST(CodecRoundTrip, EveryWriterRefusesANullPicture) {
    for (const PictureFormat& f : pictureFormats()) {
        QByteArray out;
        EXPECT_FALSE(f.write(DibImage(), {}, out)) << f.name;
    }
}

}  // namespace
