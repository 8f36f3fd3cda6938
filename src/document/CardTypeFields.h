// The values of the card-type editor dialog and their conversion to and from a CardFormat.
// The format stores pitches (card size plus gap); the dialog shows and edits gaps.
#pragma once

#include "document/CardFormat.h"

#include <QString>

namespace bb {

struct CardTypeFields {
    QString name;
    double left = 0;    // left margin, mm
    double top = 0;     // top margin, mm
    double width = 0;   // card width, mm
    double height = 0;  // card height, mm
    double hgap = 0;    // horizontal gap between cards, mm
    double vgap = 0;    // vertical gap, mm
    double across = 1;  // cards across (truncated when read back)
    double down = 1;    // cards down
};

// Filling the dialog: gap = pitch − size.
CardTypeFields cardTypeFieldsFrom(const CardFormat& format);
// Reading back: pitch = size + gap, counts truncated to integers, name cut to 50 characters.
CardFormat cardFormatFrom(const CardTypeFields& fields);

// Why the fields make no usable card type, as a message for the user; empty when they do.
// A card needs a positive width and height; every other length the dialog's fields allow
// (up to 3000 × 1000 mm) makes a card type.
QString cardTypeProblem(const CardTypeFields& fields);

// A warning for a usable card type whose grid (margins, cards and gaps) no known paper holds
// (A4, US Letter, US Legal, A3, either way round), so that it prints only on a printer with
// larger paper; empty when one does.
QString cardTypePaperWarning(const CardTypeFields& fields);

}  // namespace bb
