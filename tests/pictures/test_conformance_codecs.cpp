// The public conformance suites for our own readers (PCX, TGA, ILBM/PBM), the GIF suite
// through loadPictureFile, and RLE bitmaps under the ".rle" name. Good files decode to their
// reference renderings; bad ones are refused without a crash.
#include "CodecTestPictures.h"
#include "pictures/DibImage.h"
#include "pictures/codecs/Gif.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace bb;

namespace {

QString suite(const QString& rel) {
    return bbtest::sharedTestData() + QStringLiteral("/images/") + rel;
}

// Decodes `file` and compares it with the PNG `reference`.
void expectMatches(const QString& file, const QString& reference) {
    SCOPED_TRACE(file.toStdString());
    const DibImage pic = loadPictureFile(suite(file));
    ASSERT_FALSE(pic.isNull()) << "not decoded";
    const QImage ref(suite(reference));
    ASSERT_FALSE(ref.isNull()) << "reference missing";
    EXPECT_EQ(bbtest::differingFromImage(pic, ref), 0);
}

void expectRefused(const QString& file) {
    SCOPED_TRACE(file.toStdString());
    ASSERT_TRUE(QFile::exists(suite(file)));
    EXPECT_TRUE(loadPictureFile(suite(file)).isNull());
}

// ---- PCX ----

TEST(ConformancePcx, GoodFilesMatchTheirReferences) {
    BB_REQUIRE_TESTDATA();
    for (const char* name : {"test-bpp1", "test-bpp4", "test-bpp8", "test-bpp24"})
        expectMatches(QStringLiteral("zigimg/pcx/%1.pcx").arg(name),
                      QStringLiteral("zigimg/generated-reference/pcx/%1.pcx.png").arg(name));
    expectMatches("pillow/odd_stride.pcx", "pillow/generated-reference/odd_stride.pcx.png");
    expectMatches("pillow/pil184.pcx", "pillow/generated-reference/pil184.pcx.png");
    const DibImage planes = loadPictureFile(suite("pillow/p_4_planes.pcx"));
    ASSERT_FALSE(planes.isNull());
    EXPECT_EQ(getPixel(planes, 0, 0), 3u);
    // zigimg's stated palette and pixel values.
    const DibImage bpp8 = loadPictureFile(suite("zigimg/pcx/test-bpp8.pcx"));
    ASSERT_FALSE(bpp8.isNull());
    EXPECT_EQ(getPixel(bpp8, 0, 0), 37u);
    EXPECT_EQ(getPixel(bpp8, 26, 26), 254u);
    EXPECT_EQ(pixelColor(bpp8, 219), rgbRef(0x61, 0x8e, 0xc3));
}

TEST(ConformancePcx, BadFilesAreRefused) {
    BB_REQUIRE_TESTDATA();
    expectRefused("pillow/01r_00.pcx");
    expectRefused("pillow/ossfuzz-4836216264589312.pcx");
}

// ---- TGA ----

TEST(ConformanceTga, PillowCommonSetMatchesAndKeepsPalettes) {
    BB_REQUIRE_TESTDATA();
    const QDir dir(suite("pillow/tga/common"));
    const QStringList files = dir.entryList({"*.tga"});
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        const QString mode = f.section('_', 0, 1);  // e.g. 200x32_rgba
        expectMatches("pillow/tga/common/" + f, "pillow/tga/common/" + mode + ".png");
        if (mode.endsWith("_p")) {
            const DibImage pic = loadPictureFile(dir.filePath(f));
            const QImage ref(dir.filePath(mode + ".png"));
            ASSERT_EQ(pic.bitCount(), 8);
            for (int i = 0; i < ref.colorCount(); ++i)
                EXPECT_EQ(pixelColor(pic, uint32_t(i)), fromQColor(QColor(ref.color(i))))
                    << f.toStdString() << i;
        }
    }
}

