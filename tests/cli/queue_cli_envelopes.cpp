// brisella-cli envelopes --printer against the private CUPS server: exit status 0 once the
// queue has printed the job, one page per envelope in the envelope's size; an unknown queue
// gives 1 and says so.
#include "CliProcess.h"
#include "print/CupsQueue.h"
#include "print/EnvelopePrint.h"
#include "support/PrivateCups.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

TEST(CliEnvelopesQueue, ExitsZeroOnceTheQueuePrintedEveryEnvelope) {
    BB_REQUIRE_PRIVATE_CUPS();
    bbtest::TempFolder dir;
    const QString list = dir.file("adressen.csv");
    ASSERT_TRUE(writeFile(list,
                          "Vorname;Nachname;PLZ;Ort\nPia;Holunder;34569;Kleeau\n"
                          "Oskar;Tannhuber;34568;Birkenstein\n"));
    const auto before = bb::cups::highestJobId("Brisella_PDF");
    ASSERT_TRUE(before);
    const bbtest::CliRun r = bbtest::runCli(
        {"envelopes", "--merge", list, "--size", "DL", "--window", "--printer", "Brisella_PDF"},
        QProcessEnvironment::systemEnvironment(), bbtest::kHangGuardMs);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("printed 2 envelope(s) DL to Brisella_PDF")) << r.out.constData();
    const auto job = bb::cups::findJob("Brisella_PDF", *before, bb::kEnvelopeJobTitle);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state, bb::JobInfo::Completed);

    const bbtest::CliRun unknown = bbtest::runCli(
        {"envelopes", "--merge", list, "--size", "DL", "--printer", "Brisella_Gibtsnicht"},
        QProcessEnvironment::systemEnvironment(), bbtest::kHangGuardMs);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("Brisella_Gibtsnicht")) << unknown.err.constData();
}
