// brisella-cli labels --printer against the private CUPS server: the labels go out as one job
// on A4 that the queue prints before the tool exits 0 (the queue's PDF filter re-encodes the
// fonts, so the text is checked in the PDF tests); an unknown printer gives 1 and says so.
#include "cli/CliProcess.h"
#include "print/CupsQueue.h"
#include "print/LabelPrint.h"
#include "support/PrivateCups.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>

namespace {

using bbtest::CliRun;

QString writeList(const bbtest::TempFolder& dir) {
    const QString path = dir.file("liste.csv");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("Vorname;Nachname;Ort\nEdda;Wolkenried;Hagenau\nKnut;Sprottmeier;Zellerbach\n");
    return path;
}

CliRun labelsTo(const QString& list, const QString& printer) {
    return bbtest::runCli({"labels", "--merge", list, "--sheet", "L7163", "--printer", printer},
                          QProcessEnvironment::systemEnvironment(), bbtest::kHangGuardMs);
}

}  // namespace

TEST(CliLabelsQueue, LabelsArePrintedAsOneJobOnA4) {
    BB_REQUIRE_PRIVATE_CUPS();
    bbtest::TempFolder dir;
    const QString list = writeList(dir);
    ASSERT_FALSE(list.isEmpty());
    const auto before = bb::cups::highestJobId("Brisella_PDF");
    ASSERT_TRUE(before);
    const CliRun r = labelsTo(list, "Brisella_PDF");
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("printed 2 label(s) on 1 sheet(s) to Brisella_PDF"))
        << r.out.constData();
    const auto job = bb::cups::findJob("Brisella_PDF", *before, bb::kLabelJobTitle);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state, bb::JobInfo::Completed);
    const QString printed = bbtest::queueOutput(job->id);
    ASSERT_FALSE(printed.isEmpty());
    QProcess info;
    info.start("pdfinfo", {printed});
    ASSERT_TRUE(info.waitForFinished(bbtest::kHangGuardMs));
    const QByteArray pages = info.readAllStandardOutput();
    EXPECT_TRUE(pages.contains("Pages:           1")) << pages.constData();
    EXPECT_TRUE(pages.contains("(A4)")) << pages.constData();
}

TEST(CliLabelsQueue, AnUnknownPrinterExitsOne) {
    BB_REQUIRE_PRIVATE_CUPS();
    bbtest::TempFolder dir;
    const QString list = writeList(dir);
    const CliRun r = labelsTo(list, "Brisella_Gibtsnicht");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Brisella_Gibtsnicht")) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
}
