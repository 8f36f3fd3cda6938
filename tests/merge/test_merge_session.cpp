// The personal-card session: the rows a merge takes under each choice, the record shown and
// its fill, the background read held at a gate, and the lists remembered per card.
#include "merge/AddressListLoader.h"
#include "merge/ListMemory.h"
#include "merge/MergeSession.h"
#include "support/TestSupport.h"

#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>

using namespace bb;

namespace {

std::shared_ptr<AddressList> people(int rows) {
    auto list = std::make_shared<AddressList>();
    list->columns = {QStringLiteral("Vorname"), QStringLiteral("Ort")};
    for (int i = 0; i < rows; ++i)
        list->rows.push_back({QStringLiteral("Person %1").arg(i + 1), QStringLiteral("Köln")});
    list->path = QStringLiteral("/tmp/leute.csv");
    return list;
}

std::vector<int> rowsOf(const MergeSession& s) {
    const auto plan = s.plan();
    return plan ? plan->rows : std::vector<int>{-1};
}

}  // namespace

TEST(MergeSession, EachRowChoiceMakesItsPlan) {
    MergeSession s;
    QString why;
    EXPECT_FALSE(s.plan(&why));
    EXPECT_FALSE(why.isEmpty());

    s.setList(people(5));
    s.setCopies(3);
    EXPECT_EQ(rowsOf(s), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(s.plan()->cardCount(), 15);

    s.setRowChoice(MergeSession::Rows::Range);
    s.setRangeText(QStringLiteral("4-5, 1"));
    EXPECT_EQ(rowsOf(s), (std::vector<int>{3, 4, 0}));

    s.setRowChoice(MergeSession::Rows::Ticked);
    EXPECT_FALSE(s.plan());  // nothing ticked yet
    s.setTicked(3, true);
    s.setTicked(1, true);
    s.setTicked(1, true);  // twice is once
    EXPECT_EQ(s.tickedCount(), 2);
    EXPECT_EQ(rowsOf(s), (std::vector<int>{1, 3}));

    // Another list starts afresh: all rows, nothing ticked, the first record.
    s.showRecord(4);
    s.setList(people(2));
    EXPECT_EQ(s.rowChoice(), MergeSession::Rows::All);
    EXPECT_EQ(s.tickedCount(), 0);
    EXPECT_EQ(s.shownRecord(), 0);
    EXPECT_EQ(rowsOf(s), (std::vector<int>{0, 1}));
}

TEST(MergeSession, ShownRecordIsClampedAndFillsTheTexts) {
    MergeSession s;
    EXPECT_FALSE(s.fillFunction());
    s.setList(people(3));
    QSignalSpy shown(&s, &MergeSession::shownChanged);
    s.showRecord(7);
    EXPECT_EQ(s.shownRecord(), 2);
    s.showRecord(2);  // no change, no repaint
    s.showRecord(-4);
    EXPECT_EQ(s.shownRecord(), 0);
    EXPECT_EQ(shown.count(), 2);

    s.showRecord(1);
    const auto fill = s.fillFunction();
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill(QStringLiteral("Liebe {vorname }, {{Gruß}} aus {Ort}")),
              QStringLiteral("Liebe Person 2, {Gruß} aus Köln"));
    // A fill taken earlier keeps its record; the list outlives the session's change.
    s.clear();
    EXPECT_FALSE(s.fillFunction());
    EXPECT_EQ(fill(QStringLiteral("{Vorname}")), QStringLiteral("Person 2"));
}

namespace {

// A reader that reports its first rows and then waits at a gate; once through, it reports
// again (noting whether it was told to go on) and returns the whole list.
struct GatedReader {
    QSemaphore gate;
    std::atomic<int> toldToStop{0};
    AddressListLoader::Reader reader() {
        return [this](const QString&, const AddressListProgress& progress) {
            const std::shared_ptr<AddressList> list = people(500);
            AddressList first = *list;
            first.rows.resize(250);
            progress(first, 0.5);
            gate.acquire();
            if (!progress(*list, 1.0)) ++toldToStop;
            return AddressListResult{list, {}, false};
        };
    }
};

}  // namespace

TEST(AddressListLoader, ShowsTheFirstRowsWhileHeldAndDropsTheResultOnceCancelled) {
    GatedReader held;
    AddressListLoader loader;
    loader.setReader(held.reader());
    QSignalSpy first(&loader, &AddressListLoader::firstRows);
    QSignalSpy progress(&loader, &AddressListLoader::progress);
    QSignalSpy finished(&loader, &AddressListLoader::finished);
    loader.load(QStringLiteral("leute.csv"));
    ASSERT_TRUE(bbtest::runUntil([&] { return first.count() == 1 && progress.count() == 1; }));
    const auto rows = first.at(0).at(0).value<std::shared_ptr<const AddressList>>();
    EXPECT_EQ(rows->rowCount(), AddressListLoader::kFirstRows);
    EXPECT_EQ(rows->columns.size(), 2);
    EXPECT_EQ(progress.at(0).at(0).toInt(), 50);
    EXPECT_TRUE(loader.isLoading());
    EXPECT_EQ(finished.count(), 0);

    loader.cancel();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).value<AddressListResult>().cancelled);
    EXPECT_FALSE(loader.isLoading());

    held.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&] { return loader.workersRunning() == 0; }));
    EXPECT_EQ(held.toldToStop, 1);
    EXPECT_EQ(finished.count(), 1);  // the list read after all is not taken
}

TEST(ListMemory, RemembersOneListPerCardMostRecentFirst) {
    bbtest::TempFolder dir;
    QSettings s(dir.file(QStringLiteral("settings.ini")), QSettings::IniFormat);
    rememberList(s, QStringLiteral("/karten/a.kar"), QStringLiteral("/listen/x.csv"));
    rememberList(s, QStringLiteral("/karten/b.kar"), QStringLiteral("/listen/y.csv"));
    rememberList(s, QStringLiteral("/karten/a.kar"), QStringLiteral("/listen/z.csv"));
    EXPECT_EQ(rememberedList(s, QStringLiteral("/karten/a.kar")), QStringLiteral("/listen/z.csv"));
    EXPECT_EQ(rememberedList(s, QStringLiteral("/karten/b.kar")), QStringLiteral("/listen/y.csv"));
    forgetList(s, QStringLiteral("/karten/a.kar"));
    EXPECT_TRUE(rememberedList(s, QStringLiteral("/karten/a.kar")).isEmpty());
    EXPECT_EQ(rememberedList(s, QStringLiteral("/karten/b.kar")), QStringLiteral("/listen/y.csv"));

    // The oldest card goes once there are too many.
    for (int i = 0; i < kRememberedListsMax; ++i)
        rememberList(s, QStringLiteral("/karten/%1.kar").arg(i), QStringLiteral("/l.csv"));
    EXPECT_TRUE(rememberedList(s, QStringLiteral("/karten/b.kar")).isEmpty());
    EXPECT_EQ(rememberedList(s, QStringLiteral("/karten/0.kar")), QStringLiteral("/l.csv"));
}
