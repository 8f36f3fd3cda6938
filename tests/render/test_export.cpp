// Export of a side as a picture: size arithmetic, white paper, the working side unmirrored,
// and the file-name and format-code rules.
#include "render/Export.h"

#include "merge/AddressList.h"
#include "pictures/ImageCodec.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cmath>

using namespace bb;

namespace {

CardFormat cardOf(double w, double h) {
    CardFormat f;
    f.cardWidth = w;
    f.cardHeight = h;
    return f;
}

// A 2 × 1 picture, red on the left and blue on the right: stretched over a side it shows
// which way round the side was drawn.
DibImage leftRightPicture() {
    DibImage pic = newDib(2, 1, 24);
    setPixel(pic, 0, 0, rgbRef(255, 0, 0));
    setPixel(pic, 1, 0, rgbRef(0, 0, 255));
    return pic;
}

void useSize(CardDocument& doc, double w, double h) {
    doc.format = cardOf(w, h);
    doc.updateSideUnits();
}

}  // namespace

TEST(ExportSize, TruncatesMillimetresAt96PixelsPerInch) {
    EXPECT_EQ(exportPictureSize(cardOf(100, 70)), QSize(377, 264));
    EXPECT_EQ(exportPictureSize(cardOf(210, 148)), QSize(793, 559));
    // Sizes that give no pixel, and absurd ones, give an empty size instead of overflowing.
    EXPECT_EQ(exportPictureSize(cardOf(0.1, 70)).width(), 0);
    EXPECT_EQ(exportPictureSize(cardOf(-5, 70)).width(), 0);
    EXPECT_EQ(exportPictureSize(cardOf(1e12, 70)).width(), 0);
    EXPECT_EQ(exportPictureSize(cardOf(std::nan(""), 70)).width(), 0);
}

TEST(ExportRender, EmptySideIsWhitePaperOfTheCardSize) {
    CardDocument doc;
    useSize(doc, 100, 70);
    RenderContext ctx;
    const DibImage pic = renderExportPicture(doc, SideOutside, ctx);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.width(), 377);
    EXPECT_EQ(pic.height(), 264);
    EXPECT_EQ(pic.bitCount(), 24);
    for (const QPoint p : {QPoint(0, 0), QPoint(376, 263), QPoint(188, 132)})
        EXPECT_EQ(getPixel(pic, p.x(), p.y()), 0xFFFFFFu) << p.x() << "," << p.y();
    // The render context is left in screen mode.
    EXPECT_EQ(ctx.renderMode, RenderScreen);
}

TEST(ExportRender, WorkingSideFillsThePictureAndTheInsideIsNotMirrored) {
    CardDocument doc;
    useSize(doc, 100, 70);
    doc.insideBackground.backgroundMode = BgStretched;
    doc.insideBackground.backgroundPicture = leftRightPicture();
    doc.outsideBackground.backgroundMode = BgColor;
    doc.outsideBackground.backgroundColor = rgbRef(0, 255, 0);
    RenderContext ctx;

    const DibImage outside = renderExportPicture(doc, SideOutside, ctx);
    ASSERT_FALSE(outside.isNull());
    EXPECT_EQ(getPixel(outside, 0, 0), rgbRef(0, 255, 0));
    EXPECT_EQ(getPixel(outside, 376, 263), rgbRef(0, 255, 0));

    const DibImage inside = renderExportPicture(doc, SideInside, ctx);
    ASSERT_FALSE(inside.isNull());
    EXPECT_EQ(getPixel(inside, 10, 132), rgbRef(255, 0, 0));   // left half red
    EXPECT_EQ(getPixel(inside, 366, 132), rgbRef(0, 0, 255));  // right half blue
}

TEST(ExportNames, LowerCaseForExportUpperCaseForScansOnlyWithoutExtension) {
    EXPECT_EQ(exportFileName(QStringLiteral("karte"), 1), QStringLiteral("karte.bmp"));
    EXPECT_EQ(exportFileName(QStringLiteral("karte"), 6), QStringLiteral("karte.jpg"));
    EXPECT_EQ(exportFileName(QStringLiteral("karte"), 11), QStringLiteral("karte.tif"));
    EXPECT_EQ(exportFileName(QStringLiteral("karte.png"), 1), QStringLiteral("karte.png"));
    EXPECT_EQ(scanFileName(QStringLiteral("scan"), 6), QStringLiteral("scan.JPG"));
    EXPECT_EQ(scanFileName(QStringLiteral("scan"), 1), QStringLiteral("scan.BMP"));
    EXPECT_EQ(scanFileName(QStringLiteral("scan.png"), 1), QStringLiteral("scan.png"));
    // A dot in a folder name is no extension; a leading dot alone is none either.
    EXPECT_EQ(exportFileName(QStringLiteral("/tmp/v1.2/karte"), 3),
              QStringLiteral("/tmp/v1.2/karte.gif"));
    EXPECT_EQ(exportFileName(QStringLiteral("/tmp/.karte"), 1), QStringLiteral("/tmp/.karte.bmp"));
    // Filter indexes without an entry leave the name as typed.
    EXPECT_EQ(exportFileName(QStringLiteral("karte"), 0), QStringLiteral("karte"));
    EXPECT_EQ(scanFileName(QStringLiteral("scan"), 99), QStringLiteral("scan"));
}

