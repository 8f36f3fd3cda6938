// brisella-cli convert, run as a separate process: formats by name and by extension, the
// JPEG quality, and the exit codes for unreadable input, unwritable output and bad usage.
#include "pictures/DibImage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include "cli/CliProcess.h"

using namespace bb;

namespace {

using bbtest::CliRun;

CliRun convert(const QStringList& args) {
    return bbtest::runCli(QStringList{"convert"} + args);
}

DibImage samplePicture() {
    DibImage pic = newDib(37, 23, 24);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) setPixel(pic, x, y, rgbRef(x * 7, y * 11, (x * y) % 200));
    return pic;
}

int differing(const DibImage& a, const DibImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += pixelColor(a, getPixel(a, x, y)) != pixelColor(b, getPixel(b, x, y));
    return n;
}

TEST(CliConvert, ChainOfFormatsByExtensionAndByNameKeepsThePixels) {
    bbtest::TempFolder dir;
    const DibImage pic = samplePicture();
    ASSERT_EQ(savePictureFile(pic, dir.file("a.bmp"), DibBMP), 1);
    QString from = dir.file("a.bmp");
    for (const char* suffix : {"pcx", "tga", "iff", "lbm", "tiff", "png", "dib"}) {
        const QString to = dir.file(QStringLiteral("b.") + suffix);
        const CliRun r = convert({from, to});
        ASSERT_EQ(r.exitCode, 0) << suffix << r.err.constData();
        from = to;
    }
    EXPECT_EQ(differing(pic, loadPictureFile(from)), 0);
    // --format wins over the extension: a PCX file named .dat.
    ASSERT_EQ(convert({from, dir.file("c.dat"), "--format", "pcx"}).exitCode, 0);
    QFile f(dir.file("c.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(1), QByteArray(1, 0x0A));
}

TEST(CliConvert, TheLongerSpellingsNameAFormatOnTheCommandLineAsInTheExtension) {
    bbtest::TempFolder dir;
    ASSERT_EQ(savePictureFile(samplePicture(), dir.file("a.bmp"), DibBMP), 1);
    for (const char* spelling : {"jpeg", "JPE", "jfif", "tiff", "ilbm", "jpg", "Tif"}) {
        const QString out = dir.file(QStringLiteral("out.dat"));
        const CliRun r = convert({dir.file("a.bmp"), out, "--format", spelling});
        ASSERT_EQ(r.exitCode, 0) << spelling << r.err.constData();
        EXPECT_FALSE(loadPictureFile(out).isNull()) << spelling;
        QFile::remove(out);
    }
    // An unknown name lists the names of every format.
    const CliRun r = convert({dir.file("a.bmp"), dir.file("x.dat"), "--format", "webp"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("BMP, DIB, GIF, IFF, JIF, JPG, LBM, PCX, RLE, TGA, TIF, PNG"))
        << r.err.constData();
}

TEST(CliConvert, QualityChangesTheJpeg) {
    bbtest::TempFolder dir;
    ASSERT_EQ(savePictureFile(samplePicture(), dir.file("a.bmp"), DibBMP), 1);
    ASSERT_EQ(convert({dir.file("a.bmp"), dir.file("low.jpg"), "--quality", "5"}).exitCode, 0);
    ASSERT_EQ(convert({dir.file("a.bmp"), dir.file("high.jpg"), "--quality", "95"}).exitCode, 0);
    EXPECT_LT(QFile(dir.file("low.jpg")).size(), QFile(dir.file("high.jpg")).size());
}

TEST(CliConvert, FailuresAndUsage) {
    bbtest::TempFolder dir;
    ASSERT_EQ(savePictureFile(samplePicture(), dir.file("a.bmp"), DibBMP), 1);
    QFile junk(dir.file("junk.pcx"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("\x0A\x05\x01\x08 not really a picture");
    junk.close();

    CliRun r = convert({dir.file("missing.bmp"), dir.file("x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot read picture " + dir.file("missing.bmp").toUtf8() +
                               ": nicht gefunden"))
        << r.err.constData();
    r = convert({dir.file("junk.pcx"), dir.file("x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(": beschädigt")) << r.err.constData();
    r = convert({dir.file("a.bmp"), dir.file("no/such/folder/x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot write")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(dir.file("x.png")));

    EXPECT_EQ(convert({dir.file("a.bmp")}).exitCode, 2);
    EXPECT_EQ(convert({dir.file("a.bmp"), dir.file("x.xyz")}).exitCode, 2);
    EXPECT_EQ(convert({dir.file("a.bmp"), dir.file("x.png"), "--format", "webp"}).exitCode, 2);
    EXPECT_EQ(convert({dir.file("a.bmp"), dir.file("x.jpg"), "--quality", "0"}).exitCode, 2);
    EXPECT_EQ(convert({dir.file("a.bmp"), dir.file("x.jpg"), "--quality"}).exitCode, 2);
    EXPECT_EQ(convert({dir.file("a.bmp"), dir.file("x.jpg"), "--bogus"}).exitCode, 2);
}

}  // namespace
