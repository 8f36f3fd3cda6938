// The sheet preview's drawing; see PreviewPaint.h.
#include "print/PreviewPaint.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"
#include "print/PrintRun.h"
#include "print/QuarterFold.h"
#include "render/PicturePrefetch.h"
#include "render/Renderer.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <map>
#include <tuple>

namespace bb {

namespace {

// One card of the page as a picture of its size, card at the picture's corner, turned when
// the page turns it.
QImage renderPageCard(const CardDocument& doc, const RenderContext& output, const PageCard& c) {
    QImage picture(c.width, c.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        // A picture source of the caller's (the window decoding in the background) is asked;
        // without one the pictures are decoded first and waited for.
        QPainter cardPainter(&picture);
        if (output.pictures)
            drawCardSide(cardPainter, doc, c.side, output, c.width, c.height, c.width, c.height,
                         output.outputScale, false);
        else
            drawOutputSide(cardPainter, doc, c.side, output, c.width, c.height, c.width, c.height,
                           output.outputScale);
    }
    if (c.turned) picture = picture.transformed(QTransform().rotate(180));
    return picture;
}

}  // namespace

PrintPage previewPage(const CardFormat& format, const PreviewOptions& options, int boxWidth) {
    std::vector<PrintPage> pages;
    if (!options.quarterFoldPaperMm.isEmpty()) {
        // Both halves where the print run puts them on an uncalibrated printer.
        DeviceGeometry zoomed;
        zoomed.dpiX = zoomed.dpiY = options.zoom;
        pages = quarterFoldPages(
            quarterFoldPlacements(format, 1, Calibration{}, zoomed, options.quarterFoldPaperMm),
            options.cutLines, options.foldLines);
    } else {
        pages = sidePages(
            previewPlacements(format, options.settings, options.side, options.zoom, boxWidth),
            options.side, options.cutLines, options.foldLines);
    }
    return pages.empty() ? PrintPage{} : std::move(pages.front());
}

int paintSheetPreview(QPainter& painter, QSize box, const CardDocument& doc,
                      const RenderContext& ctx, const PreviewOptions& options) {
    painter.fillRect(QRect(QPoint(0, 0), box), Qt::white);
    const PrintPage page = previewPage(doc.format, options, box.width());
    const RenderContext output = atOutputDpi(ctx, options.zoom);
    // Cards of one side, size and turn look alike: each is rendered once per paint.
    std::map<std::tuple<int, int, int, bool>, QImage> rendered;
    for (const PageCard& c : page.cards) {
        if (c.width <= 0 || c.height <= 0 || !dibSizeAllowed(c.width, c.height, 24)) continue;
        const auto key = std::tuple{c.side, c.width, c.height, c.turned};
        auto it = rendered.find(key);
        if (it == rendered.end()) it = rendered.emplace(key, renderPageCard(doc, output, c)).first;
        painter.drawImage(QPoint(c.x, c.y), it->second);
    }
    for (const QRect& r : page.cutOutlines)
        drawCutOutline(painter, r.x(), r.y(), r.width(), r.height());
    for (const QLine& line : page.foldLines) drawFoldLine(painter, line);
    return int(page.cards.size());
}

}  // namespace bb
