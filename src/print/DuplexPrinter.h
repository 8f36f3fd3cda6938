// The duplex side of a printer: which two-sided modes it offers, and a duplex mode set for one
// print run only.
#pragma once

#include <QList>
#include <QPrinter>

namespace bb {

// The duplex modes the printer's driver offers; empty for a PDF file or a printer the print
// system does not know.
QList<QPrinter::DuplexMode> printerDuplexModes(const QPrinter& printer);

// Sets a duplex mode for one run and gives the printer back the mode it had, however the run
// ends.
class DuplexForRun {
public:
    DuplexForRun(QPrinter& printer, QPrinter::DuplexMode mode);
    ~DuplexForRun();
    // False when a printer's driver refused the mode (the print system keeps only modes the
    // printer offers). A PDF file has no duplex setting and takes any.
    bool applied() const { return applied_; }
    DuplexForRun(const DuplexForRun&) = delete;
    DuplexForRun& operator=(const DuplexForRun&) = delete;

private:
    QPrinter& printer_;
    QPrinter::DuplexMode saved_;
    bool applied_ = false;
};

}  // namespace bb
