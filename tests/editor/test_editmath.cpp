#include "editor/EditMath.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

// A document at the start scale (zoom 1, 312 units per pixel) with one object whose pixel
// box is exactly (L, T, W, H): units chosen as pixel × 312 convert back without loss.
struct Fixture {
    CardDocument doc;
    CardObject& obj;
    explicit Fixture(int L = 100, int T = 50, int W = 40, int H = 20) : obj(*doc.outsideSlots[1]) {
        doc.zoomFactor = 1.0;
        doc.unitsPerPixel = 312.0;
        obj.kind = KindFigure;
        obj.x = L * 312;
        obj.y = T * 312;
        obj.width = W * 312;
        obj.height = H * 312;
    }
};

}  // namespace

TEST(EditMath, HandleZonesAreSevenPixelsWithBoundsIncluded) {
    Fixture f;
    const PixelBox box = pixelBox(f.doc, f.obj);
    EXPECT_EQ(classifyHandle(box, 97, 47).mode, DragTopLeft);
    EXPECT_EQ(classifyHandle(box, 103, 53).mode, DragTopLeft);
    // Four pixels off the corner: outside every zone and outside the body.
    EXPECT_EQ(classifyHandle(box, 96, 46).mode, DragNone);
    // Four pixels inside the corner diagonally: the body.
    EXPECT_EQ(classifyHandle(box, 104, 54).mode, DragMove);
    EXPECT_EQ(classifyHandle(box, 140, 70).mode, DragBottomRight);
    EXPECT_EQ(classifyHandle(box, 120, 50).mode, DragTop);
    EXPECT_EQ(classifyHandle(box, 120, 70).mode, DragBottom);
    EXPECT_EQ(classifyHandle(box, 100, 60).mode, DragLeft);
    EXPECT_EQ(classifyHandle(box, 140, 60).mode, DragRight);
}

TEST(EditMath, OverlappingZonesTakeTheEarlierMode) {
    Fixture f(100, 50, 4, 100);
    const PixelBox box = pixelBox(f.doc, f.obj);
    // Inside both the left (7) and the right (8) edge zones: the left one wins.
    const DragGrab g = classifyHandle(box, 102, 100);
    EXPECT_EQ(g.mode, DragLeft);
    EXPECT_EQ(g.grabX, 2);
    EXPECT_EQ(g.grabY, 0);
}

TEST(EditMath, GrabOffsetsFollowTheGrabbedEdges) {
    Fixture f;
    const PixelBox box = pixelBox(f.doc, f.obj);
    DragGrab g = classifyHandle(box, 142, 72);
    EXPECT_EQ(g.mode, DragBottomRight);
    EXPECT_EQ(g.grabX, 2);
    EXPECT_EQ(g.grabY, 2);
    g = classifyHandle(box, 118, 51);
    EXPECT_EQ(g.mode, DragTop);
    EXPECT_EQ(g.grabX, 0);
    EXPECT_EQ(g.grabY, 1);
    g = classifyHandle(box, 110, 60);
    EXPECT_EQ(g.mode, DragMove);
    EXPECT_EQ(g.grabX, 10);
    EXPECT_EQ(g.grabY, 10);
}

TEST(EditMath, DragRightEdgePastLeftEdgeMirrorsToLeftEdge) {
    Fixture f;
    const DragLimits limits{3000, 3000};
    DragGrab g{DragRight, 0, 0};
    // Right edge moved to pixel 90, ten pixels left of the left edge at 100.
    g.mode = dragObject(f.doc, f.obj, g, 90, 60, limits);
    EXPECT_EQ(g.mode, DragLeft);
    EXPECT_EQ(f.obj.width, 10 * 312);
    EXPECT_EQ(f.obj.x, 90 * 312);
    // Dragging on with the mirrored handle moves the left edge without a jump.
    g.mode = dragObject(f.doc, f.obj, g, 80, 60, limits);
    EXPECT_EQ(g.mode, DragLeft);
    EXPECT_EQ(f.obj.x, 80 * 312);
    EXPECT_EQ(f.obj.width, 20 * 312);
}

