#include "app/StarterCatalogue.h"

#include "document/Catalogue.h"

#include <QFileInfo>

namespace bb {

bool installStarterCatalogue(const QString& programFolder) {
    if (QFileInfo::exists(programFolder + QLatin1Char('/') + kCatalogueFileName)) return false;
    QList<CardFormat> types;
    for (const StarterType& t : starterCatalogue()) types.append(t.format);
    if (types.isEmpty()) return false;
    return saveCardTypes(programFolder, types);
}

}  // namespace bb
