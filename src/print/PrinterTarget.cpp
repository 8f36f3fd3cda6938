// The current printer; see PrinterTarget.h.
#include "print/PrinterTarget.h"

#include "document/UserDialogs.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPrinter>
#include <QPrinterInfo>

namespace bb {

PrinterTarget::PrinterTarget() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull() && !info.printerName().isEmpty()) {
        printer_->setPrinterName(info.printerName());
        return;
    }
    // No printer on this machine: the same sheets go to a PDF file.
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setResolution(kPdfResolution);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
}

PrinterTarget::~PrinterTarget() = default;

bool PrinterTarget::isPdf() const {
    return printer_->outputFormat() == QPrinter::PdfFormat;
}

QStringList PrinterTarget::printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

bool PrinterTarget::selectPrinter(const QString& name) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return false;
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(info.printerName());
    return printer_->isValid();
}

void PrinterTarget::usePdf(const QString& fileName) {
    if (!isPdf()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfResolution);
    }
    printer_->setOutputFileName(fileName);
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
