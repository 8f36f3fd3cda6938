// brisella-cli print --quarter-fold, run as a separate process: the layout lines of both
// halves and the refusals.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include "cli/PrintCli.h"
#include "print/PdfPages.h"

#include <cmath>

namespace {

bbtest::CliRun runCli(const QStringList& args) {
    return bbtest::runPrint(QStringList{"--quarter-fold"} + args);
}

// A card of width × height millimetres unfolded.
QString writeCard(const bbtest::TempFolder& dir, double width, double height) {
    const QString path = dir.file(QStringLiteral("%1x%2.kar").arg(width).arg(height));
    return bbtest::writePrintCard(path, width, height) ? path : QString();
}

int px(double mm) {
    return int(std::trunc(mm / 25.39995 * 600));
}

}  // namespace

TEST(CliQuarterFold, LayoutLinesNameTheSideAndTurnOfEachHalf) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir, 150, 100);
    const QString pdf = dir.file("q.pdf");
    // A calibration file: offsets of 3 and 2 mm, sizes as measured.
    QFile cal(dir.file("options.dat"));
    ASSERT_TRUE(cal.open(QIODevice::WriteOnly));
    for (double v : {3.0, 2.0, 100.0, 100.0}) {
        char b[8];
        qToLittleEndian(v, b);
        cal.write(b, 8);
    }
    cal.close();
    // The 2 × 5 grid of such cards would need A3: the quarter fold goes on A4 here.
    const bbtest::CliRun r = runCli({card, "--copies", "2", "--cut", "--fold", "--calibration",
                                     cal.fileName(), "--pdf", pdf, "--paper", "A4", "--layout"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    const QJsonObject out = QJsonDocument::fromJson(lines[2]).object();
    const QJsonObject in = QJsonDocument::fromJson(lines[3]).object();
    EXPECT_EQ(out["side"].toString(), "outside");
    EXPECT_EQ(out["turned"], QJsonValue(true));
    EXPECT_EQ(in["side"].toString(), "inside");
    EXPECT_EQ(in["turned"], QJsonValue(false));
    for (const QJsonObject& o : {out, in}) {
        EXPECT_EQ(o["page"].toInt(), 2);
        EXPECT_EQ(o["position"].toInt(), 1);
        EXPECT_EQ(o["column"].toInt(), 0);
        EXPECT_EQ(o["CardX"].toInt(), px(30 - 3));  // centred across A4, calibrated
        EXPECT_EQ(o["Wd"].toInt(), px(150));
        EXPECT_EQ(o["Hd"].toInt(), px(100));
    }
    EXPECT_EQ(in["row"].toInt(), 1);
    EXPECT_EQ(in["CardY"].toInt(), px(148.5 - 2));
    EXPECT_EQ(out["CardY"].toInt() + out["Hd"].toInt(), in["CardY"].toInt());
    if (printtest::havePdftoppm()) {
        EXPECT_EQ(printtest::pdfPageCount(pdf), 2);
    }
}

TEST(CliQuarterFold, RefusesUsedPositionsAndCardsLargerThanHalfTheSheet) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir, 150, 145);
    // --used has no meaning with a sheet per card; a --side given must still be a side.
    EXPECT_EQ(runCli({card, "--used", "0", "--pdf", dir.file("u.pdf")}).exitCode, 2);
    EXPECT_EQ(runCli({card, "--side", "sideways", "--pdf", dir.file("s.pdf")}).exitCode, 2);
    // 145 mm high fits half of A4 (148.5) but not half of Letter (139.7).
    const bbtest::CliRun a4 = runCli({card, "--paper", "A4", "--pdf", dir.file("a4.pdf")});
    EXPECT_EQ(a4.exitCode, 0) << a4.err.constData();
    EXPECT_TRUE(a4.out.contains("1 sheet(s)")) << a4.out.constData();
    const bbtest::CliRun letter =
        runCli({card, "--paper", "Letter", "--pdf", dir.file("letter.pdf"), "--layout"});
    EXPECT_EQ(letter.exitCode, 1);
    EXPECT_TRUE(letter.err.contains("does not fit on half")) << letter.err.constData();
    EXPECT_TRUE(letter.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.file("letter.pdf")));
}
