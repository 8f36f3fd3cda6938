// Our own readers on hand-made files: the cases where a decoder goes wrong (origins, runs
// across rows, odd strides, planes, HAM/EHB), and input that must be refused.
#include "CodecTestPictures.h"
#include "pictures/codecs/CodecUtil.h"
#include "pictures/codecs/Ilbm.h"
#include "pictures/codecs/Pcx.h"
#include "pictures/codecs/Tga.h"

#include <gtest/gtest.h>

using namespace bb;
using bbtest::colourAt;

namespace {

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out.append(char(v));
    return out;
}

QByteArray tgaHeader(int type, int mapType, int mapLen, int mapBits, int w, int h, int depth,
                     int descriptor) {
    QByteArray out;
    out.append(char(0));
    out.append(char(mapType));
    out.append(char(type));
    codec::putLe16(out, 0);
    codec::putLe16(out, uint32_t(mapLen));
    out.append(char(mapBits));
    codec::putLe32(out, 0);
    codec::putLe16(out, uint32_t(w));
    codec::putLe16(out, uint32_t(h));
    out.append(char(depth));
    out.append(char(descriptor));
    return out;
}

// ---- TGA ----

TEST(TgaReader, OriginsAndRunsAcrossRows) {
    // 2x2 RLE true colour: one run of three red pixels crossing the row end, then blue.
    for (int descriptor : {0x00, 0x20, 0x10, 0x30}) {
        QByteArray f = tgaHeader(10, 0, 0, 0, 2, 2, 24, descriptor);
        f += bytesOf({0x82, 0, 0, 255, 0x00, 255, 0, 0});
        const DibImage pic = readTga(f);
        ASSERT_FALSE(pic.isNull());
        const bool top = descriptor & 0x20, rtl = descriptor & 0x10;
        // File order: (r0c0, r0c1, r1c0) red, r1c1 blue.
        const int bx = rtl ? 0 : 1, by = top ? 1 : 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(colourAt(pic, x, y),
                          (x == bx && y == by) ? rgbRef(0, 0, 255) : rgbRef(255, 0, 0))
                    << descriptor << " " << x << "," << y;
    }
}

TEST(TgaReader, SixteenBitColoursAndMapsScaleToFullRange) {
    QByteArray f = tgaHeader(2, 0, 0, 0, 2, 1, 16, 0);
    codec::putLe16(f, 0x7FFF);           // white
    codec::putLe16(f, (31 << 10) | 16);  // red with half blue
    DibImage pic = readTga(f);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(255, 255, 255));
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(255, 0, 132));  // 16 of 31 rounds to 132

    // Colour-mapped with a 16-bit map; the index past the map is black.
    QByteArray m = tgaHeader(1, 1, 2, 16, 3, 1, 8, 0x20);
    codec::putLe16(m, 31 << 5);  // green
    codec::putLe16(m, 31);       // blue
    m += bytesOf({1, 0, 7});
    pic = readTga(m);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.bitCount(), 8);
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(0, 0, 255));
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(0, 255, 0));
    EXPECT_EQ(colourAt(pic, 2, 0), rgbRef(0, 0, 0));
}

