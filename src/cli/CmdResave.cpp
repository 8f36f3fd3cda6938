// brisella-cli resave CARD.kar -o NEW.kar: opens the card as the program does (pictures
// loaded and turned, messages about missing ones on standard error) and saves it as the
// program does, with a freshly drawn preview.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <QCoreApplication>

#include <memory>

namespace bb::cli {

int runResave(const QStringList& args) {
    static const Command self{"resave", "CARD.kar -o NEW.kar", &runResave};
    QString card, output;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o")) {
            if (i + 1 >= args.size() || !output.isEmpty())
                return usageError(self, QStringLiteral("-o needs one file name"));
            output = args[++i];
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(self, QStringLiteral("unknown option %1").arg(a));
        } else if (card.isEmpty()) {
            card = a;
        } else {
            return usageError(self, QStringLiteral("more than one card file given"));
        }
    }
    if (card.isEmpty()) return usageError(self, QStringLiteral("no card file given"));
    if (output.isEmpty()) return usageError(self, QStringLiteral("no output file given (-o)"));

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    CardFileContext fc{dialogs,        ctx, programFolder(QCoreApplication::applicationFilePath()),
                       &CreatePreview, {},  {}};
    // Failures have been written to standard error by the console dialogs.
    if (!OpenItNow(*doc, card, fc)) return kExitFailure;
    if (!Saveit(*doc, output, fc)) return kExitFailure;
    return kExitOk;
}

}  // namespace bb::cli
