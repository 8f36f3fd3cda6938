// The browser tab: selection with mouse and keys, opening, scrolling into view, the title
// bar's colours, and the close rule's part of the tab.
#include "CardFiles.h"
#include "browser/CardBrowser.h"
#include "browser/PreviewGrid.h"
#include "browser/ui/BrowserTab.h"
#include "browser/ui/PreviewGridWidget.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>

using namespace bb;

namespace {

using bbtest::runUntil;

class BrowserTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        tab = std::make_unique<BrowserTab>(dialogs);
        tab->resize(800, 400);
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
        grid = tab->findChild<PreviewGridWidget*>(QStringLiteral("PaintBox2"));
        scroll = tab->findChild<QScrollArea*>(QStringLiteral("ScrollBox4"));
        ASSERT_TRUE(grid && scroll);
    }
    void fill(int cards) {
        for (int i = 1; i <= cards; ++i)
            ASSERT_TRUE(bbtest::writeCard(
                dir.file(QStringLiteral("k%1.kar").arg(i, 3, 10, QLatin1Char('0')))));
        tab->setFolder(dir.path());
        ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
        ASSERT_EQ(tab->browser().count(), cards);
    }
    QPoint centre(int index) { return cellFrame(index, grid->columns()).center(); }
    int selected() const { return tab->browser().selectedIndex; }
    void key(Qt::Key k) { QTest::keyClick(grid, k); }

    bbtest::ScriptedDialogs dialogs;
    bbtest::TempFolder dir;
    std::unique_ptr<BrowserTab> tab;
    PreviewGridWidget* grid = nullptr;
    QScrollArea* scroll = nullptr;
};

}  // namespace

TEST_F(BrowserTabTest, GridTakesTheClientWidthAndGrowsWithTheEntries) {
    fill(7);
    const int n = grid->columns();
    EXPECT_EQ(grid->width(), scroll->viewport()->width());
    EXPECT_EQ(n, scroll->viewport()->width() / 90);
    EXPECT_EQ(grid->height(), 7 / n * 110 + 110);
    // The painted grid shows the first thumbnail where the cell puts it (86 × 64 → 80 × 59).
    const QImage shot = grid->grab().toImage();
    // Thumbnail pixel (10, 10) at (5 + 10, 15 + 10) comes from source pixel (10, 10).
    EXPECT_EQ(shot.pixelColor(15, 25), QColor(10, 10, 40));
    EXPECT_EQ(shot.pixelColor(4, 25), kSelectedCell);  // entry 1 is selected
    EXPECT_EQ(shot.pixelColor(90 + 4, 25), kCellColour);

    // A wider folder tree: fewer columns, and the cells are drawn where they now are.
    auto* splitter = tab->findChild<QSplitter*>();
    ASSERT_TRUE(splitter);
    splitter->setSizes({500, 300});
    ASSERT_TRUE(runUntil([&] { return grid->width() == scroll->viewport()->width(); }));
    const int fewer = grid->columns();
    EXPECT_LT(fewer, n);
    EXPECT_EQ(grid->height(), 7 / fewer * 110 + 110);
    const QPoint second = cellOrigin(fewer + 2, fewer);  // was empty before, now a card
    // What is on screen (not a fresh rendering of the widget).
    QCoreApplication::processEvents();
    const QImage screen = tab->screen()->grabWindow(tab->winId()).toImage();
    const QPoint onScreen = grid->mapTo(tab.get(), second + QPoint(15, 25));
    EXPECT_EQ(screen.pixelColor(onScreen), QColor(10, 10, 40));
}

TEST_F(BrowserTabTest, KeysMoveByRowOrOneAndEnterOpens) {
    const int n = grid->columns();
    ASSERT_GE(n, 3);
    fill(n + 3);  // the second row holds three entries
    QSignalSpy opened(tab.get(), &BrowserTab::openRequested);
    grid->setFocus();
    EXPECT_EQ(selected(), 1);
    key(Qt::Key_Right);
    EXPECT_EQ(selected(), 2);
    key(Qt::Key_Down);
    EXPECT_EQ(selected(), 2 + n);
    key(Qt::Key_Down);  // beyond the last row: stays
    EXPECT_EQ(selected(), 2 + n);
    key(Qt::Key_Up);
    EXPECT_EQ(selected(), 2);
    key(Qt::Key_Up);
    EXPECT_EQ(selected(), 2);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(selected(), 1);
    key(Qt::Key_Right);
    key(Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), QDir(dir.path()).filePath("k002.kar"));
    key(Qt::Key_Enter);
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(BrowserTabTest, ClickSelectsAndDoubleClickOpens) {
    fill(5);
    QSignalSpy opened(tab.get(), &BrowserTab::openRequested);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre(3));
    EXPECT_EQ(selected(), 3);
    EXPECT_TRUE(grid->hasFocus());
    // Between two frames: the selection stays.
    const QPoint gap = cellOrigin(2, grid->columns()) + QPoint(0, 50);
    QTest::mouseClick(grid, Qt::LeftButton, {}, gap);
    EXPECT_EQ(selected(), 3);
    // A real double click: the first click's press selects, the second opens.
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre(4));
    QTest::mouseDClick(grid, Qt::LeftButton, {}, centre(4));
    EXPECT_EQ(selected(), 4);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), QDir(dir.path()).filePath("k004.kar"));
}

