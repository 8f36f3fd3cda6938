// A card's outside printed alone on an A4 PDF and read back as pixels of its card area, for
// tests that compare a print with the drawing.
#pragma once

#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "print/PdfPages.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QRect>

namespace printtest {

struct PrintedCard {
    bool ok = false;  // the print run succeeded and placed the card
    QRect cardArea;   // where the card lies on the page, in pixels at the print resolution
    QImage image;     // that area of the page, rasterised by pdftoppm
};

// Prints the outside of `doc` once on A4 at `dpi` into `pdf`.
inline PrintedCard printOutside(const bb::CardDocument& doc, const QString& pdf, int dpi) {
    PrintedCard out;
    bb::ConsoleDialogs dialogs;
    bb::PrinterTarget target;
    target.usePdf(pdf);
    target.printer().setResolution(dpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    bb::PrintOptions options;
    options.settings = {0, 1, 1};
    const bb::PrintJob job = bb::sideJob(doc, bb::SideOutside, options, target.geometry());
    if (!bb::runPrintJob(target.printer(), doc, bb::RenderContext{}, job, dialogs).ok ||
        job.pages.empty() || job.pages.front().cards.empty())
        return out;
    const bb::PageCard& c = job.pages.front().cards.front();
    out.cardArea = QRect(c.x, c.y, c.width, c.height);
    out.image = pdfPageArea(pdf, 1, dpi, out.cardArea);
    out.ok = true;
    return out;
}

}  // namespace printtest
