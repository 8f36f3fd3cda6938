// brisella-cli render CARD.kar --side outside|inside --dpi N -o OUT.png: opens the card as the
// program does and writes one side, drawn in output mode, as a PNG picture.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <memory>

namespace bb::cli {

int runRender(const QStringList& args) {
    const Command& cmd = findCommand("render");
    const ParsedArgs p =
        parseArgs(args, {QStringLiteral("--side"), QStringLiteral("--dpi"), QStringLiteral("-o")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 1) return usageError(cmd, QStringLiteral("one card file expected"));
    const QString card = p.positional.first();
    const QString output = p.value(QStringLiteral("-o"));
    const QString dpiText = p.value(QStringLiteral("--dpi"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    const int sideIndex = sideFromName(p.value(QStringLiteral("--side")));
    if (sideIndex < 0) return usageError(cmd, QStringLiteral("--side must be outside or inside"));
    bool ok = false;
    const double dpi = dpiText.toDouble(&ok);
    if (!ok || !(dpi > 0) || dpi > 4800)
        return usageError(cmd, QStringLiteral("--dpi must be a number above 0 and up to 4800"));

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, card, ctx, dialogs)) return kExitFailure;
    const QImage image = renderSide(*doc, sideIndex, ctx, dpi);
    if (image.isNull()) {
        printError(QStringLiteral("the card is too large or empty at %1 dpi").arg(dpi));
        return kExitFailure;
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        printError(QStringLiteral("cannot encode the picture for %1").arg(output));
        return kExitFailure;
    }
    if (!writeOutput(output, png)) return kExitFailure;
    return kExitOk;
}

}  // namespace bb::cli
