// Objects turned by any angle in the editor: hit-testing, handles and sizing in the turned box,
// the turning handle and the angle field.
#include "EditingFixture.h"

#include "editor/EditMath.h"
#include "editor/Snapping.h"
#include "pictures/DibImage.h"

#include <QDoubleSpinBox>

#include <cmath>

using namespace bb;
using bbtest::EditingFixture;

namespace {

// A box of whole pixels at zoom 1 and 100 units per pixel.
struct Box {
    CardDocument doc;
    CardObject& obj;
    Box(int L, int T, int W, int H, double angle) : obj(*doc.outsideSlots[1]) {
        doc.zoomFactor = 1.0;
        doc.unitsPerPixel = 100.0;
        obj.kind = KindFigure;
        obj.x = L * 100;
        obj.y = T * 100;
        obj.width = W * 100;
        obj.height = H * 100;
        obj.extras.fineAngle = angle;
    }
    PixelBox box() const { return pixelBox(doc, obj); }
};

// The point at (along, across) pixels from the centre of `box` along its turned axes.
QPointF onAxes(const PixelBox& b, double degrees, double along, double across) {
    const double a = degrees * M_PI / 180.0;
    const QPointF c(b.left + b.width / 2.0, b.top + b.height / 2.0);
    return c + QPointF(along * std::cos(a) - across * std::sin(a),
                       along * std::sin(a) + across * std::cos(a));
}

TEST(TurnedBox, HitTestFollowsTheTurnedBox) {
    Box f(100, 50, 80, 20, 30);  // centre (140, 60)
    // Inside the upright box's corner, but outside the turned one.
    EXPECT_EQ(hitTest(f.doc, SideOutside, 102, 52), 0);
    // Below the upright box, on the turned one's long axis.
    const QPointF tip = onAxes(f.box(), 30, 36, 0);
    ASSERT_GT(tip.y(), 70);
    EXPECT_EQ(hitTest(f.doc, SideOutside, int(std::lround(tip.x())), int(std::lround(tip.y()))), 1);
    EXPECT_EQ(turnedBounds(f.box(), 30), QRect(QPoint(100, 31), QPoint(180, 89)));
}

TEST(TurnedBox, HandlesLieTurnedAndSizingKeepsTheOppositeCorner) {
    Box f(100, 50, 80, 20, 30);
    const PixelBox b = f.box();
    const QPointF corner = onAxes(b, 30, 40, 10);  // the turned bottom-right corner
    const int cx = int(std::lround(corner.x())), cy = int(std::lround(corner.y()));
    const DragGrab grab = classifyTurnedHandle(b, 30, cx, cy);
    EXPECT_EQ(grab.mode, DragBottomRight);
    // The upright corner is no handle any more, and the body is grabbed in view pixels.
    EXPECT_NE(classifyTurnedHandle(b, 30, 180, 70).mode, DragBottomRight);
    const DragGrab body = classifyTurnedHandle(b, 30, 140, 60);
    EXPECT_EQ(body.mode, DragMove);
    EXPECT_EQ(body.grabX, 40);
    EXPECT_EQ(body.grabY, 10);

    // Pulling the corner 20 pixels further along the long axis: 20 wider, as high, and the
    // top-left corner stays where it is on the screen.
    const QPointF topLeft = onAxes(b, 30, -40, -10);
    const QPointF to = onAxes(b, 30, 60, 10);
    const int mode = dragTurnedObject(f.doc, f.obj, grab, int(std::lround(to.x())),
                                      int(std::lround(to.y())), DragLimits{100000, 100000}, 30);
    EXPECT_EQ(mode, DragBottomRight);
    EXPECT_NEAR(f.obj.width, 10000, 150);
    EXPECT_NEAR(f.obj.height, 2000, 150);
    const PixelBox after = f.box();
    const QPointF topLeftAfter = onAxes(after, 30, -after.width / 2.0, -after.height / 2.0);
    EXPECT_NEAR(topLeftAfter.x(), topLeft.x(), 1.5);
    EXPECT_NEAR(topLeftAfter.y(), topLeft.y(), 1.5);
}

TEST(TurnedBox, TheTurningHandleGivesTheDirectionFromTheCentre) {
    const PixelBox b{100, 50, 80, 20};  // centre (140, 60)
    const QPointF handle = turnHandlePoint(b, 0);
    EXPECT_EQ(handle, QPointF(140, 50 - kTurnHandleGap));
    EXPECT_TRUE(onTurnHandle(b, 0, 140, 30));
    EXPECT_FALSE(onTurnHandle(b, 0, 140, 40));
    // Turned by 90° the handle lies right of the box.
    EXPECT_NEAR(turnHandlePoint(b, 90).x(), 140 + 10 + kTurnHandleGap, 1e-9);
    EXPECT_DOUBLE_EQ(handleAngle(b, 140, 0, false, 5), 0);
    EXPECT_DOUBLE_EQ(handleAngle(b, 200, 60, false, 5), 90);
    EXPECT_DOUBLE_EQ(handleAngle(b, 80, 60, false, 5), 270);
    EXPECT_DOUBLE_EQ(handleAngle(b, 140, 60, false, 5), 5);  // the centre keeps the turn
    // 37° snaps to 30°.
    const QPointF at37 =
        QPointF(140, 60) + 50 * QPointF(std::sin(37 * M_PI / 180), -std::cos(37 * M_PI / 180));
    EXPECT_NEAR(handleAngle(b, at37.x(), at37.y(), false, 0), 37, 1e-9);
    EXPECT_DOUBLE_EQ(handleAngle(b, at37.x(), at37.y(), true, 0), 30);
}

TEST(TurnedBox, TurnedObjectsSnapByTheBoxTheyCover) {
    Box f(100, 50, 80, 20, 30);
    // Half extents 40 cos 30° + 10 sin 30° = 39.64 and 40 sin 30° + 10 cos 30° = 28.66
    // pixels about the centre (140, 60), in units.
    const SnapBox b = drawnBox(f.obj);
    EXPECT_EQ(b, (SnapBox{10036, 3134, 17964, 8866}));
    // Another object snaps to those edges, not to the upright box's.
    CardObject& other = *f.doc.outsideSlots[2];
    other.kind = KindFigure;
    other.width = other.height = 100;
    const SnapLines lines = snapLines(f.doc, SideOutside, 2);
    EXPECT_NE(std::find(lines.ys.begin(), lines.ys.end(), 8866), lines.ys.end());
    EXPECT_EQ(std::find(lines.ys.begin(), lines.ys.end(), 7000), lines.ys.end());
    f.obj.extras.fineAngle = 0;
    EXPECT_EQ(drawnBox(f.obj), (SnapBox{10000, 5000, 18000, 7000}));
}

TEST(TurnedBox, AWholeTurnSplitsIntoQuarterTurnsAndAFineAngle) {
    Box f(100, 50, 80, 20, 0);
    f.obj.figureKind = FigLineUp;
    EXPECT_EQ(quarterTurnsTo(f.obj, 100), 1);
    EXPECT_EQ(quarterTurnsTo(f.obj, 180), 2);
    EXPECT_EQ(quarterTurnsTo(f.obj, 280), -1);
    EXPECT_EQ(quarterTurnsTo(f.obj, 44), 0);
    setObjectAngle(f.obj, 100);
    EXPECT_EQ(f.obj.rotation, 1);
    EXPECT_DOUBLE_EQ(f.obj.extras.fineAngle, 10);
    EXPECT_DOUBLE_EQ(objectAngle(f.obj), 100);
    // The box exchanged its sides about the same centre, and the rising line now falls.
    EXPECT_EQ(f.obj.width, 2000);
    EXPECT_EQ(f.obj.height, 8000);
    EXPECT_EQ(f.obj.x + f.obj.width / 2, 14000);
    EXPECT_EQ(f.obj.y + f.obj.height / 2, 6000);
    EXPECT_EQ(f.obj.figureKind, FigLineDown);
    // A half turn keeps the box.
    setObjectAngle(f.obj, 280);
    EXPECT_EQ(f.obj.rotation, 3);
    EXPECT_DOUBLE_EQ(f.obj.extras.fineAngle, 10);
    EXPECT_EQ(f.obj.width, 2000);
    EXPECT_EQ(f.obj.figureKind, FigLineDown);
}

// ---- in the editor ----

class TurningInTheEditor : public EditingFixture {};

TEST_F(TurningInTheEditor, TheHandleTurnsInOneStepAndShiftSnaps) {
    CardObject& o = put(3, KindFigure, 150, 150, 80, 40);  // centre (190, 170)
    ed->selectSlot(3);
    tab->views().paintBoth();
    const QPointF handle = turnHandlePoint(pixelBox(*doc, o), 0);
    const int undoBefore = ed->history().stack().count();
    press(SideOutside, int(handle.x()), int(handle.y()));
    EXPECT_TRUE(ed->turning());
    // 37° from straight up, 60 pixels from the centre; with Shift 30°.
    const int mx = 190 + int(std::lround(60 * std::sin(37 * M_PI / 180)));
    const int my = 170 - int(std::lround(60 * std::cos(37 * M_PI / 180)));
    ed->mouseMove(SideOutside, Qt::LeftButton, Qt::NoModifier, mx, my);
    EXPECT_NEAR(o.extras.fineAngle, 37, 1);
    ed->mouseMove(SideOutside, Qt::LeftButton, Qt::ShiftModifier, mx, my);
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 30);
    ed->mouseRelease(SideOutside, Qt::LeftButton, Qt::ShiftModifier, mx, my);
    EXPECT_FALSE(ed->turning());
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 30);
    EXPECT_EQ(o.rotation, 0);
    EXPECT_EQ(ed->history().stack().count(), undoBefore + 1);
    ed->panel().updateFromSelection();
    EXPECT_DOUBLE_EQ(ed->panel().angleEdit->value(), 30);
    // The turned object is picked where it is drawn.
    ed->selectSlot(0);
    const QPointF tip = onAxes(pixelBox(*doc, o), 30, 38, 0);
    click(SideOutside, int(std::lround(tip.x())), int(std::lround(tip.y())));
    EXPECT_EQ(ed->selectedSlot(), 3);
    ed->history().undo();
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 0);
}

