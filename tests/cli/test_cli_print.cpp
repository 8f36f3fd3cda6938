// brisella-cli print, run as a separate process: layout lines, PDF pages, calibration file,
// and the refusals.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtEndian>
#include "cli/PrintCli.h"
#include "document/CardPaper.h"
#include "print/PdfPages.h"

#include <algorithm>

namespace {

using bbtest::CliRun;
using bbtest::layoutLines;
using bbtest::runPrint;
using bbtest::writePrintCard;

int pageCount(const QString& pdf) {
    int n = 0;
    while (QProcess::execute("pdftoppm",
                             {"-png", "-r", "5", "-f", QString::number(n + 1), "-l",
                              QString::number(n + 1), "-singlefile", pdf, pdf + ".count"}) == 0 &&
           QFile::exists(pdf + ".count.png")) {
        QFile::remove(pdf + ".count.png");
        ++n;
    }
    return n;
}

int px(double mm, double mmPerInch = 25.39995, int dpi = 600) {
    return int(mm / mmPerInch * dpi);
}

}  // namespace

TEST(CliPrint, LayoutLinesAndPagesOfARunWithABreak) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const CliRun r = runPrint({dir.file("card.kar"), "--side", "outside", "--used", "9", "--copies",
                               "2", "--cut", "--fold", "--pdf", dir.file("out.pdf"), "--layout"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto lines = layoutLines(r.out);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0]["page"].toInt(), 1);
    EXPECT_EQ(lines[0]["position"].toInt(), 9);
    EXPECT_EQ(lines[0]["column"].toInt(), 1);
    EXPECT_EQ(lines[0]["row"].toInt(), 4);
    EXPECT_EQ(lines[0]["CardX"].toInt(), int(10 / 25.39995 * 600 + 95 / 25.39995 * 600));
    EXPECT_EQ(lines[0]["CardY"].toInt(), int(12.5 / 25.39995 * 600 + 55 / 25.39995 * 600 * 4));
    EXPECT_EQ(lines[1]["page"].toInt(), 2);
    EXPECT_EQ(lines[1]["column"].toInt(), 0);
    EXPECT_EQ(lines[1]["row"].toInt(), 0);
    EXPECT_EQ(lines[1]["CardX"].toInt(), px(10));
    EXPECT_EQ(lines[1]["Wd"].toInt(), px(90));
    EXPECT_EQ(lines[1]["Hd"].toInt(), px(55));
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "no pdftoppm";
    EXPECT_EQ(pageCount(dir.file("out.pdf")), 2);

    // Too many used positions are reduced to the last position of the sheet.
    const CliRun clamped = runPrint({dir.file("card.kar"), "--side", "outside", "--used", "25",
                                     "--pdf", dir.file("c.pdf"), "--layout"});
    ASSERT_EQ(clamped.exitCode, 0) << clamped.err.constData();
    EXPECT_EQ(layoutLines(clamped.out).value(0)["position"].toInt(), 9);
}