TEST(TgaReader, RefusesBadAndTruncatedFiles) {
    QByteArray good = tgaHeader(3, 0, 0, 0, 4, 4, 8, 0) + QByteArray(16, 'x');
    EXPECT_FALSE(readTga(good).isNull());
    EXPECT_TRUE(readTga(good.left(20)).isNull());  // short
    EXPECT_TRUE(
        readTga(tgaHeader(3, 0, 0, 0, 0, 4, 8, 0) + QByteArray(16, 0)).isNull());  // no width
    EXPECT_TRUE(readTga(tgaHeader(4, 0, 0, 0, 4, 4, 8, 0) + QByteArray(16, 0)).isNull());   // type
    EXPECT_TRUE(readTga(tgaHeader(2, 0, 0, 0, 4, 4, 12, 0) + QByteArray(64, 0)).isNull());  // depth
    EXPECT_TRUE(
        readTga(tgaHeader(1, 1, 4, 8, 2, 2, 8, 0) + QByteArray(8, 0)).isNull());  // 8-bit map
    EXPECT_TRUE(
        readTga(tgaHeader(1, 1, 300, 24, 2, 2, 8, 0) + QByteArray(8, 0)).isNull());  // map cut
    // RLE data that stops early, and a huge picture announced by a tiny file.
    EXPECT_TRUE(readTga(tgaHeader(11, 0, 0, 0, 8, 8, 8, 0) + bytesOf({0x85, 1, 0x83})).isNull());
    EXPECT_TRUE(
        readTga(tgaHeader(10, 0, 0, 0, 65535, 65535, 24, 0) + bytesOf({0xFF, 1, 2, 3})).isNull());
    // An overfull last run is clipped, not written past the end.
    const DibImage clipped = readTga(tgaHeader(11, 0, 0, 0, 2, 1, 8, 0) + bytesOf({0xFF, 9}));
    ASSERT_FALSE(clipped.isNull());
    EXPECT_EQ(colourAt(clipped, 1, 0), rgbRef(9, 9, 9));
}

TEST(TgaReader, AcceptsOnlyPlausibleHeadersWithTheSuffix) {
    const QByteArray head = tgaHeader(2, 0, 0, 0, 4, 4, 24, 0);
    EXPECT_TRUE(acceptsTga(head, "tga"));
    EXPECT_FALSE(acceptsTga(head, "png"));
    EXPECT_FALSE(acceptsTga(QByteArray("\x89PNG\r\n\x1a\n0000000000000000", 24), "tga"));
}

// ---- PCX ----

QByteArray pcxHeader(int bpp, int planes, int w, int h, int bytesPerLine) {
    QByteArray hd(128, '\0');
    hd[0] = 0x0A;
    hd[1] = 5;
    hd[2] = 1;
    hd[3] = char(bpp);
    hd[8] = char((w - 1) & 0xFF);
    hd[9] = char((w - 1) >> 8);
    hd[10] = char((h - 1) & 0xFF);
    hd[11] = char((h - 1) >> 8);
    hd[65] = char(planes);
    hd[66] = char(bytesPerLine & 0xFF);
    hd[67] = char(bytesPerLine >> 8);
    return hd;
}

TEST(PcxReader, PlanarSixteenColoursUseTheHeaderPalette) {
    // 3x1, four 1-bit planes: pixel 0 = index 3 (planes 0 and 1), pixel 2 = index 8.
    QByteArray f = pcxHeader(1, 4, 3, 1, 2);
    for (int k = 0; k < 16; ++k) {
        f[16 + 3 * k] = char(k * 10);
        f[17 + 3 * k] = char(k);
        f[18 + 3 * k] = char(255 - k);
    }
    f += bytesOf({0x80, 0, 0x80, 0, 0, 0, 0x20, 0});
    const DibImage pic = readPcx(f);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.bitCount(), 4);
    EXPECT_EQ(getPixel(pic, 0, 0), 3u);
    EXPECT_EQ(getPixel(pic, 1, 0), 0u);
    EXPECT_EQ(getPixel(pic, 2, 0), 8u);
    EXPECT_EQ(colourAt(pic, 2, 0), rgbRef(80, 8, 247));
}

TEST(PcxReader, OneBitWithoutHeaderPaletteIsBlackAndWhite) {
    QByteArray f = pcxHeader(1, 1, 10, 1, 2) + bytesOf({0xC2, 0xA0});  // run of two 0xA0
    const DibImage pic = readPcx(f);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(255, 255, 255));
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(0, 0, 0));
    EXPECT_EQ(colourAt(pic, 8, 0), rgbRef(255, 255, 255));
}