TEST_F(TurningInTheEditor, PastAQuarterTheHandleSettlesIntoQuarterTurns) {
    CardObject& o = put(3, KindFigure, 150, 150, 80, 40);
    ed->selectSlot(3);
    const QPointF handle = turnHandlePoint(pixelBox(*doc, o), 0);
    press(SideOutside, int(handle.x()), int(handle.y()));
    // Straight below the centre: a half turn, drawn by the fine angle while dragging.
    ed->mouseMove(SideOutside, Qt::LeftButton, Qt::NoModifier, 190, 250);
    EXPECT_DOUBLE_EQ(std::abs(o.extras.fineAngle), 180);
    release(SideOutside, 190, 250);
    EXPECT_EQ(o.rotation, 2);
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 0);
    // Escape during a turn puts the object back and leaves no step.
    const int steps = ed->history().stack().count();
    const QPointF again = turnHandlePoint(pixelBox(*doc, o), o.extras.fineAngle);
    press(SideOutside, int(again.x()), int(again.y()));
    ASSERT_TRUE(ed->turning());
    ed->mouseMove(SideOutside, Qt::LeftButton, Qt::NoModifier, 250, 170);
    EXPECT_NE(o.extras.fineAngle, 0);
    QTest::keyClick(view(SideOutside), Qt::Key_Escape);
    EXPECT_FALSE(ed->turning());
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 0);
    EXPECT_EQ(ed->history().stack().count(), steps);
}

