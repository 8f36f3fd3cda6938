// The browser state and the preview worker: walking a folder, changing the folder during a
// walk, and stopping a walk for closing.
#include "CardFiles.h"
#include "browser/CardBrowser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <unistd.h>

using namespace bb;

namespace {

using bbtest::runUntil;

QStringList names(const CardBrowser& b) {
    QStringList out;
    for (const QString& n : b.entries().names) out << n;
    return out;
}

void writeCards(const QString& folder, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(bbtest::writeCard(QDir(folder).filePath(
            QStringLiteral("%1%2.kar").arg(prefix).arg(i, 4, 10, QLatin1Char('0')))));
}

}  // namespace

TEST(CardBrowserWalk, ShowsEveryCardInNameOrderAndDamagedFilesMarkedWithoutAsking) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(bbtest::writeCard(dir.file("b.kar"), 86, 64, 24));
    ASSERT_TRUE(bbtest::writeCard(dir.file("A.KAR"), 64, 86, 8));
    ASSERT_TRUE(bbtest::writeCard(dir.file("c.Kar"), 50, 50, 4));
    ASSERT_TRUE(bbtest::writeCard(dir.file(".hidden.kar"), 30, 20, 1));
    ASSERT_TRUE(bbtest::writeCard(dir.file("d.txt")));  // a card under another name
    ASSERT_TRUE(bbtest::writeBytes(dir.file("e.kar"), "\x89PNG\r\n\x1a\n not a card"));
    ASSERT_TRUE(bbtest::writeBytes(
        dir.file("f.kar"),
        bbtest::cardBytes(bbtest::patternPicture(86, 64, 24)).left(500)));  // damaged: rows cut off
    ASSERT_TRUE(bbtest::writeBytes(dir.file("g.kar"), QByteArray()));
    ASSERT_TRUE(bbtest::writeBytes(dir.file("kar"), QByteArray("x")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub.kar"));
    ASSERT_TRUE(bbtest::writeCard(dir.file("sub.kar/inner.kar")));

    CardBrowser browser;
    QList<int> added, paintFrom;
    QObject::connect(&browser, &CardBrowser::entryAdded, [&](int index) {
        added << index;
        paintFrom << browser.paintFromIndex;
    });
    int ended = 0;
    QObject::connect(&browser, &CardBrowser::walkEnded, [&] { ++ended; });

    browser.folderChanging();
    browser.changeFolder(dir.path());
    EXPECT_TRUE(browser.workerRunning());
    ASSERT_TRUE(runUntil([&] { return !browser.workerRunning(); }));

    // The foreign, the cut-off and the empty file are entries too, so that they can be
    // deleted; they have no thumbnail.
    EXPECT_EQ(names(browser),
              (QStringList{".hidden.kar", "A.KAR", "b.kar", "c.Kar", "e.kar", "f.kar", "g.kar"}));
    EXPECT_EQ(added, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(paintFrom, (QList<int>{1, 2, 3, 4, 5, 6, 7}));  // only the new cell is painted
    const auto& thumbs = browser.entries().thumbnails;
    EXPECT_EQ(QSize(thumbs[0].width(), thumbs[0].height()), QSize(80, 53));
    EXPECT_EQ(QSize(thumbs[1].width(), thumbs[1].height()), QSize(59, 80));
    EXPECT_EQ(QSize(thumbs[2].width(), thumbs[2].height()), QSize(80, 59));
    EXPECT_EQ(QSize(thumbs[3].width(), thumbs[3].height()), QSize(80, 80));
    EXPECT_EQ(thumbs[0].bitCount(), 1);
    EXPECT_EQ(thumbs[3].bitCount(), 4);
    for (int i = 1; i <= 4; ++i) EXPECT_FALSE(browser.entries().isDamaged(i)) << i;
    for (int i = 5; i <= 7; ++i) {
        EXPECT_TRUE(browser.entries().isDamaged(i)) << i;
        EXPECT_TRUE(thumbs[size_t(i - 1)].isNull()) << i;
    }
    EXPECT_FALSE(browser.entries().isDamaged(8));
    EXPECT_EQ(browser.entryPath(3), QDir(dir.path()).filePath("b.kar"));
    EXPECT_EQ(browser.entryPath(5), QDir(dir.path()).filePath("e.kar"));
    EXPECT_TRUE(browser.entryPath(8).isEmpty());

    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(browser.restartRequested);
    EXPECT_EQ(browser.paintFromIndex, 0);
    EXPECT_EQ(browser.selectedIndex, 1);
}

TEST(CardBrowserWalk, UnreadableCardIsADamagedEntry) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    bbtest::TempFolder dir;
    ASSERT_TRUE(bbtest::writeCard(dir.file("a.kar")));
    ASSERT_TRUE(bbtest::writeCard(dir.file("b.kar")));
    ASSERT_TRUE(QFile::setPermissions(dir.file("a.kar"), QFileDevice::WriteOwner));
    CardBrowser browser;
    browser.changeFolder(dir.path());
    ASSERT_TRUE(runUntil([&] { return !browser.workerRunning(); }));
    EXPECT_EQ(names(browser), (QStringList{"a.kar", "b.kar"}));
    EXPECT_TRUE(browser.entries().isDamaged(1));
    EXPECT_FALSE(browser.entries().isDamaged(2));
}

TEST(CardBrowserWalk, ACardDamagedOrMendedLaterChangesItsEntry) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(bbtest::writeCard(dir.file("a.kar")));
    ASSERT_TRUE(bbtest::writeCard(dir.file("b.kar")));
    CardBrowser browser;
    browser.changeFolder(dir.path());
    ASSERT_TRUE(runUntil([&] { return !browser.workerRunning(); }));
    ASSERT_EQ(browser.count(), 2);
    ASSERT_FALSE(browser.entries().isDamaged(2));

    // Overwritten with something else: the entry stays, marked damaged.
    ASSERT_TRUE(bbtest::writeBytes(dir.file("b.kar"), "kein Inhalt einer Karte, länger"));
    browser.synchronize();
    EXPECT_EQ(names(browser), (QStringList{"a.kar", "b.kar"}));
    EXPECT_TRUE(browser.entries().isDamaged(2));
    EXPECT_TRUE(browser.entries().thumbnails[1].isNull());

    // A new damaged file joins in its place of the name order; a mended one loses its mark.
    ASSERT_TRUE(bbtest::writeBytes(dir.file("a0.kar"), QByteArray()));
    ASSERT_TRUE(bbtest::writeCard(dir.file("b.kar"), 40, 30, 8));
    browser.synchronize();
    EXPECT_EQ(names(browser), (QStringList{"a.kar", "a0.kar", "b.kar"}));
    EXPECT_TRUE(browser.entries().isDamaged(2));
    EXPECT_FALSE(browser.entries().isDamaged(3));
    EXPECT_FALSE(browser.entries().thumbnails[2].isNull());
}

