// brisella-cli merge-fields CARD.kar [--merge LIST]: the fields the card's texts use, as one
// JSON object {"fields": [...]}; with a list also {"columns", "records", "missing", "unused",
// "mapping"}. Also the address-list options that print and export share: a list's columns are
// mapped to the address fields by their usual names ("First Name" fills {Vorname}).
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

namespace bb::cli {

namespace {

// The address list at `path`, or null with the reason on standard error.
std::shared_ptr<const AddressList> readListOrSay(const QString& path) {
    const AddressListResult read = readAddressList(path);
    if (!read.ok())
        printError(QStringLiteral("cannot read the address list \"%1\": %2").arg(path, read.error));
    return read.list;
}

// The command line has no remembered mappings: the address fields are guessed.
ColumnMapping guessedMapping(const AddressList& list) {
    return guessMapping(list, addressFieldNames());
}

}  // namespace

bool loadMerge(const QString& listPath, const QString& rowsSpec, int copies, MergeRun& merge) {
    merge.list = readListOrSay(listPath);
    if (!merge.list) return false;
    merge.list = mappedList(merge.list, guessedMapping(*merge.list));
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
    const ParsedArgs p = parseArgs(args, {QStringLiteral("--merge")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 1) return usageError(cmd, QStringLiteral("one card file expected"));

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
        const ColumnMapping mapping = guessedMapping(*list);
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
