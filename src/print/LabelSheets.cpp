// Address label sheets; see LabelSheets.h.
#include "print/LabelSheets.h"

#include "print/SheetLayout.h"

#include <QFile>
#include <QSettings>

#include <cmath>

// Resources of a static library have to be registered by name, outside any namespace.
static void initLabelSheetResource() {
    Q_INIT_RESOURCE(labelsheets);
}

namespace bb {

namespace {

// Room for rounding: measures typed with two decimals, sheets that end exactly at the edge.
constexpr double kFitSlackMm = 0.05;
constexpr int kFieldCount = 12;

// "99,1" for 99.1: German decimal comma, at most two decimals, no trailing zeros.
QString mmText(double mm) {
    QString text = QString::number(mm, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool finite(const LabelSheet& s) {
    for (const double v :
         {s.paperMm.width(), s.paperMm.height(), s.labelMm.width(), s.labelMm.height(),
          s.marginMm.x(), s.marginMm.y(), s.pitchMm.x(), s.pitchMm.y(), s.cornerMm})
        if (!std::isfinite(v)) return false;
    return true;
}

QString customSheetName(const LabelSheet& s) {
    return QStringLiteral("Eigenes Format, %1 × %2 Etiketten, %3 × %4 mm")
        .arg(s.columns)
        .arg(s.rows)
        .arg(mmText(s.labelMm.width()), mmText(s.labelMm.height()));
}

}  // namespace

QRectF LabelSheet::labelRectMm(int position) const {
    const int across = std::max(1, columns);
    const int column = position % across;
    const int row = position / across;
    return {marginMm.x() + column * pitchMm.x(), marginMm.y() + row * pitchMm.y(), labelMm.width(),
            labelMm.height()};
}

QString LabelSheet::displayName() const {
    if (products.isEmpty()) return name;
    return QStringLiteral("%1 (%2)").arg(name, products);
}

QString labelSheetProblem(const LabelSheet& s) {
    if (!finite(s)) return QStringLiteral("Die Maße des Etikettenbogens sind keine Zahlen.");
    if (s.columns < 1 || s.rows < 1 || s.columns > kLabelGridMax || s.rows > kLabelGridMax)
        return QStringLiteral("Ein Bogen hat 1 bis %1 Etiketten nebeneinander und untereinander.")
            .arg(kLabelGridMax);
    if (s.labelMm.width() < 1 || s.labelMm.height() < 1)
        return QStringLiteral("Ein Etikett muss mindestens 1 mm breit und hoch sein.");
    if (s.marginMm.x() < 0 || s.marginMm.y() < 0)
        return QStringLiteral("Der Rand links und oben darf nicht negativ sein.");
    if (s.columns > 1 && s.pitchMm.x() + kFitSlackMm < s.labelMm.width())
        return QStringLiteral(
                   "Die Etiketten überlappen sich: Der Abstand von Spalte zu Spalte (%1 mm) ist "
                   "kleiner als die Etikettenbreite (%2 mm).")
            .arg(mmText(s.pitchMm.x()), mmText(s.labelMm.width()));
    if (s.rows > 1 && s.pitchMm.y() + kFitSlackMm < s.labelMm.height())
        return QStringLiteral(
                   "Die Etiketten überlappen sich: Der Abstand von Zeile zu Zeile (%1 mm) ist "
                   "kleiner als die Etikettenhöhe (%2 mm).")
            .arg(mmText(s.pitchMm.y()), mmText(s.labelMm.height()));
    const QRectF last = s.labelRectMm(s.perSheet() - 1);
    if (last.right() > s.paperMm.width() + kFitSlackMm)
        return QStringLiteral(
                   "Die Etiketten passen nicht auf das Blatt: Die letzte Spalte endet %1 mm vom "
                   "linken Rand, das Blatt ist nur %2 mm breit.")
            .arg(mmText(last.right()), mmText(s.paperMm.width()));
    if (last.bottom() > s.paperMm.height() + kFitSlackMm)
        return QStringLiteral(
                   "Die Etiketten passen nicht auf das Blatt: Die letzte Zeile endet %1 mm vom "
                   "oberen Rand, das Blatt ist nur %2 mm hoch.")
            .arg(mmText(last.bottom()), mmText(s.paperMm.height()));
    if (s.cornerMm < 0 || 2 * s.cornerMm > std::min(s.labelMm.width(), s.labelMm.height()))
        return QStringLiteral("Der Eckenradius passt nicht zur Größe der Etiketten.");
    return {};
}

std::optional<std::vector<LabelSheet>> parseLabelSheets(const QByteArray& csv, QString* error) {
    std::vector<LabelSheet> sheets;
    const auto fail = [error](int line, const QString& why) {
        if (error) *error = QStringLiteral("Etikettenbögen, Zeile %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    const QList<QByteArray> lines = csv.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char(';'));
        if (f.size() != kFieldCount)
            return fail(i + 1, QStringLiteral("%1 Felder statt %2").arg(f.size()).arg(kFieldCount));
        LabelSheet s;
        s.id = f[0].trimmed();
        s.name = f[1].trimmed();
        s.products = f[2].trimmed();
        if (s.id.isEmpty() || s.name.isEmpty()) return fail(i + 1, QStringLiteral("ohne Namen"));
        bool ok = true;
        const auto number = [&](int k) {
            bool good = false;
            const double v = f[k].trimmed().toDouble(&good);
            ok = ok && good;
            return v;
        };
        const auto count = [&](int k) {
            bool good = false;
            const int v = f[k].trimmed().toInt(&good);
            ok = ok && good;
            return v;
        };
        s.columns = count(3);
        s.rows = count(4);
        s.labelMm = {number(5), number(6)};
        s.marginMm = {number(7), number(8)};
        s.pitchMm = {number(9), number(10)};
        s.cornerMm = number(11);
        if (!ok) return fail(i + 1, QStringLiteral("ein Maß ist keine Zahl"));
        if (const QString problem = labelSheetProblem(s); !problem.isEmpty())
            return fail(i + 1, problem);
        for (const LabelSheet& other : sheets)
            if (other.id.compare(s.id, Qt::CaseInsensitive) == 0)
                return fail(i + 1, QStringLiteral("„%1“ steht zweimal in der Liste").arg(s.id));
        if (s.id.compare(kCustomLabelSheetId, Qt::CaseInsensitive) == 0)
            return fail(i + 1, QStringLiteral("„%1“ ist für den eigenen Bogen vorbehalten")
                                   .arg(kCustomLabelSheetId));
        sheets.push_back(std::move(s));
    }
    if (sheets.empty()) {
        if (error) *error = QStringLiteral("Die Liste der Etikettenbögen ist leer.");
        return std::nullopt;
    }
    return sheets;
}

const std::vector<LabelSheet>& labelSheets() {
    static const std::vector<LabelSheet> sheets = [] {
        initLabelSheetResource();
        QFile file(QStringLiteral(":/labels/labelsheets.csv"));
        if (!file.open(QIODevice::ReadOnly)) return std::vector<LabelSheet>{};
        QString error;
        auto parsed = parseLabelSheets(file.readAll(), &error);
        if (!parsed) qWarning("%s", qPrintable(error));
        return parsed.value_or(std::vector<LabelSheet>{});
    }();
    return sheets;
}

const LabelSheet* findLabelSheet(const QString& id) {
    for (const LabelSheet& s : labelSheets())
        if (s.id.compare(id.trimmed(), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

LabelSheet customLabelSheet(QSettings& settings) {
    LabelSheet s;
    if (!labelSheets().empty()) s = labelSheets().front();
    settings.beginGroup(QStringLiteral("Etiketten/Eigenes"));
    const auto number = [&settings](const char* key, double fallback) {
        bool ok = false;
        const double v = settings.value(QLatin1String(key)).toDouble(&ok);
        return ok && std::isfinite(v) ? v : fallback;
    };
    const auto count = [&settings](const char* key, int fallback) {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok ? v : fallback;
    };
    s.columns = count("Spalten", s.columns);
    s.rows = count("Zeilen", s.rows);
    s.labelMm = {number("Breite", s.labelMm.width()), number("Hoehe", s.labelMm.height())};
    s.marginMm = {number("Links", s.marginMm.x()), number("Oben", s.marginMm.y())};
    s.pitchMm = {number("AbstandX", s.pitchMm.x()), number("AbstandY", s.pitchMm.y())};
    s.cornerMm = number("Eckenradius", s.cornerMm);
    settings.endGroup();
    s.id = kCustomLabelSheetId;
    s.products.clear();
    s.name = customSheetName(s);
    return s;
}

void storeCustomLabelSheet(QSettings& settings, const LabelSheet& s) {
    settings.beginGroup(QStringLiteral("Etiketten/Eigenes"));
    settings.setValue(QStringLiteral("Spalten"), s.columns);
    settings.setValue(QStringLiteral("Zeilen"), s.rows);
    settings.setValue(QStringLiteral("Breite"), s.labelMm.width());
    settings.setValue(QStringLiteral("Hoehe"), s.labelMm.height());
    settings.setValue(QStringLiteral("Links"), s.marginMm.x());
    settings.setValue(QStringLiteral("Oben"), s.marginMm.y());
    settings.setValue(QStringLiteral("AbstandX"), s.pitchMm.x());
    settings.setValue(QStringLiteral("AbstandY"), s.pitchMm.y());
    settings.setValue(QStringLiteral("Eckenradius"), s.cornerMm);
    settings.endGroup();
}

std::vector<LabelPlacement> labelPlacements(const LabelSheet& sheet, int used,
                                            const MergePlan& plan) {
    std::vector<LabelPlacement> out;
    const int n = std::max(1, sheet.perSheet());
    const int first = clampUsed(used, n);
    const int count = plan.rows.empty() ? 0 : plan.cardCount();
    out.reserve(size_t(std::max(0, count)));
    for (int k = 0; k < count; ++k) {
        const int p = first + k;
        out.push_back({p / n, p % n, plan.rowOfCard(k)});
    }
    return out;
}

int labelSheetCount(const LabelSheet& sheet, int used, const MergePlan& plan) {
    if (plan.rows.empty() || plan.cardCount() < 1) return 0;
    const int n = std::max(1, sheet.perSheet());
    return sheetCount(clampUsed(used, n), plan.cardCount(), n);
}

}  // namespace bb
