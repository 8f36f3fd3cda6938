#include "document/FileErrors.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace bb {

QString fileErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("Zugriff verweigert");
        case ENOENT:
            return QStringLiteral("Der Ordner existiert nicht");
        case ENOTDIR:
            return QStringLiteral("Ein Teil des Pfades ist kein Ordner");
        case EISDIR:
            return QStringLiteral("Unter diesem Namen gibt es einen Ordner");
        case EEXIST:
            return QStringLiteral("Unter diesem Namen gibt es schon eine Datei");
        case ENOSPC:
            return QStringLiteral("Kein Speicherplatz mehr auf dem Gerät");
        case EDQUOT:
            return QStringLiteral("Das Speicherkontingent ist erschöpft");
        case EFBIG:
            return QStringLiteral("Die Datei ist zu groß");
        case EROFS:
            return QStringLiteral("Das Dateisystem ist schreibgeschützt");
        case ENAMETOOLONG:
            return QStringLiteral("Der Dateiname ist zu lang");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("Zu viele geöffnete Dateien");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("Die Datei wird gerade benutzt");
        case ELOOP:
            return QStringLiteral("Zu viele symbolische Verknüpfungen im Pfad");
        case EIO:
            return QStringLiteral("Ein-/Ausgabefehler des Geräts");
        case ENOMEM:
            return QStringLiteral("Nicht genügend Arbeitsspeicher");
        case EINTR:
            return QStringLiteral("Der Vorgang wurde unterbrochen");
        default:
            return QStringLiteral("Unbekannter Systemfehler (Nummer %1)").arg(error);
    }
}

QString fileFailureLine(const QString& path, int error) {
    const QFileInfo file(path);
    if (file.isDir()) {
        error = EISDIR;
    } else if (error == 0) {
        const QFileInfo folder(file.absolutePath());
        if (!folder.exists())
            error = ENOENT;
        else if (!folder.isDir())
            error = ENOTDIR;
        else if (!folder.isWritable())
            error = EACCES;
        else
            error = EIO;
    }
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + fileErrorReason(error);
}

}  // namespace bb
