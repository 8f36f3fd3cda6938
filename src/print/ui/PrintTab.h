// The "Drucken" tab: the print settings (used positions, copies, shown sheet, cut and fold
// lines), the sheet preview with its zoom, and the print, printer set-up and calibration
// commands. The main window embeds it and connects its menus to the public slots.
#pragma once

#include "pictures/PicturePixels.h"
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "print/SheetLayout.h"
#include "print/TwoSided.h"
#include "print/ui/PrintProgressDialog.h"

#include <QList>
#include <QPrinter>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace bb {

class CardDocument;
struct RenderContext;
class UserDialogs;
class PrinterTarget;
class CalibrationDialog;
struct JobOutcome;
class SheetPreview;
class PrintServiceAsker;
class MergeSession;

inline const QString kNoPrinterNotice = QStringLiteral(
    "Es ist kein Drucker eingerichtet. Die Karten werden als PDF-Datei gespeichert.");
// Shown in the tab while the print service takes connections but does not answer.
inline const QString kServiceSilentText = QStringLiteral("Der Druckdienst antwortet nicht");
inline const QString kServiceSilentNotice =
    QStringLiteral("Der Druckdienst antwortet nicht. Die Karten werden als PDF-Datei gespeichert.");

class PrintTab : public QWidget {
    Q_OBJECT

public:
    PrintTab(const CardDocument& doc, const RenderContext& ctx, UserDialogs& dialogs,
             const QString& programFolder, QWidget* parent = nullptr);
    ~PrintTab() override;

    // The window's function that activates a side tab of the editor; the print commands
    // show the side they print through it.
    void setSideSelector(std::function<void(int side)> selector);
    // The window's function that tells which side the editor shows (the preview's sheet).
    void setSideSource(std::function<int()> source);
    // Where the sheet preview gets its pictures' pixels (SheetPreview::setPictures).
    void setPictures(std::shared_ptr<const PicturePixels> pictures);
    // Draws the sheet preview again (pictures arrived).
    void repaintPreview();

    // Repaints the sheet preview (after a card is opened, a new card made, the
    // card format changed, and by the start-up layout timer).
    void refreshPreview();

    // The option states persisted by the window (settings "FormStorage1/SchneidBtn.Checked" and
    // "FormStorage1/FalteCheck.Checked").
    bool cutLines() const;
    void setCutLines(bool on);
    bool foldLines() const;
    void setFoldLines(bool on);

    int previewZoom() const;
    // The calibration dialog (created with the tab; it loads "options.dat" at creation).
    CalibrationDialog& calibrationDialog();
    // The current printer (a PDF file when the machine has no printers).
    PrinterTarget& printerTarget();

    // The print settings as the spin edits show them.
    PrintSettings settings() const;

    // Prints `side` to the current printer, without a print dialog. On a real
    // printer the tab then follows the job in the background (jobFollowed): a failed job
    // shows its reason in a message, a printed one a note in the status line.
    void printCards(int side);
    // Prints the merge's cards, each filled from its row, with the tab's used positions, lines
    // and calibration (its copies are the merge's): the outsides, the insides, or both sides
    // as "Beide Seiten drucken" does (one two-sided job, or the sheets turned by hand).
    PrintRunResult printMerge(const MergeRun& merge, MergeSides sides = MergeSides::Outside);
    // Shows the record bar of `session` above the sheet preview; while the session has a list,
    // "Beide Seiten drucken" prints its chosen rows.
    void setMergeSession(MergeSession& session);

