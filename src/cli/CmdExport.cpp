// brisella-cli export CARD.kar --side outside|inside -o OUT [--format NAME]: opens the card as
// the program does and saves one side as "eMail Export" does, without the dialog. The format
// comes from --format or from OUT's extension; OUT without an extension gets the format's
// lower-case extension (the first type, BMP, when neither names one).
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Export.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace bb::cli {

namespace {

const Command& exportCommand() {
    for (const Command& cmd : commands())
        if (QLatin1String(cmd.name) == QLatin1String("export")) return cmd;
    static const Command fallback{"export", "CARD.kar --side outside|inside -o OUT [--format NAME]",
                                  &runExport};
    return fallback;
}

}  // namespace

int runExport(const QStringList& args) {
    const Command& cmd = exportCommand();
    QString card, side, output, format;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == QLatin1String("--side")) {
            if (!value(side)) return usageError(cmd, QStringLiteral("--side needs a value"));
        } else if (a == QLatin1String("--format")) {
            if (!value(format)) return usageError(cmd, QStringLiteral("--format needs a name"));
        } else if (a == QLatin1String("-o")) {
            if (!value(output)) return usageError(cmd, QStringLiteral("-o needs a file name"));
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(cmd, QStringLiteral("unknown option %1").arg(a));
        } else if (card.isEmpty()) {
            card = a;
        } else {
            return usageError(cmd, QStringLiteral("more than one card file given"));
        }
    }
    if (card.isEmpty()) return usageError(cmd, QStringLiteral("no card file given"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    int sideIndex = -1;
    if (side == QLatin1String("outside")) sideIndex = SideOutside;
    if (side == QLatin1String("inside")) sideIndex = SideInside;
    if (sideIndex < 0) return usageError(cmd, QStringLiteral("--side must be outside or inside"));

    int filterIndex = 1;
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
    CardFileContext fc{dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()),
                       {},      {},  {}};
    if (!OpenItNow(*doc, card, fc)) {
        printError(QStringLiteral("cannot read %1").arg(card));
        return kExitFailure;
    }
    doc->PageControl2Change(sideIndex);
    if (exportSide(*doc, ctx, fileName, formatCodeForFilterIndex(filterIndex)) != 1) {
        printError(QStringLiteral("cannot write %1").arg(fileName));
        return kExitFailure;
    }
    std::fprintf(stdout, "%s\n", fileName.toLocal8Bit().constData());
    return kExitOk;
}

}  // namespace bb::cli
