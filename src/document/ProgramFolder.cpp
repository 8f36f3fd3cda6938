#include "document/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace bb {

QString programFolder(const QString& executablePath) {
    const QFileInfo exe(executablePath);
    const QString folder = exe.absolutePath();
    const QFileInfo info(folder);
    if (!executablePath.isEmpty() && info.isDir() && info.isWritable()) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

}  // namespace bb
