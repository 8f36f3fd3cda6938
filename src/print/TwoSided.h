// Printing both sides of the cards on one sheet: where the inside of each card goes on the back
// page, for either edge the sheet turns about; which duplex mode a printer should use for a card
// with a vertical fold; the two-sided job (front and back page per sheet), the same cards split
// into an outsides job and an insides job for turning the sheets by hand, and the alignment
// sheet that shows how a printer turns its sheets.
#pragma once

#include "print/PrintPages.h"
#include "print/PrintRun.h"
#include "print/SheetLayout.h"

#include <QList>
#include <QPageLayout>
#include <QPrinter>
#include <QRect>

#include <optional>
#include <vector>

namespace bb {

// The edge of the paper a duplex printer turns the sheet about.
enum class FlipEdge { Long, Short };
// The axis of the page (as printed, upright) the sheet turns about.
enum class TurnAxis { Vertical, Horizontal };

inline const QString kAlignmentJobTitle =
    QStringLiteral("Tovarin Brisella-Bildwerker 1.0 Ausrichtungsseite");

// Long edge on a portrait page and short edge on a landscape page turn about the page's
// vertical axis; the other two about its horizontal axis.
TurnAxis turnAxis(FlipEdge edge, QPageLayout::Orientation orientation);
// The edge that turns about the vertical axis, which a card folded down its middle needs so
// that its inside stays upright behind its outside.
FlipEdge foldEdge(QPageLayout::Orientation orientation);

QPrinter::DuplexMode duplexModeOf(FlipEdge edge);

// How a printer prints both sides: `mode` DuplexNone means the sheets are turned by hand.
struct DuplexChoice {
    QPrinter::DuplexMode mode = QPrinter::DuplexNone;
    TurnAxis axis = TurnAxis::Vertical;
    friend bool operator==(const DuplexChoice&, const DuplexChoice&) = default;
};

// The duplex mode for the modes a printer offers: the fold's edge when offered, otherwise the
// other edge with its own placement, otherwise automatic duplex (which picks the fold's edge
// from the orientation), otherwise turning by hand. `forced` takes that edge on any printer
// that offers duplex at all.
DuplexChoice chooseDuplex(const QList<QPrinter::DuplexMode>& supported,
                          QPageLayout::Orientation orientation,
                          std::optional<FlipEdge> forced = std::nullopt);

// Where a rectangle of the front page (device pixels of the printable area) lies on the back
// page, and whether it is drawn turned by 180°.
PageCard backOf(const QRect& front, TurnAxis axis, const DeviceGeometry& device, int side);

// One card of a two-sided run: its place on the front (outside) and on the back (inside).
struct TwoSidedCard {
    CardPlacement front;
    PageCard back;
};

// Every card of the run in printing order; `settings` must already be clamped.
std::vector<TwoSidedCard> twoSidedCards(const CardFormat& format, const PrintSettings& settings,
                                        const Calibration& calibration,
                                        const DeviceGeometry& device, TurnAxis axis);

// Per sheet the front page (the outsides at their print positions) followed by the back page
// (the insides behind their own outsides), each with its cut and fold lines; pagesPerSheet 2.
// With `merge`, the cards are the merge's, each inside filled from the same row as its outside.
PrintJob twoSidedJob(const CardFormat& format, const PrintOptions& options,
                     const DeviceGeometry& device, TurnAxis axis, const MergeRun* merge = nullptr);

// A two-sided job split for turning the sheets by hand: the front pages, then the back pages.
struct SplitJobs {
    PrintJob fronts;
    PrintJob backs;
};
SplitJobs splitSides(const PrintJob& twoSided);

// One sheet with registration crosses: on the front near the corners and in the middle, the
// label "Vorderseite" and an arrow with "oben"; on the back the crosses where the front's
// crosses lie behind the paper, labelled "Rückseite". Placed with the calibration like cards.
PrintJob alignmentJob(const DeviceGeometry& device, const Calibration& calibration, TurnAxis axis);

}  // namespace bb
