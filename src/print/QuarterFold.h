// A quarter-fold card: both sides of one card on the same side of one sheet, for printers
// without duplex. The sheet is folded twice, first across its middle with the printed side
// outwards, then down the card's middle.
//
//   paper top +--------------------------+
//             |   +------------------+   |  outside, turned by 180°: its bottom edge
//             |   | outside (turned) |   |  now at the top, lies on the middle
//      middle + - + - - - - - - - - -+ - +  <- first fold, across the sheet
//             |   |   inside         |   |  inside, upright: its top edge on the middle
//             |   +------------------+   |
//             +--------------------------+
//
// Both halves are centred across the sheet and mirror each other about the middle line; the
// second fold runs down the card's middle through both halves. Positions are millimetres from
// the paper's edges turned into device pixels like every sheet layout: (mm − calibrated
// offset) at the calibrated millimetres per inch, so on a calibrated printer the card meets the
// sheet's true middle.
#pragma once

#include "document/CardFormat.h"
#include "print/PrintRun.h"
#include "print/SheetLayout.h"

#include <QSizeF>

#include <vector>

class QPagedPaintDevice;

namespace bb {

inline const QString kQuarterFoldTooLargeText =
    QStringLiteral("Die Karte ist für einen halben Bogen zu groß");

// True when the unfolded card (card width × card height) fits on half of a sheet of
// `paperMm`: as wide as the sheet at most and half as high at most.
bool quarterFoldFits(const CardFormat& format, QSizeF paperMm);

// The size of the device's sheet in millimetres, in its current orientation.
QSizeF paperSizeMm(const QPagedPaintDevice& device);

// One half of a quarter-fold sheet. `card.page` and `card.position` count the copies from 0;
// the column is 0, the row 0 for the upper half (outside) and 1 for the lower half (inside).
struct QuarterFoldCard {
    CardPlacement card;
    int side = 0;
    bool turned = false;
};

// Both halves of each of `copies` sheets (at least one), the outside first. The card must fit
// (quarterFoldFits); the arithmetic does not check it.
std::vector<QuarterFoldCard> quarterFoldPlacements(const CardFormat& format, int copies,
                                                   const Calibration& calibration,
                                                   const DeviceGeometry& device, QSizeF paperMm);

// The pages of the placements above: one sheet per copy, a cut outline around both halves
// together and, when asked for, the fold across the middle and the fold down the card.
std::vector<PrintPage> quarterFoldPages(const std::vector<QuarterFoldCard>& cards, bool cutLines,
                                        bool foldLines);

// The job that prints `options.settings.copies` quarter-fold sheets of a card of `format`
// (used positions do not apply: every copy takes a sheet of its own).
// With `merge`, one sheet per card of the merge, filled from its row.
PrintJob quarterFoldJob(const CardFormat& format, const PrintOptions& options,
                        const DeviceGeometry& device, QSizeF paperMm,
                        const MergeRun* merge = nullptr);

}  // namespace bb
