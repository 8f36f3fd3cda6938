// brisella-cli render CARD.kar --side outside|inside --dpi N -o OUT.png: opens the card as the
// program does and writes one side, drawn in output mode, as a PNG picture.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <QCoreApplication>
#include <QImage>
#include <QSaveFile>

#include <memory>

namespace bb::cli {

namespace {

const Command& renderCommand() {
    for (const Command& cmd : commands())
        if (QLatin1String(cmd.name) == QLatin1String("render")) return cmd;
    static const Command fallback{"render", "CARD.kar --side outside|inside --dpi N -o OUT.png",
                                  &runRender};
    return fallback;
}

}  // namespace

int runRender(const QStringList& args) {
    const Command& cmd = renderCommand();
    QString card, side, dpiText, output;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == QLatin1String("--side")) {
            if (!value(side)) return usageError(cmd, QStringLiteral("--side needs a value"));
        } else if (a == QLatin1String("--dpi")) {
            if (!value(dpiText)) return usageError(cmd, QStringLiteral("--dpi needs a value"));
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
    bool ok = false;
    const double dpi = dpiText.toDouble(&ok);
    if (!ok || !(dpi > 0) || dpi > 4800)
        return usageError(cmd, QStringLiteral("--dpi must be a number above 0 and up to 4800"));

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
    const QImage image = renderSide(*doc, ctx, dpi);
    if (image.isNull()) {
        printError(QStringLiteral("the card is too large or empty at %1 dpi").arg(dpi));
        return kExitFailure;
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        printError(QStringLiteral("cannot write %1").arg(output));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace bb::cli
