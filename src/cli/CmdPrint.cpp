// brisella-cli print: one print run of a card onto a PDF file or a named printer, with
// copies, used positions, cut and fold lines and a calibration file; --layout lists where
// every card goes, in device pixels, before printing. --side both prints the outsides and
// insides back to back (alternating pages in a PDF, one duplex job on a printer; with
// --turn-sheets the outsides as one job, the sheets turned by hand when the person presses
// Enter, then the insides as a second job), and --alignment-sheet the sheet of crosses that
// shows how a printer turns its sheets. --merge
// prints one personal card per row of an address list (--copies of each). The sheet is the
// card type's paper in its orientation (CardPaper) unless --paper or --orientation say
// otherwise.
#include "cli/Commands.h"

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/CardPaper.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/Calibration.h"
#include "print/CupsQueue.h"
#include "print/DuplexPrinter.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "print/SheetProgress.h"
#include "print/TwoSided.h"
#include "render/Preview.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QPrinter>

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

namespace bb::cli {

namespace {

std::optional<int> intArg(const QString& text, int min, int max) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max) return std::nullopt;
    return v;
}

std::optional<QPageSize> pageSizeNamed(const QString& name) {
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto sizeId = QPageSize::PageSizeId(id);
        if (sizeId == QPageSize::Custom) continue;
        if (QPageSize::key(sizeId).compare(name, Qt::CaseInsensitive) == 0 ||
            QPageSize::name(sizeId).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize(sizeId);
    }
    return std::nullopt;
}

// Sets the sheet: an explicit --paper wins, turned so that the card's grid fits it where only
// landscape does; without it the card type's paper (a type no common paper holds keeps the
// target's). An explicit --orientation wins over both. No card: the alignment sheet.
void applyPaper(PrinterTarget& target, const CardFormat* format,
                const std::optional<QPageSize>& pageSize,
                std::optional<QPageLayout::Orientation> orientation) {
    QPrinter& printer = target.printer();
    if (pageSize) {
        printer.setPageSize(*pageSize);
        if (!orientation && format)
            orientation = orientationOn(*format, pageSize->id()).value_or(QPageLayout::Portrait);
    } else if (format) {
        const CardPaper paper = cardPaper(*format);
        target.useCardPaper(paper);
        if (!orientation && paper.known()) orientation = paper.orientation;
    }
    if (orientation) printer.setPageOrientation(*orientation);
}

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

