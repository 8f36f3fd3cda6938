// brisella-cli print --side both and --alignment-sheet, run as a separate process: the layout
// lines of front and back pages, the edge forced with --flip, the alternating PDF pages, and
// the refusals.
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>
#include "cli/CliProcess.h"
#include "print/PdfPages.h"

#include <memory>

namespace {

using bbtest::CliRun;

CliRun runCli(const QStringList& args) {
    // No printer service: the tool must never reach a real printer from a test.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", "/nonexistent/cups.sock");
    return bbtest::runCli(QStringList{"print"} + args, env, bbtest::kHangGuardMs);
}

bool writeCard(const QString& path) {
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = printtest::twoByFive();
    printtest::colourSides(*doc);
    bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    return bb::saveCardFile(*doc, path, fc);
}

QList<QJsonObject> layoutLines(const QByteArray& out) {
    QList<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.trimmed().isEmpty()) lines.append(QJsonDocument::fromJson(line).object());
    return lines;
}

}  // namespace

TEST(CliPrintBothSides, LayoutOfFrontAndBackPagesForBothEdges) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writeCard(dir.file("card.kar")));
    const QStringList run{dir.file("card.kar"), "--used", "7", "--copies", "6", "--layout"};
    const CliRun both =
        runCli(run + QStringList{"--side", "both", "--cut", "--pdf", dir.file("both.pdf")});
    const CliRun inside = runCli(run + QStringList{"--side", "inside", "--pdf", dir.file("i.pdf")});
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
    const CliRun flipped = runCli(
        run + QStringList{"--side", "both", "--flip", "short", "--pdf", dir.file("short.pdf")});
    ASSERT_EQ(flipped.exitCode, 0) << flipped.err.constData();
    const auto f = layoutLines(flipped.out);
    ASSERT_EQ(f.size(), 12);
    // A4 at 600 dpi is 7016 pixels high; the PDF's printable area starts 10 pt (83 pixels) in.
    for (int i = 0; i < 3; ++i) {
        const QJsonObject &out = f[i], &in = f[i + 3];
        EXPECT_EQ(in["CardX"].toInt(), out["CardX"].toInt());
        EXPECT_TRUE(in["turned"].toBool());
        EXPECT_NEAR(out["CardY"].toInt() + in["CardY"].toInt() + out["Hd"].toInt(), 7016 - 2 * 83,
                    2);
    }

    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(printtest::pdfPageCount(dir.file("both.pdf")), 4);
    const QImage back = printtest::pdfPage(dir.file("both.pdf"), 4, 20);
    EXPECT_FALSE(printtest::colourBox(back, qRgb(0, 0, 255)).isNull());
    EXPECT_TRUE(printtest::colourBox(back, qRgb(255, 0, 0)).isNull());
}

TEST(CliPrintBothSides, AlignmentSheetAndRefusals) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writeCard(dir.file("card.kar")));
    const QString card = dir.file("card.kar");
    const CliRun sheet = runCli({"--alignment-sheet", "--pdf", dir.file("align.pdf")});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.constData();
    EXPECT_TRUE(sheet.out.contains("alignment sheet")) << sheet.out.constData();
    const CliRun cards =
        runCli({card, "--side", "both", "--copies", "3", "--pdf", dir.file("three.pdf")});
    EXPECT_TRUE(cards.out.startsWith("printed 3 card(s) on both sides of 1 sheet(s)"))
        << cards.out.constData();

    EXPECT_EQ(runCli({card, "--side", "both", "--printer", "NoSuchPrinter"}).exitCode, 1);
    EXPECT_EQ(runCli({card, "--side", "both", "--flip", "sideways", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runCli({card, "--side", "outside", "--flip", "long", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runCli({card, "--alignment-sheet", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runCli({"--alignment-sheet", "--side", "inside", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_FALSE(QFile::exists("x.pdf"));

    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(printtest::pdfPageCount(dir.file("align.pdf")), 2);
}
