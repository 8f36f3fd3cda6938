// Writing into a chosen folder without following links; see FolderFile.h.
#include "document/FolderFile.h"
#include "document/FileErrors.h"

#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace bb {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; false (errno set) when the system reports a failure, e.g. of a delayed write.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

FolderWrite fail(QString* error, const QString& text) {
    if (error) *error = text;
    return FolderWrite::Failed;
}

bool plainName(const QByteArray& name) {
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

// A folder opened for the *at calls, so that every step names the same folder.
int openFolder(const QString& folder) {
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= n;
    }
    return true;
}

// Moves `from` onto `to` only when `to` does not exist; never follows a link at `to`. False
// with errno EEXIST when the name is taken.
bool renameNoReplace(int dir, const char* from, const char* to) {
    if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a hard link is just as exclusive.
    if (::linkat(dir, from, dir, to, 0) == 0) {
        ::unlinkat(dir, from, 0);
        return true;
    }
    if (errno == EEXIST) return false;
    // Nor hard links (a FAT stick): look, then rename.
    struct stat st {};
    if (::fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(dir, from, dir, to) == 0;
}

}  // namespace

FolderEntry folderEntry(const QString& folder, const QString& name) {
    const QByteArray encoded = QFile::encodeName(name);
    if (!plainName(encoded)) return FolderEntry::Other;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return FolderEntry::None;
    struct stat st {};
    if (::fstatat(dir.get(), encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? FolderEntry::None : FolderEntry::Other;
    return S_ISREG(st.st_mode) ? FolderEntry::RegularFile : FolderEntry::Other;
}

FolderWrite writeFileInFolder(const QString& folder, const QString& name, const QByteArray& bytes,
                              bool replaceRegularFile, QString* error) {
    const QByteArray target = QFile::encodeName(name);
    if (!plainName(target))
        return fail(error, QStringLiteral("Der Name \"%1\" ist kein Dateiname.").arg(name));
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0)
        return fail(
            error,
            QStringLiteral("Der Ordner ist nicht zugänglich (%1).").arg(fileErrorReason(errno)));

    struct stat existing {};
    bool replacing = false;
    if (::fstatat(dir.get(), target.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!replaceRegularFile || !S_ISREG(existing.st_mode)) return FolderWrite::NameTaken;
        replacing = true;
    } else if (errno != ENOENT) {
        return fail(error, fileErrorReason(errno));
    }

    // A temporary file of our own, made here and now (O_EXCL), never through a link.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary =
            ".brisella-" + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        fd = ::openat(dir.get(), temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail(error, fileErrorReason(errno));
    Descriptor file(fd);
    const auto discard = [&](int err) {
        ::unlinkat(dir.get(), temporary.constData(), 0);
        return fail(error, fileErrorReason(err));
    };
    if (replacing) ::fchmod(file.get(), existing.st_mode & 07777);
    if (!writeAll(file.get(), bytes)) return discard(errno == 0 ? EIO : errno);
    // On the disk before the name points at it: a crash never leaves an empty picture.
    if (::fsync(file.get()) != 0) return discard(errno);
    if (!file.close()) return discard(errno);

    if (replacing) {
        // Replaces the directory entry; had a link taken the file's place meanwhile, the link
        // itself is replaced, never what it points to.
        if (::renameat(dir.get(), temporary.constData(), dir.get(), target.constData()) != 0)
            return discard(errno);
        return FolderWrite::Written;
    }
    if (!renameNoReplace(dir.get(), temporary.constData(), target.constData())) {
        const int err = errno;
        ::unlinkat(dir.get(), temporary.constData(), 0);
        if (err == EEXIST) return FolderWrite::NameTaken;
        return fail(error, fileErrorReason(err));
    }
    return FolderWrite::Written;
}

}  // namespace bb
