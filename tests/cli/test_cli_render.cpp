// brisella-cli render, run as a separate process on generated cards: the side drawn, the
// image size, missing pictures, and the exit status of wrong usage and failures.
#include "document/CardFile.h"
#include "render/PhotoFiles.h"
#include "render/Preview.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include "cli/CliProcess.h"

#include <memory>

using namespace bb;

namespace {

using bbtest::CliRun;

CliRun runRender(const QStringList& args) {
    return bbtest::runCli(QStringList{QStringLiteral("render")} + args);
}

// 100 × 70 mm, outside red, inside blue with a black rectangle on its left half and a
// picture object whose file does not exist.
QString writeCard(const bbtest::TempFolder& dir) {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(255, 0, 0);
    doc->insideBackground.backgroundMode = BgColor;
    doc->insideBackground.backgroundColor = rgbRef(0, 0, 255);
    CardObject& fig = *doc->insideSlots[1];
    fig.kind = KindFigure;
    fig.figureKind = FigRectangle;
    fig.color = 0;
    fig.x = doc->sideWidthUnits / 3;
    fig.y = doc->sideHeightUnits / 3;
    fig.width = doc->sideWidthUnits / 6;
    fig.height = doc->sideHeightUnits / 3;
    CardObject& pic = *doc->insideSlots[2];
    pic.kind = KindPicture;
    pic.content = QStringLiteral("fehlt-ganz.bmp");
    pic.x = doc->sideWidthUnits;  // beyond the card: must not show
    const QString path = dir.file(QStringLiteral("karte.kar"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(cardFileBytes(*doc, DibImage()));
    return path;
}

}  // namespace

TEST(CliRender, DrawsTheChosenSideAtTheResolution) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    ASSERT_FALSE(card.isEmpty());
    const QString out = dir.file(QStringLiteral("aussen.png"));
    CliRun r = runRender({card, "--side", "outside", "--dpi", "96", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QImage image(out);
    ASSERT_EQ(image.size(), QSize(377, 264));  // Trunc(mm ÷ 25.39995 × 96)
    EXPECT_EQ(image.pixel(0, 0) | 0xFF000000u, qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(376, 263) | 0xFF000000u, qRgb(255, 0, 0));

    const QString inside = dir.file(QStringLiteral("innen.png"));
    r = runRender({card, "--dpi", "50", "--side", "inside", "-o", inside});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("fehlt-ganz.bmp"));  // the missing picture is reported
    image = QImage(inside);
    ASSERT_EQ(image.size(), QSize(196, 137));
    EXPECT_EQ(image.pixel(10, 10) | 0xFF000000u, qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(150, 100) | 0xFF000000u, qRgb(0, 0, 255));
}

// A photo file of 3000 × 2000 pixels drawn about 60 × 40 mm on the outside and as the
// inside's background: the tool's pictures (decoded at the size they are drawn) match the side
// drawn in process from the photo's full pixels.
TEST(CliRender, LargePhotosMatchTheSideDrawnFromTheirFullPixels) {
    bbtest::TempFolder dir;
    const QString photoFile = dir.file(QStringLiteral("foto.jpg"));
    ASSERT_TRUE(phototest::writePhoto(photoFile, 3000, 2000));
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    const DibImage full = phototest::fullPixels(photoFile);
    CardObject& pic = *doc->outsideSlots[1];
    pic.kind = KindPicture;
    pic.content = QStringLiteral("foto.jpg");
    pic.picture = full;
    pic.x = doc->sideWidthUnits / 3 + doc->sideWidthUnits / 30;
    pic.y = doc->sideHeightUnits / 3 + doc->sideHeightUnits / 30;
    pic.width = doc->sideWidthUnits * 6 / 30;
    pic.height = doc->sideHeightUnits * 17 / 105;
    doc->insideBackground.backgroundMode = BgStretched;
    doc->insideBackground.backgroundPicture = full;
    doc->insideBackground.backgroundFile = QStringLiteral("foto.jpg");
    const QString card = dir.file(QStringLiteral("foto.kar"));
    QFile f(card);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cardFileBytes(*doc, DibImage()));
    f.close();

    for (int side : {SideOutside, SideInside}) {
        const QString out = dir.file(QStringLiteral("seite%1.png").arg(side));
        const CliRun r = runRender(
            {card, "--side", side == SideOutside ? "outside" : "inside", "--dpi", "96", "-o", out});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        const QImage reference = renderSide(*doc, side, RenderContext{}, 96);
        // The same tolerance as the in-process comparisons (tests/render).
        EXPECT_LE(phototest::meanDifference(QImage(out), reference), 6.0) << side;
    }
}

TEST(CliRender, WrongUsageAndFailures) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    const QString out = dir.file(QStringLiteral("x.png"));
    EXPECT_EQ(runRender({card, "--side", "outside", "-o", out}).exitCode, 2);  // no --dpi
    EXPECT_EQ(runRender({card, "--side", "outside", "--dpi", "0", "-o", out}).exitCode, 2);
    EXPECT_EQ(runRender({card, "--side", "outside", "--dpi", "abc", "-o", out}).exitCode, 2);
    EXPECT_EQ(runRender({card, "--side", "oben", "--dpi", "96", "-o", out}).exitCode, 2);
    EXPECT_EQ(runRender({card, "--dpi", "96", "-o", out}).exitCode, 2);           // no --side
    EXPECT_EQ(runRender({card, "--side", "inside", "--dpi", "96"}).exitCode, 2);  // no -o
    EXPECT_EQ(runRender({"--side", "inside", "--dpi", "96", "-o", out}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(
        runRender({dir.file("fehlt.kar"), "--side", "inside", "--dpi", "96", "-o", out}).exitCode,
        1);
    QFile foreign(dir.file(QStringLiteral("fremd.kar")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray(200, 'x'));
    foreign.close();
    EXPECT_EQ(
        runRender({foreign.fileName(), "--side", "inside", "--dpi", "96", "-o", out}).exitCode, 1);
    EXPECT_EQ(runRender({card, "--side", "inside", "--dpi", "96", "-o",
                         dir.file(QStringLiteral("kein/ordner/x.png"))})
                  .exitCode,
              1);
    EXPECT_FALSE(QFile::exists(out));
}
