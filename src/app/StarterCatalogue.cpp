#include "app/StarterCatalogue.h"

#include "document/Catalogue.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

// Resources of a static library have to be registered by name, outside any namespace.
static void initStarterResource() {
    Q_INIT_RESOURCE(starter);
}

namespace bb {

namespace {

bool parseLength(const QByteArray& field, double max, double& out) {
    bool ok = false;
    const double v = field.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > max) return false;
    out = v;
    return true;
}

bool parseCount(const QByteArray& field, int32_t& out) {
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 50) return false;
    out = v;
    return true;
}

}  // namespace

QList<StarterType> parseStarterCatalogue(const QByteArray& text) {
    QList<StarterType> out;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> f = line.split(';');
        if (f.size() != 10) continue;
        StarterType t;
        t.format.typeName = QString::fromUtf8(f[0].trimmed());
        t.paper = QString::fromUtf8(f[1].trimmed());
        CardFormat& c = t.format;
        // The same limits as the card-type dialog.
        const bool ok = !c.typeName.isEmpty() && c.typeName.size() <= kTypeNameMax &&
                        parseLength(f[2], 3000, c.cardWidth) &&
                        parseLength(f[3], 1000, c.cardHeight) && parseCount(f[4], c.cardsAcross) &&
                        parseCount(f[5], c.cardsDown) && parseLength(f[6], 3000, c.leftMargin) &&
                        parseLength(f[7], 1000, c.topMargin) && parseLength(f[8], 6000, c.pitchX) &&
                        parseLength(f[9], 2000, c.pitchY);
        if (ok) out.append(t);
    }
    return out;
}

QList<StarterType> starterCatalogue() {
    initStarterResource();
    QFile f(QStringLiteral(":/catalogue/starter-catalogue.csv"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parseStarterCatalogue(f.read(1 << 20));
}

bool installStarterCatalogue(const QString& programFolder) {
    if (QFileInfo::exists(programFolder + QLatin1Char('/') + kCatalogueFileName)) return false;
    QList<CardFormat> types;
    for (const StarterType& t : starterCatalogue()) types.append(t.format);
    if (types.isEmpty()) return false;
    return saveCardTypes(programFolder, types);
}

}  // namespace bb