TEST(CliPrint, InsideMirrorPaperResolutionAndCalibration) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    // Letter at 300 dpi: 2550 pixels wide; a PDF page has no unprintable margin.
    const QStringList common{dir.file("card.kar"),
                             "--pdf",
                             dir.file("l.pdf"),
                             "--paper",
                             "Letter",
                             "--dpi",
                             "300",
                             "--layout"};
    const CliRun out = runPrint(common + QStringList{"--side", "outside"});
    const CliRun in = runPrint(common + QStringList{"--side", "inside"});
    ASSERT_EQ(out.exitCode, 0) << out.err.constData();
    ASSERT_EQ(in.exitCode, 0) << in.err.constData();
    const QJsonObject o = layoutLines(out.out).value(0), i = layoutLines(in.out).value(0);
    EXPECT_EQ(o["CardX"].toInt(), px(10, 25.39995, 300));
    const int physOffX = (2550 - (i["CardX"].toInt() + o["CardX"].toInt() + o["Wd"].toInt())) / 2;
    EXPECT_NEAR(physOffX, 0, 1);
    EXPECT_EQ(i["CardY"].toInt(), o["CardY"].toInt());

    // A calibration file: its values as the dialog would show them (110 becomes 105).
    QByteArray cal;
    for (double v : {3.0, 2.0, 110.0, 100.0}) {
        char b[8];
        qToLittleEndian(v, b);
        cal.append(b, 8);
    }
    QFile f(dir.file("options.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cal);
    f.close();
    const CliRun c =
        runPrint({dir.file("card.kar"), "--side", "outside", "--pdf", dir.file("k.pdf"),
                  "--calibration", dir.file("options.dat"), "--layout"});
    ASSERT_EQ(c.exitCode, 0) << c.err.constData();
    const QJsonObject k = layoutLines(c.out).value(0);
    const double mmX = 105 * 25.39995 / 100;
    EXPECT_EQ(k["Wd"].toInt(), int(90 / mmX * 600));
    EXPECT_EQ(k["CardX"].toInt(), int(7 / mmX * 600));
    EXPECT_EQ(k["CardY"].toInt(), px(10.5));
}

TEST(CliPrint, RefusesWhatItCannotPrint) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QString card = dir.file("card.kar");
    // Nothing to print to: no --pdf and no printer on this machine.
    CliRun r = runPrint({card, "--side", "outside"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("nothing to print to")) << r.err.constData();
    // A printer while the print service is not running: said so, at once.
    r = runPrint({card, "--side", "outside", "--printer", "NoSuchPrinter"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot be reached")) << r.err.constData();
    EXPECT_EQ(runPrint({dir.file("missing.kar"), "--side", "outside", "--pdf", dir.file("m.pdf")})
                  .exitCode,
              1);
    EXPECT_FALSE(QFile::exists(dir.file("m.pdf")));
    EXPECT_EQ(runPrint({card, "--side", "outside", "--pdf", dir.file("x.pdf"), "--calibration",
                        dir.file("none.dat")})
                  .exitCode,
              1);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--pdf", dir.file("no/dir/x.pdf")}).exitCode, 1);
    // Wrong usage.
    EXPECT_EQ(runPrint({card, "--side", "sideways", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--copies", "0", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--pdf", "x.pdf", "--printer", "P"}).exitCode,
              2);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--pdf", "x.pdf", "--paper", "Foo"}).exitCode,
              2);
    EXPECT_EQ(runPrint({card, "--side", "outside", "--printer", "P", "--wait", "-1"}).exitCode, 2);
    EXPECT_EQ(runPrint({"--side", "outside", "--pdf", "x.pdf"}).exitCode, 2);
    EXPECT_EQ(
        runPrint({card, "--side", "outside", "--pdf", "x.pdf", "--orientation", "quer"}).exitCode,
        2);
}

// Wrong usage names what the option needs, exits 2 and prints nothing.
TEST(CliPrint, WrongUsageSaysWhatAnOptionNeeds) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QString card = dir.file("card.kar");
    const QString pdf = dir.file("x.pdf");
    const QStringList base{card, "--side", "outside", "--pdf", pdf};
    const auto expectUsage = [&](const QStringList& args, const char* why) {
        const CliRun r = runPrint(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toLocal8Bit().constData();
        EXPECT_TRUE(r.err.contains(QByteArray("error: ") + why + "\nusage: brisella-cli print"))
            << r.err.constData();
        EXPECT_FALSE(QFile::exists(pdf));
    };
    // An option at the end without its value.
    const QList<std::pair<const char*, const char*>> missing{
        {"--copies", "--copies needs a number 1..1000"},
        {"--used", "--used needs a number 0..100"},
        {"--calibration", "--calibration needs a file"},
        {"--printer", "--printer needs a name"},
        {"--paper", "--paper needs a name"},
        {"--orientation", "--orientation needs a value"},
        {"--dpi", "--dpi needs a number 36..4800"},
        {"--wait", "--wait needs seconds 0..86400"},
        {"--flip", "--flip needs a value"},
        {"--merge", "--merge needs a list"},
        {"--rows", "--rows needs rows"},
    };
    for (const auto& [option, why] : missing) expectUsage(base + QStringList{option}, why);
    expectUsage({card, "--side", "outside", "--pdf"}, "--pdf needs a file");
    expectUsage({card, "--pdf", pdf, "--side"}, "--side needs a value");
    // A value out of range says the same as a missing one.
    expectUsage(base + QStringList{"--dpi", "20"}, "--dpi needs a number 36..4800");
    expectUsage(base + QStringList{"--used", "x"}, "--used needs a number 0..100");
    expectUsage(base + QStringList{card}, "only one card file");
    expectUsage({"--alignment-sheet", card, "--pdf", pdf}, "--alignment-sheet prints no card");
    expectUsage(base + QStringList{"--rows", "1"}, "--rows needs --merge");
    expectUsage({card, "--quarter-fold", "--used", "1", "--pdf", pdf},
                "--used does not go with --quarter-fold");
    // An unknown short option is not taken for the card file.
    expectUsage({"-x", "--side", "outside", "--pdf", pdf}, "unknown option -x");
}

TEST(CliPrint, TheCardTypesPaperUnlessPaperOrOrientationAreGiven) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "no pdfinfo";
    bbtest::TempFolder dir;
    // The starter list's US half-fold card: US Letter, landscape.
    const QList<bb::StarterType> starters = bb::starterCatalogue();
    const auto us = std::find_if(starters.begin(), starters.end(), [](const bb::StarterType& t) {
        return t.format.typeName.startsWith(QStringLiteral("Klappkarte US"));
    });
    ASSERT_NE(us, starters.end());
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = us->format;
    printtest::colourSides(*doc);
    bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    ASSERT_TRUE(bb::saveCardFile(*doc, dir.file("us.kar"), fc));

    const auto pageSize = [&](const QStringList& extra) {
        const QString pdf = dir.file("p.pdf");
        QFile::remove(pdf);
        const CliRun r =
            runPrint(QStringList{dir.file("us.kar"), "--side", "outside", "--pdf", pdf} + extra);
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        QProcess info;
        info.start("pdfinfo", {pdf});
        info.waitForFinished(bbtest::kHangGuardMs);
        for (const QByteArray& line : info.readAllStandardOutput().split('\n'))
            if (line.startsWith("Page size:")) return line.mid(10).simplified();
        return QByteArray();
    };
    EXPECT_EQ(pageSize({}), "792 x 612 pts (letter)");
    EXPECT_EQ(pageSize({"--orientation", "portrait"}), "612 x 792 pts (letter)");
    // An explicit paper wins, turned only where the card needs it.
    EXPECT_EQ(pageSize({"--paper", "A3"}), "842 x 1191 pts (A3)");
    EXPECT_EQ(pageSize({"--paper", "Legal"}), "1008 x 612 pts");
}

TEST(CliPrint, CardsOnThePdfPageAt600Dpi) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "no pdftoppm";
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    // A4 at 600 dpi; the printable area is the whole sheet.
    const double off = 0;
    for (const char* side : {"outside", "inside"}) {
        const QString pdf = dir.file(QStringLiteral("%1.pdf").arg(side));
        const CliRun r = runPrint({dir.file("card.kar"), "--side", side, "--pdf", pdf, "--layout"});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        const QJsonObject c = layoutLines(r.out).value(0);
        // Cut a window around the card's top-left corner out of the page at 600 dpi.
        const int x0 = int(off + c["CardX"].toInt()) - 40, y0 = int(off + c["CardY"].toInt()) - 40;
        QProcess::execute(
            "pdftoppm", {"-png", "-r", "600", "-x", QString::number(x0), "-y", QString::number(y0),
                         "-W", "120", "-H", "120", "-singlefile", pdf, pdf + ".crop"});
        const QImage crop = QImage(pdf + ".crop.png").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(crop.isNull());
        const QRgb want = QString(side) == "outside" ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
        int left = -1, top = -1;
        for (int y = 0; y < crop.height() && top < 0; ++y)
            for (int x = 0; x < crop.width(); ++x)
                if (crop.pixel(x, y) == want) {
                    top = y;
                    break;
                }
        for (int x = 0; x < crop.width() && left < 0; ++x)
            for (int y = 0; y < crop.height(); ++y)
                if (crop.pixel(x, y) == want) {
                    left = x;
                    break;
                }
        EXPECT_NEAR(left, 40, 2) << side;
        EXPECT_NEAR(top, 40, 2) << side;
        // White paper above and left of the card.
        EXPECT_EQ(crop.pixel(20, 20), qRgb(255, 255, 255)) << side;
    }
}

