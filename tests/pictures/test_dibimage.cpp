#include "pictures/DibImage.h"
#include "pictures/QtCodec.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

using namespace bb;

TEST(DibImage, NewDibSizesRowsAndGreyPalette) {
    const DibImage p24 = newDib(5, 3, 24);
    ASSERT_FALSE(p24.isNull());
    EXPECT_EQ(p24.bytesPerRow(), 16);  // 15 bytes padded to 16
    EXPECT_TRUE(p24.colourTable().empty());
    EXPECT_FALSE(p24.hasPalette());
    for (qint64 i = 0; i < p24.byteCount(); ++i) ASSERT_EQ(p24.bits()[i], 0);

    const DibImage p1 = newDib(33, 2, 1);
    EXPECT_EQ(p1.bytesPerRow(), 8);
    ASSERT_EQ(p1.colourTable().size(), 2u);
    EXPECT_EQ(p1.colourTable()[1], (RgbQuad{255, 255, 255, 0}));

    const DibImage p4 = newDib(9, 1, 4);
    EXPECT_EQ(p4.bytesPerRow(), 8);
    ASSERT_EQ(p4.colourTable().size(), 16u);
    EXPECT_EQ(p4.colourTable()[3], (RgbQuad{51, 51, 51, 0}));

    const DibImage p8 = newDib(3, 1, 8);
    ASSERT_EQ(p8.colourTable().size(), 256u);
    EXPECT_EQ(p8.colourTable()[200], (RgbQuad{200, 200, 200, 0}));

    // Given colours are copied; a short table is filled up with black.
    const RgbQuad two[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    const DibImage own = newDib(2, 2, 4, two, 2);
    EXPECT_EQ(own.colourTable()[1], two[1]);
    EXPECT_EQ(own.colourTable()[2], RgbQuad{});
}

TEST(DibImage, SizeLimitsRefuseBeforeAllocating) {
    EXPECT_TRUE(newDib(0, 5, 24).isNull());
    EXPECT_TRUE(newDib(5, -1, 8).isNull());
    EXPECT_TRUE(newDib(kMaxDibSide + 1, 1, 1).isNull());
    EXPECT_TRUE(newDib(4, 4, 16).isNull());
    EXPECT_TRUE(newDib(4, 4, 32).isNull());
    EXPECT_TRUE(dibSizeAllowed(kMaxDibSide, 1, 24));
    EXPECT_TRUE(dibSizeAllowed(32768, 5461, 24));   // 98304 * 5461 bytes: just inside
    EXPECT_FALSE(dibSizeAllowed(32768, 5462, 24));  // just over 512 MiB
    EXPECT_FALSE(dibSizeAllowed(32768, 32768, 24));
    EXPECT_TRUE(dibSizeAllowed(32768, 32768, 1));
}

TEST(DibImage, PixelsAreAddressedFromTheTopInBottomUpRows) {
    DibImage p = newDib(10, 3, 24);
    setPixel(p, 1, 0, rgbRef(0x11, 0x22, 0x33));
    const uint8_t* top = p.bits() + 2 * p.bytesPerRow();  // last stored row is the top
    EXPECT_EQ(top[3], 0x33);                              // blue first
    EXPECT_EQ(top[4], 0x22);
    EXPECT_EQ(top[5], 0x11);
    EXPECT_EQ(getPixel(p, 1, 0), rgbRef(0x11, 0x22, 0x33));
    EXPECT_EQ(getPixel(p, 1, 2), 0u);

    DibImage m = newDib(10, 2, 1);
    setPixel(m, 0, 1, 1);
    setPixel(m, 9, 1, 1);
    EXPECT_EQ(m.bits()[0], 0x80);  // bottom row, leftmost pixel in the high bit
    EXPECT_EQ(m.bits()[1], 0x40);
    setPixel(m, 0, 1, 0);
    EXPECT_EQ(m.bits()[0], 0x00);
    EXPECT_EQ(getPixel(m, 9, 1), 1u);

    DibImage n = newDib(3, 1, 4);
    setPixel(n, 0, 0, 0xA);
    setPixel(n, 1, 0, 0x1F);  // only the low four bits count
    setPixel(n, 2, 0, 0x7);
    EXPECT_EQ(n.bits()[0], 0xAF);
    EXPECT_EQ(n.bits()[1], 0x70);
    EXPECT_EQ(getPixel(n, 1, 0), 0xFu);

    DibImage e = newDib(3, 2, 8);
    setPixel(e, 2, 0, 300);
    EXPECT_EQ(getPixel(e, 2, 0), 300u & 0xFF);
    EXPECT_EQ(e.bits()[e.bytesPerRow() + 2], 300 & 0xFF);

    // Outside the picture: reads give 0, writes change nothing.
    setPixel(e, 3, 0, 9);
    setPixel(e, -1, 0, 9);
    setPixel(e, 0, 2, 9);
    EXPECT_EQ(getPixel(e, 3, 0), 0u);
    EXPECT_EQ(getPixel(e, 0, -1), 0u);
    int nonZero = 0;
    for (qint64 i = 0; i < e.byteCount(); ++i) nonZero += e.bits()[i] != 0;
    EXPECT_EQ(nonZero, 1);
    EXPECT_EQ(getPixel(DibImage(), 0, 0), 0u);
}

TEST(DibImage, PixelColorLooksUpTheTable) {
    DibImage p = newDib(2, 1, 1);
    p.setColourTable({{10, 20, 30, 0}, {40, 50, 60, 0}});
    EXPECT_EQ(pixelColor(p, 1), rgbRef(60, 50, 40));
    EXPECT_EQ(pixelColor(p, 2), 0u);  // beyond the table
    const DibImage t = newDib(1, 1, 24);
    EXPECT_EQ(pixelColor(t, 0xFF123456u), 0x123456u);
}

TEST(DibImage, CopiesShareAndReleasingOneLeavesTheOther) {
    DibImage a = newDib(4, 4, 8);
    DibImage b = a;
    EXPECT_EQ(a.sharedId(), b.sharedId());
    EXPECT_EQ(a.useCount(), 2);
    setPixel(b, 1, 1, 77);
    EXPECT_EQ(getPixel(a, 1, 1), 77u);
    releaseDib(a);
    EXPECT_TRUE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_EQ(b.useCount(), 1);
    EXPECT_EQ(getPixel(b, 1, 1), 77u);
    releaseDib(a);  // releasing twice is harmless
    EXPECT_TRUE(a.isNull());
}

TEST(DibImage, DrawingImageIsBuiltLazilyAndRebuiltAfterChanges) {
    DibImage p = newDib(3, 2, 4);
    setPixel(p, 2, 1, 5);
    EXPECT_FALSE(p.drawingImageCached());
    const QImage& first = p.toQImage();
    EXPECT_TRUE(p.drawingImageCached());
    EXPECT_EQ(first.format(), QImage::Format_Indexed8);
    EXPECT_EQ(first.pixelIndex(2, 1), 5);
    EXPECT_EQ(first.pixel(2, 1), qRgb(85, 85, 85));
    const qint64 key = first.cacheKey();
    EXPECT_EQ(DibImage(p).toQImage().cacheKey(), key);  // shared with copies

    setPixel(p, 0, 0, 15);
    EXPECT_FALSE(p.drawingImageCached());
    EXPECT_EQ(p.toQImage().pixelIndex(0, 0), 15);

    p.rowFromTop(1)[0] = 0x30;
    p.markModified();
    EXPECT_EQ(p.toQImage().pixelIndex(0, 1), 3);

    p.setColourTable({{0, 0, 255, 0}});
    EXPECT_EQ(p.toQImage().pixel(1, 1), qRgb(255, 0, 0));  // index 0: the new red
    EXPECT_EQ(p.toQImage().pixel(0, 0), qRgb(0, 0, 0));    // index 15: filled up black

    DibImage c = newDib(2, 2, 24);
    setPixel(c, 1, 0, rgbRef(1, 2, 3));
    EXPECT_EQ(c.toQImage().format(), QImage::Format_RGB32);
    EXPECT_EQ(c.toQImage().pixel(1, 0), qRgb(1, 2, 3));
    EXPECT_TRUE(DibImage().toQImage().isNull());
}

TEST(DibImage, FromQImageKeepsPalettesAtTheSmallestDepth) {
    QImage two(9, 2, QImage::Format_Indexed8);
    two.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    two.fill(0);
    two.setPixel(8, 1, 1);
    DibImage p = dibFromQImage(two);
    ASSERT_EQ(p.bitCount(), 1);
    EXPECT_EQ(getPixel(p, 8, 1), 1u);
    EXPECT_EQ(getPixel(p, 7, 1), 0u);
    EXPECT_EQ(pixelColor(p, 1), rgbRef(0, 0, 255));

    QImage sixteen(5, 1, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 16; ++i) table.push_back(qRgb(i, 0, 0));
    sixteen.setColorTable(table);
    for (int x = 0; x < 5; ++x) sixteen.setPixel(x, 0, uint(x * 3));
    p = dibFromQImage(sixteen);
    ASSERT_EQ(p.bitCount(), 4);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(getPixel(p, x, 0), uint32_t(x * 3));

    table.resize(17);
    sixteen.setColorTable(table);
    EXPECT_EQ(dibFromQImage(sixteen).bitCount(), 8);

    // Transparent palette entries are flattened onto white.
    QImage half(1, 1, QImage::Format_Indexed8);
    half.setColorTable({qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 128)});
    half.setPixel(0, 0, 1);
    p = dibFromQImage(half);
    EXPECT_EQ(pixelColor(p, 0), rgbRef(255, 255, 255));
    EXPECT_EQ(pixelColor(p, 1), rgbRef(127, 127, 127));

    QImage grey(3, 1, QImage::Format_Grayscale8);
    grey.fill(0);
    grey.scanLine(0)[2] = 200;
    p = dibFromQImage(grey);
    ASSERT_EQ(p.bitCount(), 8);
    EXPECT_EQ(pixelColor(p, getPixel(p, 2, 0)), rgbRef(200, 200, 200));
}

