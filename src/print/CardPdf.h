// A card as a PDF file for a print shop or a recipient: the sides at the card's own size (as
// printed: the outside unfolded on page 1, the inside on page 2; or both sides one under the
// other on one page), optionally with crop and fold marks around the cut and with the
// background reaching a few millimetres beyond it (bleed). Texts stay text, pictures keep the
// resolution they are drawn at.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace bb {

struct CardPdfOptions {
    enum Layout {
        Folded,        // page 1 the outside (back and front), page 2 the inside
        SidesStacked,  // one page: the outside above the inside
        OutsideOnly,   // one page: the outside
    };
    Layout layout = Folded;
    bool cropMarks = false;  // thin marks at the corners and the fold, outside the cut
    double bleedMm = 0;      // how far the background reaches beyond the cut (0 or 3)
    int dpi = 300;           // the resolution pictures are drawn at
    QString title;           // the PDF's title; empty: none
};

// The bleed print shops ask for.
inline constexpr double kPrintShopBleedMm = 3;
// The room around the cut (beyond the bleed) that holds the crop marks.
inline constexpr double kCropMarkRoomMm = 10;
// Marks begin this far beyond the bleed and end this far before the page's edge.
inline constexpr double kCropMarkGapMm = 2;
inline constexpr double kCropMarkEndMm = 1;
// The marks' line width.
inline constexpr double kCropMarkWidthMm = 0.15;
// The resolutions a PDF may be drawn at.
inline constexpr int kMinPdfDpi = 72;
inline constexpr int kMaxPdfDpi = 1200;
// The largest bleed taken.
inline constexpr double kMaxBleedMm = 20;

// One page of the PDF in millimetres: its size and where the cut of each side lies on it.
struct CardPdfPage {
    struct Card {
        int side = SideOutside;
        QRectF trimMm;  // the cut, from the page's top-left corner
    };
    QSizeF sizeMm;
    std::vector<Card> cards;
};

// The pages for a card of `format` (cardWidth × cardHeight, the unfolded side): each card has
// the bleed and, with crop marks, kCropMarkRoomMm beyond it on every side; stacked sides each
// keep that room, so the two cells abut.
std::vector<CardPdfPage> cardPdfPages(const CardFormat& format, const CardPdfOptions& options);

// A crop or fold mark as a line in millimetres on its page.
struct CropMark {
    QPointF from, to;
};
// The marks around one card's cut: two at each corner continuing the edges, and with
// `foldMarks` one above and one below the fold down the card's middle. All lie between
// bleed + kCropMarkGapMm and bleed + kCropMarkRoomMm − kCropMarkEndMm beyond the cut.
std::vector<CropMark> cropMarks(const QRectF& trimMm, double bleedMm, bool foldMarks);

// Why `options` cannot make a PDF of a card of `format` (German), or empty.
QString cardPdfProblem(const CardFormat& format, const CardPdfOptions& options);

// The PDF file's bytes; empty with `error` (German) set when it could not be made. Texts are
// filled as ctx.fillText says (the record a personal card shows).
QByteArray cardPdfBytes(const CardDocument& doc, const RenderContext& ctx,
                        const CardPdfOptions& options, QString* error);

// Writes the PDF to `path` whole or not at all, never through a link or onto anything but a
// regular file (writeFileInFolder). False with `error` (German) set on failure.
bool writeCardPdf(const CardDocument& doc, const RenderContext& ctx, const QString& path,
                  const CardPdfOptions& options, QString* error);

}  // namespace bb