// A person at a terminal sees one line per sheet on standard error; a pipe gets none, so
// scripts read only the result.
TEST(CliPrint, ProgressLinesOnlyOnATerminal) {
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty()) GTEST_SKIP() << "script (util-linux) not installed";
    bbtest::TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QStringList args{dir.file("card.kar"), "--side", "outside", "--copies", "25"};

    const CliRun piped = runPrint(args + QStringList{"--pdf", dir.file("piped.pdf")});
    ASSERT_EQ(piped.exitCode, 0) << piped.err.constData();
    EXPECT_FALSE(piped.err.contains("sheet")) << piped.err.constData();
    EXPECT_EQ(piped.out.count('\n'), 1);

    // The same run with a pseudo terminal as its standard error (and output): its lines.
    const auto onTerminal = [&](const QStringList& runArgs) {
        QString command = QStringLiteral("'%1' print").arg(QStringLiteral(BRISELLA_CLI_PATH));
        for (const QString& a : runArgs) command += QStringLiteral(" '%1'").arg(a);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CUPS_SERVER", "/nonexistent/cups.sock");
        p.setProcessEnvironment(env);
        p.start(script, {"-qec", command, "/dev/null"});
        QStringList progress;
        if (!p.waitForFinished(bbtest::kHangGuardMs) || p.exitCode() != 0) return progress;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (line.contains("sheet") && !line.startsWith("printed"))
                progress << QString::fromUtf8(line.trimmed());
        return progress;
    };
    const QStringList threeSheets{"printing sheet 1 of 3", "printing sheet 2 of 3",
                                  "printing sheet 3 of 3"};
    EXPECT_EQ(onTerminal(args + QStringList{"--pdf", dir.file("tty.pdf")}), threeSheets);
    // Both sides: two pages on each sheet, still one line per sheet.
    QStringList both = args;
    both[2] = "both";
    EXPECT_EQ(onTerminal(both + QStringList{"--pdf", dir.file("both.pdf")}), threeSheets);
}

