// The sample cards of the first start: copied once into an empty program folder with every
// picture they name, never again after the user deleted them, never over the user's own files.
#include "app/StarterContent.h"
#include "document/CardFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace bb;
using bbtest::TempFolder;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList cards(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.kar")}, QDir::Files, QDir::Name);
}

// A sample folder as the build makes it: two cards and the picture they share, installed
// read-only as a package installs them.
void makeSamples(const QString& dir) {
    QDir().mkpath(dir);
    writeFile(dir + QStringLiteral("/Eins.kar"), cardSignature() + QByteArray("one"));
    writeFile(dir + QStringLiteral("/Zwei.kar"), cardSignature() + QByteArray("two"));
    writeFile(dir + QStringLiteral("/Bild.png"), QByteArray("picture"));
    for (const QString& n : QDir(dir).entryList(QDir::Files))
        QFile::setPermissions(dir + QLatin1Char('/') + n,
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

}  // namespace

TEST(StarterContent, FirstStartCopiesOnceAndDeletedCardsStayDeleted) {
    TempFolder samples, program;
    makeSamples(samples.path());
    int copied = -1;
    EXPECT_EQ(installStarterContent(program.path(), samples.path(), &copied),
              StarterResult::Installed);
    EXPECT_EQ(copied, 3);
    EXPECT_EQ(cards(program.path()), (QStringList{"Eins.kar", "Zwei.kar"}));
    EXPECT_EQ(readAll(program.file("Bild.png")), QByteArray("picture"));
    EXPECT_TRUE(QFileInfo::exists(program.file(kStarterMarkerName)));
    // The copies are the user's: they can be saved over.
    EXPECT_TRUE(QFileInfo(program.file("Eins.kar")).isWritable());

    // The user deletes every card; the next start brings none back.
    QFile::remove(program.file("Eins.kar"));
    QFile::remove(program.file("Zwei.kar"));
    EXPECT_EQ(installStarterContent(program.path(), samples.path(), &copied),
              StarterResult::AlreadyDone);
    EXPECT_EQ(copied, 0);
    EXPECT_TRUE(cards(program.path()).isEmpty());
}

TEST(StarterContent, FolderWithOwnCardsOrFilesIsLeftAlone) {
    TempFolder samples, own, clash;
    makeSamples(samples.path());

    // A folder that already has a card (any case of the extension) gets no samples, and the
    // decision is final.
    writeFile(own.file("Meine.KAR"), cardSignature());
    EXPECT_EQ(installStarterContent(own.path(), samples.path()), StarterResult::FolderHasCards);
    QFile::remove(own.file("Meine.KAR"));
    EXPECT_EQ(installStarterContent(own.path(), samples.path()), StarterResult::AlreadyDone);
    EXPECT_TRUE(cards(own.path()).isEmpty());

    // A picture of the user's with a sample's name is kept.
    writeFile(clash.file("Bild.png"), QByteArray("mine"));
    int copied = 0;
    EXPECT_EQ(installStarterContent(clash.path(), samples.path(), &copied),
              StarterResult::Installed);
    EXPECT_EQ(copied, 2);
    EXPECT_EQ(readAll(clash.file("Bild.png")), QByteArray("mine"));
}

TEST(StarterContent, MissingSamplesLeaveTheFirstStartOpen) {
    TempFolder samples, program;
    // No sample folder found (a bare copy of the program): nothing happens and no marker is
    // written, so a start with the samples present still installs them.
    EXPECT_EQ(installStarterContent(program.path(), QString()), StarterResult::NoSamples);
    EXPECT_EQ(installStarterContent(program.path(), samples.path()), StarterResult::NoSamples);
    EXPECT_FALSE(QFileInfo::exists(program.file(kStarterMarkerName)));
    makeSamples(samples.path() + QStringLiteral("/s"));
    EXPECT_EQ(installStarterContent(program.path(), samples.path() + QStringLiteral("/s")),
              StarterResult::Installed);
}

TEST(StarterContent, SampleFolderIsFoundInDataFoldersThenInTheBuildTree) {
    TempFolder root;
    const QString empty = root.path() + QStringLiteral("/data1");
    const QString data = root.path() + QStringLiteral("/data2");
    QDir().mkpath(empty + QStringLiteral("/brisella-bildwerker/samples"));  // holds no card
    makeSamples(data + QStringLiteral("/brisella-bildwerker/samples"));
    const QString exeDir = root.path() + QStringLiteral("/build/src/app");
    QDir().mkpath(exeDir);
    makeSamples(root.path() + QStringLiteral("/build/samples"));
    // Only a build tree counts: a copy of the program two levels below some "samples" folder
    // does not.
    const QString copyDir = root.path() + QStringLiteral("/copy/a/b");
    QDir().mkpath(copyDir);
    makeSamples(root.path() + QStringLiteral("/copy/samples"));
    writeFile(root.path() + QStringLiteral("/build/CMakeCache.txt"), QByteArray("# cache\n"));

    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", (empty + QLatin1Char(':') + data).toLocal8Bit());
    const QStringList withData = sampleFolderCandidates(exeDir);
    qputenv("XDG_DATA_DIRS", (root.path() + QStringLiteral("/none")).toLocal8Bit());
    const QStringList buildOnly = sampleFolderCandidates(exeDir);
    const QStringList copyOnly = sampleFolderCandidates(copyDir);
    qputenv("XDG_DATA_DIRS", oldDirs);

    EXPECT_EQ(QDir(findSampleFolder(withData)).canonicalPath(),
              QDir(data + QStringLiteral("/brisella-bildwerker/samples")).canonicalPath());
    EXPECT_EQ(QDir(findSampleFolder(buildOnly)).canonicalPath(),
              QDir(root.path() + QStringLiteral("/build/samples")).canonicalPath());
    EXPECT_TRUE(findSampleFolder(copyOnly).isEmpty());
    EXPECT_TRUE(findSampleFolder({root.path() + QStringLiteral("/missing"), empty}).isEmpty());
}

// The real samples of this build: after the copy every picture that a card names is found in
// the program folder, where pictures named without a folder are looked up.
TEST(StarterContent, BuiltSamplesBringEveryPictureTheyName) {
    const QString built = QStringLiteral(BB_SAMPLES_DIR);
    if (cards(built).isEmpty()) GTEST_SKIP() << "no sample cards built in " << BB_SAMPLES_DIR;
    TempFolder program;
    ASSERT_EQ(installStarterContent(program.path(), built), StarterResult::Installed);
    const QStringList copiedCards = cards(program.path());
    EXPECT_GE(copiedCards.size(), 5);
    int pictures = 0;
    for (const QString& name : copiedCards) {
        SCOPED_TRACE(name.toStdString());
        CardFileData data;
        ASSERT_EQ(readCardFileData(program.file(name), data), CardReadStatus::Ok);
        QStringList named;
        for (const CardSideData* side : {&data.outside, &data.inside}) {
            if (!side->backgroundFile.isEmpty()) named << side->backgroundFile;
            for (const CardObjectRecord& r : side->objects)
                if (r.object.kind == KindPicture) named << r.object.content;
        }
        for (const QString& file : named) {
            EXPECT_FALSE(file.contains(QLatin1Char('/'))) << file.toStdString();
            EXPECT_TRUE(QFileInfo::exists(program.file(file))) << file.toStdString();
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 0);
}