TEST(EditMath, DragCornersAndTopBottomMirror) {
    Fixture f;
    const DragLimits limits{3000, 3000};
    DragGrab g{DragTopLeft, 0, 0};
    g.mode = dragObject(f.doc, f.obj, g, 90, 40, limits);
    EXPECT_EQ(g.mode, DragTopLeft);
    EXPECT_EQ(f.obj.x, 90 * 312);
    EXPECT_EQ(f.obj.y, 40 * 312);
    EXPECT_EQ(f.obj.width, 50 * 312);
    EXPECT_EQ(f.obj.height, 30 * 312);
    // The top edge pulled below the bottom edge (at 70): mode 1 becomes 3.
    g.mode = dragObject(f.doc, f.obj, g, 90, 80, limits);
    EXPECT_EQ(g.mode, DragBottomLeft);
    EXPECT_EQ(f.obj.y, 70 * 312);
    EXPECT_EQ(f.obj.height, 10 * 312);
}

TEST(EditMath, MoveIsClampedToTheDrawingArea) {
    Fixture f;
    const DragLimits limits{600, 400};
    DragGrab g{DragMove, 0, 0};
    dragObject(f.doc, f.obj, g, -5000, -5000, limits);
    EXPECT_EQ(f.obj.x, -f.obj.width);
    EXPECT_EQ(f.obj.y, -f.obj.height);
    dragObject(f.doc, f.obj, g, 90000, 90000, limits);
    EXPECT_EQ(f.obj.x, 600 * 312 - 1);
    EXPECT_EQ(f.obj.y, 400 * 312 - 1);
    EXPECT_EQ(f.obj.width, 40 * 312);
}

TEST(EditMath, HitTestTakesTheFrontmostUsedSlot) {
    Fixture f;
    CardObject& front = *f.doc.outsideSlots[7];
    front = f.obj;
    EXPECT_EQ(hitTest(f.doc, SideOutside, 110, 60), 7);
    front.kind = KindFree;
    EXPECT_EQ(hitTest(f.doc, SideOutside, 110, 60), 1);
    // The box's right and bottom edges are included, one pixel beyond is not.
    EXPECT_EQ(hitTest(f.doc, SideOutside, 140, 70), 1);
    EXPECT_EQ(hitTest(f.doc, SideOutside, 141, 70), 0);
    // The other side's objects are not under the mouse.
    EXPECT_EQ(hitTest(f.doc, SideInside, 110, 60), 0);
    *f.doc.insideSlots[3] = f.obj;
    EXPECT_EQ(hitTest(f.doc, SideInside, 110, 60), 3);
}

TEST(EditMath, UpDownStepsThroughUsedSlotsWrapping) {
    Fixture f;
    EXPECT_EQ(nextUsedSlot(f.doc, SideOutside, 1), 1);  // the only object stays selected
    EXPECT_EQ(nextUsedSlot(f.doc, SideOutside, 0), 0);  // nothing selected: nothing happens
    f.doc.outsideSlots[9000]->kind = KindText;
    EXPECT_EQ(nextUsedSlot(f.doc, SideOutside, 1), 9000);
    EXPECT_EQ(nextUsedSlot(f.doc, SideOutside, 9000), 1);
    EXPECT_EQ(nextUsedSlot(f.doc, SideInside, 1), 1);  // the inside has no other object
}

TEST(EditMath, ZoomStopsAtItsBoundsAndRecentres) {
    double upp = 312;
    int steps = 0;
    while (zoomInStep(upp) != upp) {
        upp = zoomInStep(upp);
        ++steps;
    }
    EXPECT_LE(upp, 50.0);
    EXPECT_EQ(steps, 5);  // 312 → 208 → 138.7 → 92.4 → 61.6 → 41.1
    upp = 312;
    while (zoomOutStep(upp) != upp) upp = zoomOutStep(upp);
    EXPECT_GE(upp, 1000.0);
    // Centring clamps to the scroll range.
    const ScrollPos p = zoomScrollTarget(20000, 20000, 1.0, 100.0, 100, 50, 1000, 1000);
    EXPECT_EQ(p.x, 150);
    EXPECT_EQ(p.y, 175);
    const ScrollPos q = zoomScrollTarget(0, 0, 1.0, 100.0, 100, 50, 1000, 1000);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 0);
    EXPECT_EQ(panTarget({10, 10}, 50, 50, 20, 100, 1000, 30).x, 40);
    EXPECT_EQ(panTarget({10, 10}, 50, 50, 20, 100, 1000, 30).y, 0);
}