// A PDF page has no unprintable margin: a card as large as the paper at margin 0 covers the
// whole page, outside, inside and both sides, and nothing falls off its right or bottom edge.
TEST(CliPrint, APdfPageIsPrintableToItsEdges) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "no pdftoppm";
    bbtest::TempFolder dir;
    {
        bbtest::ScriptedDialogs dialogs;
        bb::RenderContext ctx;
        auto doc = std::make_unique<bb::CardDocument>();
        bb::CardFormat& f = doc->format;
        f.cardWidth = 210;  // A4 in two halves, one above the other
        f.cardHeight = 148.5;
        f.pitchX = 210;
        f.pitchY = 148.5;
        f.leftMargin = f.topMargin = 0;
        f.cardsAcross = 1;
        f.cardsDown = 2;
        printtest::colourSides(*doc);
        bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
        ASSERT_TRUE(bb::saveCardFile(*doc, dir.file("sheet.kar"), fc));
    }
    constexpr int kDpi = 50;
    const QSize a4(int(210 / 25.4 * kDpi), int(297 / 25.4 * kDpi));
    const auto expectWholePage = [&](const QString& pdf, int page, QRgb colour) {
        const QImage img = printtest::pdfPage(pdf, page, kDpi);
        ASSERT_FALSE(img.isNull());
        const QRect box = printtest::colourBox(img, colour);
        EXPECT_EQ(box.topLeft(), QPoint(0, 0)) << pdf.toStdString() << " " << page;
        EXPECT_NEAR(box.width(), a4.width(), 2) << pdf.toStdString() << " " << page;
        EXPECT_NEAR(box.height(), a4.height(), 2) << pdf.toStdString() << " " << page;
    };
    for (const char* side : {"outside", "inside", "both"}) {
        const QString pdf = dir.file(QStringLiteral("%1.pdf").arg(side));
        const CliRun r = runPrint(
            {dir.file("sheet.kar"), "--side", side, "--copies", "2", "--pdf", pdf, "--layout"});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        // (The inside's mirror keeps the 2 pixels by which Qt's A4 of 595 pt is narrower.)
        EXPECT_NEAR(layoutLines(r.out).value(0)["CardX"].toInt(), 0, 2) << side;
        EXPECT_EQ(layoutLines(r.out).value(0)["CardY"].toInt(), 0) << side;
        if (QByteArray(side) == "both") {
            expectWholePage(pdf, 1, qRgb(255, 0, 0));
            expectWholePage(pdf, 2, qRgb(0, 0, 255));
        } else {
            expectWholePage(pdf, 1,
                            QByteArray(side) == "outside" ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        }
    }
}
