// brisella-cli print --printer against the private CUPS server: exit status 0 only for a job
// that the queue printed; a failing printer or filter, a stopped queue and an unknown name give
// 1 and say why; both sides go out as one two-sided job, or as two jobs with the sheets turned
// by hand between them.
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "support/PrivateCups.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include "cli/PrintCli.h"
#include "print/PdfPages.h"

namespace {

using bbtest::CliRun;

// The card of the print tests (2 × 5, red outside); empty when it cannot be written.
QString writeCard(const bbtest::TempFolder& dir) {
    const QString path = dir.file("card.kar");
    return bbtest::writePrintCard(path) ? path : QString();
}

CliRun printTo(const QString& card, const QString& printer, const QStringList& more = {}) {
    return bbtest::runCli(
        QStringList{"print", card, "--side", "outside", "--printer", printer} + more,
        QProcessEnvironment::systemEnvironment(), bbtest::kHangGuardMs);
}

}  // namespace

TEST(CliPrintQueue, ExitsZeroOnlyOnceTheQueuePrintedTheJob) {
    BB_REQUIRE_PRIVATE_CUPS();
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    ASSERT_FALSE(card.isEmpty());
    const auto before = bb::cups::highestJobId("Brisella_PDF");
    ASSERT_TRUE(before);
    const CliRun r = printTo(card, "Brisella_PDF");
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("printed 1 card(s) on 1 sheet(s) to Brisella_PDF"));
    // By then the queue has finished the job.
    const auto job = bb::cups::findJob("Brisella_PDF", *before, bb::kPrintJobTitle);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state, bb::JobInfo::Completed);
}

TEST(CliPrintQueue, FailingStoppedAndUnknownPrintersExitOneWithTheReason) {
    BB_REQUIRE_PRIVATE_CUPS();
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    ASSERT_FALSE(card.isEmpty());
    // The queue takes the job and then aborts it: the reason is the queue's.
    CliRun r = printTo(card, "Brisella_Kaputt");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Brisella_Kaputt")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("not responding")) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();

    // The server stops the job when its filter fails; the job never prints.
    r = printTo(card, "Brisella_Filterfehler");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("\"Brisella_Filterfehler\" did not print job")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Filter failed")) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();

    const auto before = bb::cups::highestJobId("Brisella_Angehalten");
    r = printTo(card, "Brisella_Angehalten");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("\"Brisella_Angehalten\" is stopped")) << r.err.constData();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("Angehalten für die Tests").toUtf8()));
    // Refused before printing: nothing waits in the stopped queue.
    EXPECT_EQ(bb::cups::highestJobId("Brisella_Angehalten"), before);

    r = printTo(card, "Brisella_Nirgends");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("there is no printer named \"Brisella_Nirgends\""))
        << r.err.constData();
}

