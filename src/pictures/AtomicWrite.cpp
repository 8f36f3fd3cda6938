// Whole-or-nothing file writes; see AtomicWrite.h.
#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <functional>
#include <mutex>
#include <vector>

namespace bb {

namespace {

// The injected failure of the tests; `active` false in normal runs.
struct Fault {
    bool active = false;
    WriteStep step = WriteStep::Create;
    int error = 0;
    QString target;
};
std::mutex faultMutex;
Fault currentFault;

// The error number the tests want for this step of writing `target`, else 0.
int injectedError(WriteStep step, const QString& target) {
    const std::lock_guard<std::mutex> lock(faultMutex);
    if (!currentFault.active || currentFault.step != step) return 0;
    if (!currentFault.target.isEmpty() && QFileInfo(target).fileName() != currentFault.target)
        return 0;
    return currentFault.error;
}

// A failed call's own errno, or EIO when the system left none (a write that took nothing).
int lastError() {
    return errno != 0 ? errno : EIO;
}

// The file that a write to `path` replaces: a symbolic link is followed to its file, as
// editors do, so that the link stays a link, but only to a file of the link's own folder.
// Empty for a link that leads out of its folder: nothing is written there.
QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty()) return info.absoluteFilePath();  // a dangling link is replaced
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return QFileInfo(canonical).absolutePath() == folder ? canonical : QString();
    }
    return info.absoluteFilePath();
}

// Permissions for the new file: those of the file it replaces, else the usual ones less the
// umask (which open() applies).
unsigned targetMode(const QString& target, bool* existing) {
    struct stat st {};
    *existing = ::stat(QFile::encodeName(target).constData(), &st) == 0 && S_ISREG(st.st_mode);
    return *existing ? unsigned(st.st_mode & 07777) : 0666u;
}

// Creates a new, empty temporary file beside `target`, hidden and with a suffix no reader of
// the program takes for its own files. Returns the open descriptor (-1 with errno set).
int createTemporary(const QString& target, QString* temporary) {
    const QFileInfo info(target);
    // Room for ".", the suffix and a file system's 255-byte limit on names.
    QByteArray base = QFile::encodeName(info.fileName());
    constexpr qsizetype kMaxBase = 255 - 16;
    if (base.size() > kMaxBase) base.truncate(kMaxBase);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = folder + "/." + base + '.';
        for (int i = 0; i < 6; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))];
        name += ".tmp";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporary = QFile::decodeName(name);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        errno = 0;
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

// After a rename the folder's entry is only durable once the folder is synced. Some file
// systems refuse fsync on a folder; the file itself is on the disk either way.
void syncFolder(const QString& target) {
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Why a file written by someone else came out short: a full disk when the folder's file
// system has no room left, otherwise a failure of the device.
int incompleteReason(const QString& target) {
    struct statvfs fs {};
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    if (::statvfs(folder.constData(), &fs) == 0 && fs.f_bavail == 0) return ENOSPC;
    return EIO;
}

// Renames the finished temporary file over the target and syncs the folder.
int renameOver(const QString& temporary, const QString& target) {
    if (const int e = injectedError(WriteStep::Rename, target)) return e;
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) !=
        0)
        return lastError();
    syncFolder(target);
    return 0;
}

// Gives the finished temporary file the target's name only when no file has that name: a
// second link that fails when the name is taken, then the temporary name goes.
int linkAsNew(const QString& temporary, const QString& target) {
    if (const int e = injectedError(WriteStep::Rename, target)) return e;
    const QByteArray from = QFile::encodeName(temporary);
    if (::link(from.constData(), QFile::encodeName(target).constData()) != 0) return lastError();
    ::unlink(from.constData());
    syncFolder(target);
    return 0;
}

// Copies everything readable from `in` to `out`; the number of bytes copied, or -1 with
// errno set.
qint64 copyAll(int in, int out) {
    constexpr size_t kBlock = 256 * 1024;
    std::vector<char> block(kBlock);
    qint64 total = 0;
    for (;;) {
        errno = 0;
        const ssize_t n = ::read(in, block.data(), kBlock);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) return total;
        if (!writeAll(out, block.data(), n)) return -1;
        total += n;
    }
}

}  // namespace

namespace {

// Fills the new temporary file `fd` through `fill` (the number of bytes written, or -1 with
// errno set), syncs it, checks its size, closes it and puts it in place of `target`
// (replacing it, or only as a new file). Each step either succeeds or leaves its error
// number; on any failure the temporary file is removed.
WriteOutcome completeTemporary(int fd, const QString& temporary, const QString& target,
                               bool replace, const std::function<qint64(int)>& fill) {
    WriteOutcome out;
    qint64 written = -1;
    bool closed = false;
    const auto failed = [&](WriteStep step, const auto& call) {
        out.step = step;
        out.error = injectedError(step, target);
        if (!out.error) out.error = call();
        return out.error != 0;
    };
    const bool bad =
        failed(WriteStep::Write,
               [&] {
                   written = fill(fd);
                   return written >= 0 ? 0 : lastError();
               }) ||
        failed(WriteStep::Sync, [&] { return ::fsync(fd) == 0 ? 0 : lastError(); }) ||
        failed(WriteStep::Verify,
               [&] {
                   struct stat st {};
                   if (::fstat(fd, &st) != 0) return lastError();
                   return st.st_size == written ? 0 : EIO;
               }) ||
        failed(WriteStep::Verify,
               [&] {
                   closed = true;
                   return ::close(fd) == 0 ? 0 : lastError();
               }) ||
        failed(WriteStep::Rename, [&] {
            return replace ? renameOver(temporary, target) : linkAsNew(temporary, target);
        });
    if (bad) {
        if (!closed) ::close(fd);
        ::unlink(QFile::encodeName(temporary).constData());
        return out;
    }
    out.ok = true;
    return out;
}

WriteOutcome writeWhole(const QString& target, QByteArrayView bytes, bool replace) {
    WriteOutcome out;
    out.error = injectedError(WriteStep::Create, target);
    // A folder under the name can never be replaced: say so before anything is written.
    if (!out.error && QFileInfo(target).isDir()) out.error = EISDIR;
    if (out.error) return out;
    bool existing = false;
    const unsigned mode = targetMode(target, &existing);
    QString temporary;
    errno = 0;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0) {
        out.error = lastError();
        return out;
    }
    if (existing) ::fchmod(fd, mode);
    return completeTemporary(fd, temporary, target, replace, [&](int to) {
        return writeAll(to, bytes.data(), bytes.size()) ? qint64(bytes.size()) : qint64(-1);
    });
}

}  // namespace