TEST(ConformanceTga, PillowSpecialCases) {
    BB_REQUIRE_TESTDATA();
    expectMatches("pillow/200x32_p_bl_raw_origin.tga", "pillow/tga/common/200x32_p.png");
    expectMatches("pillow/cross_scan_line.tga", "pillow/cross_scan_line.png");
    expectMatches("pillow/p_16.tga", "pillow/p_16.png");
    expectRefused("pillow/cross_scan_line_truncated.tga");
    expectRefused("pillow/p_8.tga");
    const DibImage rgba16 = loadPictureFile(suite("pillow/rgba16.tga"));
    ASSERT_FALSE(rgba16.isNull());
    // Pillow scales five bits by truncation (21 -> 172), we and image-rs by rounding (173).
    EXPECT_NEAR(refRed(bbtest::colourAt(rgba16, 0, 0)), 172, 1);
    EXPECT_EQ(bbtest::colourAt(rgba16, 0, 0) & 0xFFFF00, rgbRef(0, 0, 255));
    EXPECT_EQ(bbtest::colourAt(rgba16, 1, 0), rgbRef(0, 255, 82));
    const DibImage id = loadPictureFile(suite("pillow/tga_id_field.tga"));
    EXPECT_EQ(id.width(), 100);
    EXPECT_EQ(id.height(), 100);
    EXPECT_EQ(loadPictureFile(suite("pillow/la.tga")).width(), 64);
    EXPECT_EQ(bbtest::colourAt(loadPictureFile(suite("pillow/rgb32rle_top_right.tga")), 90, 90),
              rgbRef(0, 0, 0));
    EXPECT_EQ(bbtest::colourAt(loadPictureFile(suite("pillow/rgb32rle_bottom_right.tga")), 90, 90),
              rgbRef(0, 255, 0));
}

TEST(ConformanceTga, TrueVisionSuiteAndOrientations) {
    BB_REQUIRE_TESTDATA();
    const QDir ref(suite("image-rs/reference/tga/testsuite"));
    for (const QString& r : ref.entryList({"*.png"})) {
        const QString tga = r.chopped(4);
        expectMatches("image-rs/images/tga/testsuite/" + tga,
                      "image-rs/reference/tga/testsuite/" + r);
    }
    // The colour-mapped files show the same picture as ctc24.
    expectMatches("image-rs/images/tga/testsuite/ccm8.tga",
                  "image-rs/reference/tga/testsuite/ctc24.tga.png");
    expectMatches("image-rs/images/tga/testsuite/ucm8.tga",
                  "image-rs/reference/tga/testsuite/ctc24.tga.png");
    EXPECT_FALSE(loadPictureFile(suite("image-rs/images/tga/testsuite/utc16.tga")).isNull());
    EXPECT_EQ(loadPictureFile(suite("image-rs/images/tga/encoding/black_white.tga")).width(), 1280);
}

TEST(ConformanceTga, RegressionFilesDoNotCrash) {
    BB_REQUIRE_TESTDATA();
    const QDir dir(suite("image-rs/regression/tga"));
    const QStringList files = dir.entryList({"*.tga"});
    EXPECT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        const DibImage pic = loadPictureFile(dir.filePath(f));
        if (!pic.isNull()) {
            EXPECT_TRUE(dibSizeAllowed(pic.width(), pic.height(), pic.bitCount()));
        }
    }
}

// ---- ILBM / PBM ----

TEST(ConformanceIlbm, GoodFilesMatchTheirReferences) {
    BB_REQUIRE_TESTDATA();
    for (const char* name : {"sample-ilbm-8bit-compressed.iff", "sample-ilbm-8bit-uncompressed.iff",
                             "sample-pbm.iff", "sample-ehb.iff"})
        expectMatches(QStringLiteral("zigimg/ilbm/%1").arg(name),
                      QStringLiteral("zigimg/generated-reference/ilbm/%1.png").arg(name));
    expectMatches("pbm-js/fixtures/VALID.LBM", "pbm-js/generated-reference/VALID.LBM.png");
    const DibImage pbm = loadPictureFile(suite("pbm-js/fixtures/VALID.LBM"));
    ASSERT_FALSE(pbm.isNull());
    EXPECT_EQ(getPixel(pbm, 0, 0), 14u);
    EXPECT_EQ(pixelColor(pbm, 10), rgbRef(87, 255, 87));
    const DibImage ehb = loadPictureFile(suite("zigimg/ilbm/sample-ehb.iff"));
    ASSERT_FALSE(ehb.isNull());
    EXPECT_EQ(getPixel(ehb, 141, 0), 21u);
    EXPECT_EQ(getPixel(ehb, 25975 % 320, 25975 / 320), 61u);
}

