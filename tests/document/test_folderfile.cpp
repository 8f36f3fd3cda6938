// Writing into a chosen folder: never through a link, never onto what is not a regular file,
// and nothing left behind but the file itself.
#include "document/FolderFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

using namespace bb;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(FolderFile, NewNamesAreWrittenAndRegularFilesReplacedOnlyWhenAllowed) {
    bbtest::TempFolder dir;
    QString why;
    EXPECT_EQ(writeFileInFolder(dir.path(), QStringLiteral("Müller.bmp"), "neu", false, &why),
              FolderWrite::Written)
        << why.toStdString();
    EXPECT_EQ(contentOf(dir.file("Müller.bmp")), QByteArray("neu"));
    EXPECT_EQ(folderEntry(dir.path(), QStringLiteral("Müller.bmp")), FolderEntry::RegularFile);

    // Taken without permission to replace; replaced with it, keeping the file's permissions.
    EXPECT_EQ(writeFileInFolder(dir.path(), QStringLiteral("Müller.bmp"), "zwei", false),
              FolderWrite::NameTaken);
    EXPECT_EQ(contentOf(dir.file("Müller.bmp")), QByteArray("neu"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.file("Müller.bmp")).constData(), 0640), 0);
    EXPECT_EQ(writeFileInFolder(dir.path(), QStringLiteral("Müller.bmp"), "zwei", true),
              FolderWrite::Written);
    EXPECT_EQ(contentOf(dir.file("Müller.bmp")), QByteArray("zwei"));
    EXPECT_EQ(QFileInfo(dir.file("Müller.bmp")).permissions() & QFile::ReadOther,
              QFile::Permissions());

    // No temporary file stays behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Müller.bmp")});
}

TEST(FolderFile, LinksFoldersAndPipesAreNeverWrittenThrough) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.file("bilder")));
    const QString folder = dir.file("bilder");
    writeBytes(dir.file("victim"), "keep me");
    ASSERT_TRUE(QFile::link(QStringLiteral("../victim"), folder + QStringLiteral("/A.bmp")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../nowhere"), folder + QStringLiteral("/B.bmp")));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/C.bmp")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/D.bmp")).constData(), 0600), 0);
    for (const char* name : {"A.bmp", "B.bmp", "C.bmp", "D.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(folderEntry(folder, QString::fromUtf8(name)), FolderEntry::Other);
        // Also where replacing a regular file would be allowed.
        EXPECT_EQ(writeFileInFolder(folder, QString::fromUtf8(name), "bild", true),
                  FolderWrite::NameTaken);
    }
    EXPECT_EQ(contentOf(dir.file("victim")), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("nowhere")));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/A.bmp")).isSymLink());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/C.bmp")).isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);

    // Names that would leave the folder, and a folder that is not there, fail with a reason.
    QString why;
    EXPECT_EQ(writeFileInFolder(folder, QStringLiteral("../victim"), "x", true, &why),
              FolderWrite::Failed);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(writeFileInFolder(folder, QStringLiteral(".."), "x", true), FolderWrite::Failed);
    EXPECT_EQ(writeFileInFolder(dir.file("fehlt"), QStringLiteral("E.bmp"), "x", true, &why),
              FolderWrite::Failed);
    EXPECT_EQ(contentOf(dir.file("victim")), QByteArray("keep me"));
}
