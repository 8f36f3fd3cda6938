// The browser on a card folder inside a temporary home: the places, following the folder when
// another program changes it, and the card commands (rename, duplicate, trash).
#include "CardFiles.h"
#include "browser/CardBrowser.h"
#include "browser/PreviewGrid.h"
#include "browser/ui/BrowserTab.h"
#include "browser/ui/PreviewGridWidget.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

using namespace bb;

namespace {

using bbtest::runUntil;

class BrowserCardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", home.file("daten").toUtf8());
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Grußkarten")));
        cards = QDir(home.file(QStringLiteral("Grußkarten"))).absolutePath();
        for (const char* name : {"Anna.kar", "Berta.kar", "Clara.kar"})
            ASSERT_TRUE(bbtest::writeCard(card(name)));
        tab = std::make_unique<BrowserTab>(dialogs);
        tab->resize(800, 400);
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
        grid = tab->findChild<PreviewGridWidget*>(QStringLiteral("PaintBox2"));
        ASSERT_TRUE(grid);
        tab->setCardFolder(cards);
        ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
        ASSERT_EQ(names(), QStringList({"Anna.kar", "Berta.kar", "Clara.kar"}));
    }
    void TearDown() override {
        tab.reset();
        qputenv("HOME", oldHome);
        if (oldData.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    }
    QString card(const QString& name) const { return QDir(cards).filePath(name); }
    QStringList names() const {
        const auto& n = tab->browser().entries().names;
        return QStringList(n.begin(), n.end());
    }
    QString selectedName() const { return tab->browser().selectedName(); }
    void select(const QString& name) {
        const int index = tab->browser().indexOf(name);
        ASSERT_GT(index, 0) << name.toStdString();
        QTest::mouseClick(grid, Qt::LeftButton, {}, cellFrame(index, grid->columns()).center());
        ASSERT_EQ(selectedName(), name);
    }
    static bool run(const QString& program, const QStringList& args) {
        return QProcess::execute(program, args) == 0;
    }

    bbtest::ScriptedDialogs dialogs;
    bbtest::TempFolder home;
    QString cards;
    QByteArray oldHome, oldData;
    std::unique_ptr<BrowserTab> tab;
    PreviewGridWidget* grid = nullptr;
};

}  // namespace

TEST_F(BrowserCardsTest, PlacesComeFirstAndTheCardFolderIsShown) {
    auto* places = tab->findChild<QListWidget*>(QStringLiteral("BrowserPlaces"));
    ASSERT_TRUE(places);
    QStringList captions, paths;
    for (int i = 0; i < places->count(); ++i) {
        captions << places->item(i)->text();
        paths << places->item(i)->data(Qt::UserRole).toString();
    }
    // No pictures folder in this home: that place is left out.
    EXPECT_EQ(captions, QStringList({"Grußkarten", "Persönlicher Ordner", "Dateisystem"}));
    EXPECT_EQ(paths, QStringList({cards, QDir::homePath(), QDir::rootPath()}));
    EXPECT_EQ(places->currentRow(), 0);
    EXPECT_TRUE(tab->findChild<QSplitter*>(QStringLiteral("BrowserSplitter")));

    // The tree shows the card folder selected, in view once its parents have loaded.
    auto* tree = tab->findChild<QTreeView*>(QStringLiteral("JamShellTree1"));
    ASSERT_TRUE(tree);
    const auto* model = static_cast<const QFileSystemModel*>(tree->model());
    EXPECT_EQ(model->filePath(tree->currentIndex()), cards);
    const auto inView = [&] {
        const QRect r = tree->visualRect(tree->currentIndex());
        return r.isValid() && r.top() >= 0 && r.bottom() < tree->viewport()->height();
    };
    EXPECT_TRUE(runUntil(inView)) << tree->visualRect(tree->currentIndex()).top() << " "
                                  << tree->viewport()->height();

    // With a pictures folder: after home. A place chosen shows that folder.
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Pictures")));
    tab->setCardFolder(cards);
    ASSERT_EQ(places->count(), 4);
    EXPECT_EQ(places->item(2)->text(), "Bilder");
    places->setCurrentRow(1);
    EXPECT_EQ(tab->folder(), QDir::homePath());
    EXPECT_EQ(model->filePath(tree->currentIndex()), QDir::homePath());
    ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
    EXPECT_EQ(tab->browser().count(), 0);
}

