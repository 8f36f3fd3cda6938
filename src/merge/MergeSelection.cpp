// Row ranges and file names of a merge; see MergeSelection.h.
#include "merge/MergeSelection.h"

#include <QSet>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <numeric>

namespace bb {

namespace {

std::optional<int> recordNumber(QStringView text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

std::optional<std::vector<int>> parseRowRanges(const QString& text, int rowCount, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<std::vector<int>> {
        if (error) *error = message;
        return std::nullopt;
    };
    std::vector<int> rows;
    const QStringList parts = text.split(u',');
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        if (part.isEmpty()) {
            if (parts.size() == 1)
                return fail(QStringLiteral("Bitte Datensätze angeben, zum Beispiel 1-20."));
            continue;
        }
        const qsizetype dash = part.indexOf(u'-', 1);
        const std::optional<int> first = recordNumber(dash < 0 ? part : part.left(dash));
        const std::optional<int> last = dash < 0 ? first : recordNumber(part.mid(dash + 1));
        if (!first || !last)
            return fail(
                QStringLiteral("\"%1\" ist kein Datensatz und kein Bereich wie 1-20.").arg(part));
        for (int n : {*first, *last})
            if (n < 1 || n > rowCount)
                return fail(QStringLiteral("Datensatz %1 gibt es nicht; die Liste hat %2.")
                                .arg(n)
                                .arg(rowCount));
        if (*last < *first)
            return fail(QStringLiteral("Der Bereich %1 endet vor seinem Anfang.").arg(part));
        for (int n = *first; n <= *last; ++n) rows.push_back(n - 1);
    }
    if (rows.empty()) return fail(QStringLiteral("Bitte Datensätze angeben, zum Beispiel 1-20."));
    return rows;
}

std::vector<int> everyRow(int rowCount) {
    std::vector<int> rows(size_t(std::max(rowCount, 0)));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

QString safeFileName(const QString& value, const QString& fallback, int maxBytes) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString name;
    name.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, value.at(i + 1));
            ++i;
            // Format characters beyond the first plane (tag characters) go as well.
            if (QChar::category(code) != QChar::Other_Format) {
                name += c;
                name += value.at(i);
            }
            continue;
        }
        if (c.isSurrogate() || c.category() == QChar::Other_Format) continue;
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            name += u'_';
        else
            name += c;
    }
    // Leading dots would hide the file; trailing dots and spaces trip up other systems.
    const auto trimmed = [](const QString& s) {
        qsizetype start = 0, end = s.size();
        while (start < end && (s.at(start) == u'.' || s.at(start).isSpace())) ++start;
        while (end > start && (s.at(end - 1) == u'.' || s.at(end - 1).isSpace())) --end;
        return s.mid(start, end - start);
    };
    name = trimmed(name);
    // Cut between whole characters (a letter keeps its accents, a pair of surrogates stays
    // whole) within both limits.
    constexpr qsizetype kMaxUnits = 100;
    if (name.size() > kMaxUnits || name.toUtf8().size() > maxBytes) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, name);
        qsizetype cut = 0, bytes = 0;
        for (qsizetype at = graphemes.toNextBoundary(); at > 0 && at <= kMaxUnits;
             at = graphemes.toNextBoundary()) {
            bytes += QStringView(name).mid(cut, at - cut).toUtf8().size();
            if (bytes > maxBytes) break;
            cut = at;
        }
        name = trimmed(name.left(cut));
    }
    return name.isEmpty() ? fallback : name;
}

QStringList uniqueFileNames(const QStringList& values, const QString& extension,
                            const QString& fallback) {
    const int maxBytes =
        std::max(1, kFileNameMaxBytes - kFileNameNumberRoom - int(extension.toUtf8().size()));
    QStringList names;
    QSet<QString> taken;
    names.reserve(values.size());
    for (const QString& value : values) {
        const QString base = safeFileName(value, fallback, maxBytes);
        QString name = base;
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        taken.insert(name.toCaseFolded());
        names << name + extension;
    }
    return names;
}

QString numberedFileName(const QString& name, int n) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype at = dot > 0 ? dot : name.size();
    return name.left(at) + QStringLiteral(" (%1)").arg(n) + name.mid(at);
}

}  // namespace bb
