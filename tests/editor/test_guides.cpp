// Guides pulled out of the rulers and the grid shown in the views: the lists of guides, where
// grid lines are drawn, and on both views pulling, moving, snapping to and removing guides.
#include "EditingFixture.h"

#include "editor/Guides.h"
#include "editor/Ruler.h"
#include "editor/Snapping.h"

#include <QMenu>

using namespace bb;
using bbtest::EditingFixture;

// ---- the lists and the arithmetic ----

TEST(GuideLines, AGuideNeverDoublesAnotherAndSidesStayApart) {
    CardGuides g;
    const GuideRef a = g.add(0, true, 500);
    EXPECT_EQ(g.add(0, true, 500), a);
    const GuideRef b = g.add(0, false, 700);
    g.add(0, true, 900);
    // Put back where it lies, a guide stays; moved onto another, the two become one; stale
    // references change nothing.
    g.move(0, a, 500);
    EXPECT_EQ(g.side(0).xs, (std::vector<int32_t>{500, 900}));
    g.move(0, a, 900);
    g.move(0, GuideRef{true, 5}, 1);
    g.remove(1, b);
    EXPECT_EQ(g.side(0), (GuideLines{{900}, {700}}));
    EXPECT_TRUE(g.side(1).empty());
}

TEST(GuideLines, TheNearestGuideWithinReachIsTaken) {
    const GuideLines lines{{1000, 1040}, {2000}};
    EXPECT_EQ(guideAt(lines, 1030, 5000, 15), (GuideRef{true, 1}));
    EXPECT_EQ(guideAt(lines, 1016, 5000, 15), GuideRef{});  // 16 from the nearest
    EXPECT_EQ(guideAt(lines, 9000, 1990, 15), (GuideRef{false, 0}));
    // Equally near a vertical and a horizontal guide: the vertical one.
    EXPECT_EQ(guideAt(lines, 1005, 2005, 15), (GuideRef{true, 0}));
    EXPECT_EQ(guideAt(lines, 1000, 2000, -1), GuideRef{});
}

TEST(GuideLines, GridLinesLieWhereObjectsSnapAndThinOutWhenDense) {
    // 5 mm from a card corner at 157480.
    const double spacing = 5 * kUnitsPerMm;
    const std::vector<int64_t> lines = gridLines(157480, spacing, 150000, 170000, 0);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.front(), 157480 - std::llround(spacing));
    for (int64_t line : lines) {
        // An edge near each drawn line snaps exactly onto it.
        const SnapResult r =
            snapBox({line + 30, 0, line + 1030, 10}, DragMove, {}, {spacing, 157480, 0}, 100);
        EXPECT_EQ(r.box.left, line);
    }
    // Lines 100 apart with at least 250 between them: every third, still through the origin.
    EXPECT_EQ(gridLines(50, 100, 0, 1000, 250), (std::vector<int64_t>{50, 350, 650, 950}));
    // No spacing, an empty range or countless lines: nothing.
    EXPECT_TRUE(gridLines(0, 0, 0, 1000, 0).empty());
    EXPECT_TRUE(gridLines(0, 10, 1000, 0, 0).empty());
    EXPECT_TRUE(gridLines(0, 0.001, -2000000000, 2000000000, 0).empty());
}

// ---- in the views ----

