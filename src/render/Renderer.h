// The card renderer: draws one side of a card (background and objects) onto any painter, for
// the editor views and for every output (print, preview, export, thumbnails). It only reads
// the card.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"

#include <QColor>
#include <QString>

#include <utility>

class QPainter;

namespace bb {

// Draws the objects and the background of `side` (0 outside, 1 inside).
// Editor mode: areaWidth × areaHeight is the whole work area (the card is its middle third).
// Output mode (ctx.renderMode == RenderOutput, editorMode false): areaWidth × areaHeight is
// the card's own size in device pixels and everything is clipped to the card. Every device
// position is shifted by (−scrollX, −scrollY); so an output caller that wants the card of
// size w × h at device (x, y) passes areaWidth = w, areaHeight = h, scrollX = w − x,
// scrollY = h − y. `scale` is device pixels per document unit (line widths, fonts, text
// effects). In editor mode with ctx.showMissingPictures, a picture whose file was not found
// is drawn as a placeholder (kMissingPictureFrame); with ctx.showHalfLabels the halves of the
// card are named above it (halfLabels). A background mode 0..3 without picture draws as none,
// and an AutoTransparent picture takes its transparent colour from its bottom-left pixel; the
// card's own fields are settled likewise where it is read or edited (DrawnValues.h).
void drawCardSide(QPainter& canvas, const CardDocument& doc, int side, const RenderContext& ctx,
                  int areaWidth, int areaHeight, int scrollX, int scrollY, double scale,
                  bool editorMode);

// drawCardSide with the same arguments, but only the background and the pictures: what a
// full draw asks ctx.pictures for, in the same order and at the same sizes (PicturePrefetch).
void drawCardSidePictures(QPainter& canvas, const CardDocument& doc, int side,
                          const RenderContext& ctx, int areaWidth, int areaHeight, int scrollX,
                          int scrollY, double scale, bool editorMode);

// The frame colour of a missing picture's placeholder in the editor views
// (RenderContext::showMissingPictures).
inline const QColor kMissingPictureFrame(160, 160, 160);
// A picture whose pixels the editor is still decoding: its box in a light tone, framed.
inline const QColor kLoadingPictureFill(236, 236, 236);
inline const QColor kLoadingPictureFrame(208, 208, 208);

// The names of the left and the right half of a side (0 outside, 1 inside) that the editor
// views show above the card (RenderContext::showHalfLabels): the back and the front outside,
// the inside's left and right page.
std::pair<QString, QString> halfLabels(int side);

// The card rectangle (left, top, right, bottom; right and bottom excluded like the device's
// rectangle rule) for the arguments of drawCardSide.
struct CardRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const CardRect&, const CardRect&) = default;
};
CardRect cardRect(int areaWidth, int areaHeight, int scrollX, int scrollY, bool editorMode);

}  // namespace bb
