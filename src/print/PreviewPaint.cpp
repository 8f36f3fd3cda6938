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
    if (ctx.Busy) return -1;
    painter.fillRect(QRect(QPoint(0, 0), box), Qt::white);

    const std::vector<CardPlacement> cards =
        previewPlacements(doc.Format, options.settings, doc.CurrentSide, options.zoom, box.width());
    if (cards.empty()) return 0;

    // Render the side once at the preview zoom, card at the picture's top-left corner.
    const int w = cards.front().Wd;
    const int h = cards.front().Hd;
    QImage side;
    if (w > 0 && h > 0 && dibSizeAllowed(w, h, 24)) {
        side = QImage(w, h, QImage::Format_RGB32);
        side.fill(Qt::white);
        OutputModeGuard outputMode(ctx, options.zoom);
        QPainter sidePainter(&side);
        DrawVCart(sidePainter, doc, ctx, w, h, w, h, ctx.OutputScale, false);
    }

    // Line lengths follow the millimetres per inch in force, nominal whenever the preview
    // paints.
    const int lineW = mmToPixels(doc.Format.CardWidth, ctx.MmPerInchX, options.zoom);
    const int lineH = mmToPixels(doc.Format.CardHeight, ctx.MmPerInchY, options.zoom);
    for (const CardPlacement& c : cards) {
        if (!side.isNull()) painter.drawImage(QPoint(c.CardX, c.CardY), side);
        if (options.cutLines) drawCutOutline(painter, c.CardX, c.CardY, lineW, lineH);
        if (options.foldLines) drawFoldLine(painter, c.CardX + lineW / 2, c.CardY, lineH);
    }
    return int(cards.size());
}

}  // namespace bb