namespace {

class GuidesInTheView : public EditingFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        side = GetParam();
        tab->selectSide(side);
        QApplication::processEvents();
        view(side)->paintView();
    }

    // A mouse event on one of the view's rulers with the mouse at view position (x, y).
    void onRuler(bool top, QEvent::Type type, int x, int y) {
        EditorView* v = view(side);
        Ruler* r = top ? v->topRuler() : v->leftRuler();
        const QPointF global = v->mapToGlobal(QPointF(x, y));
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent e(type, r->mapFromGlobal(global), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(r, &e);
    }
    // Pulls a guide from a ruler to view position (x, y) and lets it go there.
    void pull(bool top, int x, int y) {
        const QPoint start = top ? QPoint(x, topOfView() - 10) : QPoint(leftOfView() - 10, y);
        onRuler(top, QEvent::MouseButtonPress, start.x(), start.y());
        onRuler(top, QEvent::MouseMove, (start.x() + x) / 2, (start.y() + y) / 2);
        onRuler(top, QEvent::MouseMove, x, y);
        onRuler(top, QEvent::MouseButtonRelease, x, y);
    }
    // A left drag in the view, the button held on the way.
    void drag(int x0, int y0, int x1, int y1) {
        press(side, x0, y0);
        mouse(side, QEvent::MouseMove, Qt::LeftButton, x1, y1);
        release(side, x1, y1);
    }
    int topOfView() { return view(side)->visiblePart().top(); }
    int leftOfView() { return view(side)->visiblePart().left(); }
    // The colour of view pixel (x, y) in the view's last render.
    QColor rendered(int x, int y) {
        EditorView* v = view(side);
        v->paintView();
        return v->frame().pixelColor(x - v->frameOrigin().x(), y - v->frameOrigin().y());
    }
    const GuideLines& guides() { return ed->guides().side(side); }

    int side = 0;
};

const QColor kGuide(0, 170, 200);

}  // namespace

TEST_P(GuidesInTheView, APulledGuideStaysIsDrawnAndObjectsSnapToItWithSnappingOff) {
    ASSERT_FALSE(ed->snapOptions().enabled);
    const QRect part = view(side)->visiblePart();
    const int gx = part.left() + 200, gy = part.top() + 150;
    pull(true, gx + 40, gy);   // the top ruler gives a horizontal guide
    pull(false, gx, gy + 40);  // the left ruler a vertical one
    EXPECT_EQ(guides().ys, std::vector<int32_t>{doc->fromView(gy)});
    EXPECT_EQ(guides().xs, std::vector<int32_t>{doc->fromView(gx)});
    EXPECT_TRUE(ed->guides().side(1 - side).empty());
    EXPECT_FALSE(ed->pullingGuide());
    // Drawn across the whole visible view, kept on later renders.
    EXPECT_EQ(rendered(part.right() - 3, gy), kGuide);
    EXPECT_EQ(rendered(gx, part.bottom() - 3), kGuide);

    // An object whose top-left corner is dragged to 3 pixels from both guides lands on them.
    CardObject& o = put(1, KindFigure, gx + 50, gy + 50, 60, 40);
    click(side, gx + 60, gy + 60);
    ASSERT_EQ(ed->selectedSlot(), 1);
    drag(gx + 60, gy + 60, gx + 13, gy + 13);
    EXPECT_EQ(o.x, doc->fromView(gx));
    EXPECT_EQ(o.y, doc->fromView(gy));
    // Farther away it follows the mouse alone.
    drag(gx + 10, gy + 10, gx + 30, gy + 30);
    EXPECT_EQ(o.x, doc->fromView(gx) + 2000);
}

TEST_P(GuidesInTheView, AGuideMovesAndGoesAwayWhenPulledBackOntoTheRuler) {
    const QRect part = view(side)->visiblePart();
    const int gx = part.left() + 150, gy = part.top() + 120;
    // Let go over the ruler: no guide.
    onRuler(false, QEvent::MouseButtonPress, leftOfView() - 10, gy);
    onRuler(false, QEvent::MouseMove, gx, gy);
    EXPECT_EQ(rendered(gx, gy + 30), QColor(Qt::white)) << "not in the bitmap while pulled";
    onRuler(false, QEvent::MouseMove, leftOfView() - 5, gy);
    onRuler(false, QEvent::MouseButtonRelease, leftOfView() - 5, gy);
    EXPECT_TRUE(guides().empty());

    pull(false, gx, gy);
    ASSERT_EQ(guides().xs.size(), 1u);
    // Taken 2 pixels beside it and moved: it follows the mouse.
    drag(gx + 2, gy + 30, gx + 60, gy + 30);
    EXPECT_EQ(guides().xs, std::vector<int32_t>{doc->fromView(gx + 60)});
    EXPECT_EQ(rendered(gx + 60, gy + 30), kGuide);
    EXPECT_NE(rendered(gx, gy + 30), kGuide);
    // Pulled back onto the left ruler: gone, and not drawn any more.
    drag(gx + 60, gy + 30, leftOfView() - 8, gy + 30);
    EXPECT_TRUE(guides().empty());
    EXPECT_NE(rendered(gx + 60, gy + 30), kGuide);
    EXPECT_FALSE(ed->pullingGuide());
}

