// brisella-cli print --side both and --alignment-sheet, run as a separate process: the layout
// lines of front and back pages, the edge forced with --flip, the alternating PDF pages, and
// the refusals.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include "cli/PrintCli.h"
#include "print/PdfPages.h"

namespace {

using bbtest::CliRun;
using bbtest::layoutLines;
using bbtest::runPrint;
using bbtest::writePrintCard;

}  // namespace

TEST(CliPrintBothSides, LayoutOfFrontAndBackPagesForBothEdges) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QStringList run{dir.file("card.kar"), "--used", "7", "--copies", "6", "--layout"};
    const CliRun both =
        runPrint(run + QStringList{"--side", "both", "--cut", "--pdf", dir.file("both.pdf")});
    const CliRun inside =
        runPrint(run + QStringList{"--side", "inside", "--pdf", dir.file("i.pdf")});
    ASSERT_EQ(both.exitCode, 0) << both.err.constData();
    ASSERT_EQ(inside.exitCode, 0) << inside.err.constData();
    const auto lines = layoutLines(both.out);
    const auto insides = layoutLines(inside.out);
    ASSERT_EQ(lines.size(), 12);
    ASSERT_EQ(insides.size(), 6);
    // Per sheet the three outsides of the front page, then their insides on the back page,
    // where "--side inside" puts them, upright.
    for (int i = 0; i < 12; ++i) {
        const QJsonObject& l = lines[i];
        const int sheet = i / 6, card = sheet * 3 + i % 3;
        EXPECT_EQ(l["page"].toInt(), sheet + 1) << i;
        EXPECT_EQ(l["position"].toInt(), 7 + card) << i;
        EXPECT_EQ(l["side"].toString(), i % 6 < 3 ? "outside" : "inside") << i;
        EXPECT_TRUE(l["turned"].isBool() && !l["turned"].toBool()) << i;
        if (i % 6 >= 3) {
            EXPECT_EQ(l["CardX"].toInt(), insides[card]["CardX"].toInt()) << i;
            EXPECT_EQ(l["CardY"].toInt(), insides[card]["CardY"].toInt()) << i;
            EXPECT_EQ(l["Wd"].toInt(), insides[card]["Wd"].toInt()) << i;
        }
    }

    // The short edge: same x, mirrored in height about the sheet, drawn turned.
    const CliRun flipped = runPrint(
        run + QStringList{"--side", "both", "--flip", "short", "--pdf", dir.file("short.pdf")});
    ASSERT_EQ(flipped.exitCode, 0) << flipped.err.constData();
    const auto f = layoutLines(flipped.out);
    ASSERT_EQ(f.size(), 12);
    // A4 at 600 dpi is 7016 pixels high; the PDF's printable area is the whole sheet.
    for (int i = 0; i < 3; ++i) {
        const QJsonObject &out = f[i], &in = f[i + 3];
        EXPECT_EQ(in["CardX"].toInt(), out["CardX"].toInt());
        EXPECT_TRUE(in["turned"].toBool());
        EXPECT_NEAR(out["CardY"].toInt() + in["CardY"].toInt() + out["Hd"].toInt(), 7016, 2);
    }

    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(printtest::pdfPageCount(dir.file("both.pdf")), 4);
    const QImage back = printtest::pdfPage(dir.file("both.pdf"), 4, 20);
    EXPECT_FALSE(printtest::colourBox(back, qRgb(0, 0, 255)).isNull());
    EXPECT_TRUE(printtest::colourBox(back, qRgb(255, 0, 0)).isNull());
}

TEST(CliPrintBothSides, AlignmentSheetAndRefusals) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QString card = dir.file("card.kar");
    const CliRun sheet = runPrint({"--alignment-sheet", "--pdf", dir.file("align.pdf")});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.constData();
    EXPECT_TRUE(sheet.out.contains("alignment sheet")) << sheet.out.constData();
    const CliRun cards =
        runPrint({card, "--side", "both", "--copies", "3", "--pdf", dir.file("three.pdf")});
    EXPECT_TRUE(cards.out.startsWith("printed 3 card(s) on both sides of 1 sheet(s)"))
        << cards.out.constData();

    EXPECT_EQ(runPrint({card, "--side", "both", "--printer", "NoSuchPrinter"}).exitCode, 1);
    EXPECT_EQ(runPrint({card, "--side", "both", "--flip", "sideways", "--pdf", "x.pdf"}).exitCode,
              2);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--flip", "long", "--pdf", "x.pdf"}).exitCode,
              2);
    EXPECT_EQ(runPrint({card, "--alignment-sheet", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runPrint({"--alignment-sheet", "--side", "inside", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_FALSE(QFile::exists("x.pdf"));

    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(printtest::pdfPageCount(dir.file("align.pdf")), 2);
}