TEST(PcxReader, EightBitWithoutPaletteMarkerIsGrey) {
    const DibImage pic = readPcx(pcxHeader(8, 1, 3, 1, 4) + bytesOf({10, 20, 30, 0}));
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(20, 20, 20));
}

TEST(PcxReader, RefusesMalformedFiles) {
    EXPECT_TRUE(
        readPcx(pcxHeader(8, 1, 88, 2, 12) + QByteArray(400, 1)).isNull());  // stride too small
    EXPECT_TRUE(readPcx(pcxHeader(8, 2, 4, 2, 4) + QByteArray(400, 1)).isNull());  // 2 planes of 8
    EXPECT_TRUE(readPcx(pcxHeader(8, 1, 4, 4, 4) + bytesOf({0xC5, 1})).isNull());  // truncated
    QByteArray enc = pcxHeader(8, 1, 4, 1, 4) + QByteArray(4, 1);
    enc[2] = 32;
    EXPECT_TRUE(readPcx(enc).isNull());  // unknown encoding
    // 65535 x 65535 x 3 planes announced by a few bytes: refused before allocating.
    EXPECT_TRUE(
        readPcx(pcxHeader(8, 3, 65535, 65535, 65535) + QByteArray(100, char(0xFF))).isNull());
    QByteArray flipped = pcxHeader(8, 1, 4, 1, 4) + QByteArray(4, 1);
    flipped[4] = 9;  // xmin > xmax
    EXPECT_TRUE(readPcx(flipped).isNull());
}

// ---- ILBM ----

QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray out(id, 4);
    codec::putBe32(out, uint32_t(data.size()));
    out += data;
    if (data.size() & 1) out.append(char(0));
    return out;
}

QByteArray bmhd(int w, int h, int planes, int masking, int compression) {
    QByteArray b;
    codec::putBe16(b, uint32_t(w));
    codec::putBe16(b, uint32_t(h));
    codec::putBe32(b, 0);
    b += bytesOf({planes, masking, compression, 0});
    codec::putBe16(b, 0);
    b += bytesOf({1, 1});
    codec::putBe32(b, 0);
    return b;
}

QByteArray form(const char* type, const QByteArray& chunks) {
    QByteArray out("FORM", 4);
    codec::putBe32(out, uint32_t(chunks.size() + 4));
    out += QByteArray(type, 4) + chunks;
    return out;
}

TEST(IlbmReader, PlanesWithMaskAndUncompressedBody) {
    // 3x1, 2 planes plus a mask plane: pixels 1, 2, 3.
    const QByteArray body = bytesOf({0xA0, 0, 0x60, 0, 0xFF, 0});
    const QByteArray cmap = bytesOf({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    const DibImage pic = readIlbm(form(
        "ILBM", chunk("BMHD", bmhd(3, 1, 2, 1, 0)) + chunk("CMAP", cmap) + chunk("BODY", body)));
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(255, 0, 0));
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(0, 255, 0));
    EXPECT_EQ(colourAt(pic, 2, 0), rgbRef(0, 0, 255));
}

TEST(IlbmReader, HamSixModifiesThePreviousPixel) {
    // 4x1 HAM6: palette 1 (16,32,48), then modify red to 0xF, blue to 0x3, green to 0x8.
    const int px[4] = {0x01, 0x2F, 0x13, 0x38};
    QByteArray body;
    for (int k = 0; k < 6; ++k) {
        int b = 0;
        for (int x = 0; x < 4; ++x) b |= ((px[x] >> k) & 1) << (7 - x);
        body += bytesOf({b, 0});
    }
    QByteArray cmap = bytesOf({0, 0, 0, 16, 32, 48});
    QByteArray camg;
    codec::putBe32(camg, 0x800);
    const DibImage pic =
        readIlbm(form("ILBM", chunk("BMHD", bmhd(4, 1, 6, 0, 0)) + chunk("CAMG", camg) +
                                  chunk("CMAP", cmap) + chunk("BODY", body)));
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.bitCount(), 24);
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(16, 32, 48));
    EXPECT_EQ(colourAt(pic, 1, 0), rgbRef(255, 32, 48));
    EXPECT_EQ(colourAt(pic, 2, 0), rgbRef(255, 32, 51));
    EXPECT_EQ(colourAt(pic, 3, 0), rgbRef(255, 136, 51));
}

