// "eMail Export" on the print tab: draws the edited side at 96 pixels per inch and saves it
// as a picture file of the type chosen in a save dialog.
#pragma once

#include "editor/StartFolder.h"

#include <QObject>
#include <QString>

class QWidget;

namespace bb {

class CardDocument;
struct RenderContext;
class UserDialogs;

// The resolution of the current printer (or of the PDF fallback when none is installed).
struct PrinterResolution {
    int dpiX = 600;
    int dpiY = 600;
    bool havePrinter = false;
};

class ExportController : public QObject {
    Q_OBJECT
public:
    ExportController(CardDocument& doc, RenderContext& ctx, UserDialogs& dialogs,
                     QWidget* dialogParent);

    // Replaces the printer query (tests; the default reads the system's default printer).
    void setPrinterQuery(PrinterResolution (*query)()) { printerQuery_ = query; }
    // The system's default printer, or A4 at 600 dpi for PDF output when there is none.
    static PrinterResolution defaultPrinterResolution();

    // The file written by the last export, empty when it was cancelled (tests, status bar).
    QString lastExportPath() const { return lastPath_; }
    // Where the save dialog starts: the folder exported to last, else the card's folder, else
    // the card folder.
    StartFolder& startFolder() { return startFolder_; }

public slots:
    void exportShownSide(int side);

private:
    CardDocument& doc_;
    RenderContext& ctx_;
    UserDialogs& dialogs_;
    QWidget* dialogParent_;
    PrinterResolution (*printerQuery_)() = &ExportController::defaultPrinterResolution;
    QString lastPath_;
    StartFolder startFolder_{QStringLiteral("Ordner/Export")};
};

}  // namespace bb
