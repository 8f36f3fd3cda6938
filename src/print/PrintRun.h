// runPrintJob draws the pages of a print job onto any paged device (a QPrinter, a PDF writer);
// printCards prints one side of the card on sheets of several cards, with copies, used
// positions, calibration, the mirrored inside, and cut and fold lines. Also the line drawing
// shared with the preview and the calibration test page.
#pragma once

#include "print/PrintPages.h"
#include "print/SheetLayout.h"

#include "merge/MergeSelection.h"

#include <QString>

#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace bb {

struct AddressList;
class CardDocument;
struct RenderContext;
class UserDialogs;

inline const QString kPrintJobTitle = QStringLiteral("Tovarin Brisella-Bildwerker 1.0 Grußkarte");
inline const QString kTestPrintTitle = QStringLiteral("Format-Drucker Testdruck");
inline const QString kUnequalResolutionText = QStringLiteral(
    "Diese Meldung dürfte nie erscheinen. Das Programm kann mit diesem Drucker "
    "wahrscheinlich nicht korrekt drucken.");
// Each cut outline and fold line is traced this often over the same path.
inline constexpr int kLinePasses = 2;

struct PrintOptions {
    PrintSettings settings;
    bool cutLines = false;   // "Schneidelinien"
    bool foldLines = false;  // "Faltelinien"
    Calibration calibration;
};

struct PrintRunResult {
    bool ok = false;
    bool cancelled = false;  // stopped by the progress hook; error then says so
    QString error;           // the printer service's failure, when !ok
    PrintSettings settings;  // the settings after the clamps (shown back in the spin edits)
    int pages = 0;
    int cards = 0;
};

inline const QString kPrintCancelledText = QStringLiteral("Der Druck wurde abgebrochen.");

// Told before each page of a run is drawn. Returning false cancels the run: a printer job is
// aborted (nothing reaches the printer) and a PDF file keeps its earlier content.
class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    // `page` counts from 1 up to `pages`.
    virtual bool pageStarting(int page, int pages) = 0;
};

// Personal cards: the run's cards are the plan's, each filled from its row of the list.
struct MergeRun {
    std::shared_ptr<const AddressList> list;
    MergePlan plan;
};

struct PrintJob {
    QString title = kPrintJobTitle;
    std::vector<PrintPage> pages;
    // The card contents are drawn at the calibrated millimetres per inch; the positions in
    // `pages` already hold the calibration.
    Calibration calibration;
    // Pages printed on one sheet of paper (2 for a two-sided job), for progress in sheets.
    int pagesPerSheet = 1;
    // The list that the cards' records (PageCard::record) name rows of; null without a merge.
    std::shared_ptr<const AddressList> addresses;
};

// The clamped settings of a run of cards of `format`: a merge prints its own number of cards
// (each chosen row times its copies) instead of the settings' copies.
PrintSettings runSettings(const PrintOptions& options, const CardFormat& format,
                          const MergeRun* merge);

// The job of printCards: `side` of `doc` (which also decides the mirror) with the clamped
// settings of `options`. With `merge`, the cards are the merge's (options' copies are not
// used), each with its record.
PrintJob sideJob(const CardDocument& doc, int side, const PrintOptions& options,
                 const DeviceGeometry& device, const MergeRun* merge = nullptr);
// How the cards of a job's pages make up the cards of a run.
enum class RunCards {
    EachCard,      // every card on a page is a card of the run (one side printed)
    FrontAndBack,  // pages come in front/back pairs; the back's cards follow the front's
    EachPage,      // every page is one card of the run (a quarter-fold sheet)
};
// Gives the cards of the job, in run order, the rows of the merge's cards and the job the
// merge's list.
void assignRecords(PrintJob& job, const MergeRun& merge, RunCards runCards = RunCards::EachCard);

// Draws the pages of `job` in order: on each page its cards (each side as the card holds it),
// then the cut outlines, then the fold lines. Begins and ends the document on `device` itself.
// The cards are drawn in output mode at the device's resolution with the job's calibrated
// millimetres per inch; the card and `ctx` are only read, so views may paint while a progress
// hook lets the event loop run. A QPrinter writing a PDF file writes into a
// temporary file beside it, which replaces the chosen file only when the run completed and
// the result is a whole PDF; otherwise the earlier file stays and the error says why.
PrintRunResult runPrintJob(QPagedPaintDevice& device, const CardDocument& doc,
                           const RenderContext& ctx, const PrintJob& job, UserDialogs& dialogs,
                           PrintProgress* progress = nullptr);

// Prints `side` (which also decides the mirror): runPrintJob of sideJob. Begins and ends the
// document on `device` itself.
PrintRunResult printCards(QPagedPaintDevice& device, const CardDocument& doc, int side,
                          const RenderContext& ctx, const PrintOptions& options,
                          UserDialogs& dialogs, PrintProgress* progress = nullptr);

// The cut outline of a card (x, y, w, h device pixels): one-pixel dotted black line with
// white gaps around the rectangle from (x, y) to (x + w, y + h), traced kLinePasses times.
void drawCutOutline(QPainter& painter, int x, int y, int w, int h);
// The fold line: one-pixel dash-dot black line with white gaps from (x, y) down by h.
void drawFoldLine(QPainter& painter, int x, int y, int h);
// The same line between any two points (a horizontal fold of a quarter-fold sheet).
void drawFoldLine(QPainter& painter, const QLine& line);

// The calibration test page: a light grey 100 mm square with a black outline at the corner
// of the printable area, nominal millimetres per inch, no calibration. Begins and ends the
// document itself.
PrintRunResult printTestSquare(QPagedPaintDevice& device);

}  // namespace bb
