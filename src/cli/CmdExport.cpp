// brisella-cli export CARD.kar --side outside|inside -o OUT [--format NAME]: opens the card as
// the program does and saves one side as "eMail Export" does, without the dialog. The format
// comes from --format or from OUT's extension; OUT without an extension gets the format's
// lower-case extension (the first type, BMP, when neither names one).
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Export.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace bb::cli {

int runExport(const QStringList& args) {
    const Command& cmd = findCommand("export");
    const ParsedArgs p = parseArgs(
        args, {QStringLiteral("--side"), QStringLiteral("--format"), QStringLiteral("-o")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 1) return usageError(cmd, QStringLiteral("one card file expected"));
    const QString card = p.positional.first();
    const QString output = p.value(QStringLiteral("-o"));
    const QString format = p.value(QStringLiteral("--format"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    const int sideIndex = sideFromName(p.value(QStringLiteral("--side")));
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
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    doc->switchSide(sideIndex);
    if (exportSide(*doc, ctx, fileName, formatCodeForFilterIndex(filterIndex)) != 1) {
        printError(QStringLiteral("cannot write %1").arg(fileName));
        return kExitFailure;
    }
    std::fprintf(stdout, "%s\n", fileName.toLocal8Bit().constData());
    return kExitOk;
}

}  // namespace bb::cli
