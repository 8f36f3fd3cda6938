// The current printer; see PrinterTarget.h.
#include "print/PrinterTarget.h"

#include "document/UserDialogs.h"
#include "print/CupsQueue.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

namespace bb {

PrinterTarget::PrinterTarget() {
    // A PDF file until a printer is chosen: nothing here may wait on the print service, which
    // QPrinter's constructor would ask for its default printer.
    cups::withoutService([this] {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
    });
    printer_->setResolution(kPdfResolution);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    matchPrintableArea();
}

PrinterTarget::~PrinterTarget() = default;

bool PrinterTarget::isPdf() const {
    return printer_->outputFormat() == QPrinter::PdfFormat;
}

QStringList PrinterTarget::printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

bool PrinterTarget::selectPrinter(const QString& name) {
    chosen_ = true;
    return switchTo(name);
}

bool PrinterTarget::useDefaultPrinter(const QString& name) {
    if (chosen_ || name.isEmpty()) return false;
    return switchTo(name);
}

bool PrinterTarget::switchTo(const QString& name) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return false;
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(info.printerName());
    matchPrintableArea();
    return printer_->isValid();
}

void PrinterTarget::usePdf(const QString& fileName) {
    chosen_ = true;
    if (!isPdf()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfResolution);
    }
    if (fileName.isEmpty()) {
        // QPrinter::setOutputFileName("") would switch to the system's printer, asking the
        // print service; the name is asked for before the first job instead.
        printer_->printEngine()->setProperty(QPrintEngine::PPK_OutputFileName, QString());
    } else {
        printer_->setOutputFileName(fileName);
    }
    matchPrintableArea();
}

void PrinterTarget::matchPrintableArea() {
    // A PDF page has no unprintable margin: its printable area is the whole sheet, so a card at
    // margin 0 starts at the paper's corner (Qt's PDF default is 10 pt all round). A printer
    // keeps the area its driver reports, whatever a PDF file had before.
    const QPageLayout layout = printer_->pageLayout();
    printer_->setPageMargins(isPdf() ? QMarginsF() : layout.minimumMargins(), layout.units());
}

bool PrinterTarget::useCardPaper(const CardPaper& paper) {
    if (!paper.known()) return true;
    const bool sized = printer_->setPageSize(QPageSize(paper.size));
    const bool turned = printer_->setPageOrientation(paper.orientation);
    return sized && turned;
}

bool PrinterTarget::chooseOutput(UserDialogs& dialogs) {
    if (!isPdf()) return true;
    FileDialogRequest request;
    request.caption = QStringLiteral("Druck als PDF-Datei speichern");
    request.filter = QStringLiteral("PDF-Dateien|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString last = printer_->outputFileName();
    if (!last.isEmpty()) {
        request.directory = QFileInfo(last).absolutePath();
        request.initialName = QFileInfo(last).fileName();
    }
    const FileDialogResult result = dialogs.saveFile(request);
    if (result.path.isEmpty()) return false;
    printer_->setOutputFileName(result.path);
    return true;
}

DeviceGeometry PrinterTarget::geometry() const {
    return deviceGeometry(*printer_);
}

DeviceGeometry deviceGeometry(const QPagedPaintDevice& device) {
    DeviceGeometry g;
    g.dpiX = device.logicalDpiX();
    g.dpiY = device.logicalDpiY();
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    g.physW = full.width();
    g.physOffX = paint.left() - full.left();
    g.pageW = paint.width();
    g.pageH = paint.height();
    g.physH = full.height();
    g.physOffY = paint.top() - full.top();
    return g;
}

}  // namespace bb