TEST_F(BrowserTabTest, EmptyFolderOpensNothing) {
    fill(0);
    QSignalSpy opened(tab.get(), &BrowserTab::openRequested);
    EXPECT_EQ(grid->height(), 110);
    grid->setFocus();
    key(Qt::Key_Return);
    key(Qt::Key_Right);
    QTest::mouseDClick(grid, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(opened.size(), 0);
    EXPECT_EQ(selected(), 1);
}

TEST_F(BrowserTabTest, SelectionIsScrolledIntoView) {
    fill(40);
    const int n = grid->columns();
    QScrollBar* bar = scroll->verticalScrollBar();
    const int viewH = scroll->viewport()->height();
    grid->setFocus();
    for (int i = 0; i < 6; ++i) key(Qt::Key_Down);
    const int row = (selected() - 1) / n;
    ASSERT_EQ(row, 6);
    EXPECT_EQ(bar->value(), row * 110 + 108 - viewH);
    for (int i = 0; i < 6; ++i) key(Qt::Key_Up);
    EXPECT_EQ(bar->value(), 2);
}

TEST_F(BrowserTabTest, TitleBarFollowsTheGridsFocus) {
    fill(1);
    auto* title = tab->findChild<QLabel*>(QStringLiteral("PreviewTitle"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->text(), "Kartenvorschau");
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pixelSize(), 16);
    const QColor inactive = title->palette().color(QPalette::Window);
    QApplication::setActiveWindow(tab.get());
    grid->setFocus();
    ASSERT_TRUE(runUntil([&] { return grid->hasFocus(); }));
    const QColor active = title->palette().color(QPalette::Window);
    EXPECT_NE(active, inactive);
    EXPECT_EQ(active, tab->palette().color(QPalette::Active, QPalette::Highlight));
    tab->findChild<QWidget*>(QStringLiteral("JamShellTree1"))->setFocus();
    ASSERT_TRUE(runUntil([&] { return !grid->hasFocus(); }));
    EXPECT_EQ(title->palette().color(QPalette::Window), inactive);
}

TEST_F(BrowserTabTest, StopDuringAWalkAndFolderChangeEmptiesTheGrid) {
    bbtest::TempFolder other;
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(bbtest::writeCard(other.file(QStringLiteral("o%1.kar").arg(i))));
    ASSERT_TRUE(bbtest::writeCard(dir.file("only.kar")));
    bbtest::WalkGate gate(3);
    tab->browser().setWalkStepHook(gate.hook());
    tab->setFolder(other.path());
    ASSERT_TRUE(runUntil([&] { return tab->browser().count() == 3 && gate.holding(); }));
    // Another folder: the grid is empty at once and the new cards follow the old walk.
    tab->setFolder(dir.path());
    EXPECT_EQ(tab->browser().count(), 0);
    EXPECT_EQ(grid->height(), 110);
    EXPECT_TRUE(tab->workerRunning());
    gate.open();
    ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
    EXPECT_EQ(tab->browser().count(), 1);
    EXPECT_EQ(tab->folder(), QDir(dir.path()).absolutePath());

    // The close rule's part: a running walk is stopped on request and ends.
    tab->setFolder(other.path());
    ASSERT_TRUE(tab->workerRunning());
    tab->requestStop();
    ASSERT_TRUE(runUntil([&] { return !tab->workerRunning(); }));
    EXPECT_LT(tab->browser().count(), 300);
    // refresh() walks the selected folder again.
    tab->refresh();
    EXPECT_TRUE(tab->workerRunning());
    tab.reset();  // closing during a walk
}

TEST_F(BrowserTabTest, DarkPaletteColoursTheGridAndTheCaption) {
    fill(2);
    QPalette dark = tab->palette();
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(30, 90, 160));
    dark.setColor(QPalette::Dark, QColor(20, 20, 20));
    tab->setPalette(dark);
    QCoreApplication::processEvents();
    const QImage shot = grid->grab().toImage();
    EXPECT_EQ(shot.pixelColor(90 + 4, 25), QColor(40, 40, 40));  // an unselected cell
    EXPECT_EQ(shot.pixelColor(4, 25), QColor(30, 90, 160));      // the selected one
    EXPECT_EQ(shot.pixelColor(300, 5), QColor(40, 40, 40));      // beside the cells
    auto* title = tab->findChild<QLabel*>(QStringLiteral("PreviewTitle"));
    EXPECT_EQ(title->palette().color(QPalette::Window), QColor(20, 20, 20));
    // Back to the light palette: the classic look again.
    tab->setPalette(QPalette());
    const QImage light = grid->grab().toImage();
    EXPECT_EQ(light.pixelColor(90 + 4, 25), kCellColour);
    EXPECT_EQ(light.pixelColor(4, 25), kSelectedCell);
}
