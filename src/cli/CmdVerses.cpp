// brisella-cli verses [--occasion NAME] [--tone NAME] [--search WORD]: the greeting texts of the
// library and the user's own, one JSON object per line.
#include "cli/Commands.h"
#include "content/Verses.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace bb::cli {

namespace {

// The name of `list` that `given` means (any case); empty when none.
QString knownName(const QStringList& list, const QString& given) {
    for (const QString& name : list)
        if (name.compare(given, Qt::CaseInsensitive) == 0) return name;
    return {};
}

}  // namespace

int runVerses(const QStringList& args) {
    const Command& cmd = findCommand("verses");
    const ParsedArgs p = parseArgs(
        args, {QStringLiteral("--occasion"), QStringLiteral("--tone"), QStringLiteral("--search")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (!p.positional.isEmpty())
        return usageError(cmd, QStringLiteral("unexpected argument %1").arg(p.positional.first()));
    VerseFilter filter;
    filter.search = p.value(QStringLiteral("--search"));
    const struct {
        QString option;
        const QStringList& names;
        QString* into;
    } named[] = {{QStringLiteral("--occasion"), verseOccasions(), &filter.occasion},
                 {QStringLiteral("--tone"), verseTones(), &filter.tone}};
    for (const auto& n : named) {
        if (!p.has(n.option)) continue;
        *n.into = knownName(n.names, p.value(n.option));
        if (n.into->isEmpty())
            return usageError(
                cmd, QStringLiteral("%1: unknown name \"%2\" (one of: %3)")
                         .arg(n.option, p.value(n.option), n.names.join(QStringLiteral(", "))));
    }

    std::vector<Verse> all = shippedVerses();
    // Listing makes no folder in the user's data.
    OwnVerses own(OwnVerses::defaultPath(false));
    QString error;
    if (!own.file().isEmpty() && !own.load(&error))
        std::fprintf(stderr, "note: own verses not read (%s): %s\n", qPrintable(own.file()),
                     qPrintable(error));
    all.insert(all.end(), own.verses().begin(), own.verses().end());
    for (const Verse& v : filterVerses(all, filter)) {
        QJsonObject o;
        o.insert(QStringLiteral("occasion"), v.occasion);
        o.insert(QStringLiteral("tone"), v.tone);
        o.insert(QStringLiteral("text"), v.text);
        o.insert(QStringLiteral("author"), v.author);
        o.insert(QStringLiteral("source"), v.source);
        const QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    return kExitOk;
}

}  // namespace bb::cli
