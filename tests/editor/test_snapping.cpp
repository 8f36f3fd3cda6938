// Snapping arithmetic: which line wins, the reach in screen pixels, the grid, handle drags, and
// the guide lines of the card and of the other objects.
#include "editor/EditMath.h"
#include "editor/Snapping.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

SnapLines lines(std::vector<int32_t> xs, std::vector<int32_t> ys = {}) {
    return {std::move(xs), std::move(ys)};
}

const SnapBox kBox{1000, 5000, 2000, 5600};  // centre (1500, 5300)

}  // namespace

TEST(Snapping, NearestLineWinsAndTiesGoToTheGuideThenTheLowerLine) {
    // Left edge 3 away, right edge 1 away: the right edge snaps and the box moves along.
    SnapResult r = snapBox(kBox, DragMove, lines({1003, 2001}), {}, 5);
    EXPECT_EQ(r.box, (SnapBox{1001, 5000, 2001, 5600}));
    EXPECT_EQ(r.guideXs, std::vector<int32_t>{2001});
    EXPECT_TRUE(r.guideYs.empty());

    // The centre snaps too, on both axes at once.
    r = snapBox(kBox, DragMove, lines({1498}, {5302}), {}, 5);
    EXPECT_EQ(r.box, (SnapBox{998, 5002, 1998, 5602}));
    EXPECT_EQ(r.guideXs, std::vector<int32_t>{1498});
    EXPECT_EQ(r.guideYs, std::vector<int32_t>{5302});

    // Equally near on both sides: the lower line.
    r = snapBox(kBox, DragMove, lines({997, 1003}), {}, 5);
    EXPECT_EQ(r.box.left, 997);
    // A guide and a grid line equally near: the guide, even when the grid line lies lower.
    const SnapGrid grid{100.0, 0, 0};  // lines at ..., 900, 1000, 1100, ...
    r = snapBox({1002, 0, 1052, 50}, DragMove, lines({1004}), grid, 5);
    EXPECT_EQ(r.box.left, 1004);
    // Nearer grid line beats a farther guide.
    r = snapBox({1002, 0, 1052, 50}, DragMove, lines({1005}), grid, 5);
    EXPECT_EQ(r.box.left, 1000);
    EXPECT_TRUE(r.guideXs.empty());  // grid lines are no guides

    // Every guide that holds after the snap is reported, not only the winner.
    r = snapBox(kBox, DragMove, lines({1001, 1501, 2001}), {}, 5);
    EXPECT_EQ(r.guideXs, (std::vector<int32_t>{1001, 1501, 2001}));
}

TEST(Snapping, NothingChangesBeyondTheReachWhichFollowsTheZoom) {
    const SnapGrid grid{1000.0, 0, 0};
    SnapResult r = snapBox(kBox, DragMove, lines({994, 2006}, {4994}), {}, 5);
    EXPECT_EQ(r.box, kBox);
    EXPECT_TRUE(r.guideXs.empty());
    EXPECT_TRUE(r.guideYs.empty());
    // Grid lines at 1000 and 2000 touch the box's edges, 5000 the top: exactly at the reach
    // they hold, one unit farther they do not.
    const SnapBox off{1006, 5006, 1994, 5594};
    EXPECT_EQ(snapBox(off, DragMove, {}, grid, 5).box, off);
    EXPECT_EQ(snapBox(off, DragMove, {}, grid, 6).box, (SnapBox{1000, 5000, 1988, 5588}));

    // Five screen pixels: 500 units at 100 units per pixel, half as many at zoom factor 2,
    // 1560 at the start scale of 312.
    EXPECT_EQ(snapReach(1.0, 100.0), 500);
    EXPECT_EQ(snapReach(2.0, 100.0), 250);
    EXPECT_EQ(snapReach(1.0, 312.0), 1560);
    EXPECT_EQ(snapReach(0.0, 312.0), 0);
    // A line 400 units away snaps at one scale and not at the closer one.
    EXPECT_EQ(snapBox(kBox, DragMove, lines({600}), {}, snapReach(1.0, 100.0)).box.left, 600);
    EXPECT_EQ(snapBox(kBox, DragMove, lines({600}), {}, snapReach(2.0, 100.0)).box.left, 1000);
}

