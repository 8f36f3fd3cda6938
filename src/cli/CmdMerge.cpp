// brisella-cli merge-fields CARD.kar [--merge LIST]: the fields the card's texts use, as one
// JSON object {"fields": [...]}; with a list also {"columns", "records", "missing", "unused",
// "mapping"}. Also the address-list options that print and export share: a list's columns are
// mapped to the address fields by their usual names ("First Name" fills {Vorname}) or as
// --map says.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "merge/AddressList.h"
#include "merge/ColumnMapping.h"
#include "merge/MergeFields.h"
#include "merge/MergeSelection.h"
#include "print/PrintRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <memory>
#include <optional>

namespace bb::cli {

namespace {

// The address list at `path`, or null with the reason on standard error.
std::shared_ptr<const AddressList> readListOrSay(const QString& path) {
    const AddressListResult read = readAddressList(path);
    if (!read.ok())
        printError(QStringLiteral("cannot read the address list \"%1\": %2").arg(path, read.error));
    return read.list;
}

// The mapping of `list`: the entries of --map ("Vorname=Rufname,PLZ=Zip"; an empty column
// leaves the field unfilled), the other address fields guessed (the command line remembers
// none). Nullopt with the failure on standard error.
std::optional<ColumnMapping> listMapping(const AddressList& list, const QString& mapText) {
    ColumnMapping chosen;
    for (const QString& part : mapText.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        const QString field = part.left(eq).trimmed();
        const QString column = part.mid(eq + 1).trimmed();
        if (eq < 0 || field.isEmpty()) {
            printError(QStringLiteral("--map: \"%1\" is not FIELD=COLUMN").arg(part));
            return std::nullopt;
        }
        if (!column.isEmpty() && list.columnOf(column) < 0) {
            printError(QStringLiteral("--map: the list has no column \"%1\"; its columns are: %2")
                           .arg(column, list.columns.join(QStringLiteral(", "))));
            return std::nullopt;
        }
        chosen.set(field, column);
    }
    return guessMapping(list, addressFieldNames(), chosen);
}

}  // namespace

bool loadMerge(const QString& listPath, const QString& rowsSpec, int copies, MergeRun& merge,
               const QString& mapText) {
    merge.list = readListOrSay(listPath);
    if (!merge.list) return false;
    const std::optional<ColumnMapping> mapping = listMapping(*merge.list, mapText);
    if (!mapping) return false;
    merge.list = mappedList(merge.list, *mapping);
    const int rows = merge.list->rowCount();
    if (rowsSpec.isEmpty()) {
        merge.plan.rows = everyRow(rows);
    } else {
        QString error;
        const auto chosen = parseRowRanges(rowsSpec, rows, &error);
        if (!chosen) {
            printError(QStringLiteral("--rows %1: %2").arg(rowsSpec, error));
            return false;
        }
        merge.plan.rows = *chosen;
    }
    merge.plan.copies = std::max(1, copies);
    for (const QString& warning : merge.list->warnings)
        std::fprintf(stderr, "note: %s: %s\n", qPrintable(listPath), qPrintable(warning));
    return true;
}

void warnMissingFields(const CardDocument& doc, const AddressList& list) {
    const FieldMatch match = matchFields(fieldsOfCard(doc), list);
    for (const QString& field : match.missing)
        std::fprintf(stderr,
                     "warning: the list has no column for the field {%s}; it is printed "
                     "as typed\n",
                     qPrintable(field));
}

int runMergeFields(const QStringList& args) {
    const Command& cmd = findCommand("merge-fields");
    const ParsedArgs p = parseArgs(args, {QStringLiteral("--merge"), QStringLiteral("--map")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 1) return usageError(cmd, QStringLiteral("one card file expected"));
    if (p.has(QStringLiteral("--map")) && !p.has(QStringLiteral("--merge")))
        return usageError(cmd, QStringLiteral("--map needs --merge"));

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, p.positional.first(), ctx, dialogs)) return kExitFailure;
    const QStringList fields = fieldsOfCard(*doc);
    QJsonObject out;
    out.insert(QStringLiteral("fields"), QJsonArray::fromStringList(fields));
    if (p.has(QStringLiteral("--merge"))) {
        const auto list = readListOrSay(p.value(QStringLiteral("--merge")));
        if (!list) return kExitFailure;
        const std::optional<ColumnMapping> chosen =
            listMapping(*list, p.value(QStringLiteral("--map")));
        if (!chosen) return kExitFailure;
        const ColumnMapping& mapping = *chosen;
        const FieldMatch match = matchFields(fields, *mappedList(list, mapping));
        out.insert(QStringLiteral("columns"), QJsonArray::fromStringList(list->columns));
        out.insert(QStringLiteral("records"), list->rowCount());
        out.insert(QStringLiteral("missing"), QJsonArray::fromStringList(match.missing));
        out.insert(QStringLiteral("unused"),
                   QJsonArray::fromStringList(unusedColumns(fields, *list, mapping)));
        // The fields that found a column, in the order of the fields.
        QJsonArray mapped;
        for (const auto& [field, column] : mapping.fieldToColumn)
            if (!column.isEmpty())
                mapped.append(QJsonObject{{QStringLiteral("field"), field},
                                          {QStringLiteral("column"), column}});
        out.insert(QStringLiteral("mapping"), mapped);
    }
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return kExitOk;
}

}  // namespace bb::cli
