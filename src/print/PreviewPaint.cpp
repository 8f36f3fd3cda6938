// The sheet preview's drawing; see PreviewPaint.h.
#include "print/PreviewPaint.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"
#include "print/PrintRun.h"
#include "print/QuarterFold.h"
#include "render/Renderer.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

namespace bb {

namespace {

// Both halves of a quarter-fold sheet where the print run puts them on an uncalibrated printer:
// each side rendered once, the outside turned, then the lines.
int paintQuarterFold(QPainter& painter, CardDocument& doc, RenderContext& ctx,
                     const PreviewOptions& options) {
    DeviceGeometry zoomed;
    zoomed.dpiX = zoomed.dpiY = options.zoom;
    const std::vector<QuarterFoldCard> cards =
        quarterFoldPlacements(doc.format, 1, Calibration{}, zoomed, options.quarterFoldPaperMm);
    const int workingSide = doc.currentSide;
    for (const QuarterFoldCard& q : cards) {
        const int w = q.card.width, h = q.card.height;
        if (w <= 0 || h <= 0 || !dibSizeAllowed(w, h, 24)) continue;
        if (doc.currentSide != q.side) doc.switchSide(q.side);
        QImage side(w, h, QImage::Format_RGB32);
        side.fill(Qt::white);
        {
            OutputModeGuard outputMode(ctx, options.zoom);
            QPainter sidePainter(&side);
            drawCardSide(sidePainter, doc, ctx, w, h, w, h, ctx.outputScale, false);
        }
        if (q.turned) side = side.transformed(QTransform().rotate(180));
        painter.drawImage(QPoint(q.card.cardX, q.card.cardY), side);
    }
    if (doc.currentSide != workingSide) doc.switchSide(workingSide);
    for (const PrintPage& page : quarterFoldPages(cards, options.cutLines, options.foldLines)) {
        for (const QRect& r : page.cutOutlines)
            drawCutOutline(painter, r.x(), r.y(), r.width(), r.height());
        for (const QLine& line : page.foldLines) drawFoldLine(painter, line);
    }
    return int(cards.size());
}

}  // namespace

int paintSheetPreview(QPainter& painter, QSize box, CardDocument& doc, RenderContext& ctx,
                      const PreviewOptions& options) {
    if (ctx.busy) return -1;
    painter.fillRect(QRect(QPoint(0, 0), box), Qt::white);
    if (!options.quarterFoldPaperMm.isEmpty()) return paintQuarterFold(painter, doc, ctx, options);

    const std::vector<CardPlacement> cards =
        previewPlacements(doc.format, options.settings, doc.currentSide, options.zoom, box.width());
    if (cards.empty()) return 0;

    // Render the side once at the preview zoom, card at the picture's top-left corner.
    const int w = cards.front().width;
    const int h = cards.front().height;
    QImage side;
    if (w > 0 && h > 0 && dibSizeAllowed(w, h, 24)) {
        side = QImage(w, h, QImage::Format_RGB32);
        side.fill(Qt::white);
        OutputModeGuard outputMode(ctx, options.zoom);
        QPainter sidePainter(&side);
        drawCardSide(sidePainter, doc, ctx, w, h, w, h, ctx.outputScale, false);
    }

    // Line lengths follow the millimetres per inch in force, nominal whenever the preview
    // paints.
    const int lineW = mmToPixels(doc.format.cardWidth, ctx.mmPerInchX, options.zoom);
    const int lineH = mmToPixels(doc.format.cardHeight, ctx.mmPerInchY, options.zoom);
    for (const CardPlacement& c : cards) {
        if (!side.isNull()) painter.drawImage(QPoint(c.cardX, c.cardY), side);
        if (options.cutLines) drawCutOutline(painter, c.cardX, c.cardY, lineW, lineH);
        if (options.foldLines) drawFoldLine(painter, c.cardX + lineW / 2, c.cardY, lineH);
    }
    return int(cards.size());
}

}  // namespace bb