TEST_F(BrowserCardsTest, FollowsCardsThatAnotherProgramChanges) {
    select(QStringLiteral("Clara.kar"));
    // Copied in: appears in its place of the name order; the selection stays on Clara.
    ASSERT_TRUE(run(QStringLiteral("cp"), {card("Anna.kar"), card("Bruno.kar")}));
    ASSERT_TRUE(runUntil([&] { return tab->browser().count() == 4; }));
    EXPECT_EQ(names(), QStringList({"Anna.kar", "Berta.kar", "Bruno.kar", "Clara.kar"}));
    EXPECT_EQ(selectedName(), "Clara.kar");
    // Removed: disappears.
    ASSERT_TRUE(run(QStringLiteral("rm"), {card("Anna.kar")}));
    ASSERT_TRUE(runUntil([&] { return tab->browser().count() == 3; }));
    EXPECT_EQ(names(), QStringList({"Berta.kar", "Bruno.kar", "Clara.kar"}));
    EXPECT_EQ(selectedName(), "Clara.kar");
    // Written over in place with another picture: a new thumbnail (40 × 80 → 40 × 80).
    ASSERT_TRUE(bbtest::writeCard(home.file("hoch.kar"), 40, 80));
    ASSERT_TRUE(run(
        QStringLiteral("sh"),
        {"-c", QStringLiteral("cat '%1' > '%2'").arg(home.file("hoch.kar"), card("Berta.kar"))}));
    ASSERT_TRUE(runUntil([&] { return tab->browser().entries().thumbnails[0].width() == 40; }));

    // A change while a walk runs is taken in after the walk.
    bbtest::WalkGate gate(1);
    tab->browser().setWalkStepHook(gate.hook());
    tab->refresh();
    ASSERT_TRUE(runUntil([&] { return gate.holding(); }));
    ASSERT_TRUE(run(QStringLiteral("cp"), {card("Clara.kar"), card("Dora.kar")}));
    ASSERT_TRUE(run(QStringLiteral("rm"), {card("Bruno.kar")}));
    ASSERT_TRUE(runUntil([&] { return tab->browser().updateAfterWalk(); }));
    EXPECT_TRUE(tab->workerRunning());
    gate.open();
    ASSERT_TRUE(runUntil([&] { return names().contains("Dora.kar"); }));
    EXPECT_EQ(names(), QStringList({"Berta.kar", "Clara.kar", "Dora.kar"}));
    EXPECT_EQ(selectedName(), "Clara.kar");
    EXPECT_TRUE(dialogs.messages.isEmpty());  // Bruno, gone since the listing, is no error
}

TEST_F(BrowserCardsTest, RenameRefusesTakenOrBadNamesAndDuplicateCounts) {
    select(QStringLiteral("Anna.kar"));
    QSignalSpy renamed(tab.get(), &BrowserTab::cardRenamed);
    QStringList typed = {"a/b", " Berta ", "", "Zora"};
    tab->setNameAsker([&](const QString&) { return typed.takeFirst(); });
    tab->renameSelected();  // "a/b.kar"
    tab->renameSelected();  // "Berta.kar" exists
    tab->renameSelected();  // cancelled: nothing
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].text.contains("„a/b.kar“"));
    EXPECT_TRUE(dialogs.messages[0].text.contains("Schrägstrich"));
    EXPECT_TRUE(dialogs.messages[1].text.contains("„Berta.kar“"));
    EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Warning);
    EXPECT_TRUE(QFileInfo::exists(card("Anna.kar")));
    EXPECT_EQ(renamed.size(), 0);

    tab->renameSelected();  // "Zora" → "Zora.kar", selected at its new place
    EXPECT_FALSE(QFileInfo::exists(card("Anna.kar")));
    EXPECT_TRUE(QFileInfo::exists(card("Zora.kar")));
    ASSERT_EQ(renamed.size(), 1);
    EXPECT_EQ(renamed[0][0].toString(), card("Anna.kar"));
    EXPECT_EQ(renamed[0][1].toString(), card("Zora.kar"));
    EXPECT_EQ(names(), QStringList({"Berta.kar", "Clara.kar", "Zora.kar"}));
    EXPECT_EQ(selectedName(), "Zora.kar");

    // Duplicates from the context menu: "(Kopie)", then "(Kopie 2)", each selected.
    select(QStringLiteral("Berta.kar"));
    const QPoint at = cellFrame(2, grid->columns()).center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
    QCoreApplication::sendEvent(grid, &rightClick);
    auto* menu = tab->findChild<QMenu*>(QStringLiteral("BrowserCardMenu"));
    ASSERT_TRUE(menu);
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) items << a->text();
    EXPECT_EQ(items, QStringList({"Öffnen", "Umbenennen...", "Duplizieren",
                                  "In den Papierkorb verschieben", "Im Dateimanager zeigen"}));
    EXPECT_EQ(selectedName(), "Clara.kar");  // the right click selected the card
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    select(QStringLiteral("Berta.kar"));
    menu->actions()[2]->trigger();
    EXPECT_EQ(selectedName(), "Berta (Kopie).kar");
    select(QStringLiteral("Berta.kar"));
    tab->duplicateSelected();
    EXPECT_EQ(selectedName(), "Berta (Kopie 2).kar");
}