WriteOutcome writeFileAtomically(const QString& path, QByteArrayView bytes) {
    const QString target = resolvedTarget(path);
    if (target.isEmpty()) return {false, EPERM, WriteStep::Create};
    return writeWhole(target, bytes, true);
}

WriteOutcome writeNewFile(const QString& path, QByteArrayView bytes) {
    const QString target = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) return {false, EEXIST};
    return writeWhole(target, bytes, false);
}

WriteOutcome copyToNewFile(const QString& source, const QString& target) {
    WriteOutcome out;
    const QString absolute = QFileInfo(target).absoluteFilePath();
    out.error = injectedError(WriteStep::Create, absolute);
    if (out.error) return out;
    if (QFileInfo::exists(absolute) || QFileInfo(absolute).isSymLink()) {
        out.error = EEXIST;
        return out;
    }
    // Only a regular file: a pipe would wait for a writer, a device never ends.
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) {
        out.error = lastError();
        return out;
    }
    struct stat sourceStat {};
    if (::fstat(in, &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode)) {
        out.error = S_ISDIR(sourceStat.st_mode) ? EISDIR : EINVAL;
        ::close(in);
        return out;
    }
    QString temporary;
    errno = 0;
    const int fd = createTemporary(absolute, &temporary);
    if (fd < 0) {
        out.error = lastError();
        ::close(in);
        return out;
    }
    out =
        completeTemporary(fd, temporary, absolute, false, [in](int to) { return copyAll(in, to); });
    ::close(in);
    return out;
}

PendingFile::PendingFile(const QString& target) : target_(resolvedTarget(target)) {
    if (target_.isEmpty()) {  // a link out of its folder
        target_ = QFileInfo(target).absoluteFilePath();
        error_ = EPERM;
        return;
    }
    error_ = injectedError(WriteStep::Create, target_);
    if (!error_ && QFileInfo(target_).isDir()) error_ = EISDIR;
    if (error_) return;
    bool existing = false;
    mode_ = targetMode(target_, &existing);
    errno = 0;
    const int fd = createTemporary(target_, &temporary_);
    if (fd < 0) {
        error_ = lastError();
        temporary_.clear();
        return;
    }
    if (existing) ::fchmod(fd, mode_);
    ::close(fd);
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() {
    if (temporary_.isEmpty()) return;
    ::unlink(QFile::encodeName(temporary_).constData());
    temporary_.clear();
}

WriteOutcome PendingFile::commit(const std::function<bool(QIODevice& written)>& check) {
    WriteOutcome out;
    if (temporary_.isEmpty()) {
        out.error = error_ ? error_ : EIO;
        return out;
    }
    int error = injectedError(WriteStep::Write, target_);
    if (!error) error = injectedError(WriteStep::Sync, target_);
    if (!error) {
        const int fd = ::open(QFile::encodeName(temporary_).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = lastError();
        } else {
            struct stat st {};
            if (::fsync(fd) != 0)
                error = lastError();
            else if (::fstat(fd, &st) != 0)
                error = lastError();
            else if (st.st_size == 0)
                error = incompleteReason(target_);
            ::close(fd);
        }
    }
    if (!error) error = injectedError(WriteStep::Verify, target_);
    if (!error && check) {
        QFile written(temporary_);
        if (!written.open(QIODevice::ReadOnly))
            error = EIO;
        else if (!check(written))
            error = incompleteReason(target_);
    }
    if (!error) error = renameOver(temporary_, target_);
    if (error) {
        discard();
        out.error = error;
        return out;
    }
    temporary_.clear();
    out.ok = true;
    return out;
}

bool looksLikeCompletePdf(QIODevice& file) {
    constexpr qint64 kTail = 1024;
    if (!file.seek(0) || file.read(5) != "%PDF-") return false;
    const qint64 size = file.size();
    if (!file.seek(qMax<qint64>(0, size - kTail))) return false;
    QByteArray tail = file.read(kTail);
    while (!tail.isEmpty() && (tail.endsWith('\n') || tail.endsWith('\r') || tail.endsWith(' ') ||
                               tail.endsWith('\t')))
        tail.chop(1);
    return tail.endsWith("%%EOF");
}

InjectedWriteFault::InjectedWriteFault(WriteStep step, int error, QString target) {
    const std::lock_guard<std::mutex> lock(faultMutex);
    currentFault = Fault{true, step, error, std::move(target)};
}

InjectedWriteFault::~InjectedWriteFault() {
    const std::lock_guard<std::mutex> lock(faultMutex);
    currentFault = Fault{};
}

}  // namespace bb
