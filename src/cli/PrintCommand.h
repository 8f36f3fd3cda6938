// The parts of brisella-cli print: choosing the run from the arguments (PrintRequest.cpp),
// choosing the target it prints onto (PrintDestination.cpp), and running and reporting a job
// (PrintReport.cpp). CmdPrint.cpp puts them together.
#pragma once

#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "print/TwoSided.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QByteArray;

namespace bb {
class PrinterTarget;
struct CardFormat;
struct CardPlacement;
struct QuarterFoldCard;
struct TwoSidedCard;
}  // namespace bb

namespace bb::cli {

// What one `print` command asks for, checked: every combination that cannot go together has
// been refused as wrong usage.
struct PrintRequest {
    QString card;  // empty for the alignment sheet
    PrintOptions options;
    QString calibrationFile;
    QString pdf;
    QString printerName;
    std::optional<QPageSize> pageSize;
    std::optional<QPageLayout::Orientation> orientation;
    std::optional<int> dpi;
    int waitSeconds = kJobWaitDefaultSeconds;
    int side = 0;  // SideOutside or SideInside, for a one-sided run
    bool bothSides = false;
    std::optional<FlipEdge> flip;
    bool layout = false;
    bool alignment = false;
    bool quarterFold = false;
    bool turnSheets = false;
    QString mergeList;
    QString rowsSpec;
    QString mapText;  // --map FIELD=COLUMN,...
};

// Reads the arguments after "print" into `out`; the reason they are wrong usage, or empty.
QString parsePrintRequest(const QStringList& args, PrintRequest& out);

// Sets up the PDF file or the printer the request names (the default printer when it names
// neither), with its resolution; false with the reason on standard error.
bool choosePrintTarget(const PrintRequest& request, PrinterTarget& target);
// Sets the sheet: an explicit paper wins, turned so that the card's grid fits it where only
// landscape does; without it the card type's paper (a type no common paper holds keeps the
// target's). An explicit orientation wins over both. No card (`format` null): the alignment
// sheet.
void applyPaper(PrinterTarget& target, const CardFormat* format,
                const std::optional<QPageSize>& pageSize,
                std::optional<QPageLayout::Orientation> orientation);

// Where every card of a run goes, one JSON object per line on standard output.
void printLayout(const std::vector<CardPlacement>& cards, const MergeRun* merge);
void printTwoSidedLayout(const std::vector<TwoSidedCard>& cards, const MergeRun* merge);
void printQuarterFoldLayout(const std::vector<QuarterFoldCard>& cards, const MergeRun* merge);

using RunJob = std::function<PrintRunResult(PrintProgress*)>;
using ReportJob = std::function<void(const PrintRunResult&, const QByteArray& to)>;
// Runs a print job onto the target, with one progress line per sheet on a terminal, and
// reports it: the error, or (unless the layout lines were asked for) the line `summary` makes
// of the result and the destination. On a real printer the run counts once the queue has
// printed the job. Returns the exit status.
int runAndReport(PrinterTarget& target, const PrintJob& job, int waitSeconds, bool layout,
                 const RunJob& run, const ReportJob& summary);

}  // namespace bb::cli