TEST_F(BrowserCardsTest, DeleteKeyAsksThenMovesTheCardToTheTrash) {
    select(QStringLiteral("Berta.kar"));
    QSignalSpy trashed(tab.get(), &BrowserTab::cardTrashed);
    dialogs.answers = {BtnNo};
    QTest::keyClick(grid, Qt::Key_Delete);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              "Soll die Karte „Berta.kar“ in den Papierkorb verschoben werden?");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);
    EXPECT_TRUE(QFileInfo::exists(card("Berta.kar")));
    EXPECT_EQ(trashed.size(), 0);

    dialogs.answers = {BtnYes};
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(card("Berta.kar")));
    // In the data folder, which did not exist before.
    const QDir trash(home.file("daten/Trash"));
    EXPECT_TRUE(QFileInfo::exists(trash.filePath("files/Berta.kar")));
    EXPECT_TRUE(QFileInfo::exists(trash.filePath("info/Berta.kar.trashinfo")));
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_EQ(trashed[0][0].toString(), card("Berta.kar"));
    EXPECT_EQ(names(), QStringList({"Anna.kar", "Clara.kar"}));
    EXPECT_EQ(selectedName(), "Clara.kar");  // the next card takes the place
    EXPECT_TRUE(grid->hasFocus());

    // A card that another program removed meanwhile: the failure is reported.
    ASSERT_TRUE(QFile::remove(card("Clara.kar")));
    dialogs.answers = {BtnYes};
    tab->trashSelected();
    ASSERT_EQ(dialogs.messages.size(), 4);
    EXPECT_TRUE(dialogs.messages[3].text.startsWith(
        "Die Karte „Clara.kar“ konnte nicht in den Papierkorb verschoben werden."));
    EXPECT_EQ(dialogs.messages[3].icon, MsgIcon::Warning);
    EXPECT_EQ(trashed.size(), 1);
}

TEST_F(BrowserCardsTest, ADamagedCardIsShownMarkedAndGoesToTheTrashFromItsMenu) {
    ASSERT_TRUE(bbtest::writeBytes(card("Bruch.kar"), "\x89PNG\r\n\x1a\n kein Kartenanfang"));
    ASSERT_TRUE(runUntil([&] { return names().contains("Bruch.kar"); }));
    tab->refresh();  // a visit of the tab walks the folder again
    ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
    EXPECT_EQ(names(), QStringList({"Anna.kar", "Berta.kar", "Bruch.kar", "Clara.kar"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());  // no box during a walk or an update
    const int index = tab->browser().indexOf(QStringLiteral("Bruch.kar"));
    EXPECT_TRUE(tab->browser().entries().isDamaged(index));

    // The cell shows the crossed-out card where a good card shows its thumbnail.
    const QImage shot = grid->grab().toImage();
    const QRect cross = damagedMarkRect(cellOrigin(index, grid->columns()));
    EXPECT_EQ(shot.pixelColor(cross.center()), GridColours().damagedMark);
    const QRect good = damagedMarkRect(cellOrigin(index - 1, grid->columns()));
    EXPECT_NE(shot.pixelColor(good.center()), GridColours().damagedMark);

    select(QStringLiteral("Bruch.kar"));
    auto* menu = tab->findChild<QMenu*>(QStringLiteral("BrowserCardMenu"));
    ASSERT_TRUE(menu);
    QAction* trash = tab->findChild<QAction*>(QStringLiteral("BrowserTrash"));
    ASSERT_TRUE(trash);
    EXPECT_TRUE(menu->actions().contains(trash));
    dialogs.answers = {BtnYes};
    trash->trigger();
    EXPECT_FALSE(QFileInfo::exists(card("Bruch.kar")));
    EXPECT_EQ(names(), QStringList({"Anna.kar", "Berta.kar", "Clara.kar"}));
}
