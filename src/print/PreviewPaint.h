// The sheet preview's drawing: a white box the size of the printable area at the preview
// zoom, with the cards of the shown sheet and their cut and fold lines. The side is rendered
// once per paint and the picture copied to every card position.
#pragma once

#include "print/SheetLayout.h"

#include <QSizeF>

class QPainter;

namespace bb {

class CardDocument;
struct RenderContext;

struct PreviewOptions {
    PrintSettings settings;  // already clamped
    int zoom = kPreviewZoomStart;
    bool cutLines = false;
    bool foldLines = false;
    // When not empty: the quarter-fold sheet of one card on paper of this size in millimetres
    // instead of the shown sheet.
    QSizeF quarterFoldPaperMm;
};

// Paints the box (0, 0, box) onto `painter`; returns the number of cards drawn (a quarter-fold
// sheet counts its two halves). Nothing is
// drawn (returns −1) while the renderer is busy with another target.
int paintSheetPreview(QPainter& painter, QSize box, CardDocument& doc, RenderContext& ctx,
                      const PreviewOptions& options);

}  // namespace bb