// Both sides of the sheet in one job: the server is asked for two-sided printing about the
// chosen edge, and the queue's PDF holds the outside, then the inside behind it.
TEST(CliPrintQueue, BothSidesGoOutAsOneTwoSidedJobAboutTheChosenEdge) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    ASSERT_FALSE(card.isEmpty());
    const std::pair<QString, QString> edges[] = {{"long", "two-sided-long-edge"},
                                                 {"short", "two-sided-short-edge"}};
    for (const auto& [flip, sides] : edges) {
        SCOPED_TRACE(flip.toStdString());
        const auto before = bb::cups::highestJobId("Brisella_Duplex");
        ASSERT_TRUE(before);
        const CliRun r = printTo(card, "Brisella_Duplex", {"--side", "both", "--flip", flip});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(r.out.contains("printed 1 card(s) on both sides of 1 sheet(s)"));
        const auto job = bb::cups::findJob("Brisella_Duplex", *before, bb::kPrintJobTitle);
        ASSERT_TRUE(job);
        EXPECT_EQ(bbtest::jobKeyword(job->id, "sides"), sides);
        const QString pdf = bbtest::queueOutput(job->id);
        ASSERT_FALSE(pdf.isEmpty());
        ASSERT_EQ(printtest::pdfPageCount(pdf), 2);
        const QImage front = printtest::pdfPage(pdf, 1, 20), back = printtest::pdfPage(pdf, 2, 20);
        EXPECT_FALSE(printtest::colourBox(front, qRgb(255, 0, 0)).isNull());
        EXPECT_TRUE(printtest::colourBox(front, qRgb(0, 0, 255)).isNull());
        EXPECT_FALSE(printtest::colourBox(back, qRgb(0, 0, 255)).isNull());
    }
    // A queue without duplex is refused before anything goes out.
    const auto before = bb::cups::highestJobId("Brisella_PDF");
    const CliRun r = printTo(card, "Brisella_PDF", {"--side", "both"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot print both sides")) << r.err.constData();
    EXPECT_EQ(bb::cups::highestJobId("Brisella_PDF"), before);
}

TEST(CliPrintQueue, TurnedByHandTheOutsidesThenTheInsidesOfEveryRow) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    bbtest::TempFolder dir;
    const QString card = writeCard(dir);
    ASSERT_FALSE(card.isEmpty());
    const QString list = dir.file("liste.csv");
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Vorname\nAnna\nEva\nUte\n");
    }
    const QStringList args{"print",   card, "--side",    "both",        "--turn-sheets",
                           "--merge", list, "--printer", "Brisella_PDF"};
    // The person presses Enter once the outsides are out.
    const auto before = bb::cups::highestJobId("Brisella_PDF");
    ASSERT_TRUE(before);
    const CliRun r = bbtest::runCli(args, QProcessEnvironment::systemEnvironment(),
                                    bbtest::kHangGuardMs, QByteArray("\n"));
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("printed the outsides of 3 card(s) on 1 sheet(s)")) << r.out.data();
    EXPECT_TRUE(r.out.contains("printed 3 card(s) on both sides of 1 sheet(s) to Brisella_PDF"))
        << r.out.data();
    EXPECT_TRUE(r.err.contains("Turn the sheets over"));
    const auto fronts = bb::cups::findJob("Brisella_PDF", *before, bb::kPrintJobTitle);
    ASSERT_TRUE(fronts);
    const auto backs = bb::cups::findJob("Brisella_PDF", fronts->id, bb::kPrintJobTitle);
    ASSERT_TRUE(backs);
    const QImage front = printtest::pdfPage(bbtest::queueOutput(fronts->id), 1, 20);
    const QImage back = printtest::pdfPage(bbtest::queueOutput(backs->id), 1, 20);
    EXPECT_FALSE(printtest::colourBox(front, qRgb(255, 0, 0)).isNull());
    EXPECT_TRUE(printtest::colourBox(front, qRgb(0, 0, 255)).isNull());
    EXPECT_FALSE(printtest::colourBox(back, qRgb(0, 0, 255)).isNull());

    // The input ends instead: the outsides only, and exit status 1.
    const auto again = bb::cups::highestJobId("Brisella_PDF");
    ASSERT_TRUE(again);
    const CliRun stopped = bbtest::runCli(args, QProcessEnvironment::systemEnvironment(),
                                          bbtest::kHangGuardMs, QByteArray());
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(stopped.err.contains("insides were not printed")) << stopped.err.constData();
    const auto only = bb::cups::findJob("Brisella_PDF", *again, bb::kPrintJobTitle);
    ASSERT_TRUE(only);
    EXPECT_FALSE(bb::cups::findJob("Brisella_PDF", only->id, bb::kPrintJobTitle));
    // Without the flag such a queue is still refused, and a PDF file needs no turning.
    EXPECT_EQ(bbtest::runCli(
                  {"print", card, "--side", "both", "--turn-sheets", "--pdf", dir.file("x.pdf")})
                  .exitCode,
              2);
}