TEST(DibImage, FromQImageFlattensColourAndAlphaOntoWhite) {
    QImage argb(2, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(0, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(200, 100, 0, 255));
    argb.setPixel(0, 1, qRgba(0, 0, 0, 128));
    const DibImage p = dibFromQImage(argb);
    ASSERT_EQ(p.bitCount(), 24);
    EXPECT_EQ(getPixel(p, 0, 0), rgbRef(255, 255, 255));
    EXPECT_EQ(getPixel(p, 1, 0), rgbRef(200, 100, 0));
    EXPECT_EQ(getPixel(p, 0, 1), rgbRef(127, 127, 127));

    QImage rgb(3, 2, QImage::Format_RGB888);
    rgb.fill(Qt::black);
    rgb.setPixel(2, 1, qRgb(9, 8, 7));
    const DibImage q = dibFromQImage(rgb);
    EXPECT_EQ(getPixel(q, 2, 1), rgbRef(9, 8, 7));
    EXPECT_EQ(qimageFromDib(q).pixel(2, 1), qRgb(9, 8, 7));
    EXPECT_TRUE(dibFromQImage(QImage()).isNull());

    // Premultiplied alpha, and formats converted in bands (more rows than one band).
    QImage pre(1, 1, QImage::Format_ARGB32_Premultiplied);
    pre.fill(qRgba(64, 0, 0, 128));  // premultiplied red 64 at half cover
    EXPECT_EQ(getPixel(dibFromQImage(pre), 0, 0), rgbRef(191, 127, 127));
    QImage banded(3, 150, QImage::Format_RGB16);
    banded.fill(Qt::white);
    banded.setPixel(2, 149, qRgb(255, 0, 0));
    banded.setPixel(0, 70, qRgb(0, 0, 255));
    const DibImage b = dibFromQImage(banded);
    EXPECT_EQ(getPixel(b, 2, 149), rgbRef(255, 0, 0));
    EXPECT_EQ(getPixel(b, 0, 70), rgbRef(0, 0, 255));
    EXPECT_EQ(getPixel(b, 1, 1), rgbRef(255, 255, 255));
}

// Large sequential JPEG photos are decoded in bands of rows to keep the load's memory low;
// the picture must be the same as from one whole decode, in colour and in grey.
TEST(DibImage, LargeJpegReadInBandsEqualsWholeDecode) {
    bbtest::TempFolder dir;
    QImage photo(2400, 1800, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) line[x] = qRgb(x * 7, y * 3, (x ^ y) & 0xFF);
    }
    const QString colour = dir.file("photo.jpg"), grey = dir.file("grey.jpg");
    ASSERT_TRUE(photo.save(colour, "JPEG", 85));
    ASSERT_TRUE(photo.convertToFormat(QImage::Format_Grayscale8).save(grey, "JPEG", 85));
    for (const QString& name : {colour, grey}) {
        const DibImage banded = loadPictureFile(name);
        const DibImage whole = dibFromQImage(QImage(name));
        ASSERT_FALSE(banded.isNull());
        ASSERT_EQ(banded.bitCount(), whole.bitCount());
        ASSERT_EQ(banded.byteCount(), whole.byteCount());
        EXPECT_EQ(std::memcmp(banded.bits(), whole.bits(), size_t(whole.byteCount())), 0);
    }
    EXPECT_EQ(loadPictureFile(grey).bitCount(), 8);
}