TEST(IlbmReader, ExtraHalfBriteFillsTheUpperHalfWhenTheMapIsShort) {
    QByteArray cmap;
    for (int k = 0; k < 32; ++k) cmap += bytesOf({200, 100, 2 * k});
    QByteArray body;  // 1 pixel of index 33: planes 0 and 5 set
    for (int k = 0; k < 6; ++k) body += bytesOf({(k == 0 || k == 5) ? 0x80 : 0, 0});
    QByteArray camg;
    codec::putBe32(camg, 0x80);
    const DibImage pic =
        readIlbm(form("ILBM", chunk("BMHD", bmhd(1, 1, 6, 0, 0)) + chunk("CAMG", camg) +
                                  chunk("CMAP", cmap) + chunk("BODY", body)));
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(colourAt(pic, 0, 0), rgbRef(100, 50, 1));
}

TEST(IlbmReader, ByteRunRoundTripAndChunkyPbm) {
    std::vector<uint8_t> line;
    for (int i = 0; i < 300; ++i) line.push_back(uint8_t(i < 140 ? 7 : (i * 31) % 256));
    line.push_back(9);
    line.push_back(9);
    QByteArray packed;
    byteRun1Pack(line.data(), int(line.size()), packed);
    EXPECT_LT(packed.size(), int(line.size()));
    // A PBM whose body is that packed line: 302 pixels wide (even, no pad), one row.
    const DibImage pic =
        readIlbm(form("PBM ", chunk("BMHD", bmhd(302, 1, 8, 0, 1)) + chunk("BODY", packed)));
    ASSERT_FALSE(pic.isNull());
    for (int x = 0; x < 302; ++x) ASSERT_EQ(getPixel(pic, x, 0), line[size_t(x)]) << x;
}

TEST(IlbmReader, RefusesBrokenFiles) {
    const QByteArray good =
        form("ILBM", chunk("BMHD", bmhd(16, 2, 1, 0, 0)) + chunk("BODY", QByteArray(4, 1)));
    EXPECT_FALSE(readIlbm(good).isNull());
    EXPECT_TRUE(readIlbm(good.left(good.size() - 2)).isNull());  // body cut short
    EXPECT_TRUE(readIlbm(form("ILBM", chunk("BODY", QByteArray(4, 1)))).isNull());  // no BMHD
    EXPECT_TRUE(readIlbm(form("ACBM", chunk("BMHD", bmhd(16, 2, 1, 0, 0)) +
                                          chunk("BODY", QByteArray(4, 1))))
                    .isNull());
    EXPECT_TRUE(readIlbm(form("ILBM", chunk("BMHD", bmhd(16, 2, 1, 0, 2)) +
                                          chunk("BODY", QByteArray(4, 1))))
                    .isNull());
    EXPECT_TRUE(readIlbm(form("ILBM", chunk("BMHD", bmhd(16, 2, 12, 0, 0)) +
                                          chunk("BODY", QByteArray(48, 1))))
                    .isNull());
    // Compressed body that runs out, and a huge size announced by a small body.
    EXPECT_TRUE(readIlbm(form("ILBM", chunk("BMHD", bmhd(16, 8, 1, 0, 1)) +
                                          chunk("BODY", bytesOf({0x09, 1, 2, 3}))))
                    .isNull());
    EXPECT_TRUE(readIlbm(form("ILBM", chunk("BMHD", bmhd(65535, 65535, 24, 0, 1)) +
                                          chunk("BODY", bytesOf({0x81, 5}))))
                    .isNull());
    QByteArray farm = good;
    farm[1] = 'A';
    EXPECT_TRUE(readIlbm(farm).isNull());
}

}  // namespace
