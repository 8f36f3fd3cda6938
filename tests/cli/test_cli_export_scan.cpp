// brisella-cli export and scan, run as a separate process.
#include "document/CardFile.h"
#include "render/Export.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include "cli/CliProcess.h"

#include <cstring>
#include <memory>

using namespace bb;

namespace {

using bbtest::CliRun;
using bbtest::runCli;

// A 100 × 70 mm card: green outside, inside red on the left half and blue on the right.
QString writeCard(const bbtest::TempFolder& dir) {
    CardDocument doc;
    doc.format.cardWidth = 100;
    doc.format.cardHeight = 70;
    doc.updateSideUnits();
    doc.outsideBackground.backgroundMode = BgColor;
    doc.outsideBackground.backgroundColor = rgbRef(0, 255, 0);
    // The inside: a red figure over the left half of the card (the card is the middle
    // third of the work area).
    CardObject& fig = *doc.insideSlots[1];
    fig.kind = KindFigure;
    fig.figureKind = FigRectangle;
    fig.fillMode = FillSolid;
    fig.color = rgbRef(255, 0, 0);
    fig.x = doc.sideWidthUnits / 3;
    fig.y = doc.sideHeightUnits / 3;
    fig.width = doc.sideWidthUnits / 6;
    fig.height = doc.sideHeightUnits / 3;
    const QSize size = previewSize(doc.format);
    DibImage preview = newDib(size.width(), size.height(), 24);
    std::memset(preview.bits(), 0xFF, size_t(preview.byteCount()));
    const QString path = dir.file(QStringLiteral("karte.kar"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(cardFileBytes(doc, preview));
    return path;
}

}  // namespace

TEST(CliExport, WritesTheSideAt96PixelsPerInchWithTheExtensionRules) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);

    CliRun r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"),
                       QStringLiteral("outside"), QStringLiteral("-o"), dir.file("aussen")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    DibImage out = loadPictureFile(dir.file(QStringLiteral("aussen.bmp")));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(QSize(out.width(), out.height()), QSize(377, 264));
    EXPECT_EQ(getPixel(out, 200, 100), rgbRef(0, 255, 0));

    // The inside, unmirrored: red stays on the left.
    r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("inside"),
                QStringLiteral("-o"), dir.file("innen.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    out = loadPictureFile(dir.file(QStringLiteral("innen.png")));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(getPixel(out, 40, 132), rgbRef(255, 0, 0));
    EXPECT_EQ(getPixel(out, 330, 132), 0xFFFFFFu);

    // --format names the type; a typed extension stays.
    r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("outside"),
                QStringLiteral("-o"), dir.file("k.png"), QStringLiteral("--format"),
                QStringLiteral("BMP")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QFile f(dir.file(QStringLiteral("k.png")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("outside"),
                QStringLiteral("-o"), dir.file("k"), QStringLiteral("--format"),
                QStringLiteral("tga")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("k.tga"))));

    // The longer spellings of a format work as --format and as the extension, as in convert.
    r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("outside"),
                QStringLiteral("-o"), dir.file("j"), QStringLiteral("--format"),
                QStringLiteral("jfif")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_FALSE(loadPictureFile(dir.file(QStringLiteral("j.jif"))).isNull());
    r = runCli({QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("outside"),
                QStringLiteral("-o"), dir.file("i.ilbm")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_FALSE(loadPictureFile(dir.file(QStringLiteral("i.ilbm"))).isNull());
}

TEST(CliExport, WrongUsageAndUnwritableTargetsFail) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    EXPECT_EQ(
        runCli({QStringLiteral("export"), card, QStringLiteral("-o"), dir.file("x")}).exitCode,
        2);  // no side
    EXPECT_EQ(runCli({QStringLiteral("export"), card, QStringLiteral("--side"),
                      QStringLiteral("outside"), QStringLiteral("-o"), dir.file("x.xyz")})
                  .exitCode,
              2);  // unknown extension
    EXPECT_EQ(runCli({QStringLiteral("export"), card, QStringLiteral("--side"),
                      QStringLiteral("outside"), QStringLiteral("-o"), dir.file("no/dir/x.bmp")})
                  .exitCode,
              1);
    EXPECT_EQ(runCli({QStringLiteral("export"), dir.file("missing.kar"), QStringLiteral("--side"),
                      QStringLiteral("outside"), QStringLiteral("-o"), dir.file("x.bmp")})
                  .exitCode,
              1);
}

TEST(CliScan, ScansTheTestDeviceAndSavesWithTheUpperCaseExtension) {
    if (!QFile::exists(QStringLiteral("/etc/sane.d/test.conf")))
        GTEST_SKIP() << "SANE test backend configuration not installed";
    bbtest::TempFolder sane, dir;
    {
        QFile dll(sane.file(QStringLiteral("dll.conf")));
        ASSERT_TRUE(dll.open(QIODevice::WriteOnly));
        dll.write("test\n");
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral("/etc/sane.d/test.conf"),
                            sane.file(QStringLiteral("test.conf"))));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SANE_CONFIG_DIR"), sane.path());

    CliRun r = runCli({QStringLiteral("scan"), QStringLiteral("--device"), QStringLiteral("test:0"),
                       QStringLiteral("-o"), dir.file("scan"), QStringLiteral("--dpi"),
                       QStringLiteral("20"), QStringLiteral("--mode"), QStringLiteral("Gray")},
                      env);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const DibImage out = loadPictureFile(dir.file(QStringLiteral("scan.BMP")));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.width(), int(200 / 25.4 * 20));

    r = runCli({QStringLiteral("scan"), QStringLiteral("--device"), QStringLiteral("nosuch:0"),
                QStringLiteral("-o"), dir.file("x.jpg")},
               env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("nosuch:0"));
}
