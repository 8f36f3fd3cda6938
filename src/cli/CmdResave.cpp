// brisella-cli resave CARD.kar -o NEW.kar: opens the card as the program does (pictures
// loaded and turned, messages about missing ones on standard error) and saves it as the
// program does, with a freshly drawn preview and the 1.0 pictures of its ornaments beside it.
// --copy-pictures first copies the card's pictures next to NEW.kar and stores them by bare
// name, as "Speichern unter..." offers, and writes each ornament's SVG there as <name>.svg.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/CardPictures.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Ornaments.h"
#include "render/Preview.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace bb::cli {

int runResave(const QStringList& args) {
    const Command& self = findCommand("resave");
    const QString copyOption = QStringLiteral("--copy-pictures");
    const ParsedArgs p = parseArgs(args, {QStringLiteral("-o")}, {copyOption});
    if (!p.error.isEmpty()) return usageError(self, p.error);
    if (p.positional.size() != 1) return usageError(self, QStringLiteral("one card file expected"));
    const QString card = p.positional.first();
    const QString output = p.value(QStringLiteral("-o"));
    if (output.isEmpty()) return usageError(self, QStringLiteral("no output file given (-o)"));

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    const QString folder = programFolder(QCoreApplication::applicationFilePath());
    CardFileContext fc{dialogs, ctx, folder, &createCardPreview, {}, {}};
    fc.writeCompanions = &writeOrnamentPictures;
    CardPictureCopy copy;
    if (p.has(copyOption)) {
        copy = copyCardPictures(*doc, output, folder);
        for (const QString& line : copy.copied)
            std::fprintf(stdout, "copied %s\n", line.toLocal8Bit().constData());
        for (const QString& name : copy.reused)
            std::fprintf(stdout, "already there %s\n", name.toLocal8Bit().constData());
        for (const QString& name : copy.missing)
            printError(QStringLiteral("picture not found, not copied: %1").arg(name));
        for (const QString& why : copy.notPictures)
            printError(QStringLiteral("not a picture, not copied: %1").arg(why));
        for (const QString& why : copy.failed)
            printError(QStringLiteral("cannot copy picture %1").arg(why));
        // The ornaments' vectors too, for programs that draw them from there.
        const OrnamentFiles svgs = writeOrnamentSvgs(*doc, output);
        for (const QString& name : svgs.written)
            std::fprintf(stdout, "copied %s\n", name.toLocal8Bit().constData());
        for (const QString& why : svgs.failed)
            printError(QStringLiteral("cannot copy ornament %1").arg(why));
        if (!svgs.failed.isEmpty()) copy.failed << svgs.failed;
    }
    if (!saveCardFile(*doc, output, fc)) {
        printError(QStringLiteral("cannot write %1").arg(output));
        return kExitFailure;
    }
    return copy.ok() ? kExitOk : kExitFailure;
}

}  // namespace bb::cli