TEST(CardBrowserWalk, NoFolderOrEmptyFolderGivesAnEmptyList) {
    bbtest::TempFolder dir;
    CardBrowser browser;
    browser.changeFolder(QString());
    EXPECT_FALSE(browser.workerRunning());
    browser.changeFolder(dir.path());
    ASSERT_TRUE(runUntil([&] { return !browser.workerRunning(); }));
    EXPECT_EQ(browser.count(), 0);
    EXPECT_TRUE(browser.entryPath(1).isEmpty());
}

TEST(CardBrowserWalk, ChangingTheFolderEmptiesAtOnceAndWalksTheNewFolderAfterTheOldStops) {
    bbtest::TempFolder big, small;
    writeCards(big.path(), "big", 400);
    writeCards(small.path(), "small", 3);
    bbtest::WalkGate gate(5);
    CardBrowser browser;
    browser.setWalkStepHook(gate.hook());
    QStringList started;
    QObject::connect(&browser, &CardBrowser::walkStarted,
                     [&](const QString& folder) { started << folder; });
    bool changed = false;
    QStringList addedAfterChange;
    QObject::connect(&browser, &CardBrowser::entryAdded, [&](int index) {
        if (changed) addedAfterChange << browser.entries().names[size_t(index - 1)];
    });

    browser.changeFolder(big.path());
    ASSERT_TRUE(runUntil([&] { return browser.count() == 5 && gate.holding(); }));
    browser.folderChanging();
    browser.changeFolder(small.path());
    changed = true;
    EXPECT_EQ(browser.count(), 0);
    EXPECT_TRUE(browser.workerRunning());
    EXPECT_TRUE(browser.restartRequested);
    gate.open();

    ASSERT_TRUE(runUntil([&] { return started.size() == 2 && !browser.workerRunning(); }));
    EXPECT_EQ(started, (QStringList{big.path(), small.path()}));
    // No card of the old folder slipped in, not even from a step already queued.
    EXPECT_EQ(addedAfterChange, (QStringList{"small0000.kar", "small0001.kar", "small0002.kar"}));
    EXPECT_EQ(browser.entryPath(1), QDir(small.path()).filePath("small0000.kar"));
    EXPECT_FALSE(browser.restartRequested);
}

TEST(CardBrowserWalk, StopForClosingEndsTheWalkWithoutRestart) {
    bbtest::TempFolder big, other;
    writeCards(big.path(), "c", 300);
    bbtest::WalkGate gate(3);
    CardBrowser browser;
    browser.setWalkStepHook(gate.hook());
    int startedWalks = 0;
    QObject::connect(&browser, &CardBrowser::walkStarted, [&] { ++startedWalks; });
    browser.changeFolder(big.path());
    ASSERT_TRUE(runUntil([&] { return browser.count() == 3 && gate.holding(); }));
    // A folder change asked for a restart; the close request cancels it.
    browser.changeFolder(other.path());
    browser.requestStop();
    EXPECT_TRUE(browser.workerRunning());  // the first close is refused meanwhile
    EXPECT_FALSE(browser.restartRequested);
    ASSERT_TRUE(runUntil([&] { return !browser.workerRunning(); }));
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(startedWalks, 1);
    EXPECT_FALSE(browser.workerRunning());
    EXPECT_EQ(browser.count(), 0);
}

TEST(CardBrowserWalk, DestroyingTheBrowserDuringAWalkStopsTheWorker) {
    bbtest::TempFolder big;
    writeCards(big.path(), "c", 200);
    bbtest::WalkGate gate(3);  // held before the fourth step: the walk is certainly not over
    auto browser = std::make_unique<CardBrowser>();
    browser->setWalkStepHook(gate.hook());
    browser->changeFolder(big.path());
    ASSERT_TRUE(runUntil([&] { return browser->count() == 3 && gate.holding(); }));
    ASSERT_TRUE(browser->workerRunning());
    browser.reset();  // must neither hang nor leave the worker calling into freed memory
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(gate.steps(), 4);  // no step after the stop
}
