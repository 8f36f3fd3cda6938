// Which paper a card type is printed on, and which way round. A card type stores only its grid
// (margins, pitches, card size, counts); the starter list compiled into the program knows the
// paper of each of its types, and any other type gets the smallest common paper that holds
// its grid.
#pragma once

#include "document/CardFormat.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <optional>

namespace bb {

// One type of the starter list.
struct StarterType {
    CardFormat format;
    QString paper;  // "A4" or "US-Letter"
};

// Parses the starter list: one type a line, "name;paper;width;height;across;down;left;top;
// pitch_x;pitch_y", lengths in mm with "." as decimal point; "#" starts a comment line.
// Lines that do not parse (wrong field count, no number, a length outside the card-type
// dialog's ranges, a count outside 1..50, an empty or over-long name) are skipped.
QList<StarterType> parseStarterCatalogue(const QByteArray& text);

// The list compiled into the program.
QList<StarterType> starterCatalogue();

struct CardPaper {
    // Custom: no common paper holds the grid.
    QPageSize::PageSizeId size = QPageSize::Custom;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    bool known() const { return size != QPageSize::Custom; }
    // The sheet in millimetres, turned to the orientation; empty when unknown.
    QSizeF sheetMm() const;
    friend bool operator==(const CardPaper&, const CardPaper&) = default;
};

// How far the grid reaches from the sheet's top-left corner: left + (across − 1) · pitchX +
// width, and likewise down (counts below 1 count as 1).
QSizeF gridExtentMm(const CardFormat& format);

// The orientation of the paper `size` that holds the grid, `preferred` first; nullopt when it
// fits neither way.
std::optional<QPageLayout::Orientation> orientationOn(
    const CardFormat& format, QPageSize::PageSizeId size,
    QPageLayout::Orientation preferred = QPageLayout::Portrait);

// The paper of a card type: the starter list's paper when the type is one of its entries (the
// same name and grid), otherwise `current` (the printer's paper) when it holds the grid, else
// the first of A4, US Letter, US Legal and A3 that does; in each case portrait when the grid
// fits so, landscape when only that fits. A person's choice of orientation for the session
// (`preferred`) is kept wherever the grid fits that way.
CardPaper cardPaper(const CardFormat& format, const QList<StarterType>& starters,
                    QPageSize::PageSizeId current = QPageSize::Custom,
                    QPageLayout::Orientation preferred = QPageLayout::Portrait);
// The same against the compiled-in starter list.
CardPaper cardPaper(const CardFormat& format);
// The same, keeping the printer's paper `current` when the grid fits it.
CardPaper cardPaperOnPrinter(const CardFormat& format, QPageSize::PageSizeId current,
                             QPageLayout::Orientation preferred = QPageLayout::Portrait);

// For people: "A4", "A4 quer", "US-Letter quer"; "größer als A3" when unknown.
QString cardPaperText(const CardPaper& paper);

}  // namespace bb
