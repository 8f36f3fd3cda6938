// The parts of the editor on their own: moving about the card without an editing layer, the
// position and size commands of the property panel, and the signals of a typing session.
#include "EditingFixture.h"

#include "editor/EditMath.h"
#include "editor/EditorNavigation.h"
#include "editor/RulerMath.h"
#include "editor/TextSession.h"

#include <QSignalSpy>
#include <QTest>

#include <climits>

using namespace bb;
using bbtest::EditingFixture;

namespace {

using EditorParts = EditingFixture;

// ---- navigation on the views alone ----

TEST_F(EditorParts, NavigationZoomsAndPansTheViewsWithoutAnEditingLayer) {
    // A navigation of its own on the same views: it needs nothing of the controller.
    EditorNavigation nav(tab->views());
    EditorView* v = view(0);
    const double start = doc->unitsPerPixel;
    nav.zoomClick(0, 1500, 1200, true);
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomInStep(start));
    EXPECT_EQ(v->size(), tab->views().paintBoxSize());
    // The clicked card point lies in the visible part after the step.
    const int px = doc->screenPixels(150000), py = doc->screenPixels(120000);
    EXPECT_TRUE(v->visiblePart().contains(px, py)) << px << "," << py;
    nav.zoomClick(0, px, py, false);
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomOutStep(zoomInStep(start)));

    v->setScroll(200, 150);
    const int x0 = v->scrollX(), y0 = v->scrollY();
    nav.startPan(500, 400);
    nav.pan(0, 470, 420);
    EXPECT_EQ(v->scrollX(), x0 + 30);
    EXPECT_EQ(v->scrollY(), y0 - 20);
}

TEST_F(EditorParts, WheelTurnsBelowANotchAddUpToOneZoomStep) {
    EditorNavigation nav(tab->views());
    const double start = doc->unitsPerPixel;
    // A fine wheel or a pad gives half notches: the first changes nothing, the second steps.
    ASSERT_TRUE(nav.wheel(0, Qt::ControlModifier, QPoint(0, 60), 1000, 800));
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, start);
    ASSERT_TRUE(nav.wheel(0, Qt::ControlModifier, QPoint(0, 60), 1000, 800));
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomInStep(start));
    // Back the other way in three thirds of a notch.
    for (int i = 0; i < 2; ++i) nav.wheel(0, Qt::ControlModifier, QPoint(0, -40), 1000, 800);
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomInStep(start));
    nav.wheel(0, Qt::ControlModifier, QPoint(0, -40), 1000, 800);
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomOutStep(zoomInStep(start)));
}

TEST_F(EditorParts, WholeCardLeavesAViewWithoutACardAlone) {
    EditorNavigation nav(tab->views());
    doc->sideWidthUnits = 0;
    const double before = doc->unitsPerPixel;
    nav.showWholeCard();
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, before);
}

// ---- position and size commands ----

TEST_F(EditorParts, PositionAndSizeCommandsNeedASelectionAndRecordOneStepEach) {
    CardObject& o = put(1, KindFigure, 1600, 1600, 200, 100);
    EditHistory& h = ed->history();
    const int steps = h.stack().count();
    ed->commands().moveSelectedTo(true, 10.0);
    ed->commands().resizeSelectedTo(false, 10.0, true);
    EXPECT_EQ(h.stack().count(), steps);
    EXPECT_EQ(o.x, 160000);
    EXPECT_EQ(o.height, 10000);

    ed->selectSlot(1);
    ed->commands().moveSelectedTo(false, 0.0);
    EXPECT_EQ(o.y, doc->sideHeightUnits / 3);  // the card's top edge
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Position ändern"));
    // The height with the aspect kept: the width follows in proportion.
    const int32_t height = cardLengthUnits(20.0, doc->sideHeightUnits, doc->format.cardHeight);
    ed->commands().resizeSelectedTo(false, 20.0, true);
    EXPECT_EQ(o.height, height);
    EXPECT_NEAR(o.width, 2.0 * height, 1.0);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Größe ändern"));
    EXPECT_EQ(h.stack().count(), steps + 2);
    h.undo();
    EXPECT_EQ(o.width, 20000);
    EXPECT_EQ(o.height, 10000);
}

TEST_F(EditorParts, AKeptAspectNeverDividesByZeroNorOverflows) {
    CardObject& o = put(1, KindFigure, 1600, 1600, 200, 0);
    ed->selectSlot(1);
    // From no height the width cannot follow: it stays.
    ed->commands().resizeSelectedTo(false, 10.0, true);
    EXPECT_EQ(o.width, 20000);
    EXPECT_GT(o.height, 0);
    // A sliver a unit wide and very tall, made wide: the height stops at the largest value.
    o.width = 1;
    o.height = 2000000000;
    ed->commands().resizeSelectedTo(true, 50.0, true);
    EXPECT_GT(o.width, 1);
    EXPECT_EQ(o.height, INT32_MAX);
}

// ---- typing session ----

TEST_F(EditorParts, ASessionReportsItsStartAndEndOnceAndEndsWithItsText) {
    CardObject& t = put(2, KindText, 100, 100, 200, 40);
    t.content = QStringLiteral("Hallo");
    QSignalSpy changes(ed.get(), &EditorController::textEditingChanged);
    click(0, 150, 110);
    ASSERT_EQ(ed->selectedSlot(), 2);
    QTest::keyClicks(view(0), QStringLiteral("!"));
    ASSERT_TRUE(ed->textSession().running());
    EXPECT_EQ(t.content, QStringLiteral("Hallo!"));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    // Deleting the text (the question answered Yes) ends the session, and says so once.
    dialogs.answers = {BtnYes};
    ed->commands().deleteSelected();
    EXPECT_FALSE(ed->textSession().running());
    EXPECT_FALSE(ed->textSession().running());
    ASSERT_EQ(changes.count(), 2);
    EXPECT_FALSE(changes.at(1).at(0).toBool());
    EXPECT_TRUE(ed->textSession().caretInView().isNull());
}

}  // namespace