TEST(ExportNames, FilterEntriesMatchTheFormatCodes) {
    const QStringList parts = saveFilter().split(QLatin1Char('|'));
    ASSERT_EQ(parts.size() % 2, 0);
    const char* expected[] = {"bmp", "dib", "gif", "iff", "jif", "jpg",
                              "lbm", "pcx", "rle", "tga", "tif"};
    constexpr int kClassicTypes = int(std::size(expected));
    ASSERT_GE(parts.size() / 2, kClassicTypes);
    for (int i = 1; i <= kClassicTypes; ++i) {
        EXPECT_EQ(parts[2 * i - 1], QStringLiteral("*.") + QLatin1String(expected[i - 1]));
        EXPECT_EQ(saveFormatExtension(i), QStringLiteral(".") + QLatin1String(expected[i - 1]));
        EXPECT_EQ(filterIndexForFormat(QLatin1String(expected[i - 1]).toString().toUpper()), i);
        if (const PictureFormat* f = pictureFormatForType(formatCodeForFilterIndex(i))) {
            EXPECT_EQ(QLatin1String(f->suffix), QLatin1String(expected[i - 1]));
        }
    }
    EXPECT_EQ(filterIndexForFormat(QStringLiteral(".jpeg")), 6);
    EXPECT_EQ(filterIndexForFormat(QStringLiteral("xyz")), 0);
}

TEST(ExportFile, FirstTypeWritesABitmapWhateverTheName) {
    bbtest::TempFolder dir;
    CardDocument doc;
    useSize(doc, 100, 70);
    RenderContext ctx;
    const QString path = dir.file(QStringLiteral("karte.png"));
    ASSERT_EQ(exportSide(doc, SideOutside, ctx, path, formatCodeForFilterIndex(1)), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    const DibImage back = loadPictureFile(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.width(), 377);
    EXPECT_EQ(back.height(), 264);
    // A folder that does not exist: the failure is reported, not hidden.
    EXPECT_NE(exportSide(doc, SideOutside, ctx, dir.file(QStringLiteral("no/such/karte.bmp")), 3),
              1);
}

TEST(ExportMerge, BothSidesInTurnWithoutSwitchingTheShownSide) {
    CardDocument doc;
    useSize(doc, 100, 70);
    doc.outsideBackground.backgroundMode = BgColor;
    doc.outsideBackground.backgroundColor = rgbRef(0, 255, 0);
    doc.insideBackground.backgroundMode = BgColor;
    doc.insideBackground.backgroundColor = rgbRef(0, 0, 255);
    RenderContext ctx;
    AddressList list;
    list.columns = {QStringLiteral("Name")};
    list.rows = {{QStringLiteral("Eva")}, {QStringLiteral("Jo")}};
    bbtest::TempFolder dir;
    int progressCalls = 0;
    const MergeExportResult r = exportMergedSides(doc, ctx, list, {0, 1}, 0, dir.path(), 1,
                                                  MergeSides::Both, [&](int done, int total) {
                                                      EXPECT_EQ(total, 4);
                                                      ++progressCalls;
                                                      return done <= total;
                                                  });
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(progressCalls, 4);
    EXPECT_EQ(r.files,
              (QStringList{dir.file("Eva - Außenseite.bmp"), dir.file("Jo - Außenseite.bmp"),
                           dir.file("Eva - Innenseite.bmp"), dir.file("Jo - Innenseite.bmp")}));
    const DibImage outside = loadPictureFile(dir.file("Jo - Außenseite.bmp"));
    const DibImage inside = loadPictureFile(dir.file("Eva - Innenseite.bmp"));
    ASSERT_FALSE(outside.isNull());
    ASSERT_FALSE(inside.isNull());
    EXPECT_EQ(getPixel(outside, 5, 5), rgbRef(0, 255, 0));
    EXPECT_EQ(getPixel(inside, 5, 5), rgbRef(0, 0, 255));
}
