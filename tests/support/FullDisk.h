// A small tmpfs mounted for one test and filled until no write fits: the place where a
// program's writes meet ENOSPC for real. Mounting needs root (CI runs the tests as root);
// elsewhere mounted() is false and reason() says why, for GTEST_SKIP.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace bbtest {

class FullDisk {
public:
    explicit FullDisk(int kibibytes = 64) {
        if (::geteuid() != 0) {
            reason_ = QStringLiteral("needs root to mount a small tmpfs");
            return;
        }
        if (!mountPoint_.isValid()) {
            reason_ = QStringLiteral("no temporary folder for the mount");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
        if (::mount("tmpfs", QFile::encodeName(mountPoint_.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            reason_ = QStringLiteral("mounting a tmpfs failed: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(QFile::encodeName(mountPoint_.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString reason() const { return reason_; }
    QString path() const { return mountPoint_.path(); }
    QString file(const QString& name) const { return QDir(path()).filePath(name); }

    // Takes every free byte with a filler file; false when the disk did not fill up.
    bool fill() const {
        const QByteArray name = QFile::encodeName(file(QStringLiteral(".filler")));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const QByteArray block(4096, 'f');
        // Blocks while they fit, then single bytes for what is left of the last page.
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        while (::write(fd, "f", 1) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    // Gives the filler's room back.
    void release() const { QFile::remove(file(QStringLiteral(".filler"))); }

private:
    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    QString reason_;
};

}  // namespace bbtest

// Skips the current test unless `disk` (a FullDisk) is mounted.
#define BB_REQUIRE_FULL_DISK(disk)                                            \
    do {                                                                      \
        if (!(disk).mounted()) GTEST_SKIP() << (disk).reason().toStdString(); \
    } while (0)
