// The sheet preview's drawing: a white box the size of the printable area at the preview
// zoom, with the cards of the shown sheet and their cut and fold lines. It draws the same
// page data (PrintPage) that a print run prints; each side is rendered once per paint and the
// picture copied to every card position.
#pragma once

#include "print/PrintPages.h"
#include "print/SheetLayout.h"

#include <QSizeF>

class QPainter;

namespace bb {

class CardDocument;
struct RenderContext;

struct PreviewOptions {
    PrintSettings settings;  // already clamped
    int side = 0;            // the side printed (0 outside, 1 inside; the inside is mirrored)
    int zoom = kPreviewZoomStart;
    bool cutLines = false;
    bool foldLines = false;
    // When not empty: the quarter-fold sheet of one card on paper of this size in millimetres
    // instead of the shown sheet.
    QSizeF quarterFoldPaperMm;
};

// The page the preview shows, built by the functions the print run uses, at the preview zoom.
PrintPage previewPage(const CardFormat& format, const PreviewOptions& options, int boxWidth);

// Paints the box (0, 0, box) onto `painter`; returns the number of cards drawn (a quarter-fold
// sheet counts its two halves).
int paintSheetPreview(QPainter& painter, QSize box, const CardDocument& doc,
                      const RenderContext& ctx, const PreviewOptions& options);

}  // namespace bb
