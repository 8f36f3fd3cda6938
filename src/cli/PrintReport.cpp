// brisella-cli print, reporting: progress on a terminal, the layout lines, following a job
// through the printer's queue and the closing line.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "document/CardDocument.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "print/SheetProgress.h"

#include <QPrinter>

#include <unistd.h>
#include <csignal>
#include <cstdio>

namespace bb::cli {

namespace {

// One line per sheet on standard error, for a person watching a terminal; a pipe or file gets
// none, so scripts read only what they asked for.
class TerminalProgress : public SheetProgress {
public:
    explicit TerminalProgress(int pagesPerSheet = 1) : SheetProgress(pagesPerSheet) {}
    static bool wanted() { return isatty(fileno(stderr)) == 1; }

protected:
    bool sheetPageStarting(const SheetStep& step) override {
        if (step.firstPage) {
            std::fprintf(stderr, "printing sheet %d of %d\n", step.sheet, step.sheets);
            std::fflush(stderr);
        }
        return true;
    }
};

// For tests of an interrupted run: with BRISELLA_STOP_BEFORE_PAGE=N in the environment the
// tool stops itself (SIGSTOP) before drawing page N, so that a test can kill it there, half
// way through writing its output, without racing it. Without the variable nothing changes.
class StopBeforePage : public PrintProgress {
public:
    StopBeforePage(int page, PrintProgress* next) : page_(page), next_(next) {}
    static int wantedPage() { return qEnvironmentVariableIntValue("BRISELLA_STOP_BEFORE_PAGE"); }
    bool pageStarting(int page, int pages) override {
        if (page == page_) std::raise(SIGSTOP);
        return next_ ? next_->pageStarting(page, pages) : true;
    }

private:
    int page_;
    PrintProgress* next_;
};

// The list row of the k-th card of a merge, from 1, as a layout line's last field; nothing
// without a merge.
QByteArray recordField(const MergeRun* merge, int card) {
    if (!merge || card >= merge->plan.cardCount()) return {};
    return ", \"record\": " + QByteArray::number(merge->plan.rowOfCard(card) + 1);
}

// Follows the job that the run just handed to the queue until the queue has finished it, at
// most `waitSeconds`; the failure, or empty when the queue completed the job.
QString followJob(const QString& queue, int jobsBefore, const QString& title, int waitSeconds) {
    const auto job = cups::findJob(queue, jobsBefore, title);
    if (!job) return QStringLiteral("the job did not arrive in the queue of \"%1\"").arg(queue);
    const JobOutcome outcome = cups::waitForJob(queue, job->id, waitSeconds * 1000);
    switch (outcome.kind) {
        case JobOutcome::Completed:
            return {};
        case JobOutcome::Failed:
            return QStringLiteral("the printer \"%1\" did not print job %2: %3")
                .arg(queue)
                .arg(job->id)
                .arg(outcome.reason);
        case JobOutcome::TimedOut:
            return QStringLiteral(
                       "job %2 is still in the queue of \"%1\" after %3 seconds%4; it "
                       "stays there")
                .arg(queue)
                .arg(job->id)
                .arg(waitSeconds)
                .arg(outcome.reason.isEmpty() ? QString()
                                              : QStringLiteral(" (%1)").arg(outcome.reason));
        default:
            return QStringLiteral("job %1: %2").arg(job->id).arg(outcome.reason);
    }
}

}  // namespace

void printLayout(const std::vector<CardPlacement>& cards, const MergeRun* merge) {
    int k = 0;
    for (const CardPlacement& c : cards) {
        std::printf(
            "{\"page\": %d, \"position\": %d, \"column\": %d, \"row\": %d, \"CardX\": %d, "
            "\"CardY\": %d, \"Wd\": %d, \"Hd\": %d%s}\n",
            c.page + 1, c.position, c.column, c.row, c.cardX, c.cardY, c.width, c.height,
            recordField(merge, k++).constData());
    }
    std::fflush(stdout);
}

// The layout of a two-sided run: per sheet the lines of the front page, then those of the back.
void printTwoSidedLayout(const std::vector<TwoSidedCard>& cards, const MergeRun* merge) {
    const auto line = [merge](const CardPlacement& c, int card, int x, int y, const char* side,
                              bool turned) {
        std::printf(
            "{\"page\": %d, \"position\": %d, \"column\": %d, \"row\": %d, \"CardX\": %d, "
            "\"CardY\": %d, \"Wd\": %d, \"Hd\": %d, \"side\": \"%s\", \"turned\": %s%s}\n",
            c.page + 1, c.position, c.column, c.row, x, y, c.width, c.height, side,
            turned ? "true" : "false", recordField(merge, card).constData());
    };
    for (size_t first = 0; first < cards.size();) {
        size_t end = first + 1;
        while (end < cards.size() && cards[end].front.page == cards[first].front.page) ++end;
        for (size_t i = first; i < end; ++i)
            line(cards[i].front, int(i), cards[i].front.cardX, cards[i].front.cardY, "outside",
                 false);
        for (size_t i = first; i < end; ++i)
            line(cards[i].front, int(i), cards[i].back.x, cards[i].back.y, "inside",
                 cards[i].back.turned);
        first = end;
    }
    std::fflush(stdout);
}

// The layout lines of a quarter-fold run: the usual fields and which side lies where.
void printQuarterFoldLayout(const std::vector<QuarterFoldCard>& cards, const MergeRun* merge) {
    for (const QuarterFoldCard& q : cards) {
        const CardPlacement& c = q.card;
        // Every sheet is one card of the run.
        std::printf(
            "{\"page\": %d, \"position\": %d, \"column\": %d, \"row\": %d, \"CardX\": %d, "
            "\"CardY\": %d, \"Wd\": %d, \"Hd\": %d, \"side\": \"%s\", \"turned\": %s%s}\n",
            c.page + 1, c.position, c.column, c.row, c.cardX, c.cardY, c.width, c.height,
            q.side == SideInside ? "inside" : "outside", q.turned ? "true" : "false",
            recordField(merge, c.page).constData());
    }
    std::fflush(stdout);
}

int runAndReport(PrinterTarget& target, const PrintJob& job, int waitSeconds, bool layout,
                 const RunJob& run, const ReportJob& summary) {
    TerminalProgress progress(job.pagesPerSheet);
    PrintProgress* shown = TerminalProgress::wanted() ? &progress : nullptr;
    StopBeforePage stop(StopBeforePage::wantedPage(), shown);
    if (StopBeforePage::wantedPage() > 0) shown = &stop;
    const QString queue = target.isPdf() ? QString() : target.printer().printerName();
    std::optional<int> jobsBefore;
    if (!queue.isEmpty()) {
        // (choosePrintTarget has checked that the queue takes jobs.)
        jobsBefore = cups::highestJobId(queue);
        if (!jobsBefore) {
            printError(QStringLiteral("the printer service (CUPS) at %1 does not answer")
                           .arg(cups::serverName()));
            return kExitFailure;
        }
    }
    const PrintRunResult result = run(shown);
    if (!result.ok) {
        printError(result.error);
        return kExitFailure;
    }
    if (jobsBefore) {
        if (const QString failure = followJob(queue, *jobsBefore, job.title, waitSeconds);
            !failure.isEmpty()) {
            printError(failure);
            return kExitFailure;
        }
    }
    if (!layout) {
        summary(result,
                (queue.isEmpty() ? target.printer().outputFileName() : queue).toLocal8Bit());
        std::fflush(stdout);
    }
    return kExitOk;
}

}  // namespace bb::cli
