// brisella-cli merge-fields CARD.kar [--merge LIST]: the fields the card's texts use, as one
// JSON object {"fields": [...]}; with a list also {"columns", "records", "missing", "unused"}.
// Also the address-list options that print and export share.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "merge/MergeSelection.h"
#include "print/PrintRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <memory>
#include <numeric>

namespace bb::cli {

bool loadMerge(const QString& listPath, const QString& rowsSpec, int copies, MergeRun& merge) {
    const AddressListResult read = readAddressList(listPath);
    if (!read.ok()) {
        printError(
            QStringLiteral("cannot read the address list \"%1\": %2").arg(listPath, read.error));
        return false;
    }
    merge.list = read.list;
    const int rows = read.list->rowCount();
    if (rowsSpec.isEmpty()) {
        merge.plan.rows.resize(size_t(rows));
        std::iota(merge.plan.rows.begin(), merge.plan.rows.end(), 0);
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
    for (const QString& warning : read.list->warnings)
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
        const QString listPath = p.value(QStringLiteral("--merge"));
        const AddressListResult read = readAddressList(listPath);
        if (!read.ok()) {
            printError(QStringLiteral("cannot read the address list \"%1\": %2")
                           .arg(listPath, read.error));
            return kExitFailure;
        }
        const FieldMatch match = matchFields(fields, *read.list);
        out.insert(QStringLiteral("columns"), QJsonArray::fromStringList(read.list->columns));
        out.insert(QStringLiteral("records"), read.list->rowCount());
        out.insert(QStringLiteral("missing"), QJsonArray::fromStringList(match.missing));
        out.insert(QStringLiteral("unused"), QJsonArray::fromStringList(match.unused));
    }
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return kExitOk;
}

}  // namespace bb::cli