TEST(ConformanceIlbm, HamPicturesGiveTheStatedColours) {
    BB_REQUIRE_TESTDATA();
    const struct {
        const char* file;
        uint32_t rgb[2];
    } cases[] = {{"zigimg/ilbm/sample-ham.iff", {0x91885f, 0x44502b}},
                 {"zigimg/ilbm/sample-ham8.iff", {0x8a9379, 0x40441d}}};
    // The first two sample indices, where zigimg and netpbm agree (they differ on the third).
    const int indices[2] = {26505, 193174};
    for (const auto& c : cases) {
        const DibImage pic = loadPictureFile(suite(c.file));
        ASSERT_FALSE(pic.isNull()) << c.file;
        for (int k = 0; k < 2; ++k) {
            const ColorRef px = bbtest::colourAt(pic, indices[k] % 640, indices[k] / 640);
            const uint32_t rgb = uint32_t(refRed(px) << 16 | refGreen(px) << 8 | refBlue(px));
            EXPECT_EQ(rgb, c.rgb[k]) << c.file << " index " << indices[k];
        }
    }
}

TEST(ConformanceIlbm, UnsupportedAndBadFilesAreRefused) {
    BB_REQUIRE_TESTDATA();
    expectRefused("zigimg/ilbm/sample-ilbm-4bit-compressed-atari.iff");
    expectRefused("zigimg/ilbm/sample-8bit.acbm");
    expectRefused("pbm-js/fixtures/INVALID_CHUNK_ID.LBM");
    expectRefused("pbm-js/fixtures/INVALID_CHUNK_LENGTH.LBM");
}

// ---- RLE bitmaps under their own name ----

TEST(ConformanceRle, RleBitmapsCopiedToRleNamesDecode) {
    BB_REQUIRE_TESTDATA();
    bbtest::TempFolder dir;
    const struct {
        const char* file;
        const char* reference;
    } cases[] = {{"bmpsuite/g/pal8rle.bmp", "bmpsuite/g/pal8.bmp"},
                 {"bmpsuite/g/pal4rle.bmp", "bmpsuite/g/pal4.bmp"},
                 {"pillow/hopper_rle8.bmp", nullptr}};
    for (const auto& c : cases) {
        const QString copy = dir.file(QFileInfo(c.file).completeBaseName() + ".rle");
        ASSERT_TRUE(QFile::copy(suite(c.file), copy));
        const DibImage pic = loadPictureFile(copy);
        ASSERT_FALSE(pic.isNull()) << c.file;
        if (c.reference) {
            EXPECT_EQ(bbtest::differingPixels(pic, loadPictureFile(suite(c.reference))), 0)
                << c.file;
        }
    }
    for (const QString& bad : QDir(suite("bmpsuite/b")).entryList({"badrle*.bmp"})) {
        const QString copy = dir.file(QFileInfo(bad).completeBaseName() + ".rle");
        ASSERT_TRUE(QFile::copy(suite("bmpsuite/b/" + bad), copy));
        loadPictureFile(copy);  // must return, whatever it decides
    }
}

// ---- GIF ----

