// The sheet preview's drawing; see PreviewPaint.h.
#include "print/PreviewPaint.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"
#include "print/PrintRun.h"
#include "render/Renderer.h"

#include <QImage>
#include <QPainter>

namespace bb {

int paintSheetPreview(QPainter& painter, QSize box, CardDocument& doc, RenderContext& ctx,
                      const PreviewOptions& options) {
    if (ctx.busy) return -1;
    painter.fillRect(QRect(QPoint(0, 0), box), Qt::white);

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