TEST_F(TurningInTheEditor, TypingOnATurnedTextPutsTheCaretTurnedWithIt) {
    CardObject& t = put(4, KindText, 150, 150, 120, 40);
    t.content = QStringLiteral("Hallo");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    t.extras.fineAngle = 30;
    ed->selectSlot(4);
    QTest::keyClicks(view(SideOutside), QStringLiteral("!"));
    ASSERT_TRUE(ed->textEditing());
    // The upright caret is vertical; turned 30° clockwise it leans left at the bottom.
    const QLineF caret = ed->textCaretInView();
    ASSERT_GT(caret.length(), 5);
    EXPECT_NEAR((caret.p2().x() - caret.p1().x()) / (caret.p2().y() - caret.p1().y()),
                -std::tan(30 * M_PI / 180), 0.02);
    // A press at the turned start of the text puts the caret before its first letter.
    const QPointF start = onAxes(pixelBox(*doc, t), 30, -55, 0);
    press(SideOutside, int(std::lround(start.x())), int(std::lround(start.y())));
    release(SideOutside, int(std::lround(start.x())), int(std::lround(start.y())));
    EXPECT_TRUE(ed->textEditing());
    EXPECT_EQ(ed->inlineText().caret(), 0);
}

TEST_F(TurningInTheEditor, TheAngleFieldTurnsAPictureWithItsPixelsAsOneStep) {
    CardObject& o = put(2, KindPicture, 150, 150, 80, 40);
    o.picture = newDib(40, 20, 24);
    setPixel(o.picture, 0, 0, rgbRef(255, 0, 0));
    o.extras.crop = QRectF(0, 0, 0.25, 1);
    ed->selectSlot(2);
    ed->panel().updateFromSelection();
    const int undoBefore = ed->history().stack().count();
    ed->panel().angleEdit->setValue(100);
    EXPECT_EQ(o.rotation, 1);
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 10);
    EXPECT_EQ(o.picture.width(), 20);
    EXPECT_EQ(o.picture.height(), 40);
    EXPECT_EQ(o.width, 4000);
    EXPECT_EQ(o.height, 8000);
    EXPECT_EQ(o.x + o.width / 2, 19000);  // the centre stays
    // The crop turned with the pixels: the left quarter is now the top quarter.
    EXPECT_EQ(o.extras.crop, QRectF(0, 0, 1, 0.25));
    EXPECT_EQ(ed->history().stack().count(), undoBefore + 1);
    ed->history().undo();
    EXPECT_EQ(o.rotation, 0);
    EXPECT_DOUBLE_EQ(o.extras.fineAngle, 0);
    EXPECT_EQ(o.picture.width(), 40);
    EXPECT_EQ(getPixel(o.picture, 0, 0), qint64(rgbRef(255, 0, 0)));
    EXPECT_EQ(o.width, 8000);
    EXPECT_EQ(o.extras.crop, QRectF(0, 0, 0.25, 1));
    // Turned left the left quarter becomes the bottom quarter, and back right it is again the
    // left one.
    EXPECT_EQ(cropAfterQuarterTurn(QRectF(0, 0, 0.25, 1), true), QRectF(0, 0.75, 1, 0.25));
    EXPECT_EQ(cropAfterQuarterTurn(QRectF(0, 0.75, 1, 0.25), false), QRectF(0, 0, 0.25, 1));
}

}  // namespace
