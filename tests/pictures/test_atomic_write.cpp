// Whole-or-nothing writes: every failing step (injected, and a real full disk) leaves the
// earlier file and no temporary file behind; new files never replace an existing one; a
// file written by someone else is put in place only when its check passes.
#include "pictures/AtomicWrite.h"
#include "pictures/DibImage.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <cerrno>

using namespace bb;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writePlain(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// Names in the folder, hidden ones included: a leftover temporary file shows here.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

const WriteStep kSteps[] = {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Verify,
                            WriteStep::Rename};

}  // namespace

TEST(AtomicWrite, ReplacesTheContentKeepsPermissionsAndFollowsALink) {
    bbtest::TempFolder dir;
    const QString real = dir.file(QStringLiteral("echt.dat"));
    ASSERT_TRUE(writePlain(real, "alt und länger als das neue"));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString link = dir.file(QStringLiteral("verweis.dat"));
    ASSERT_TRUE(QFile::link(real, link));

    const WriteOutcome out = writeFileAtomically(link, "neu");
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(readAll(real), "neu");
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays a link";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir.path()),
              (QStringList{QStringLiteral("echt.dat"), QStringLiteral("verweis.dat")}));
}

TEST(AtomicWrite, ALinkOutOfItsFolderIsNeverWrittenThrough) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("ausgabe"))));
    const QString victim = dir.file(QStringLiteral("fremd.txt"));
    ASSERT_TRUE(writePlain(victim, "bleibt"));
    const QString link = dir.file(QStringLiteral("ausgabe/karte.png"));
    ASSERT_TRUE(QFile::link(QStringLiteral("../fremd.txt"), link));

    const WriteOutcome out = writeFileAtomically(link, "bild");
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, EPERM);
    PendingFile pdf(link);
    EXPECT_FALSE(pdf.isReady());
    EXPECT_EQ(pdf.error(), EPERM);
    EXPECT_EQ(pdf.commit().ok, false);
    EXPECT_EQ(readAll(victim), "bleibt");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(entries(dir.file(QStringLiteral("ausgabe"))),
              QStringList{QStringLiteral("karte.png")});
}

TEST(AtomicWrite, EveryFailingStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
    for (const WriteStep step : kSteps) {
        SCOPED_TRACE(int(step));
        bbtest::TempFolder dir;
        const QString path = dir.file(QStringLiteral("karte.kar"));
        ASSERT_TRUE(writePlain(path, "die alte Karte"));
        WriteOutcome out;
        {
            const InjectedWriteFault fault(step, ENOSPC);
            out = writeFileAtomically(path, QByteArray(100000, 'n'));
        }
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.error, ENOSPC);
        EXPECT_EQ(out.step, step);
        EXPECT_EQ(readAll(path), "die alte Karte");
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("karte.kar")});
    }
}

TEST(AtomicWrite, ReportsAMissingFolderAndAFolderInThePlaceOfTheFile) {
    bbtest::TempFolder dir;
    const WriteOutcome missing = writeFileAtomically(dir.file(QStringLiteral("fehlt/a.kar")), "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.step, WriteStep::Create);

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ordner.kar")));
    const WriteOutcome folder = writeFileAtomically(dir.file(QStringLiteral("ordner.kar")), "x");
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.error, EISDIR);
    EXPECT_EQ(folder.step, WriteStep::Create);
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("ordner.kar"))).isDir());
    EXPECT_EQ(entries(dir.path()), QStringList());
}

TEST(AtomicWrite, AFullDiskKeepsTheOldFileWhole) {
    bbtest::FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    const QString path = disk.file(QStringLiteral("Voll.kar"));
    const QByteArray old(3000, 'a');
    ASSERT_TRUE(writePlain(path, old));
    ASSERT_TRUE(disk.fill());

    // Small enough for a buffered write to claim success, and larger than any buffer.
    for (const qsizetype size : {qsizetype(100), qsizetype(200000)}) {
        SCOPED_TRACE(size);
        const WriteOutcome out = writeFileAtomically(path, QByteArray(size, 'n'));
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.error, ENOSPC);
        EXPECT_EQ(readAll(path), old);
    }
    EXPECT_EQ(entries(disk.path()),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("Voll.kar")}));

    const DibImage picture = newDib(16, 16, 24);
    ASSERT_FALSE(picture.isNull());
    int error = 0;
    EXPECT_EQ(savePictureFile(picture, disk.file(QStringLiteral("bild.png")), DibPNG, &error), 0);
    EXPECT_EQ(error, ENOSPC);
    EXPECT_FALSE(QFileInfo::exists(disk.file(QStringLiteral("bild.png"))));

    disk.release();
    EXPECT_TRUE(writeFileAtomically(path, "passt wieder").ok);
    EXPECT_EQ(readAll(path), "passt wieder");
}

