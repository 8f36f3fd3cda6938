// The pages of a print job as data: which side of the card goes where on each page, upright or
// turned, and the cut outlines and fold lines drawn over the cards. Every way of printing (one
// side, both sides, a quarter-fold card, the alignment sheet) builds such pages; the print run
// only draws them.
#pragma once

#include "print/SheetLayout.h"

#include <QLine>
#include <QRect>
#include <QString>

#include <vector>

namespace bb {

// One card on a page, in device pixels of the printable area.
struct PageCard {
    int side = 0;  // SideOutside or SideInside
    int x = 0, y = 0, width = 0, height = 0;
    bool turned = false;  // drawn turned by 180° within its rectangle
    int record = -1;      // the address-list row whose fields fill the texts; -1: as typed
    friend bool operator==(const PageCard&, const PageCard&) = default;
};

// A black mark of the alignment sheet, drawn over the cards and lines.
struct PageMark {
    enum Kind { Cross, Label, ArrowUp };
    Kind kind = Cross;
    QRect rect;           // a cross spans it, a label is centred in it, an arrow fills it
    QString text;         // of a label
    bool turned = false;  // drawn turned by 180° within rect
};

struct PrintPage {
    std::vector<PageCard> cards;
    // Dotted outlines from (x, y) to (x + width, y + height).
    std::vector<QRect> cutOutlines;
    // Dash-dot lines between the two points (horizontal or vertical).
    std::vector<QLine> foldLines;
    std::vector<PageMark> marks;
};

// The pages of a run of one side: the placements in order, a new page where one starts, a cut
// outline around each card and a fold line down its middle when asked for.
std::vector<PrintPage> sidePages(const std::vector<CardPlacement>& cards, int side, bool cutLines,
                                 bool foldLines);

// The vertical fold line down the middle of a card of w × h at (x, y).
QLine cardFoldLine(int x, int y, int w, int h);

}  // namespace bb
