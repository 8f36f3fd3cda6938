// The "Drucken" tab: the print settings (used positions, copies, shown sheet, cut and fold
// lines), the sheet preview with its zoom, and the print, printer set-up and calibration
// commands. The main window embeds it and connects its menus to the public slots.
#pragma once

#include "print/SheetLayout.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace bb {

class CardDocument;
struct RenderContext;
class UserDialogs;
class PrinterTarget;
class CalibrationDialog;
class SheetPreview;
struct JobOutcome;

inline const QString kNoPrinterNotice = QStringLiteral(
    "Es ist kein Drucker eingerichtet. Die Karten werden als PDF-Datei gespeichert.");

class PrintTab : public QWidget {
    Q_OBJECT

public:
    PrintTab(CardDocument& doc, RenderContext& ctx, UserDialogs& dialogs,
             const QString& programFolder, QWidget* parent = nullptr);
    ~PrintTab() override;

    // The window's function that activates a side tab of the editor and switches
    // the working side; the print commands switch sides through it.
    void setSideSelector(std::function<void(int side)> selector);

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

    // Prints the working side to the current printer, without a print dialog. On a real
    // printer the tab then follows the job in the background (jobFollowed): a failed job
    // shows its reason in a message, a printed one a note in the status line.
    void printCards();
    // How long the tab follows a job (tests shorten it).
    void setJobWaitMs(int ms) { jobWaitMs_ = ms; }

public slots:
    void printOutside();  // "Außen drucken", menu "&Drucken..."
    void printInside();   // "Innen drucken"
    void setUpPrinter();  // "Einrichten", menu "Drucker &einrichten..."
    void calibrate();     // menu "Drucker &kalibrieren..."
    void zoomIn();
    void zoomOut();

signals:
    void cardFormatRequested();  // "Kartenformat" (VFormatBtn)
    void exportRequested();      // "eMail Export" (EMailBtn)
    void printed();              // after a print run: the window repaints both editor views
    void statusNote(const QString& text);     // for the window's status line
    void jobFollowed(const bb::JobOutcome&);  // a followed job left the queue (or the wait ended)

private:
    void usedPositionsChanged();
    void sheetSettingsChanged();
    void showSettings(const PrintSettings& s);
    void selectSide(int side);
    std::optional<int> jobsBeforeRun() const;
    void followJob(int jobsBefore);

    CardDocument& doc_;
    RenderContext& ctx_;
    UserDialogs& dialogs_;
    QString programFolder_;
    std::function<void(int)> sideSelector_;
    std::unique_ptr<PrinterTarget> printer_;
    CalibrationDialog* calibrationDialog_ = nullptr;
    SheetPreview* preview_ = nullptr;
    QScrollArea* previewScroll_ = nullptr;
    QSpinBox* usedEdit_ = nullptr;
    QSpinBox* copiesEdit_ = nullptr;
    QSpinBox* sheetEdit_ = nullptr;
    QCheckBox* cutLinesCheck_ = nullptr;
    QCheckBox* foldLinesCheck_ = nullptr;
    int zoom_ = kPreviewZoomStart;
    bool noPrinterNoticeShown_ = false;
    int jobWaitMs_ = 10 * 60 * 1000;  // a printer may well need minutes
};

}  // namespace bb
