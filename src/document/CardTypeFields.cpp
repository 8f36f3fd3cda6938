#include "document/CardTypeFields.h"

#include "document/CardPaper.h"
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
    for (double length : {v.left, v.top, v.hgap, v.vgap, v.across, v.down})
        if (!std::isfinite(length))
            return QStringLiteral("Ränder, Abstände und Anzahlen müssen Zahlen sein.");
    return {};
}

QString cardTypePaperWarning(const CardTypeFields& v) {
    const CardFormat format = cardFormatFrom(v);
    if (cardPaper(format).known()) return {};
    const QSizeF extent = gridExtentMm(format);
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral(
               "Kein bekanntes Papier fasst diese Karten: Ränder, Karten und "
               "Abstände brauchen %1 mm × %2 mm, das größte bekannte Blatt (A3) "
               "ist 297 mm × 420 mm groß. Gedruckt werden kann dieser Kartentyp "
               "nur auf einem Drucker mit größerem Papier.")
        .arg(german.toString(extent.width(), 'f', 2), german.toString(extent.height(), 'f', 2));
}

}  // namespace bb
