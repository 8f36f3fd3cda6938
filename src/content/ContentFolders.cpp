#include "content/ContentFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace bb {

QStringList shippedContentFolders(const QString& kind, const QString& executableDir) {
    QStringList out;
    const QStringList installed = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("brisella-bildwerker/") + kind,
        QStandardPaths::LocateDirectory);
    for (const QString& f : installed)
        if (!out.contains(f)) out.append(f);
    if (!executableDir.isEmpty()) {
        // The programs lie in build/src/app and build/src/cli.
        const QString buildTree = QDir::cleanPath(executableDir + QStringLiteral("/../.."));
        const QString folder = buildTree + QLatin1Char('/') + kind;
        if (QFileInfo::exists(buildTree + QStringLiteral("/CMakeCache.txt")) &&
            QFileInfo(folder).isDir() && !out.contains(folder))
            out.append(folder);
    }
    return out;
}

QString userContentFolder(const QString& dataFolder, const QString& name) {
    if (dataFolder.isEmpty() || name.isEmpty()) return {};
    QString folder = QDir(dataFolder).filePath(name);
    if (!QDir().mkpath(folder)) return {};
    // A link there could send the user's files anywhere; only a real folder is used.
    const QFileInfo info(folder);
    if (info.isSymLink() || !info.isDir()) return {};
    return folder;
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/brisella-bildwerker");
}

}  // namespace bb