    // Replaces the question "Bitte die Blätter wenden und wieder einlegen" between the outsides
    // and the insides on a printer without duplex (true: go on with the insides).
    void setTurnSheetsAsker(std::function<bool()> asker);
    // Takes the current printer as one offering these duplex modes, also on the PDF path (so
    // the printer paths can be driven onto a file); nullopt asks the printer itself again.
    void setDuplexModesOverride(std::optional<QList<QPrinter::DuplexMode>> modes);
    // Why the card cannot be printed as a quarter-fold sheet on the current paper; empty when
    // it can.
    QString quarterFoldRefusal() const;
    // How the print service met the tab's question for its printers (asked in the background
    // when the tab is made); nullopt while the question is under way.
    std::optional<ServiceState> printService() const { return serviceState_; }
    // True while a run is going: a second one is refused, and the card must not change.
    bool isPrinting() const { return printing_; }
    // How long a run goes before its progress dialog appears (kPrintProgressDelayMs).
    void setProgressDelay(int ms) { progressDelayMs_ = ms; }
    // Called at each page of a run with its progress dialog (tests press "Abbrechen").
    void setPageHook(PrintProgressDialog::PageHook hook) { pageHook_ = std::move(hook); }

public slots:
    void printOutside();  // "Außen drucken", menu "&Drucken..."
    void printInside();   // "Innen drucken"
    // "Beide Seiten drucken": outsides and insides back to back, in one duplex job, or by
    // turning the sheets; on the PDF path one file with front and back pages alternating.
    // With an address list, one card for each chosen row (and copy) of the list.
    void printBothSides();
    // "Ausrichtungsseite drucken": one sheet with crosses on both sides.
    void printAlignmentSheet();
    // After a card was opened or made new (the window's documentReplaced): the printer takes
    // the paper and orientation of the card's type (CardPaper), and the preview shows that
    // sheet. "Einrichten" can change them afterwards.
    void takeCardPaper();
    void setUpPrinter();  // "Einrichten", menu "Drucker &einrichten..."
    // After the set-up dialog's OK: the printer and the orientation chosen there stay for the
    // session; later cards take them wherever their grid fits that way.
    void keepPrinterChoice();
    void calibrate();  // menu "Drucker &kalibrieren..."
    // "Viertelfalz": the copies as quarter-fold sheets, both sides on one side of each sheet.
    void printQuarterFold();
    void zoomIn();
    void zoomOut();

protected:
    // The preview shows the quarter-fold sheet while the pointer is on "Viertelfalz".
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void cardFormatRequested();  // "Kartenformat" (VFormatBtn)
    void exportRequested();      // "eMail Export" (EMailBtn)
    void mergeRequested();       // "Serienkarten" (SerienkartenBtn)
    void printed();              // after a print run: the window repaints both editor views
    void statusNote(const QString& text);     // for the window's status line
    void jobFollowed(const bb::JobOutcome&);  // a followed job left the queue (or the wait ended)
    void printServiceKnown();                 // the print service answered, or did not

private:
    // Runs a job on the current printer: asks for the PDF file first on the PDF path (false
    // result, nothing printed, when that is cancelled), shows its progress, reports a failure,
    // follows the job on a real printer's queue, and repaints the preview and the editor views
    // afterwards.
    PrintRunResult runJob(const PrintJob& job);
    // Runs a two-sided job (made for the axis the sheet turns about) as the printer allows:
    // one duplex job, or the fronts, the turn question and the backs.
    PrintRunResult runTwoSided(const std::function<PrintJob(TurnAxis)>& makeJob);
    // The print options as the tab shows them.
    PrintOptions currentOptions() const;
    // The parts of the tab, each with its controls connected.
    QVBoxLayout* buildSettingsColumn();       // counts, zoom, page and lines
    void addSheetButtons(QVBoxLayout* left);  // the further ways of printing
    QVBoxLayout* buildPreviewColumn();        // tool bar and preview
    void usedPositionsChanged();
    void sheetSettingsChanged();
    void showSettings(const PrintSettings& s);
    void selectSide(int side);
    void updateQuarterFold();
    std::optional<int> jobsBeforeRun() const;
    // Follows the job just handed to the printer's queue, found by its title.
    void followJob(int jobsBefore, const QString& title);
    // The background question's answer: the default printer becomes the target (unless one
    // was chosen meanwhile), a silent service is shown in the tab.
    void serviceAnswered(const PrintService& service);
    // Before a run while the question is still under way: waits for its answer (bounded by
    // its time limit), with events running.
    void waitForService();

    const CardDocument& doc_;
    const RenderContext& ctx_;
    UserDialogs& dialogs_;
    QString programFolder_;
    std::function<void(int)> sideSelector_;
    MergeSession* merge_ = nullptr;
    std::function<bool()> turnSheetsAsker_;
    std::optional<QList<QPrinter::DuplexMode>> duplexModesOverride_;
    std::unique_ptr<PrinterTarget> printer_;
    CalibrationDialog* calibrationDialog_ = nullptr;
    SheetPreview* preview_ = nullptr;
    QScrollArea* previewScroll_ = nullptr;
    QVBoxLayout* previewColumn_ = nullptr;  // tool bar, record bar and preview
    QSpinBox* usedEdit_ = nullptr;
    QSpinBox* copiesEdit_ = nullptr;
    QSpinBox* sheetEdit_ = nullptr;
    QCheckBox* cutLinesCheck_ = nullptr;
    QCheckBox* foldLinesCheck_ = nullptr;
    QToolButton* quarterFoldBtn_ = nullptr;
    bool quarterFoldHovered_ = false;
    int zoom_ = kPreviewZoomStart;
    bool printing_ = false;
    int progressDelayMs_ = kPrintProgressDelayMs;
    PrintProgressDialog::PageHook pageHook_;
    bool noPrinterNoticeShown_ = false;
    PrintServiceAsker* serviceAsker_ = nullptr;
    std::optional<ServiceState> serviceState_;
    QLabel* serviceLabel_ = nullptr;
    bool waitingForService_ = false;
    std::optional<QPageLayout::Orientation> chosenOrientation_;  // in "Einrichten"
};

}  // namespace bb
