// The folders of shipped and own content: a build tree is found, a link is never used.
#include "content/ContentFolders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace bb;

TEST(ContentFolders, BuildTreeFolderIsFoundOnlyBesideACMakeCache) {
    bbtest::TempFolder tmp;
    QDir(tmp.path()).mkpath(QStringLiteral("src/cli"));
    QDir(tmp.path()).mkpath(QStringLiteral("designs"));
    const QString exeDir = tmp.file(QStringLiteral("src/cli"));
    EXPECT_FALSE(shippedContentFolders(QStringLiteral("designs"), exeDir)
                     .contains(QDir::cleanPath(tmp.file(QStringLiteral("designs")))));
    QFile cache(tmp.file(QStringLiteral("CMakeCache.txt")));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.close();
    const QStringList found = shippedContentFolders(QStringLiteral("designs"), exeDir);
    EXPECT_TRUE(found.contains(QDir::cleanPath(tmp.file(QStringLiteral("designs")))));
}

TEST(ContentFolders, OwnFolderIsMadeButNeverALink) {
    bbtest::TempFolder tmp;
    const QString made = userContentFolder(tmp.path(), QStringLiteral("Eigene Vorlagen"));
    EXPECT_EQ(made, tmp.file(QStringLiteral("Eigene Vorlagen")));
    EXPECT_TRUE(QFileInfo(made).isDir());

    QDir(tmp.path()).mkpath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile::link(tmp.file(QStringLiteral("elsewhere")),
                            tmp.file(QStringLiteral("Eigene Sprüche"))));
    EXPECT_TRUE(userContentFolder(tmp.path(), QStringLiteral("Eigene Sprüche")).isEmpty());

    QFile plain(tmp.file(QStringLiteral("Datei")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_TRUE(userContentFolder(tmp.path(), QStringLiteral("Datei")).isEmpty());
    EXPECT_TRUE(userContentFolder(QString(), QStringLiteral("x")).isEmpty());
}