TEST(Snapping, GridOfMillimetresFromTheCardCorner) {
    // A 5 mm grid whose origin is the card's corner at (3000, 7000).
    const double mm5 = 5 * kUnitsPerMm;
    const SnapGrid grid{mm5, 3000, 7000};
    const int64_t third = std::llround(3000 + 3 * mm5);
    SnapResult r =
        snapBox({third + 40, 7000 - 30, third + 1040, 7000 + 470}, DragMove, {}, grid, 100);
    EXPECT_EQ(r.box.left, third);
    EXPECT_EQ(r.box.top, 7000);
    EXPECT_EQ(r.box.right - r.box.left, 1000);  // a move keeps the size
    // The centre does not snap to the grid: a box whose centre lies on a grid line and whose
    // edges do not stays.
    const int64_t c = std::llround(3000 + 4 * mm5);
    const SnapBox centred{c - 300, 7000 + 300, c + 300, 7000 + 500};
    EXPECT_EQ(snapBox(centred, DragMove, {}, grid, 100).box.left, centred.left);
}

TEST(Snapping, HandleDragsSnapOnlyTheEdgesTheyMove) {
    const SnapLines l = lines({998, 1503, 2004}, {5003, 5598});
    // Right handle: only the right edge, the left edge and the height stay.
    SnapResult r = snapBox(kBox, DragRight, l, {}, 5);
    EXPECT_EQ(r.box, (SnapBox{1000, 5000, 2004, 5600}));
    EXPECT_EQ(r.guideXs, std::vector<int32_t>{2004});
    EXPECT_TRUE(r.guideYs.empty());
    // Top-left corner: left and top edges.
    r = snapBox(kBox, DragTopLeft, l, {}, 5);
    EXPECT_EQ(r.box, (SnapBox{998, 5003, 2000, 5600}));
    // Bottom handle: no horizontal snap at all.
    r = snapBox(kBox, DragBottom, l, {}, 5);
    EXPECT_EQ(r.box, (SnapBox{1000, 5000, 2000, 5598}));
    // A snap that would pull an edge across the opposite one is not taken.
    r = snapBox({1000, 0, 1002, 10}, DragRight, lines({997}), {}, 5);
    EXPECT_EQ(r.box.right, 1002);
}

TEST(Snapping, GuidesAreTheCardFoldHalvesAndOtherObjects) {
    CardDocument doc;
    doc.format.cardWidth = 200;
    doc.format.cardHeight = 150;
    doc.updateSideUnits();
    const CardGeometry card = cardGeometry(doc);
    EXPECT_EQ(card.left, doc.sideWidthUnits / 3);
    EXPECT_EQ(card.right, doc.sideWidthUnits * 2 / 3);
    EXPECT_EQ(card.fold, doc.sideWidthUnits / 2);
    EXPECT_EQ(card.top, doc.sideHeightUnits / 3);

    CardObject& a = *doc.outsideSlots[3];
    a.kind = KindFigure;
    a.x = 100001, a.y = 200001, a.width = 1000, a.height = 600;
    CardObject& dragged = *doc.outsideSlots[7];
    dragged.kind = KindText;
    dragged.x = 300001, dragged.y = 300001, dragged.width = 10, dragged.height = 10;
    const SnapLines s = snapLines(doc, SideOutside, 7);
    const auto has = [](const std::vector<int32_t>& v, int32_t x) {
        return std::find(v.begin(), v.end(), x) != v.end();
    };
    for (int32_t x : {card.left, card.right, card.fold, (card.left + card.fold) / 2,
                      (card.fold + card.right) / 2, 100001, 100501, 101001})
        EXPECT_TRUE(has(s.xs, x)) << x;
    for (int32_t y : {card.top, card.bottom, (card.top + card.bottom) / 2, 200001, 200301, 200601})
        EXPECT_TRUE(has(s.ys, y)) << y;
    // The dragged object is no guide to itself; free slots are none either.
    EXPECT_FALSE(has(s.xs, 300001));
    EXPECT_TRUE(std::is_sorted(s.xs.begin(), s.xs.end()));
    EXPECT_EQ(std::adjacent_find(s.xs.begin(), s.xs.end()), s.xs.end());
    EXPECT_EQ(s.xs.size(), 8u);

    // The half an object lies in follows its centre; a centre on the fold is the right half.
    CardObject o;
    o.width = 100;
    o.x = card.fold - 51;
    EXPECT_EQ(halfOf(card, o).right, card.fold);
    o.x = card.fold - 50;
    EXPECT_EQ(halfOf(card, o).left, card.fold);
    EXPECT_EQ(centredPosition(0, 101, 50), 25);
    EXPECT_EQ(centredPosition(0, 10, 13), -2);  // wider than the room: overhangs both sides
}
