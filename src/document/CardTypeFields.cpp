#include "document/CardTypeFields.h"

#include "document/Trunc.h"

#include <QLocale>

#include <cmath>

namespace bb {

CardTypeFields cardTypeFieldsFrom(const CardFormat& f) {
    CardTypeFields v;
    v.name = f.typeName;
    v.left = f.leftMargin;
    v.top = f.topMargin;
    v.width = f.cardWidth;
    v.height = f.cardHeight;
    v.hgap = f.pitchX - f.cardWidth;
    v.vgap = f.pitchY - f.cardHeight;
    v.across = f.cardsAcross;
    v.down = f.cardsDown;
    return v;
}

CardFormat cardFormatFrom(const CardTypeFields& v) {
    CardFormat f;
    f.pitchX = v.width + v.hgap;
    f.pitchY = v.height + v.vgap;
    f.cardWidth = v.width;
    f.cardHeight = v.height;
    f.leftMargin = v.left;
    f.topMargin = v.top;
    f.cardsAcross = truncInt32(v.across);
    f.cardsDown = truncInt32(v.down);
    f.typeName = v.name.left(kTypeNameMax);
    return f;
}

QString cardTypeProblem(const CardTypeFields& v) {
    if (!(v.width > 0) || !(v.height > 0))
        return QStringLiteral("Breite und Höhe der Karte müssen größer als 0 mm sein.");
    const double across = std::trunc(v.across), down = std::trunc(v.down);
    const double sheetWidth = v.left + across * v.width + (across - 1) * v.hgap;
    const double sheetHeight = v.top + down * v.height + (down - 1) * v.vgap;
    const double shorter = std::min(sheetWidth, sheetHeight);
    const double longer = std::max(sheetWidth, sheetHeight);
    if (!(shorter <= kLargestSheetShort) || !(longer <= kLargestSheetLong)) {
        const QLocale german(QLocale::German, QLocale::Germany);
        return QStringLiteral(
                   "Die Karten passen nicht auf ein Blatt: Ränder, Karten und "
                   "Abstände brauchen %1 mm × %2 mm, ein Blatt ist höchstens "
                   "%3 mm × %4 mm (A3) groß.")
            .arg(german.toString(sheetWidth, 'f', 2), german.toString(sheetHeight, 'f', 2))
            .arg(kLargestSheetShort)
            .arg(kLargestSheetLong);
    }
    return {};
}

}  // namespace bb
