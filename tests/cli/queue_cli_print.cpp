// brisella-cli print --printer against the private CUPS server: exit status 0 only for a job
// that the queue printed; a failing printer, a stopped queue and an unknown name give 1 and say
// why.
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "support/PrivateCups.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include "cli/CliProcess.h"
#include "print/PdfPages.h"

#include <memory>

namespace {

using bbtest::CliRun;

// The card of the print tests (2 × 5, red outside); empty when it cannot be written.
QString writeCard(const bbtest::TempFolder& dir) {
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = printtest::twoByFive();
    printtest::colourSides(*doc);
    bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    const QString path = dir.file("card.kar");
    return bb::saveCardFile(*doc, path, fc) ? path : QString();
}

CliRun printTo(const QString& card, const QString& printer) {
    return bbtest::runCli({"print", card, "--side", "outside", "--printer", printer},
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