// The first frame that the pygif suite expects, or a null image when the file must fail.
QImage expectedFirstFrame(const QString& name, bool* mustFail) {
    QSettings conf(suite("pygif/test-suite/" + name + ".conf"), QSettings::IniFormat);
    const QString frames = conf.value("config/frames").toStringList().join(' ').trimmed();
    *mustFail = frames.isEmpty();
    if (*mustFail) return {};
    const QString first = frames.section(' ', 0, 0);
    const QString png = conf.value(first + "/image").toString();
    if (!png.isEmpty()) return QImage(suite("pygif/test-suite/" + png));
    const QString rgba = conf.value(first + "/pixels").toString();
    QFile f(suite("pygif/test-suite/" + rgba));
    const int w = conf.value("config/width").toInt(), h = conf.value("config/height").toInt();
    if (!f.open(QIODevice::ReadOnly) || f.size() != qint64(w) * h * 4) return {};
    const QByteArray data = f.readAll();
    return QImage(reinterpret_cast<const uchar*>(data.constData()), w, h, w * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

// Known differences from the suite's expectations:
// - pictures are limited to 32768 pixels a side: the 65535 x 1 and 1 x 65535 screens are
//   refused;
// - giflib takes LZW minimum code sizes up to 8 only; "max-codes" uses 11 (loadPictureFile then
//   hands the file to Qt's reader, which shows it);
// - a file whose only image is empty (zero width or height) is refused, not shown blank;
// - images without control blocks are composed, as the format says, also in the two files
//   the suite marks as wrongly encoded animations ("force-animation").
const QStringList kGifKnownDifferences = {
    "image-zero-width", "image-zero-height", "image-zero-size",     "max-width",
    "max-height",       "max-codes",         "animation-no-delays", "gif87a-animation"};

TEST(ConformanceGif, PygifSuiteFirstFrames) {
    BB_REQUIRE_TESTDATA();
    QFile list(suite("pygif/test-suite/TESTS"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    QStringList failures;
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QString name = QString::fromLatin1(line.trimmed());
        if (name.isEmpty()) continue;
        bool mustFail = false;
        const QImage expected = expectedFirstFrame(name, &mustFail);
        QSettings conf(suite("pygif/test-suite/" + name + ".conf"), QSettings::IniFormat);
        QFile gif(suite("pygif/test-suite/" + conf.value("config/input").toString()));
        ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
        const DibImage pic = readGif(gif.readAll());
        const bool ok = mustFail ? pic.isNull() : bbtest::differingFromImage(pic, expected) == 0;
        if (!ok) failures << name;
    }
    std::printf("GIF first frames differing from the suite: %s\n", qPrintable(failures.join(", ")));
    EXPECT_EQ(failures, kGifKnownDifferences);
}

// image-rs's first-frame renderings (its references are the first frame as RGBA). Frames
// that reach outside the logical screen are clipped to it here; image-rs renders them at
// the size of the frame, so those two files only have to decode.
TEST(ConformanceGif, ImageRsFirstFramesAndPillowFiles) {
    BB_REQUIRE_TESTDATA();
    for (const char* name :
         {"simple/sample_1.gif", "simple/alpha_gif_a.gif", "anim/interlaced.gif",
          "anim/border_touching_layers.gif", "anim/any-disposal.gif", "anim/mixed-disposal.gif"})
        expectMatches(QStringLiteral("image-rs/images/gif/") + name,
                      QStringLiteral("image-rs/reference/gif/%1.png").arg(name));
    for (const char* name :
         {"simple/issue_1455_oversized.gif", "anim/oob.gif", "anim/issue_1455_undersized.gif",
          "anim/large-gif-anim-combine.gif", "anim/large-gif-anim-full-frame-replace.gif"}) {
        const DibImage pic = loadPictureFile(suite(QStringLiteral("image-rs/images/gif/") + name));
        EXPECT_FALSE(pic.isNull()) << name;
    }
    // Pillow's files: all decode except the empty one and the decompression bomb (a 44-byte
    // file announcing a huge image), which our reader refuses; none crashes.
    const QDir dir(suite("pillow"));
    for (const QString& f : dir.entryList({"*.gif"})) {
        const DibImage pic = loadPictureFile(dir.filePath(f));
        if (f == "zero_width.gif" || f == "decompression_bomb.gif") {
            QFile file(dir.filePath(f));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(readGif(file.readAll()).isNull());
        } else {
            EXPECT_FALSE(pic.isNull()) << f.toStdString();
        }
    }
}

}  // namespace
