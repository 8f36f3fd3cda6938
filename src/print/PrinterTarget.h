// The current printer of the program: a PDF file on A4 at 600 dpi until the system's default
// printer is known (useDefaultPrinter) or a printer is chosen; making one never waits on the
// print service. The print tab and brisella-cli set the card type's paper and orientation
// (useCardPaper). A machine without printers is a normal case: each print job then asks for
// the PDF file's name.
#pragma once

#include "document/CardPaper.h"
#include "print/SheetLayout.h"

#include <QString>

#include <memory>

class QPrinter;
class QPagedPaintDevice;

namespace bb {

class UserDialogs;

inline constexpr int kPdfResolution = 600;

class PrinterTarget {
public:
    PrinterTarget();
    ~PrinterTarget();
    PrinterTarget(const PrinterTarget&) = delete;
    PrinterTarget& operator=(const PrinterTarget&) = delete;

    QPrinter& printer() { return *printer_; }
    const QPrinter& printer() const { return *printer_; }

    // True when the printer writes a PDF file instead of printing.
    bool isPdf() const;
    // Names of the system's printers (empty on a machine without printers).
    static QStringList printerNames();

    // Selects a system printer by name; false (nothing changed) when there is no such one.
    // Qt asks the print service about it without a time limit: ask first (cups::askService)
    // whether the service answers.
    bool selectPrinter(const QString& name);
    // Takes the system's default printer found by cups::askService, unless a printer or a PDF
    // file was chosen meanwhile (selectPrinter, usePdf). False when it stays as it is.
    bool useDefaultPrinter(const QString& name);
    // The person chose the printer in the set-up dialog: the default found later does not
    // replace it.
    void noteChosen() { chosen_ = true; }
    // Writes to `fileName` as PDF from now on (A4, 600 dpi until changed).
    void usePdf(const QString& fileName);
    // On a PDF file the printable area is the whole sheet, on a printer what its driver says;
    // called again after the set-up dialog, which may switch between the two.
    void matchPrintableArea();

    // Takes the paper and orientation a card type is printed on; a type that no common paper
    // holds (paper.known() false) changes nothing. False when the printer refused the paper.
    bool useCardPaper(const CardPaper& paper);

    // Before a job on the PDF path: asks for the file name in a save dialog (the last name is
    // offered again). False when the person cancels. Always true for a real printer.
    bool chooseOutput(UserDialogs& dialogs);

    // Resolution, sheet and printable area of the current printer, in device pixels.
    DeviceGeometry geometry() const;

private:
    bool switchTo(const QString& name);

    std::unique_ptr<QPrinter> printer_;
    bool chosen_ = false;  // selectPrinter or usePdf was called
};

// Resolution, sheet and printable area of any paged device (QPrinter, QPdfWriter).
DeviceGeometry deviceGeometry(const QPagedPaintDevice& device);

}  // namespace bb
