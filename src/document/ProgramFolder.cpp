#include "document/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace bb {

namespace {

// Folders that programs are installed into: never a program folder, even where they are
// writable (for root), so an installed program keeps its data in the user's data folder.
bool isInstallFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const QString& bin : {QStringLiteral(BRISELLA_INSTALL_BINDIR), QStringLiteral("/usr/bin"),
                               QStringLiteral("/usr/local/bin"), QStringLiteral("/bin")}) {
        if (canonical == QFileInfo(bin).canonicalFilePath()) return true;
    }
    return false;
}

// A folder the file manager does not show: one of its components starts with a dot.
bool isHiddenPath(const QString& folder) {
    const QStringList parts = QDir::cleanPath(QFileInfo(folder).absoluteFilePath())
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        if (part.startsWith(QLatin1Char('.'))) return true;
    return false;
}

}  // namespace

QString programFolder(const QString& executablePath) {
    const QFileInfo exe(executablePath);
    QString folder = exe.absolutePath();
    const QFileInfo info(folder);
    if (!executablePath.isEmpty() && info.isDir() && info.isWritable() && !isInstallFolder(folder))
        return folder;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

QString cardFolder(const QString& programFolder, const QString& documentsFolder) {
    if (!isHiddenPath(programFolder) || documentsFolder.isEmpty()) return programFolder;
    QString cards = QDir(documentsFolder).filePath(QStringLiteral("Grußkarten"));
    // A folder that cannot be made leaves the cards where the program keeps its data.
    if (!QDir().mkpath(cards)) return programFolder;
    return cards;
}

}  // namespace bb
