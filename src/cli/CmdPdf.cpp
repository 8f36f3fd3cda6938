// brisella-cli pdf CARD.kar OUT.pdf [--layout folded|sides] [--crop-marks] [--bleed MM]
// [--dpi N]: the card as a PDF file for a print shop or a recipient (print/CardPdf).
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "print/CardPdf.h"

#include <QFileInfo>

#include <memory>

namespace bb::cli {

namespace {

// The options from the arguments; an empty `why` when they are right.
CardPdfOptions pdfOptions(const ParsedArgs& p, QString& why) {
    CardPdfOptions options;
    const QString layout = p.value(QStringLiteral("--layout"));
    if (layout == QLatin1String("sides"))
        options.layout = CardPdfOptions::SidesStacked;
    else if (!layout.isEmpty() && layout != QLatin1String("folded"))
        why = QStringLiteral("--layout must be folded or sides");
    options.cropMarks = p.has(QStringLiteral("--crop-marks"));
    bool ok = true;
    if (p.has(QStringLiteral("--bleed"))) {
        options.bleedMm = p.value(QStringLiteral("--bleed")).toDouble(&ok);
        if (!ok || !(options.bleedMm >= 0) || options.bleedMm > kMaxBleedMm)
            why = QStringLiteral("--bleed must be a length in mm from 0 to %1").arg(kMaxBleedMm);
    }
    if (p.has(QStringLiteral("--dpi"))) {
        options.dpi = p.value(QStringLiteral("--dpi")).toInt(&ok);
        if (!ok || options.dpi < kMinPdfDpi || options.dpi > kMaxPdfDpi)
            why = QStringLiteral("--dpi must be a whole number from %1 to %2")
                      .arg(kMinPdfDpi)
                      .arg(kMaxPdfDpi);
    }
    return options;
}

}  // namespace

int runPdf(const QStringList& args) {
    const Command& cmd = findCommand("pdf");
    const ParsedArgs p = parseArgs(
        args, {QStringLiteral("--layout"), QStringLiteral("--bleed"), QStringLiteral("--dpi")},
        {QStringLiteral("--crop-marks")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (p.positional.size() != 2)
        return usageError(cmd, QStringLiteral("a card file and an output file expected"));
    QString why;
    CardPdfOptions options = pdfOptions(p, why);
    if (!why.isEmpty()) return usageError(cmd, why);

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, p.positional[0], ctx, dialogs)) return kExitFailure;
    options.title = QFileInfo(p.positional[0]).completeBaseName();
    QString error;
    if (!writeCardPdf(*doc, ctx, p.positional[1], options, &error)) {
        printError(error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace bb::cli
