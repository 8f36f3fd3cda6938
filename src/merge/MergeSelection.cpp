// Row ranges and file names of a merge; see MergeSelection.h.
#include "merge/MergeSelection.h"

#include <QSet>

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

QString safeFileName(const QString& value, const QString& fallback) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString name;
    name.reserve(value.size());
    for (const QChar c : value) {
        if (c.category() == QChar::Other_Control || forbidden.contains(c) || c == u'\r' ||
            c == u'\n')
            name += u'_';
        else
            name += c;
    }
    // Leading dots would hide the file; trailing dots and spaces trip up other systems.
    qsizetype start = 0, end = name.size();
    while (start < end && (name.at(start) == u'.' || name.at(start).isSpace())) ++start;
    while (end > start && (name.at(end - 1) == u'.' || name.at(end - 1).isSpace())) --end;
    name = name.mid(start, std::min<qsizetype>(end - start, 100));
    return name.isEmpty() ? fallback : name;
}

QStringList uniqueFileNames(const QStringList& values, const QString& extension,
                            const QString& fallback) {
    QStringList names;
    QSet<QString> taken;
    names.reserve(values.size());
    for (const QString& value : values) {
        const QString base = safeFileName(value, fallback);
        QString name = base;
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        taken.insert(name.toCaseFolded());
        names << name + extension;
    }
    return names;
}

}  // namespace bb
