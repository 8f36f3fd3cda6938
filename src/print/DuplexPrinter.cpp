// The duplex side of a printer; see DuplexPrinter.h.
#include "print/DuplexPrinter.h"

#include <QPrinterInfo>

namespace bb {

QList<QPrinter::DuplexMode> printerDuplexModes(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::NativeFormat) return {};
    const QPrinterInfo info(printer);
    if (info.isNull()) return {};
    return info.supportedDuplexModes();
}

DuplexForRun::DuplexForRun(QPrinter& printer, QPrinter::DuplexMode mode)
    : printer_(printer), saved_(printer.duplex()) {
    printer_.setDuplex(mode);
    applied_ = printer_.outputFormat() != QPrinter::NativeFormat || printer_.duplex() == mode;
}

DuplexForRun::~DuplexForRun() {
    printer_.setDuplex(saved_);
}

}  // namespace bb
