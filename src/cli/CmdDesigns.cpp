// brisella-cli designs [--occasion NAME] [-o DIR]: lists the designs that come with the program
// (and the user's own), one JSON object a line; with -o writes each listed design as a card
// with its pictures into DIR, ready to open or print.
// brisella-cli make-designs DESCRIPTION OUTDIR: the build step that draws the shipped designs.
#include "cli/Commands.h"
#include "content/ContentFolders.h"
#include "content/DesignBuilder.h"
#include "content/DesignLibrary.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/CardPictures.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "render/Ornaments.h"
#include "render/Preview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <memory>

namespace bb::cli {

namespace {

// The user's own designs, when their folder exists (a listing never makes it).
QString ownDesignsFolder() {
    const QString folder =
        QDir(userDataFolder()).filePath(QString::fromLatin1(kOwnDesignsOccasion));
    const QFileInfo info(folder);
    return info.isDir() && !info.isSymLink() ? folder : QString();
}

// Writes the design as DIR/<card name> with its pictures beside it; false with the reason
// on standard error.
bool writeDesign(const DesignEntry& e, const QString& dir) {
    const QString target = QDir(dir).filePath(QFileInfo(e.cardPath).fileName());
    if (QFileInfo(target).isSymLink()) {
        printError(QStringLiteral("%1 is a link; not written through").arg(target));
        return false;
    }
    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    if (!openCard(*doc, e.cardPath, ctx, dialogs)) return false;
    const QString folder = programFolder(QCoreApplication::applicationFilePath());
    const CardPictureCopy copy = copyCardPictures(*doc, target, folder);
    for (const QString& name : copy.missing)
        printError(QStringLiteral("%1: picture not found: %2").arg(e.cardPath, name));
    for (const QString& why : copy.notPictures)
        printError(QStringLiteral("%1: not a picture: %2").arg(e.cardPath, why));
    for (const QString& why : copy.failed)
        printError(QStringLiteral("cannot copy picture %1").arg(why));
    if (!copy.ok() || !copy.missing.isEmpty()) return false;
    CardFileContext fc{dialogs, ctx, folder, &createCardPreview, {}, {}};
    fc.writeCompanions = &writeOrnamentPictures;
    if (!saveCardFile(*doc, target, fc)) {
        printError(QStringLiteral("cannot write %1").arg(target));
        return false;
    }
    return true;
}

}  // namespace

int runDesigns(const QStringList& args) {
    const Command& self = findCommand("designs");
    const QString occasionOption = QStringLiteral("--occasion");
    const ParsedArgs p = parseArgs(args, {occasionOption, QStringLiteral("-o")});
    if (!p.error.isEmpty()) return usageError(self, p.error);
    if (!p.positional.isEmpty()) return usageError(self, QStringLiteral("no file expected"));
    const QString occasion = p.value(occasionOption);
    if (p.has(occasionOption) && !designOccasions().contains(occasion))
        return usageError(self, QStringLiteral("no occasion \"%1\"; known: %2")
                                    .arg(occasion, designOccasions().join(QStringLiteral(", "))));
    const QStringList shipped =
        shippedContentFolders(QStringLiteral("designs"), QCoreApplication::applicationDirPath());
    const QList<DesignEntry> designs =
        filterDesigns(listDesigns(shipped, ownDesignsFolder()), QString(), occasion);

    const QString outDir = p.value(QStringLiteral("-o"));
    if (p.has(QStringLiteral("-o"))) {
        const QFileInfo info(outDir);
        if (outDir.isEmpty() || info.isSymLink() || (info.exists() && !info.isDir())) {
            printError(QStringLiteral("%1 is not a folder").arg(outDir));
            return kExitFailure;
        }
        if (!QDir().mkpath(outDir)) {
            printError(QStringLiteral("cannot create the folder %1").arg(outDir));
            return kExitFailure;
        }
    }
    for (const DesignEntry& e : designs) {
        if (!outDir.isEmpty() && !writeDesign(e, outDir)) return kExitFailure;
        const QJsonObject line{
            {QStringLiteral("name"), e.name},
            {QStringLiteral("occasion"), e.occasion},
            {QStringLiteral("card"), QFileInfo(e.cardPath).fileName()},
            {QStringLiteral("keywords"), QJsonArray::fromStringList(e.keywords)}};
        std::fprintf(stdout, "%s\n",
                     QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    }
    return kExitOk;
}

int runMakeDesigns(const QStringList& args) {
    const Command& self = findCommand("make-designs");
    if (args.size() != 2 || args[0].startsWith(QLatin1Char('-')) ||
        args[1].startsWith(QLatin1Char('-')))
        return usageError(self, QStringLiteral("a description and an output folder expected"));
    const DesignBuildResult result = buildDesigns(args[0], args[1]);
    if (!result.ok) {
        printError(result.error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace bb::cli
