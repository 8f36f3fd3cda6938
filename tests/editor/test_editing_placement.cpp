// Placement aids on both editor views: snapping a drag to guides and the grid, nudging with
// Ctrl+arrow keys, the wheel (zoom around the mouse, scrolling) and the centring commands.
#include "EditingFixture.h"

#include "editor/Snapping.h"

#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>

using namespace bb;
using bbtest::EditingFixture;

namespace {

class EditingPlacement : public EditingFixture, public ::testing::WithParamInterface<int> {
protected:
    void key(int side, int k, Qt::KeyboardModifiers mods, bool autoRepeat = false) {
        QKeyEvent e(QEvent::KeyPress, k, mods, QString(), autoRepeat);
        QApplication::sendEvent(view(side), &e);
    }
    void wheel(int side, int x, int y, int turn, Qt::KeyboardModifiers mods) {
        EditorView* v = view(side);
        const QPointF local(x, y);
        QWheelEvent e(local, v->mapToGlobal(local), QPoint(), QPoint(0, turn), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(v, &e);
    }
    QColor pixel(int side, int x, int y) {
        return QColor(view(side)->grab(QRect(x, y, 1, 1)).toImage().pixel(0, 0));
    }
};

// The card of the fixture's document (200 × 150 mm) in document units.
constexpr int32_t kCardLeft = 157480, kCardRight = 314960, kFold = 236220;
constexpr int32_t kCardTop = 118110, kCardBottom = 236220;

}  // namespace

TEST_P(EditingPlacement, DragSnapsToAnotherObjectShowsGuidesAndLeavesTheOtherAlone) {
    const int side = GetParam();
    tab->selectSide(side);
    QApplication::processEvents();
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(2, KindFigure, 300, 100, 50, 40);
    b.y = 10050;  // half a pixel lower: the tops only meet by snapping
    ed->setSnapping(true);
    ed->setGridSpacing(0.0);
    click(side, 120, 110);
    press(side, 120, 110);
    ASSERT_EQ(ed->cursorNumber(), CursorDrag);
    // Left edge to 297 px: 3 px short of the other object's left edge, within the 5 px.
    move(side, 317, 110);
    EXPECT_EQ(a.x, 30000);
    EXPECT_EQ(a.y, 10050);
    EXPECT_EQ(ed->guideXs(), (std::vector<int32_t>{30000, 32500, 35000}));
    EXPECT_EQ(ed->guideYs(), (std::vector<int32_t>{10050, 12050, 14050}));
    // The guide is drawn over the view while it holds, far from both objects.
    EXPECT_EQ(pixel(side, 300, 400), QColor(0, 120, 215));
    // Farther than the snap distance: the mouse rules and no guide holds.
    move(side, 310, 137);
    EXPECT_EQ(a.x, 29000);
    EXPECT_EQ(a.y, 12700);
    EXPECT_TRUE(ed->guideXs().empty());
    EXPECT_EQ(pixel(side, 300, 400), QColor(Qt::white));
    move(side, 318, 111);
    release(side, 318, 111);
    EXPECT_EQ(a.x, 30000);
    EXPECT_EQ(a.y, 10050);
    EXPECT_EQ(pixel(side, 300, 400), QColor(Qt::white));
    // The other object never moves.
    EXPECT_EQ(b.x, 30000);
    EXPECT_EQ(b.y, 10050);
    EXPECT_EQ(b.width, 5000);
    EXPECT_EQ(b.height, 4000);

    // Switched off, the same drag follows the mouse alone.
    ed->setSnapping(false);
    press(side, 320, 110);
    move(side, 122, 111);
    release(side, 122, 111);
    EXPECT_EQ(a.x, 10200);
    EXPECT_EQ(a.y, 10100);
}

TEST_P(EditingPlacement, ResizeSnapsToTheMillimetreGridFromTheCardCorner) {
    const int side = GetParam();
    // On the card, 10 mm grid: the first line right of the card's left edge.
    ed->setSnapping(true);
    ed->setGridSpacing(10.0);
    const int32_t line = int32_t(std::llround(kCardLeft + 10 * kUnitsPerMm));
    CardObject& a = put(1, KindFigure, 1600, 1200, 20, 20);
    CardObject& other = put(2, KindFigure, 1700, 1300, 100, 20);
    click(side, 1610, 1210);
    // Right handle at (1620, 1210) pulled to 1652 px: the right edge is 154 units short of
    // the grid line.
    press(side, 1620, 1210);
    ASSERT_EQ(ed->cursorNumber(), DragRight);
    move(side, 1652, 1210);
    release(side, 1652, 1210);
    EXPECT_EQ(a.x, 160000);
    EXPECT_EQ(a.x + a.width, line);
    EXPECT_EQ(a.y, 120000);
    EXPECT_EQ(a.height, 2000);
    EXPECT_EQ(other.width, 10000);
}

TEST_P(EditingPlacement, CtrlArrowsNudgeByAPixelOrAMillimetreAndPlainKeysKeepTheirMeaning) {
    const int side = GetParam();
    view(side)->setFocus();
    key(side, Qt::Key_Right, Qt::ControlModifier);  // nothing selected: nothing happens
    CardObject& a = put(3, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(8, KindFigure, 300, 100, 50, 40);
    ed->edited().slot = 3;
    key(side, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(a.x, 10100);
    key(side, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(a.y, 9900);
    EXPECT_EQ(ed->selectedSlot(), 3);  // Ctrl+Up moves; it does not step the selection
    key(side, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(a.y, 9900 + 787);  // one millimetre of the card
    key(side, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(a.x, 10100 - 787);
    // One view pixel at another scale.
    doc->unitsPerPixel = 50;
    key(side, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(a.x, 10100 - 787 - 50);
    // Without Ctrl: Down steps the selection, Left does nothing.
    key(side, Qt::Key_Left, Qt::NoModifier);
    key(side, Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(ed->selectedSlot(), 8);
    EXPECT_EQ(a.x, 10100 - 787 - 50);
    EXPECT_EQ(a.y, 9900 + 787);
    EXPECT_EQ(b.x, 30000);
    EXPECT_EQ(b.y, 10000);
}

TEST_P(EditingPlacement, CtrlWheelZoomsAroundTheMouseAndTheWheelScrolls) {
    const int side = GetParam();
    tab->selectSide(side);
    QApplication::processEvents();
    view(side)->setScroll(1000, 800);
    ASSERT_EQ(view(side)->scrollX(), 1000);
    ASSERT_EQ(view(side)->scrollY(), 800);
    // The mouse at (300, 200) in the visible part: card point (130000, 100000).
    wheel(side, 1300, 1000, 120, Qt::ControlModifier);
    EXPECT_NEAR(doc->unitsPerPixel, 100.0 / 1.5, 1e-9);
    EXPECT_EQ(view(0)->size(), tab->views().paintBoxSize());
    const double upp = doc->unitsPerPixel;
    EXPECT_NEAR((300 + view(side)->scrollX()) * upp, 130000, upp);
    EXPECT_NEAR((200 + view(side)->scrollY()) * upp, 100000, upp);
    // Two notches out in one turn: two steps, the point still under the mouse.
    wheel(side, 300 + view(side)->scrollX(), 200 + view(side)->scrollY(), -240,
          Qt::ControlModifier);
    EXPECT_NEAR(doc->unitsPerPixel, 150.0, 1e-9);
    EXPECT_NEAR((300 + view(side)->scrollX()) * 150.0, 130000, 150.0);
    EXPECT_NEAR((200 + view(side)->scrollY()) * 150.0, 100000, 150.0);

    // Without Ctrl the wheel scrolls down, with Shift sideways; the scale stays.
    const int x0 = view(side)->scrollX(), y0 = view(side)->scrollY();
    const int lines = QGuiApplication::styleHints()->wheelScrollLines();
    const int step = lines * view(side)->scrollBox()->verticalScrollBar()->singleStep();
    const int stepX = lines * view(side)->scrollBox()->horizontalScrollBar()->singleStep();
    ASSERT_GT(step, 0);
    wheel(side, 400, 400, -120, Qt::NoModifier);
    EXPECT_EQ(view(side)->scrollY(), y0 + step);
    EXPECT_EQ(view(side)->scrollX(), x0);
    wheel(side, 400, 400, 120, Qt::ShiftModifier);
    EXPECT_EQ(view(side)->scrollX(), x0 - stepX);
    EXPECT_EQ(view(side)->scrollY(), y0 + step);
    EXPECT_NEAR(doc->unitsPerPixel, 150.0, 1e-9);
}

TEST_P(EditingPlacement, CentringOnTheCardAndOnTheHalfItLiesIn) {
    const int side = GetParam();
    CardObject& a = put(1, KindFigure, 1700, 1300, 100, 50);
    CardObject& other = put(2, KindFigure, 2000, 1300, 100, 50);
    click(side, 1750, 1320);
    ASSERT_EQ(ed->selectedSlot(), 1);
    const auto run = [this](const char* name) {
        QAction* item = ed->menus().item(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr) << name;
        item->trigger();
    };
    // In the left half (the back of the folded card's outside).
    run("HaelfteWaagerechtM");
    EXPECT_EQ(a.x, kCardLeft + (kFold - kCardLeft - 10000) / 2);
    EXPECT_EQ(a.y, 130000);
    run("KarteSenkrechtM");
    EXPECT_EQ(a.y, kCardTop + (kCardBottom - kCardTop - 5000) / 2);
    run("KarteWaagerechtM");
    EXPECT_EQ(a.x, kCardLeft + (kCardRight - kCardLeft - 10000) / 2);
    // Its centre is now on the fold, which counts to the right half.
    a.y = 130000;
    run("HaelfteMitteM");
    EXPECT_EQ(a.x, kFold + (kCardRight - kFold - 10000) / 2);
    EXPECT_EQ(a.y, kCardTop + (kCardBottom - kCardTop - 5000) / 2);
    EXPECT_EQ(other.x, 200000);
    EXPECT_EQ(other.y, 130000);
    // The items sit in the object menu's "Ausrichten" submenu.
    QMenu* sub = ed->menus().objectMenu()->findChild<QMenu*>(QStringLiteral("AusrichtenM"));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->title(), QStringLiteral("A&usrichten"));
    // The four centring items, then lining up and spreading out after a separator.
    ASSERT_EQ(sub->actions().size(), 13);
    EXPECT_TRUE(sub->actions()[4]->isSeparator());
}

TEST_P(EditingPlacement, AHeldNudgeKeyAndACentringAreOneUndoStepEach) {
    const int side = GetParam();
    view(side)->setFocus();
    CardObject& a = put(3, KindFigure, 1700, 1300, 100, 50);
    ed->edited().slot = 3;
    EditHistory& h = ed->history();
    // Pressed and held: the first press and its repeats.
    key(side, Qt::Key_Right, Qt::ControlModifier);
    for (int i = 0; i < 4; ++i) key(side, Qt::Key_Right, Qt::ControlModifier, true);
    EXPECT_EQ(a.x, 170500);
    // Pressed again: a step of its own, also in the same direction.
    key(side, Qt::Key_Right, Qt::ControlModifier);
    key(side, Qt::Key_Right, Qt::ControlModifier, true);
    EXPECT_EQ(a.x, 170700);
    EXPECT_EQ(h.stack().count(), 2);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Objekt verschieben"));
    h.undo();
    EXPECT_EQ(a.x, 170500);
    h.undo();
    EXPECT_EQ(a.x, 170000);
    EXPECT_FALSE(h.canUndo());
    h.redo();
    EXPECT_EQ(a.x, 170500);

    ed->centreSelected(EditorController::CentreOn::HalfMiddle);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Objekt zentrieren"));
    EXPECT_NE(a.y, 130000);
    h.undo();
    EXPECT_EQ(a.x, 170500);
    EXPECT_EQ(a.y, 130000);
}

INSTANTIATE_TEST_SUITE_P(BothViews, EditingPlacement, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Inside" : "Outside"; });
