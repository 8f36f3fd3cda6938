// brisella-cli resave CARD.kar -o NEW.kar: opens the card as the program does (pictures
// loaded and turned, messages about missing ones on standard error) and saves it as the
// program does, with a freshly drawn preview.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <QCoreApplication>

#include <memory>

namespace bb::cli {

int runResave(const QStringList& args) {
    const Command& self = findCommand("resave");
    const ParsedArgs p = parseArgs(args, {QStringLiteral("-o")});
    if (!p.error.isEmpty()) return usageError(self, p.error);
    if (p.positional.size() != 1) return usageError(self, QStringLiteral("one card file expected"));
    const QString card = p.positional.first();
    const QString output = p.value(QStringLiteral("-o"));
    if (output.isEmpty()) return usageError(self, QStringLiteral("no output file given (-o)"));

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    CardFileContext fc{
        dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()), &createCardPreview,
        {},      {}};
    if (!saveCardFile(*doc, output, fc)) {
        printError(QStringLiteral("cannot write %1").arg(output));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace bb::cli
