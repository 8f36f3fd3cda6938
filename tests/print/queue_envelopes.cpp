// Envelopes through a queue of the private CUPS server: the job reaches the queue with the
// envelope as its paper, and the page that comes out has the envelope's size.
#include "EnvelopePdfText.h"

#include "print/CupsQueue.h"
#include "print/EnvelopeLayout.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"
#include "print/PrinterTarget.h"
#include "support/PrivateCups.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

using namespace bb;

namespace {

// Page sizes of every page of `pdf` in millimetres, read with pdfinfo; empty on failure.
std::vector<QSizeF> pageSizesMm(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                        QStringLiteral("-l"), QStringLiteral("100"), pdf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    static const QRegularExpression re(
        QStringLiteral("Page +\\d+ size: +([0-9.]+) x ([0-9.]+) pts"));
    std::vector<QSizeF> sizes;
    for (auto it = re.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        sizes.emplace_back(envtest::ptToMm(m.captured(1).toDouble()),
                           envtest::ptToMm(m.captured(2).toDouble()));
    }
    return sizes;
}

// The same size, either way round.
bool sameSheet(const QSizeF& a, const QSizeF& b, double tolerance) {
    const auto near = [tolerance](const QSizeF& x, const QSizeF& y) {
        return std::abs(x.width() - y.width()) <= tolerance &&
               std::abs(x.height() - y.height()) <= tolerance;
    };
    return near(a, b) || near(a, b.transposed());
}

class QueueEnvelopes : public ::testing::TestWithParam<const char*> {};

TEST_P(QueueEnvelopes, TheJobsPaperIsTheEnvelope) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const QString queue = QStringLiteral("Brisella_PDF");
    const EnvelopeSize& size = *findEnvelope(GetParam());
    const SenderAddress sender{{QStringLiteral("Ida Pfefferkorn"), QStringLiteral("Lindenhang 12"),
                                QStringLiteral("34560 Auenfeld")},
                               {}};
    const std::vector<EnvelopeFace> faces = {
        envelopeFace(size, false, sender, {"Wilma Querbeet", "Klatschmohnweg 4", "34567 Auenfeld"}),
        envelopeFace(size, false, sender, {"Oskar Tannhuber", "34568 Birkenstein"})};

    PrinterTarget target;
    ASSERT_TRUE(target.selectPrinter(queue));
    const auto before = cups::highestJobId(queue);
    ASSERT_TRUE(before.has_value()) << "the server does not answer";
    const EnvelopePlacement asPaper;
    useEnvelopePaper(target, faces, asPaper);
    const QSizeF paper = target.printer().pageLayout().fullRect(QPageLayout::Millimeter).size();
    EXPECT_TRUE(sameSheet(paper, size.sizeMm, 0.5)) << paper.width() << " x " << paper.height();
    const PrintRunResult result = printEnvelopes(target, faces, asPaper);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pages, 2);

    const auto job = cups::findJob(queue, *before, kEnvelopeJobTitle);
    ASSERT_TRUE(job.has_value()) << "no job titled like the envelopes after job " << *before;
    ASSERT_EQ(cups::waitForJob(queue, job->id, bbtest::kHangGuardMs).kind, JobOutcome::Completed);
    const QString pdf = bbtest::queueOutput(job->id);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote nothing for job " << job->id;
    const std::vector<QSizeF> pages = pageSizesMm(pdf);
    ASSERT_EQ(pages.size(), 2u);
    for (const QSizeF& page : pages)
        EXPECT_TRUE(sameSheet(page, size.sizeMm, 1.0))
            << GetParam() << ": " << page.width() << " x " << page.height() << " mm";
}

INSTANTIATE_TEST_SUITE_P(Sizes, QueueEnvelopes, ::testing::Values("C6", "DL", "US10", "Q155"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
