// Recovery files: while a card has unsaved changes the program keeps a copy of it in a folder
// of its own, so that a crash or a power loss loses at most the last few minutes. One
// recovery file holds a short header (the card's own file name, when it was written, the
// writer's process id, the length and checksum of the card) and then the card file's bytes
// unchanged, so that it is written and replaced in one atomic step and can never pair a card
// with the wrong name. Each running program holds a lock file next to its recovery file; a
// recovery file whose lock nobody holds belongs to a program that ended without cleaning up.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;

namespace bb {

struct RecoveryHeader {
    QString cardFile;   // the card's own file, empty for a card never saved
    QDateTime savedAt;  // when the recovery file was written (UTC)
    qint64 pid = 0;     // the writing program
};

enum class RecoveryStatus { Ok, CannotOpen, Damaged };

// The whole recovery file for `cardBytes` (the bytes cardFileBytes gives).
QByteArray recoveryFileBytes(const RecoveryHeader& header, QByteArrayView cardBytes);
// Splits a recovery file; Damaged when the header is not ours, the card's length or checksum
// does not match, or the card bytes are no card file.
RecoveryStatus parseRecoveryFile(QByteArrayView bytes, RecoveryHeader& header,
                                 QByteArray& cardBytes);
// Reads a recovery file from disk (a size limit guards against foreign giant files).
RecoveryStatus readRecoveryFile(const QString& path, RecoveryHeader& header, QByteArray& cardBytes);

// A recovery file left behind by a program that no longer runs. While this object lives its
// lock is held, so no other program offers the same file at the same time.
class OrphanedRecovery {
public:
    OrphanedRecovery(QString path, std::unique_ptr<QLockFile> lock);
    ~OrphanedRecovery();
    OrphanedRecovery(OrphanedRecovery&&) noexcept;
    OrphanedRecovery& operator=(OrphanedRecovery&&) noexcept;

    const QString& path() const { return path_; }
    // Reads the file; header and card bytes are valid when it gives Ok.
    RecoveryStatus read();
    const RecoveryHeader& header() const { return header_; }
    const QByteArray& cardBytes() const { return cardBytes_; }
    // Deletes the recovery file and its lock.
    bool remove();
    // Keeps the file for a later start and gives up the lock.
    void release();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    RecoveryHeader header_;
    QByteArray cardBytes_;
};

// This program's place in the recovery folder: its own recovery file and the lock that
// marks it as alive.
class RecoveryFolder {
public:
    // `folder` is created when missing. `name` makes this program's files unique; empty
    // picks one from the process id and the start time.
    explicit RecoveryFolder(QString folder, QString name = {});
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    const QString& folder() const { return folder_; }
    QString ownFile() const;
    // Takes this program's lock; false when the folder cannot be written.
    bool claim();
    bool claimed() const;

    // Replaces this program's recovery file atomically; false (with the reason) on failure.
    bool write(const RecoveryHeader& header, QByteArrayView cardBytes, QString* error = nullptr);
    // Removes this program's recovery file, if any.
    void removeOwn();
    bool hasOwn() const;

    // The recovery files of programs that no longer run, newest first, each locked for this
    // program. Lock files without a recovery file that nobody holds are removed on the way.
    std::vector<OrphanedRecovery> takeOrphans() const;

private:
    QString lockPath(const QString& base) const;
    QString folder_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
};

inline constexpr const char* kRecoverySuffix = ".bbrecovery";

}  // namespace bb