TEST_P(GuidesInTheView, AnObjectOnAGuideIsTakenBeforeTheGuideAndTheMenuRemovesThem) {
    const QRect part = view(side)->visiblePart();
    const int gx = part.left() + 150, gy = part.top() + 120;
    pull(false, gx, gy);
    pull(true, gx, gy);
    CardObject& o = put(1, KindText, gx - 20, gy + 40, 40, 40);
    click(side, gx, gy + 60);
    EXPECT_EQ(ed->selectedSlot(), 1);
    drag(gx, gy + 60, gx + 100, gy + 80);
    EXPECT_EQ(o.x, doc->fromView(gx + 80));
    EXPECT_EQ(guides().xs, std::vector<int32_t>{doc->fromView(gx)});
    // A double click on a guide opens no dialog for the selected text.
    click(side, gx + 1, gy - 60);
    press(side, gx + 1, gy - 60);
    mouse(side, QEvent::MouseButtonDblClick, Qt::LeftButton, gx + 1, gy - 60);
    release(side, gx + 1, gy - 60);
    EXPECT_EQ(dialogRuns, 0);
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(guides().xs, std::vector<int32_t>{doc->fromView(gx + 1)});

    // "Hilfslinien entfernen" of the view menu takes this side's guides away.
    ed->showViewMenu(side, part.left() + 10, part.top() + 10);
    QAction* remove = ed->menus().item(QStringLiteral("HilfslinienM"));
    ASSERT_TRUE(remove);
    EXPECT_EQ(remove->text(), QStringLiteral("Hi&lfslinien entfernen"));
    EXPECT_TRUE(remove->isEnabled());
    remove->trigger();
    EXPECT_TRUE(guides().empty());
    EXPECT_NE(rendered(gx, gy), kGuide);
    ed->showViewMenu(side, part.left() + 10, part.top() + 10);
    EXPECT_FALSE(remove->isEnabled());
}

TEST_P(GuidesInTheView, TheGridIsDrawnOnlyWhileShownAndFromTheCardCorner) {
    ed->setGridSpacing(10.0);
    const CardGeometry card = cardGeometry(*doc);
    view(side)->setScroll(doc->screenPixels(card.left) - 40, doc->screenPixels(card.top) - 40);
    const QRect part = view(side)->visiblePart();
    // The grid line 10 mm right of the card's left edge, and a row between grid lines.
    const int lineX = doc->screenPixels(int32_t(std::llround(card.left + 10 * kUnitsPerMm)));
    const int offGrid = doc->screenPixels(int32_t(card.top + 5 * kUnitsPerMm));
    ASSERT_TRUE(part.contains(lineX, offGrid));
    const QColor before = rendered(lineX, offGrid);
    EXPECT_EQ(before, QColor(Qt::white));
    ed->setGridShown(true);
    const QColor grid = rendered(lineX, offGrid);
    EXPECT_NE(grid, QColor(Qt::white));
    EXPECT_EQ(rendered(lineX + 3, offGrid), QColor(Qt::white));
    ed->setGridShown(false);
    EXPECT_EQ(rendered(lineX, offGrid), QColor(Qt::white));
    // Shown, the grid is not a snap target unless snapping is on.
    ed->setGridShown(true);
    CardObject& o = put(1, KindFigure, lineX + 20, offGrid, 30, 30);
    click(side, lineX + 30, offGrid + 10);
    drag(lineX + 30, offGrid + 10, lineX + 12, offGrid + 10);
    EXPECT_EQ(o.x, doc->fromView(lineX + 2));
}

INSTANTIATE_TEST_SUITE_P(BothViews, GuidesInTheView, ::testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& i) {
                             return i.param == 0 ? std::string("Outside") : std::string("Inside");
                         });
