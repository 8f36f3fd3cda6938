#include "document/Recovery.h"

#include "document/CardFile.h"
#include "document/FileErrors.h"
#include "pictures/AtomicWrite.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

#include <algorithm>

namespace bb {

namespace {

const QByteArray kMagic = QByteArrayLiteral("Brisella-Bildwerker recovery 1\n");
// A header line is short; anything longer is not ours.
constexpr qsizetype kMaxHeaderLine = 64 * 1024;
// Far above any card a user makes (the pictures are kept by name only).
constexpr qint64 kMaxRecoveryBytes = 1024ll * 1024 * 1024;

QByteArray checksum(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

std::unique_ptr<QLockFile> makeLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    // Held for the program's whole life: never stale by age, only when its owner is gone.
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

QByteArray recoveryFileBytes(const RecoveryHeader& header, QByteArrayView cardBytes) {
    QJsonObject o;
    o.insert(QStringLiteral("card"), header.cardFile);
    o.insert(QStringLiteral("saved"), header.savedAt.toUTC().toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("pid"), header.pid);
    o.insert(QStringLiteral("size"), qint64(cardBytes.size()));
    o.insert(QStringLiteral("sha256"), QString::fromLatin1(checksum(cardBytes)));
    QByteArray out = kMagic;
    out += QJsonDocument(o).toJson(QJsonDocument::Compact);
    out += '\n';
    out += cardBytes;
    return out;
}

RecoveryStatus parseRecoveryFile(QByteArrayView bytes, RecoveryHeader& header,
                                 QByteArray& cardBytes) {
    cardBytes.clear();
    header = RecoveryHeader();
    if (!bytes.startsWith(kMagic)) return RecoveryStatus::Damaged;
    const qsizetype start = kMagic.size();
    const qsizetype end = bytes.indexOf('\n', start);
    if (end < 0 || end - start > kMaxHeaderLine) return RecoveryStatus::Damaged;
    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(bytes.sliced(start, end - start).toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) return RecoveryStatus::Damaged;
    const QJsonObject o = json.object();
    const QByteArrayView card = bytes.sliced(end + 1);
    const QJsonValue size = o.value(QStringLiteral("size"));
    if (!size.isDouble() || size.toDouble() != double(card.size()) ||
        o.value(QStringLiteral("sha256")).toString().toLatin1() != checksum(card))
        return RecoveryStatus::Damaged;
    CardFileData data;
    if (parseCardFile(card, data) != CardReadStatus::Ok) return RecoveryStatus::Damaged;
    header.cardFile = o.value(QStringLiteral("card")).toString();
    header.savedAt =
        QDateTime::fromString(o.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs);
    header.pid = qint64(o.value(QStringLiteral("pid")).toDouble());
    cardBytes = card.toByteArray();
    return RecoveryStatus::Ok;
}

RecoveryStatus readRecoveryFile(const QString& path, RecoveryHeader& header,
                                QByteArray& cardBytes) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return RecoveryStatus::CannotOpen;
    if (file.size() > kMaxRecoveryBytes) return RecoveryStatus::Damaged;
    return parseRecoveryFile(file.readAll(), header, cardBytes);
}

// ---- OrphanedRecovery ----

OrphanedRecovery::OrphanedRecovery(QString path, std::unique_ptr<QLockFile> lock)
    : path_(std::move(path)), lock_(std::move(lock)) {}
OrphanedRecovery::~OrphanedRecovery() = default;
OrphanedRecovery::OrphanedRecovery(OrphanedRecovery&&) noexcept = default;
OrphanedRecovery& OrphanedRecovery::operator=(OrphanedRecovery&&) noexcept = default;

RecoveryStatus OrphanedRecovery::read() {
    return readRecoveryFile(path_, header_, cardBytes_);
}

bool OrphanedRecovery::remove() {
    const bool ok = !QFileInfo::exists(path_) || QFile::remove(path_);
    release();
    return ok;
}

void OrphanedRecovery::release() {
    if (lock_) lock_->unlock();  // removes the lock file
    lock_.reset();
}

// ---- RecoveryFolder ----

RecoveryFolder::RecoveryFolder(QString folder, QString name)
    : folder_(std::move(folder)), name_(std::move(name)) {
    if (name_.isEmpty())
        name_ = QStringLiteral("karte-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QDateTime::currentMSecsSinceEpoch());
}

RecoveryFolder::~RecoveryFolder() = default;

QString RecoveryFolder::lockPath(const QString& base) const {
    return folder_ + QLatin1Char('/') + base + QStringLiteral(".lock");
}

QString RecoveryFolder::ownFile() const {
    return folder_ + QLatin1Char('/') + name_ + QLatin1String(kRecoverySuffix);
}

bool RecoveryFolder::claim() {
    if (claimed()) return true;
    if (!QDir().mkpath(folder_)) return false;
    auto lock = makeLock(lockPath(name_));
    if (!lock->tryLock(0)) return false;
    lock_ = std::move(lock);
    return true;
}

bool RecoveryFolder::claimed() const {
    return lock_ && lock_->isLocked();
}

bool RecoveryFolder::write(const RecoveryHeader& header, QByteArrayView cardBytes, QString* error) {
    // Without the lock another program would take the file for a dead one's.
    if (!claim()) {
        if (error) *error = QStringLiteral("Der Ordner %1 ist nicht beschreibbar.").arg(folder_);
        return false;
    }
    const WriteOutcome written =
        writeFileAtomically(ownFile(), recoveryFileBytes(header, cardBytes));
    if (!written.ok && error) *error = fileFailureLine(ownFile(), written.error);
    return written.ok;
}

void RecoveryFolder::removeOwn() {
    QFile::remove(ownFile());
}

bool RecoveryFolder::hasOwn() const {
    return QFileInfo::exists(ownFile());
}

std::vector<OrphanedRecovery> RecoveryFolder::takeOrphans() const {
    std::vector<OrphanedRecovery> out;
    const QDir dir(folder_);
    if (!dir.exists()) return out;
    const QString suffix = QLatin1String(kRecoverySuffix);
    const QFileInfoList files =
        dir.entryInfoList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& f : files) {
        const QString base = f.fileName().chopped(suffix.size());
        if (base == name_) continue;
        auto lock = makeLock(lockPath(base));
        // Held by a running program (this one included): its file is no orphan.
        if (!lock->tryLock(0)) continue;
        out.emplace_back(f.absoluteFilePath(), std::move(lock));
    }
    // Locks of programs that ended before they wrote anything.
    for (const QFileInfo& f : dir.entryInfoList({QStringLiteral("*.lock")}, QDir::Files)) {
        const QString base = f.completeBaseName();
        if (base == name_ || QFileInfo::exists(folder_ + QLatin1Char('/') + base + suffix))
            continue;
        auto lock = makeLock(f.absoluteFilePath());
        if (lock->tryLock(0)) lock->unlock();
    }
    return out;
}

}  // namespace bb