// Why the queue cannot take a job now (the service cannot be reached or is silent, no such
// queue, stopped or refusing jobs), or empty when it can.
QString queueRefusal(const PrintService& service, const QString& name) {
    if (!service.answers()) return cups::serviceProblem(service.state);
    for (const QueueInfo& q : service.queues) {
        if (q.name != name) continue;
        if (cups::acceptsJobs(q)) return {};
        const QString why =
            q.message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(q.message);
        return q.state == QueueState::Stopped
                   ? QStringLiteral("the printer \"%1\" is stopped%2").arg(name, why)
                   : QStringLiteral("the printer \"%1\" does not accept jobs%2").arg(name, why);
    }
    return QStringLiteral("there is no printer named \"%1\"").arg(name);
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

// Runs a print job onto the target, with one progress line per sheet on a terminal, and
// reports it: the error, or (unless the layout lines were asked for) the line `summary` makes
// of the result and the destination. On a real printer the run counts once the queue has
// printed the job: Qt does not tell the job's id, so the job is the newer one with the run's
// title. Returns the exit status.
int runAndReport(PrinterTarget& target, const PrintJob& job, int waitSeconds, bool layout,
                 const std::function<PrintRunResult(PrintProgress*)>& run,
                 const std::function<void(const PrintRunResult&, const QByteArray& to)>& summary) {
    TerminalProgress progress(job.pagesPerSheet);
    PrintProgress* shown = TerminalProgress::wanted() ? &progress : nullptr;
    StopBeforePage stop(StopBeforePage::wantedPage(), shown);
    if (StopBeforePage::wantedPage() > 0) shown = &stop;
    const QString queue = target.isPdf() ? QString() : target.printer().printerName();
    std::optional<int> jobsBefore;
    if (!queue.isEmpty()) {
        // (runPrint has checked that the queue takes jobs.)
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

// Both sides turned by hand: the outsides as one job, then (once the person has turned the
// sheets about their vertical middle, like a book page, and pressed Enter) the insides as a
// second job. The end of the input stops after the outsides.
int printTurningSheets(PrinterTarget& target, CardDocument& doc, RenderContext& ctx,
                       UserDialogs& dialogs, const PrintOptions& options, bool layout,
                       int waitSeconds, const MergeRun* merge) {
    QPrinter& printer = target.printer();
    printer.setDuplex(QPrinter::DuplexNone);
    const DeviceGeometry geometry = target.geometry();
    if (layout)
        printTwoSidedLayout(twoSidedCards(doc.format, runSettings(options, doc.format, merge),
                                          options.calibration, geometry, TurnAxis::Vertical),
                            merge);
    const SplitJobs split =
        splitSides(twoSidedJob(doc.format, options, geometry, TurnAxis::Vertical, merge));
    const auto run = [&](const PrintJob& job) {
        const PrintJob* const runJob = &job;
        return [&, runJob](PrintProgress* progress) {
            return runPrintJob(printer, doc, ctx, *runJob, dialogs, progress);
        };
    };
    const int fronts = runAndReport(target, split.fronts, waitSeconds, layout, run(split.fronts),
                                    [](const PrintRunResult& result, const QByteArray& to) {
                                        std::printf(
                                            "printed the outsides of %d card(s) on %d "
                                            "sheet(s) to %s\n",
                                            result.cards, result.pages, to.constData());
                                    });
    if (fronts != kExitOk) return fronts;
    std::fprintf(stderr,
                 "The outsides are printed. Turn the sheets over like a book page (about their "
                 "vertical middle), put them back so that the blank backs are printed and the "
                 "top edge goes in first, and press Enter.\n");
    std::fflush(stderr);
    char answer[256];
    if (!std::fgets(answer, sizeof answer, stdin)) {
        printError(QStringLiteral("stopped after the outsides: the insides were not printed"));
        return kExitFailure;
    }
    return runAndReport(target, split.backs, waitSeconds, layout, run(split.backs),
                        [](const PrintRunResult& result, const QByteArray& to) {
                            std::printf(
                                "printed %d card(s) on both sides of %d sheet(s) to %s, "
                                "the sheets turned by hand\n",
                                result.cards, result.pages, to.constData());
                        });
}

// Both sides on each sheet: to a PDF file the front and back pages alternating, to a printer
// one duplex job, or with `turnSheets` two jobs and the sheets turned by hand between them. A
// printer without duplex is otherwise refused before anything is printed.
int printBothSides(PrinterTarget& target, CardDocument& doc, RenderContext& ctx,
                   UserDialogs& dialogs, const PrintOptions& options, std::optional<FlipEdge> flip,
                   bool alignment, bool layout, int waitSeconds, const MergeRun* merge,
                   bool turnSheets = false) {
    QPrinter& printer = target.printer();
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    DuplexChoice choice{QPrinter::DuplexNone, turnAxis(flip.value_or(FlipEdge::Long), orientation)};
    if (!target.isPdf()) {
        if (turnSheets)
            return printTurningSheets(target, doc, ctx, dialogs, options, layout, waitSeconds,
                                      merge);
        choice = chooseDuplex(printerDuplexModes(printer), orientation, flip);
        if (choice.mode == QPrinter::DuplexNone) {
            printError(QStringLiteral("the printer \"%1\" cannot print both sides of a sheet; "
                                      "add --turn-sheets to print the outsides, turn the sheets "
                                      "over by hand and print the insides")
                           .arg(printer.printerName()));
            return kExitFailure;
        }
    }
    const DeviceGeometry geometry = target.geometry();
    if (layout && !alignment)
        printTwoSidedLayout(twoSidedCards(doc.format, runSettings(options, doc.format, merge),
                                          options.calibration, geometry, choice.axis),
                            merge);
    const PrintJob job = alignment ? alignmentJob(geometry, options.calibration, choice.axis)
                                   : twoSidedJob(doc.format, options, geometry, choice.axis, merge);
    std::optional<DuplexForRun> duplex;
    if (choice.mode != QPrinter::DuplexNone) duplex.emplace(printer, choice.mode);
    if (duplex && !duplex->applied()) {
        printError(QStringLiteral("the printer \"%1\" did not take the two-sided setting; try "
                                  "the other --flip edge")
                       .arg(printer.printerName()));
        return kExitFailure;
    }
    return runAndReport(
        target, job, waitSeconds, layout,
        [&](PrintProgress* progress) {
            return runPrintJob(printer, doc, ctx, job, dialogs, progress);
        },
        [alignment](const PrintRunResult& result, const QByteArray& to) {
            if (alignment) {
                std::printf("printed the alignment sheet on both sides to %s\n", to.constData());
            } else {
                // Each card is drawn twice, its outside on the front and its inside on the back.
                std::printf("printed %d card(s) on both sides of %d sheet(s) to %s\n",
                            result.cards / 2, result.pages / 2, to.constData());
            }
        });
}

// Prints the copies as quarter-fold sheets: both sides of the card on one side of each sheet.
int printQuarterFold(CardDocument& doc, RenderContext& ctx, const PrintOptions& options,
                     PrinterTarget& target, bool layout, UserDialogs& dialogs, int waitSeconds,
                     const MergeRun* merge) {
    const QSizeF paper = paperSizeMm(target.printer());
    if (!quarterFoldFits(doc.format, paper)) {
        printError(QStringLiteral("the card (%1 × %2 mm unfolded) does not fit on half of the "
                                  "%3 × %4 mm paper; a quarter-fold card needs half a sheet")
                       .arg(doc.format.cardWidth)
                       .arg(doc.format.cardHeight)
                       .arg(paper.width())
                       .arg(paper.height()));
        return kExitFailure;
    }
    const DeviceGeometry geometry = target.geometry();
    if (layout)
        printQuarterFoldLayout(
            quarterFoldPlacements(doc.format, runSettings(options, doc.format, merge).copies,
                                  options.calibration, geometry, paper),
            merge);
    const PrintJob job = quarterFoldJob(doc.format, options, geometry, paper, merge);
    return runAndReport(
        target, job, waitSeconds, layout,
        [&](PrintProgress* progress) {
            return runPrintJob(target.printer(), doc, ctx, job, dialogs, progress);
        },
        [](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d quarter-fold card(s) on %d sheet(s) to %s\n", result.pages,
                        result.pages, to.constData());
        });
}

}  // namespace

int runPrint(const QStringList& args) {
    const Command& self = findCommand("print");
    QString card, side, calibrationFile, pdf, printerName, paper, orientationName;
    PrintOptions options;
    std::optional<int> dpi;
    int waitSeconds = kJobWaitDefaultSeconds;
    bool layout = false;
    bool alignment = false;
    QString flipName;
    bool quarterFold = false, usedGiven = false, turnSheets = false;
    QString mergeList, rowsSpec;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--side")) {
            if (!value(side)) return usageError(self, QStringLiteral("--side needs a value"));
        } else if (a == QLatin1String("--copies")) {
            const auto n = value(v) ? intArg(v, kCopiesMin, kCopiesMax) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--copies needs a number 1..1000"));
            options.settings.copies = *n;
        } else if (a == QLatin1String("--used")) {
            const auto n = value(v) ? intArg(v, kUsedMin, kUsedMax) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--used needs a number 0..100"));
            options.settings.usedPositions = *n;
            usedGiven = true;
        } else if (a == QLatin1String("--cut")) {
            options.cutLines = true;
        } else if (a == QLatin1String("--fold")) {
            options.foldLines = true;
        } else if (a == QLatin1String("--calibration")) {
            if (!value(calibrationFile))
                return usageError(self, QStringLiteral("--calibration needs a file"));
        } else if (a == QLatin1String("--pdf")) {
            if (!value(pdf)) return usageError(self, QStringLiteral("--pdf needs a file"));
        } else if (a == QLatin1String("--printer")) {
            if (!value(printerName))
                return usageError(self, QStringLiteral("--printer needs a name"));
        } else if (a == QLatin1String("--paper")) {
            if (!value(paper)) return usageError(self, QStringLiteral("--paper needs a name"));
        } else if (a == QLatin1String("--orientation")) {
            if (!value(orientationName))
                return usageError(self, QStringLiteral("--orientation needs a value"));
        } else if (a == QLatin1String("--dpi")) {
            dpi = value(v) ? intArg(v, 36, 4800) : std::nullopt;
            if (!dpi) return usageError(self, QStringLiteral("--dpi needs a number 36..4800"));
        } else if (a == QLatin1String("--wait")) {
            const auto n = value(v) ? intArg(v, 0, 86400) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--wait needs seconds 0..86400"));
            waitSeconds = *n;
        } else if (a == QLatin1String("--layout")) {
            layout = true;
        } else if (a == QLatin1String("--flip")) {
            if (!value(flipName)) return usageError(self, QStringLiteral("--flip needs a value"));
        } else if (a == QLatin1String("--alignment-sheet")) {
            alignment = true;
        } else if (a == QLatin1String("--quarter-fold")) {
            quarterFold = true;
        } else if (a == QLatin1String("--turn-sheets")) {
            turnSheets = true;
        } else if (a == QLatin1String("--merge")) {
            if (!value(mergeList)) return usageError(self, QStringLiteral("--merge needs a list"));
        } else if (a == QLatin1String("--rows")) {
            if (!value(rowsSpec)) return usageError(self, QStringLiteral("--rows needs rows"));
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(self, QStringLiteral("unknown option %1").arg(a));
        } else if (card.isEmpty()) {
            card = a;
        } else {
            return usageError(self, QStringLiteral("only one card file"));
        }
    }
    if (alignment && !card.isEmpty())
        return usageError(self, QStringLiteral("--alignment-sheet prints no card"));
    if (card.isEmpty() && !alignment) return usageError(self, QStringLiteral("no card file given"));
    int sideValue = 0;
    bool bothSides = alignment;
    if (side == QLatin1String("outside")) {
        sideValue = SideOutside;
    } else if (side == QLatin1String("inside")) {
        sideValue = SideInside;
    } else if (side == QLatin1String("both")) {
        bothSides = true;
    } else if (!(alignment || quarterFold) || !side.isEmpty()) {
        return usageError(self, QStringLiteral("--side must be outside, inside or both"));
    }
    if (alignment && !side.isEmpty() && side != QLatin1String("both"))
        return usageError(self, QStringLiteral("the alignment sheet has both sides"));
    std::optional<FlipEdge> flip;
    if (flipName == QLatin1String("long")) {
        flip = FlipEdge::Long;
    } else if (flipName == QLatin1String("short")) {
        flip = FlipEdge::Short;
    } else if (!flipName.isEmpty()) {
        return usageError(self, QStringLiteral("--flip must be long or short"));
    }
    if (flip && !bothSides)
        return usageError(self, QStringLiteral("--flip needs --side both or --alignment-sheet"));
    if (turnSheets && (side != QLatin1String("both") || alignment))
        return usageError(self, QStringLiteral("--turn-sheets needs --side both"));
    if (turnSheets && !pdf.isEmpty())
        return usageError(self, QStringLiteral("--turn-sheets is for a printer; a PDF file holds "
                                               "front and back pages alternating"));
    if (turnSheets && flip)
        return usageError(self, QStringLiteral("--turn-sheets turns the sheets like a book page; "
                                               "--flip is for a printer's duplex"));
    // A quarter-fold sheet holds both sides of one card; there are no positions to skip.
    if (quarterFold && usedGiven)
        return usageError(self, QStringLiteral("--used does not go with --quarter-fold"));
    if (quarterFold && bothSides)
        return usageError(self, QStringLiteral("--quarter-fold prints both sides already"));
    if (alignment && !mergeList.isEmpty())
        return usageError(self,
                          QStringLiteral("--merge prints cards; the alignment sheet has none"));
    if (!rowsSpec.isEmpty() && mergeList.isEmpty())
        return usageError(self, QStringLiteral("--rows needs --merge"));
    if (!pdf.isEmpty() && !printerName.isEmpty())
        return usageError(self, QStringLiteral("give either --pdf or --printer, not both"));
    std::optional<QPageSize> pageSize;
    if (!paper.isEmpty()) {
        pageSize = pageSizeNamed(paper);
        if (!pageSize) return usageError(self, QStringLiteral("unknown paper \"%1\"").arg(paper));
    }
    std::optional<QPageLayout::Orientation> orientation;
    if (orientationName == QLatin1String("portrait")) {
        orientation = QPageLayout::Portrait;
    } else if (orientationName == QLatin1String("landscape")) {
        orientation = QPageLayout::Landscape;
    } else if (!orientationName.isEmpty()) {
        return usageError(self, QStringLiteral("--orientation must be portrait or landscape"));
    }

    if (!calibrationFile.isEmpty()) {
        const auto stored = readCalibrationFile(calibrationFile);
        if (!stored) {
            printError(QStringLiteral("cannot read the calibration file \"%1\" (32 bytes expected)")
                           .arg(calibrationFile));
            return kExitFailure;
        }
        // The same values the calibration dialog would show and apply.
        options.calibration = normalizedCalibration(*stored);
    }

    // Where to print: the PDF file (the print service is not asked at all), the named printer,
    // or the system's default printer. The service is asked, within its time limits, before
    // Qt is told about any printer: Qt itself would wait on a silent server without end.
    PrinterTarget target;
    if (!pdf.isEmpty()) {
        target.usePdf(pdf);
        target.printer().setResolution(kPdfResolution);
        target.printer().setPageSize(QPageSize(QPageSize::A4));
    } else {
        const PrintService service = cups::askService();
        const QString name = printerName.isEmpty() ? service.defaultPrinter : printerName;
        if (printerName.isEmpty() && service.answers() && name.isEmpty()) {
            printError(QStringLiteral(
                "nothing to print to: this machine has no printer; name a PDF file with --pdf "
                "OUT.pdf or a printer with --printer NAME"));
            return kExitFailure;
        }
        if (const QString refusal = queueRefusal(service, name); !refusal.isEmpty()) {
            printError(printerName.isEmpty()
                           ? QStringLiteral("nothing to print to: %1; name a PDF file with --pdf "
                                            "OUT.pdf")
                                 .arg(refusal)
                           : refusal);
            return kExitFailure;
        }
        if (!target.selectPrinter(name)) {
            printError(QStringLiteral("there is no printer named \"%1\"").arg(name));
            return kExitFailure;
        }
    }
    if (dpi) target.printer().setResolution(*dpi);

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (alignment) {
        applyPaper(target, nullptr, pageSize, orientation);
        return printBothSides(target, *doc, ctx, dialogs, options, flip, true, layout, waitSeconds,
                              nullptr);
    }
    // With --merge, --copies counts the cards of each row.
    std::optional<MergeRun> merge;
    if (!mergeList.isEmpty()) {
        merge.emplace();
        if (!loadMerge(mergeList, rowsSpec, options.settings.copies, *merge)) return kExitFailure;
    }
    const MergeRun* const mergeRun = merge ? &*merge : nullptr;
    CardFileContext fc{dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()),
                       {},      {},  {}};
    fc.createPreview = &createCardPreview;
    if (!openCardFile(*doc, card, fc)) {
        printError(QStringLiteral("cannot open the card \"%1\"").arg(card));
        return kExitFailure;
    }
    applyPaper(target, &doc->format, pageSize, orientation);
    if (merge) warnMissingFields(*doc, *merge->list);
    if (bothSides)
        return printBothSides(target, *doc, ctx, dialogs, options, flip, false, layout, waitSeconds,
                              mergeRun, turnSheets);
    if (quarterFold)
        return printQuarterFold(*doc, ctx, options, target, layout, dialogs, waitSeconds, mergeRun);

    if (layout)
        printLayout(printPlacements(doc->format, runSettings(options, doc->format, mergeRun),
                                    sideValue, options.calibration, target.geometry()),
                    mergeRun);
    const PrintJob job = sideJob(*doc, sideValue, options, target.geometry(), mergeRun);
    return runAndReport(
        target, job, waitSeconds, layout,
        [&](PrintProgress* progress) {
            return runPrintJob(target.printer(), *doc, ctx, job, dialogs, progress);
        },
        [](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d card(s) on %d sheet(s) to %s\n", result.cards, result.pages,
                        to.constData());
        });
}

}  // namespace bb::cli
