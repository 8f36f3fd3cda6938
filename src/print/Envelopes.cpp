// The envelope catalogue; see Envelopes.h.
#include "print/Envelopes.h"

#include <QFile>
#include <QSet>
#include <QtDebug>

#include <algorithm>
#include <cmath>

// Resources of a static library have to be registered by name, outside any namespace.
static void initEnvelopeResource() {
    Q_INIT_RESOURCE(envelopes);
}

namespace bb {

namespace {

constexpr int kFieldCount = 7;
// Nothing larger than an A3 sheet's long edge goes through a printer as an envelope.
constexpr double kMaxLengthMm = 420;
constexpr double kMinLengthMm = 50;

// "162" or "4.125in"; nullopt when it is no length in range.
std::optional<double> parseLength(const QString& field) {
    QString text = field.trimmed();
    double factor = 1.0;
    if (text.endsWith(QLatin1String("in"))) {
        factor = 25.4;
        text.chop(2);
    }
    bool ok = false;
    const double v = text.toDouble(&ok) * factor;
    if (!ok || !std::isfinite(v) || v < kMinLengthMm || v > kMaxLengthMm) return std::nullopt;
    return v;
}

std::optional<QRectF> parseWindow(const QString& field, const QSizeF& envelope, QString& why) {
    const QStringList parts = field.split(QLatin1Char(','));
    if (parts.size() != 4) {
        why = QStringLiteral("Fenster braucht x,y,Breite,Höhe");
        return std::nullopt;
    }
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v[i]) || v[i] < 0) {
            why = QStringLiteral("Fenster: \"%1\" ist keine Länge").arg(parts[i].trimmed());
            return std::nullopt;
        }
    }
    const QRectF window(v[0], v[1], v[2], v[3]);
    if (window.isEmpty() || !QRectF(QPointF(0, 0), envelope).contains(window)) {
        why = QStringLiteral("Fenster liegt nicht ganz auf dem Umschlag");
        return std::nullopt;
    }
    return window;
}

// One catalogue line as an envelope; nullopt with the reason in `why`.
std::optional<EnvelopeSize> parseLine(const QString& line, QString& why) {
    const QStringList f = line.split(QLatin1Char(';'));
    if (f.size() != kFieldCount) {
        why = QStringLiteral("%1 Felder statt %2").arg(f.size()).arg(kFieldCount);
        return std::nullopt;
    }
    EnvelopeSize e;
    e.id = f[0].trimmed();
    e.name = f[1].trimmed();
    if (e.id.isEmpty() || e.id.contains(QLatin1Char(' '))) {
        why = QStringLiteral("Kennung fehlt oder enthält Leerzeichen");
        return std::nullopt;
    }
    if (e.name.isEmpty()) {
        why = QStringLiteral("Name fehlt");
        return std::nullopt;
    }
    const auto width = parseLength(f[2]);
    const auto height = parseLength(f[3]);
    if (!width || !height) {
        why = QStringLiteral("Breite oder Höhe ist keine Länge zwischen %1 und %2 mm")
                  .arg(kMinLengthMm)
                  .arg(kMaxLengthMm);
        return std::nullopt;
    }
    if (*width < *height) {
        why = QStringLiteral("Breite kleiner als Höhe (Umschläge liegen quer)");
        return std::nullopt;
    }
    e.sizeMm = QSizeF(*width, *height);
    const QString layout = f[4].trimmed();
    if (layout == QLatin1String("din")) {
        e.german = true;
    } else if (layout != QLatin1String("centred")) {
        why = QStringLiteral("Anordnung \"%1\" unbekannt (din oder centred)").arg(layout);
        return std::nullopt;
    }
    if (!f[5].trimmed().isEmpty()) {
        e.windowMm = parseWindow(f[5], e.sizeMm, why);
        if (!e.windowMm) return std::nullopt;
    }
    e.media = f[6].trimmed();
    if (e.media.isEmpty()) {
        why = QStringLiteral("Papiername fehlt");
        return std::nullopt;
    }
    return e;
}

}  // namespace

QPageSize EnvelopeSize::pageSize() const {
    const QSizeF portrait(std::min(sizeMm.width(), sizeMm.height()),
                          std::max(sizeMm.width(), sizeMm.height()));
    return QPageSize(portrait, QPageSize::Millimeter, name, QPageSize::FuzzyMatch);
}

EnvelopeCatalogue parseEnvelopeCatalogue(const QByteArray& text) {
    EnvelopeCatalogue out;
    QSet<QString> ids;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString why;
        std::optional<EnvelopeSize> e = parseLine(line, why);
        if (e && ids.contains(e->id.toCaseFolded())) {
            why = QStringLiteral("Kennung \"%1\" kommt schon vor").arg(e->id);
            e.reset();
        }
        if (!e) {
            out.errors << QStringLiteral("Zeile %1: %2").arg(i + 1).arg(why);
            continue;
        }
        ids.insert(e->id.toCaseFolded());
        out.sizes.push_back(std::move(*e));
    }
    return out;
}

const std::vector<EnvelopeSize>& envelopeSizes() {
    static const std::vector<EnvelopeSize> sizes = [] {
        initEnvelopeResource();
        QFile file(QStringLiteral(":/envelopes/envelopes.csv"));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("envelope catalogue missing from the program");
            return std::vector<EnvelopeSize>();
        }
        EnvelopeCatalogue catalogue = parseEnvelopeCatalogue(file.readAll());
        for (const QString& error : catalogue.errors)
            qWarning("envelope catalogue: %s", qPrintable(error));
        return std::move(catalogue.sizes);
    }();
    return sizes;
}

const EnvelopeSize* findEnvelope(const QString& id) {
    const QString key = id.trimmed().toCaseFolded();
    for (const EnvelopeSize& e : envelopeSizes())
        if (e.id.toCaseFolded() == key) return &e;
    return nullptr;
}

}  // namespace bb
