#include "content/Occasions.h"

namespace bb {

const QStringList& cardOccasions() {
    static const QStringList list = {
        QStringLiteral("Geburtstag"),
        QStringLiteral("Runder Geburtstag"),
        QStringLiteral("Kindergeburtstag"),
        QStringLiteral("Weihnachten"),
        QStringLiteral("Neujahr"),
        QStringLiteral("Ostern"),
        QStringLiteral("Hochzeit"),
        QStringLiteral("Hochzeitstag"),
        QStringLiteral("Geburt"),
        QStringLiteral("Taufe"),
        QStringLiteral("Kommunion/Konfirmation"),
        QStringLiteral("Danke"),
        QStringLiteral("Einladung"),
        QStringLiteral("Gute Besserung"),
        QStringLiteral("Trauer"),
        QStringLiteral("Valentinstag"),
        QStringLiteral("Muttertag"),
        QStringLiteral("Vatertag"),
        QStringLiteral("Abschied"),
        QStringLiteral("Ruhestand"),
    };
    return list;
}

}  // namespace bb
