// brisella-cli print --quarter-fold, run as a separate process: the layout lines of both
// halves, the sheets of the PDF, and the refusals.
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include "cli/CliProcess.h"
#include "print/PdfPages.h"

#include <cmath>
#include <memory>

namespace {

using bbtest::CliRun;

CliRun runCli(const QStringList& args) {
    // No printer service: the tool must never reach a real printer from a test.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", "/nonexistent/cups.sock");
    return bbtest::runCli(QStringList{"print"} + args, env, bbtest::kHangGuardMs);
}

// A card of width × height millimetres unfolded: red outside, blue inside.
bool writeCard(const QString& path, double width, double height) {
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = printtest::twoByFive();
    doc->format.cardWidth = width;
    doc->format.cardHeight = height;
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

int px(double mm, double mmPerInch = 25.39995, int dpi = 600) {
    return int(std::trunc(mm / mmPerInch * dpi));
}

}  // namespace

TEST(CliQuarterFold, LayoutLinesNameTheSideAndTurnOfEachHalf) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writeCard(dir.file("card.kar"), 150, 100));
    // A calibration file: offsets 3 and 2 mm, the sizes as measured.
    QByteArray cal;
    for (double v : {3.0, 2.0, 100.0, 100.0}) {
        char b[8];
        qToLittleEndian(v, b);
        cal.append(b, 8);
    }
    QFile f(dir.file("options.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cal);
    f.close();
    const QString pdf = dir.file("q.pdf");
    const CliRun r =
        runCli({dir.file("card.kar"), "--quarter-fold", "--copies", "2", "--cut", "--fold",
                "--calibration", dir.file("options.dat"), "--pdf", pdf, "--layout"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto lines = layoutLines(r.out);
    ASSERT_EQ(lines.size(), 4);
    for (int sheet = 0; sheet < 2; ++sheet) {
        const QJsonObject out = lines[sheet * 2], in = lines[sheet * 2 + 1];
        EXPECT_EQ(out["page"].toInt(), sheet + 1);
        EXPECT_EQ(in["page"].toInt(), sheet + 1);
        EXPECT_EQ(out["position"].toInt(), sheet);
        EXPECT_EQ(out["side"].toString(), "outside");
        EXPECT_TRUE(out["turned"].isBool() && out["turned"].toBool());
        EXPECT_EQ(in["side"].toString(), "inside");
        EXPECT_TRUE(in["turned"].isBool() && !in["turned"].toBool());
        EXPECT_EQ(out["column"].toInt(), 0);
        EXPECT_EQ(out["row"].toInt(), 0);
        EXPECT_EQ(in["row"].toInt(), 1);
        // A4: centred across, the inside from the sheet's middle down, less the offsets.
        EXPECT_EQ(in["CardX"].toInt(), px(30 - 3));
        EXPECT_EQ(in["CardY"].toInt(), px(148.5 - 2));
        EXPECT_EQ(in["Wd"].toInt(), px(150));
        EXPECT_EQ(in["Hd"].toInt(), px(100));
        EXPECT_EQ(out["CardX"].toInt(), in["CardX"].toInt());
        EXPECT_EQ(out["CardY"].toInt() + out["Hd"].toInt(), in["CardY"].toInt());
    }
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(printtest::pdfPageCount(pdf), 2);
    const QImage sheet = printtest::pdfPage(pdf, 1, 20);
    const QRect red = printtest::colourBox(sheet, qRgb(255, 0, 0));
    const QRect blue = printtest::colourBox(sheet, qRgb(0, 0, 255));
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(blue.isNull());
    EXPECT_LT(red.bottom(), blue.top() + 1);
}

TEST(CliQuarterFold, RefusesUsedPositionsAndCardsLargerThanHalfTheSheet) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writeCard(dir.file("card.kar"), 150, 100));
    ASSERT_TRUE(writeCard(dir.file("tall.kar"), 150, 145));
    const QString card = dir.file("card.kar");
    // Usage: --used has no meaning on a sheet per card; a --side must still be a side.
    EXPECT_EQ(runCli({card, "--quarter-fold", "--used", "0", "--pdf", dir.file("u.pdf")}).exitCode,
              2);
    EXPECT_EQ(
        runCli({card, "--quarter-fold", "--side", "sideways", "--pdf", dir.file("s.pdf")}).exitCode,
        2);
    EXPECT_FALSE(QFile::exists(dir.file("u.pdf")));
    // Without --quarter-fold, --side is still required.
    EXPECT_EQ(runCli({card, "--pdf", dir.file("n.pdf")}).exitCode, 2);

    // 145 mm high fits half of A4 (148.5) but not half of Letter (139.7).
    const CliRun a4 = runCli({dir.file("tall.kar"), "--quarter-fold", "--pdf", dir.file("a4.pdf")});
    EXPECT_EQ(a4.exitCode, 0) << a4.err.constData();
    EXPECT_TRUE(a4.out.contains("1 sheet(s)")) << a4.out.constData();
    const CliRun letter = runCli({dir.file("tall.kar"), "--quarter-fold", "--paper", "Letter",
                                  "--pdf", dir.file("letter.pdf"), "--layout"});
    EXPECT_EQ(letter.exitCode, 1);
    EXPECT_TRUE(letter.err.contains("does not fit on half")) << letter.err.constData();
    EXPECT_TRUE(letter.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.file("letter.pdf")));
}
