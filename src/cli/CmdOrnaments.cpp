// brisella-cli ornaments [-o DIR]: the program's ornaments, one JSON object per line (name,
// category, label, recolourable); with -o every listed ornament is written into DIR as
// <name>.svg, the folder made when missing.
#include "cli/Commands.h"
#include "render/Ornaments.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace bb::cli {

int runOrnaments(const QStringList& args) {
    const Command& self = findCommand("ornaments");
    const ParsedArgs p = parseArgs(args, {QStringLiteral("-o")});
    if (!p.error.isEmpty()) return usageError(self, p.error);
    if (!p.positional.isEmpty()) return usageError(self, QStringLiteral("no arguments expected"));
    const QString dir = p.value(QStringLiteral("-o"));
    if (p.has(QStringLiteral("-o"))) {
        if (dir.isEmpty()) return usageError(self, QStringLiteral("no output folder given (-o)"));
        // The folder itself is never reached through a link, nor is a file taken for it.
        const QFileInfo info(dir);
        if (info.isSymLink() || (info.exists() && !info.isDir())) {
            printError(QStringLiteral("%1 is no folder").arg(dir));
            return kExitFailure;
        }
        if (!info.exists() && !QDir().mkpath(dir)) {
            printError(QStringLiteral("cannot create the folder %1").arg(dir));
            return kExitFailure;
        }
    }
    const std::vector<OrnamentInfo>& catalogue = ornamentCatalogue();
    if (catalogue.empty()) {
        printError(QStringLiteral("no ornaments found"));
        return kExitFailure;
    }
    for (const OrnamentInfo& o : catalogue) {
        const QJsonObject j{{QStringLiteral("name"), o.name},
                            {QStringLiteral("category"), o.category},
                            {QStringLiteral("label"), o.label},
                            {QStringLiteral("recolourable"), o.recolourable}};
        std::fprintf(stdout, "%s\n", QJsonDocument(j).toJson(QJsonDocument::Compact).constData());
        if (dir.isEmpty()) continue;
        if (const QString why = writeOrnamentSvg(dir, o); !why.isEmpty()) {
            std::fflush(stdout);
            printError(QStringLiteral("cannot write %1: %2")
                           .arg(QDir(dir).filePath(o.name + QStringLiteral(".svg")), why));
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace bb::cli
