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
#include "cli/PrintCommand.h"

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/Calibration.h"
#include "print/DuplexPrinter.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "render/Preview.h"

#include <QCoreApplication>
#include <QPrinter>

#include <cstdio>
#include <optional>

namespace bb::cli {

namespace {

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

// One side of the card, its copies placed on the sheets in the grid of its type.
int printOneSide(PrinterTarget& target, CardDocument& doc, RenderContext& ctx, UserDialogs& dialogs,
                 const PrintRequest& request, const MergeRun* merge) {
    const PrintOptions& options = request.options;
    if (request.layout)
        printLayout(printPlacements(doc.format, runSettings(options, doc.format, merge),
                                    request.side, options.calibration, target.geometry()),
                    merge);
    const PrintJob job = sideJob(doc, request.side, options, target.geometry(), merge);
    return runAndReport(
        target, job, request.waitSeconds, request.layout,
        [&](PrintProgress* progress) {
            return runPrintJob(target.printer(), doc, ctx, job, dialogs, progress);
        },
        [](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d card(s) on %d sheet(s) to %s\n", result.cards, result.pages,
                        to.constData());
        });
}

// The values of a calibration file, as the calibration dialog would show and apply them;
// false with the failure on standard error.
bool readCalibration(const QString& file, PrintOptions& options) {
    const auto stored = readCalibrationFile(file);
    if (!stored) {
        printError(QStringLiteral("cannot read the calibration file \"%1\" (32 bytes expected)")
                       .arg(file));
        return false;
    }
    options.calibration = normalizedCalibration(*stored);
    return true;
}

// Prints the card of the request (its address list loaded first) onto the chosen target.
int printCard(const PrintRequest& request, PrinterTarget& target, RenderContext& ctx,
              UserDialogs& dialogs) {
    // With --merge, --copies counts the cards of each row.
    std::optional<MergeRun> merge;
    if (!request.mergeList.isEmpty()) {
        merge.emplace();
        if (!loadMerge(request.mergeList, request.rowsSpec, request.options.settings.copies, *merge,
                       request.mapText))
            return kExitFailure;
    }
    const MergeRun* const mergeRun = merge ? &*merge : nullptr;
    CardFileContext fc{dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()),
                       {},      {},  {}};
    fc.createPreview = &createCardPreview;
    auto doc = std::make_unique<CardDocument>();
    if (!openCardFile(*doc, request.card, fc)) {
        printError(QStringLiteral("cannot open the card \"%1\"").arg(request.card));
        return kExitFailure;
    }
    applyPaper(target, &doc->format, request.pageSize, request.orientation);
    if (merge) warnMissingFields(*doc, *merge->list);
    if (request.bothSides)
        return printBothSides(target, *doc, ctx, dialogs, request.options, request.flip, false,
                              request.layout, request.waitSeconds, mergeRun, request.turnSheets);
    if (request.quarterFold)
        return printQuarterFold(*doc, ctx, request.options, target, request.layout, dialogs,
                                request.waitSeconds, mergeRun);
    return printOneSide(target, *doc, ctx, dialogs, request, mergeRun);
}

}  // namespace

int runPrint(const QStringList& args) {
    PrintRequest request;
    if (const QString wrong = parsePrintRequest(args, request); !wrong.isEmpty())
        return usageError(findCommand("print"), wrong);
    if (!request.calibrationFile.isEmpty() &&
        !readCalibration(request.calibrationFile, request.options))
        return kExitFailure;
    PrinterTarget target;
    if (!choosePrintTarget(request, target)) return kExitFailure;
    ConsoleDialogs dialogs;
    RenderContext ctx;
    if (!request.alignment) return printCard(request, target, ctx, dialogs);
    applyPaper(target, nullptr, request.pageSize, request.orientation);
    auto none = std::make_unique<CardDocument>();  // the sheet of crosses draws no card
    return printBothSides(target, *none, ctx, dialogs, request.options, request.flip, true,
                          request.layout, request.waitSeconds, nullptr);
}

}  // namespace bb::cli
