#include "browser/CardFileActions.h"

#include "document/FileErrors.h"
#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStandardPaths>
#include <QUrl>

#ifdef BRISELLA_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#endif

namespace bb {

namespace {

const QLatin1String kSuffix(".kar");

bool taken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();  // a dangling link still holds the name
}

}  // namespace

QString cardFileName(const QString& typed) {
    const QString name = typed.trimmed();
    if (name.isEmpty()) return {};
    return name.endsWith(kSuffix, Qt::CaseInsensitive) ? name : name + kSuffix;
}

CardFileResult renameCardFile(const QString& path, const QString& typed) {
    const QFileInfo old(path);
    const QString name = cardFileName(typed);
    if (name.isEmpty() || name == old.fileName()) return {};
    if (name.contains(QLatin1Char('/')))
        return {{},
                QStringLiteral("Der Name „%1“ darf keinen Schrägstrich (/) enthalten.").arg(name)};
    const QString target = old.dir().filePath(name);
    if (taken(target))
        return {{},
                QStringLiteral("Im Ordner gibt es schon eine Datei „%1“. Bitte wählen Sie einen "
                               "anderen Namen.")
                    .arg(name)};
    if (!QFile::rename(path, target))
        return {{},
                QStringLiteral("Die Karte „%1“ konnte nicht in „%2“ umbenannt werden.")
                    .arg(old.fileName(), name)};
    return {target, {}};
}

QString duplicateCardPath(const QString& path) {
    const QFileInfo info(path);
    QString base = info.fileName();
    if (base.endsWith(kSuffix, Qt::CaseInsensitive)) base.chop(kSuffix.size());
    const QDir dir = info.dir();
    QString candidate = dir.filePath(QStringLiteral("%1 (Kopie).kar").arg(base));
    for (int n = 2; taken(candidate); ++n)
        candidate = dir.filePath(QStringLiteral("%1 (Kopie %2).kar").arg(base).arg(n));
    return candidate;
}

CardFileResult duplicateCardFile(const QString& path) {
    const QString target = duplicateCardPath(path);
    const WriteOutcome copied = copyToNewFile(path, target);
    if (!copied.ok)
        return {{},
                QStringLiteral("Die Karte „%1“ konnte nicht als „%2“ kopiert werden.\n%3")
                    .arg(QFileInfo(path).fileName(), QFileInfo(target).fileName(),
                         fileErrorReason(copied.error))};
    return {target, {}};
}

QString trashCardFile(const QString& path) {
    // Qt moves the file into the working folder when it cannot make the trash in a data
    // folder that does not exist yet (a fresh home): make that folder first.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (file.moveToTrash()) return {};
    QString reason = file.errorString();
    return QStringLiteral("Die Karte „%1“ konnte nicht in den Papierkorb verschoben werden.%2")
        .arg(QFileInfo(path).fileName(),
             reason.isEmpty() ? QString() : QStringLiteral("\n") + reason);
}

QString trashQuestion(const QString& path) {
    return QStringLiteral("Soll die Karte „%1“ in den Papierkorb verschoben werden?")
        .arg(QFileInfo(path).fileName());
}

void showInFileManager(const QString& path, QObject* context, std::function<void()> fallback) {
#ifdef BRISELLA_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()}
             << QString();
        // Asynchronous: a file manager that is slow to start must not hold the window.
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000), context);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                         [watcher, fallback = std::move(fallback)] {
                             watcher->deleteLater();
                             if (watcher->isError() && fallback) fallback();
                         });
        return;
    }
#else
    Q_UNUSED(path)
#endif
    if (fallback) QMetaObject::invokeMethod(context, std::move(fallback), Qt::QueuedConnection);
}

}  // namespace bb
