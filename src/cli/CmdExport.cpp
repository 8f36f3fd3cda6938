// brisella-cli export CARD.kar --side outside|inside -o OUT [--format NAME]: opens the card as
// the program does and saves one side as "eMail Export" does, without the dialog. The format
// comes from --format or from OUT's extension; OUT without an extension gets the format's
// lower-case extension (the first type, BMP, when neither names one). With --merge LIST, OUT
// is a folder that gets one picture per row of the list (or of --rows), named after the row's
// cell of --name-column (the record number without one); the format is --format's or BMP.
// --side both writes two pictures per row, "NAME - Außenseite" and "NAME - Innenseite". A
// name held in the folder by a link or anything but a regular file is never written through;
// the picture takes the next free name. A picture that fails is reported and the others go
// on; the exit status is then 1.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "merge/AddressList.h"
#include "print/PrintRun.h"
#include "render/Export.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace bb::cli {

namespace {

// One picture per row of the list into the folder `folder` (made when missing).
int exportMerge(const ParsedArgs& p, const QString& card, MergeSides sides, const QString& folder,
                int filterIndex) {
    MergeRun merge;
    if (!loadMerge(p.value(QStringLiteral("--merge")), p.value(QStringLiteral("--rows")), 1, merge,
                   p.value(QStringLiteral("--map"))))
        return kExitFailure;
    int nameColumn = -1;
    if (p.has(QStringLiteral("--name-column"))) {
        const QString name = p.value(QStringLiteral("--name-column"));
        nameColumn = merge.list->columnOf(name);
        if (nameColumn < 0) {
            printError(QStringLiteral("the list has no column \"%1\"; its columns are: %2")
                           .arg(name, merge.list->columns.join(QStringLiteral(", "))));
            return kExitFailure;
        }
    }
    if (!QDir().mkpath(folder)) {
        printError(QStringLiteral("cannot make the folder %1").arg(folder));
        return kExitFailure;
    }
    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    warnMissingFields(*doc, *merge.list);
    const MergeExportResult result = exportMergedSides(*doc, ctx, *merge.list, merge.plan.rows,
                                                       nameColumn, folder, filterIndex, sides);
    for (const QString& file : result.files)
        std::fprintf(stdout, "%s\n", file.toLocal8Bit().constData());
    std::fflush(stdout);
    for (const QString& failure : result.failures) printError(failure);
    if (result.failures.isEmpty() && !result.error.isEmpty()) printError(result.error);
    if (!result.failures.isEmpty())
        printError(QStringLiteral("%1 of %2 picture(s) could not be written")
                       .arg(result.failures.size())
                       .arg(result.failures.size() + result.files.size()));
    return result.ok() ? kExitOk : kExitFailure;
}

}  // namespace

int runExport(const QStringList& args) {
    const Command& cmd = findCommand("export");
    const ParsedArgs p =
        parseArgs(args, {QStringLiteral("--side"), QStringLiteral("--format"), QStringLiteral("-o"),
                         QStringLiteral("--merge"), QStringLiteral("--rows"),
                         QStringLiteral("--name-column"), QStringLiteral("--map")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 1) return usageError(cmd, QStringLiteral("one card file expected"));
    const QString card = p.positional.first();
    const QString output = p.value(QStringLiteral("-o"));
    const QString format = p.value(QStringLiteral("--format"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    const bool merging = p.has(QStringLiteral("--merge"));
    const QString sideName = p.value(QStringLiteral("--side"));
    const int sideIndex = sideFromName(sideName);
    const bool bothSides = sideName == QLatin1String("both");
    if (bothSides && !merging)
        return usageError(cmd, QStringLiteral("--side both needs --merge (one picture per side "
                                              "and row); export one side at a time"));
    if (sideIndex < 0 && !bothSides)
        return usageError(cmd, QStringLiteral("--side must be outside, inside or both"));

    if (!merging && (p.has(QStringLiteral("--rows")) || p.has(QStringLiteral("--name-column")) ||
                     p.has(QStringLiteral("--map"))))
        return usageError(cmd, QStringLiteral("--rows, --name-column and --map need --merge"));

    int filterIndex = 1;
    if (merging) {
        if (!format.isEmpty()) {
            filterIndex = filterIndexForFormat(format);
            if (filterIndex == 0)
                return usageError(cmd, QStringLiteral("unknown format %1").arg(format));
        }
        const MergeSides sides = bothSides                 ? MergeSides::Both
                                 : sideIndex == SideInside ? MergeSides::Inside
                                                           : MergeSides::Outside;
        return exportMerge(p, card, sides, output, filterIndex);
    }
    if (!format.isEmpty()) {
        filterIndex = filterIndexForFormat(format);
        if (filterIndex == 0)
            return usageError(cmd, QStringLiteral("unknown format %1").arg(format));
    } else if (hasExtension(output)) {
        filterIndex = filterIndexForFormat(QFileInfo(output).suffix());
        if (filterIndex == 0)
            return usageError(cmd, QStringLiteral("no picture format for the extension of %1; "
                                                  "name one with --format")
                                       .arg(output));
    }
    const QString fileName = exportFileName(output, filterIndex);

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    int error = 0;
    if (exportSide(*doc, sideIndex, ctx, fileName, formatCodeForFilterIndex(filterIndex), &error) !=
        1) {
        printWriteError(fileName, error);
        return kExitFailure;
    }
    std::fprintf(stdout, "%s\n", fileName.toLocal8Bit().constData());
    return kExitOk;
}

}  // namespace bb::cli
