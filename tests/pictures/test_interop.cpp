// Other programs agree with our files: ImageMagick and netpbm decode what we write to the
// same pixels, and we decode what ImageMagick writes. Skipped when a tool is missing.
#include "CodecTestPictures.h"
#include "pictures/DibImage.h"
#include "pictures/PictureFormat.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace bb;

namespace {

// Parses a binary PPM (P6, maxval 255) into a 24-bit picture.
DibImage parsePpm(const QByteArray& data) {
    QList<QByteArray> fields;
    qsizetype pos = 0;
    while (fields.size() < 4 && pos < data.size()) {
        while (pos < data.size() && QChar(data[pos]).isSpace()) ++pos;
        if (pos < data.size() && data[pos] == '#') {
            while (pos < data.size() && data[pos] != '\n') ++pos;
            continue;
        }
        const qsizetype start = pos;
        while (pos < data.size() && !QChar(data[pos]).isSpace()) ++pos;
        fields << data.mid(start, pos - start);
    }
    ++pos;  // the single white-space byte before the pixels
    if (fields.size() < 4 || fields[0] != "P6" || fields[3] != "255") return {};
    const int w = fields[1].toInt(), h = fields[2].toInt();
    if (w <= 0 || h <= 0 || data.size() - pos < qint64(w) * h * 3) return {};
    DibImage pic = newDib(w, h, 24);
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + pos;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, p += 3) setPixel(pic, x, y, rgbRef(p[0], p[1], p[2]));
    return pic;
}

// Runs `program args` and returns its standard output (empty on failure).
QByteArray run(const QString& program, const QStringList& args) {
    QProcess proc;
    proc.start(program, args);
    if (!proc.waitForFinished(60000) || proc.exitCode() != 0) return {};
    return proc.readAllStandardOutput();
}

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QLatin1String(name));
}

#define REQUIRE_TOOL(var, name)     \
    const QString var = tool(name); \
    if (var.isEmpty()) GTEST_SKIP() << name << " is not installed; skipped"

struct Case {
    int bits, w, h;
};
const Case kCases[] = {{1, 19, 7}, {4, 13, 5}, {8, 31, 9}, {24, 23, 11}, {8, 1, 6}, {24, 9, 1}};

TEST(Interop, ImageMagickReadsOurFiles) {
    REQUIRE_TOOL(convert, "convert");
    bbtest::TempFolder dir;
    const struct {
        int type;
        const char* suffix;
        bool paletteOnly;  // exact only for at most 256 colours
    } formats[] = {{DibGIF, "gif", true},  {DibRLE, "bmp", true},  {DibPCX, "pcx", false},
                   {DibTGA, "tga", false}, {DibTIF, "tif", false}, {DibPNG, "png", false}};
    for (const auto& f : formats)
        for (const Case& c : kCases) {
            SCOPED_TRACE(QStringLiteral("%1 %2 bit %3x%4")
                             .arg(f.suffix)
                             .arg(c.bits)
                             .arg(c.w)
                             .arg(c.h)
                             .toStdString());
            const DibImage pic = bbtest::makeTestPicture(c.bits, c.w, c.h, !f.paletteOnly);
            const QString file = dir.file(QStringLiteral("x%1.%2").arg(c.bits).arg(f.suffix));
            ASSERT_EQ(savePictureFile(pic, file, f.type), 1);
            const DibImage theirs = parsePpm(
                run(convert, {file, QStringLiteral("-auto-orient"), QStringLiteral("-depth"),
                              QStringLiteral("8"), QStringLiteral("ppm:-")}));
            ASSERT_FALSE(theirs.isNull());
            EXPECT_EQ(bbtest::differingPixels(pic, theirs), 0);
        }
}

TEST(Interop, NetpbmReadsOurIlbmAndPcx) {
    REQUIRE_TOOL(ilbmtoppm, "ilbmtoppm");
    REQUIRE_TOOL(pcxtoppm, "pcxtoppm");
    bbtest::TempFolder dir;
    for (const Case& c : kCases) {
        SCOPED_TRACE(QStringLiteral("%1 bit %2x%3").arg(c.bits).arg(c.w).arg(c.h).toStdString());
        const DibImage pic = bbtest::makeTestPicture(c.bits, c.w, c.h);
        ASSERT_EQ(savePictureFile(pic, dir.file("a.iff"), DibIFF), 1);
        ASSERT_EQ(savePictureFile(pic, dir.file("a.pcx"), DibPCX), 1);
        EXPECT_EQ(bbtest::differingPixels(pic, parsePpm(run(ilbmtoppm, {dir.file("a.iff")}))), 0);
        EXPECT_EQ(bbtest::differingPixels(pic, parsePpm(run(pcxtoppm, {dir.file("a.pcx")}))), 0);
    }
}

TEST(Interop, ImageMagickJpegIsClose) {
    REQUIRE_TOOL(convert, "convert");
    bbtest::TempFolder dir;
    const DibImage pic = bbtest::makeTestPicture(24, 64, 48);
    ASSERT_EQ(savePictureFile(pic, dir.file("a.jpg"), DibJPG, PictureSaveOptions{90}), 1);
    const DibImage theirs = parsePpm(run(convert, {dir.file("a.jpg"), QStringLiteral("-depth"),
                                                   QStringLiteral("8"), QStringLiteral("ppm:-")}));
    ASSERT_FALSE(theirs.isNull());
    EXPECT_LT(bbtest::meanError(pic, theirs), 4.0);
}

// ImageMagick writes TGA (raw, RLE, palette, grey) and PCX; we read them back and agree
// with netpbm's decoders, and lossless ones equal the source. ImageMagick 6.9 stores the rows
// of a TGA that claims bottom-left origin top row first (netpbm and we read such files
// upside down), so its TGAs are written with top-left origin here.
TEST(Interop, WeReadImageMagickFiles) {
    REQUIRE_TOOL(convert, "convert");
    REQUIRE_TOOL(tgatoppm, "tgatoppm");
    REQUIRE_TOOL(pcxtoppm, "pcxtoppm");
    bbtest::TempFolder dir;
    const DibImage pic = bbtest::makeTestPicture(24, 37, 21);
    ASSERT_EQ(savePictureFile(pic, dir.file("src.png"), DibPNG), 1);
    const QStringList top{"-orient", "TopLeft"};
    const struct {
        const char* name;
        QStringList options;
        bool lossless;
    } outputs[] = {{"raw.tga", top, true},
                   {"rle.tga", top + QStringList{"-compress", "RLE"}, true},
                   {"pal.tga", top + QStringList{"-type", "Palette", "-colors", "200"}, false},
                   {"gray.tga", top + QStringList{"-colorspace", "Gray"}, false},
                   {"a.pcx", {}, true},
                   {"pal.pcx", {"-type", "Palette", "-colors", "200"}, false}};
    for (const auto& o : outputs) {
        SCOPED_TRACE(o.name);
        const QString out = dir.file(QLatin1String(o.name));
        run(convert, QStringList{dir.file("src.png")} + o.options + QStringList{out});
        const DibImage ours = loadPictureFile(out);
        ASSERT_FALSE(ours.isNull());
        const DibImage theirs = parsePpm(run(out.endsWith("tga") ? tgatoppm : pcxtoppm, {out}));
        ASSERT_FALSE(theirs.isNull());
        EXPECT_EQ(bbtest::differingPixels(ours, theirs), 0);
        if (o.lossless) {
            EXPECT_EQ(bbtest::differingPixels(ours, pic), 0);
        }
    }
}

}  // namespace