TEST(AtomicWrite, NewFilesNeverReplaceAnExistingOne) {
    bbtest::TempFolder dir;
    const QString taken = dir.file(QStringLiteral("Eingefügt 1.png"));
    ASSERT_TRUE(writePlain(taken, "schon da"));
    const WriteOutcome written = writeNewFile(taken, "neu");
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, EEXIST);
    const QString source = dir.file(QStringLiteral("quelle.kar"));
    ASSERT_TRUE(writePlain(source, QByteArray(300000, 'q')));
    const WriteOutcome copied = copyToNewFile(source, taken);
    EXPECT_FALSE(copied.ok);
    EXPECT_EQ(copied.error, EEXIST);
    EXPECT_EQ(readAll(taken), "schon da");

    const QString fresh = dir.file(QStringLiteral("kopie.kar"));
    ASSERT_TRUE(copyToNewFile(source, fresh).ok);
    EXPECT_EQ(readAll(fresh), readAll(source));
    EXPECT_TRUE(writeNewFile(dir.file(QStringLiteral("Eingefügt 2.png")), "neu").ok);
    EXPECT_EQ(entries(dir.path()).size(), 4);
}

TEST(AtomicWrite, AFailedCopyLeavesNothing) {
    for (const WriteStep step : kSteps) {
        SCOPED_TRACE(int(step));
        bbtest::TempFolder dir;
        const QString source = dir.file(QStringLiteral("quelle.kar"));
        ASSERT_TRUE(writePlain(source, "Inhalt"));
        const InjectedWriteFault fault(step, EIO);
        EXPECT_FALSE(copyToNewFile(source, dir.file(QStringLiteral("kopie.kar"))).ok);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("quelle.kar")});
    }
    bbtest::TempFolder dir;
    // A folder is no file to copy.
    EXPECT_EQ(copyToNewFile(dir.path(), dir.file(QStringLiteral("kopie"))).error, EISDIR);
}

TEST(PendingFile, PutsTheFileInPlaceOnlyWhenItsCheckPasses) {
    bbtest::TempFolder dir;
    const QString target = dir.file(QStringLiteral("druck.pdf"));
    ASSERT_TRUE(writePlain(target, "%PDF-1.4 alt\n%%EOF\n"));
    const auto isPdf = [](QIODevice& file) { return looksLikeCompletePdf(file); };
    {
        PendingFile pending(target);
        ASSERT_TRUE(pending.isReady());
        EXPECT_NE(pending.temporaryPath(), target);
        // Cut off before its end, as a full disk leaves it.
        ASSERT_TRUE(writePlain(pending.temporaryPath(), "%PDF-1.4 neu, aber abgeschnitten"));
        const WriteOutcome out = pending.commit(isPdf);
        EXPECT_FALSE(out.ok);
        EXPECT_NE(out.error, 0);
    }
    EXPECT_EQ(readAll(target), "%PDF-1.4 alt\n%%EOF\n");
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("druck.pdf")});
    {
        // Abandoned without a commit (a cancelled run).
        PendingFile pending(target);
        ASSERT_TRUE(writePlain(pending.temporaryPath(), "%PDF-1.4 halb"));
    }
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("druck.pdf")});
    {
        PendingFile pending(target);
        ASSERT_TRUE(writePlain(pending.temporaryPath(), "%PDF-1.4 neu\n%%EOF\r\n"));
        EXPECT_TRUE(pending.commit(isPdf).ok);
    }
    EXPECT_EQ(readAll(target), "%PDF-1.4 neu\n%%EOF\r\n");
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("druck.pdf")});
    {
        // Nothing written at all.
        PendingFile pending(target);
        EXPECT_FALSE(pending.commit().ok);
    }
    EXPECT_EQ(readAll(target), "%PDF-1.4 neu\n%%EOF\r\n");
}

TEST(PendingFile, CompletePdfCheck) {
    const auto check = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return looksLikeCompletePdf(buffer);
    };
    EXPECT_TRUE(check("%PDF-1.4\n1 0 obj\n%%EOF"));
    EXPECT_TRUE(check("%PDF-1.7\n" + QByteArray(5000, 'x') + "\n%%EOF \n\n"));
    EXPECT_FALSE(check(""));
    EXPECT_FALSE(check("%PDF-1.4\n1 0 obj\n"));
    EXPECT_FALSE(check("PNG\n%%EOF\n"));
    EXPECT_FALSE(check("%PDF-1.4\n%%EOF\n1 0 obj trailing"));
}
