// Lining up and spreading out boxes: edges, centres with odd lengths, equal gaps with a
// remainder, overlapping boxes, and the boxes that must stay where they are.
#include "editor/Alignment.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

AlignBox box(int64_t x, int64_t y, int64_t w, int64_t h) {
    return {x, y, x + w, y + h};
}

std::vector<AlignBox> moved(std::vector<AlignBox> boxes, const std::vector<AlignMove>& moves) {
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i].left += moves[i].dx;
        boxes[i].right += moves[i].dx;
        boxes[i].top += moves[i].dy;
        boxes[i].bottom += moves[i].dy;
    }
    return boxes;
}

TEST(Alignment, EdgesAndCentresLineUpOnTheReferenceAndMoveOnOneAxisOnly) {
    const std::vector<AlignBox> boxes = {box(100, 50, 40, 30), box(-20, 200, 15, 7),
                                         box(300, -10, 101, 60)};
    const AlignBox ref = unionOf(boxes);
    EXPECT_EQ(ref, (AlignBox{-20, -10, 401, 207}));
    struct Case {
        AlignEdge edge;
        bool across;
    };
    for (const Case c : {Case{AlignEdge::Left, true}, Case{AlignEdge::Centre, true},
                         Case{AlignEdge::Right, true}, Case{AlignEdge::Top, false},
                         Case{AlignEdge::Middle, false}, Case{AlignEdge::Bottom, false}}) {
        const std::vector<AlignMove> moves = alignMoves(boxes, c.edge, ref);
        const std::vector<AlignBox> after = moved(boxes, moves);
        for (size_t i = 0; i < boxes.size(); ++i) {
            // Only the axis of the edge changes; sizes never do.
            EXPECT_EQ(c.across ? moves[i].dy : moves[i].dx, 0) << int(c.edge);
            EXPECT_EQ(after[i].width(), boxes[i].width());
            EXPECT_EQ(after[i].height(), boxes[i].height());
        }
        for (const AlignBox& b : after) {
            switch (c.edge) {
                case AlignEdge::Left:
                    EXPECT_EQ(b.left, -20);
                    break;
                case AlignEdge::Right:
                    EXPECT_EQ(b.right, 401);
                    break;
                case AlignEdge::Top:
                    EXPECT_EQ(b.top, -10);
                    break;
                case AlignEdge::Bottom:
                    EXPECT_EQ(b.bottom, 207);
                    break;
                case AlignEdge::Centre:
                    // The free room split evenly, an odd unit to the right of the box.
                    EXPECT_LE(std::abs((b.left - ref.left) - (ref.right - b.right)), 1);
                    EXPECT_LE(b.left - ref.left, ref.right - b.right);
                    break;
                case AlignEdge::Middle:
                    EXPECT_LE(std::abs((b.top - ref.top) - (ref.bottom - b.bottom)), 1);
                    EXPECT_LE(b.top - ref.top, ref.bottom - b.bottom);
                    break;
            }
        }
    }
    // A reference elsewhere (the half of the card for one object).
    const std::vector<AlignMove> one =
        alignMoves({box(10, 10, 20, 20)}, AlignEdge::Right, AlignBox{0, 0, 500, 300});
    EXPECT_EQ(one[0], (AlignMove{470, 0}));
    EXPECT_TRUE(alignMoves({}, AlignEdge::Left, ref).empty());
}

TEST(Alignment, DistributingMakesEqualGapsAndKeepsTheOuterBoxes) {
    // Given out of order: the order on the card counts, not the list's.
    const std::vector<AlignBox> boxes = {box(300, 0, 60, 10), box(100, 5, 50, 10),
                                         box(180, 9, 30, 10)};
    const std::vector<AlignMove> moves = distributeMoves(boxes, true);
    EXPECT_EQ(moves[0], (AlignMove{0, 0}));  // the last one stays
    EXPECT_EQ(moves[1], (AlignMove{0, 0}));  // the first one stays
    // Span 260, boxes 140: two gaps of 60.
    EXPECT_EQ(moved(boxes, moves)[2].left, 210);

    // Down, with a remainder: gaps of 10 units that cannot be equal differ by one at most.
    const std::vector<AlignBox> column = {box(0, 0, 5, 10), box(0, 11, 5, 10), box(0, 12, 5, 10),
                                          box(0, 40, 5, 10)};
    const std::vector<AlignBox> after = moved(column, distributeMoves(column, false));
    std::vector<int64_t> gaps;
    for (size_t i = 1; i < after.size(); ++i) gaps.push_back(after[i].top - after[i - 1].bottom);
    EXPECT_EQ(after.front().top, 0);
    EXPECT_EQ(after.back().top, 40);
    for (int64_t g : gaps) {
        EXPECT_GE(g, 3);
        EXPECT_LE(g, 4);
    }
    EXPECT_EQ(gaps[0] + gaps[1] + gaps[2], 10);
    for (const AlignBox& b : after) EXPECT_EQ(b.left, 0);

    // Overlapping boxes get equal overlaps; two boxes or fewer never move.
    const std::vector<AlignBox> overlapping = {box(0, 0, 100, 1), box(10, 0, 100, 1),
                                               box(80, 0, 100, 1)};
    const std::vector<AlignBox> spread = moved(overlapping, distributeMoves(overlapping, true));
    EXPECT_EQ(spread[1].left - spread[0].right, spread[2].left - spread[1].right);
    EXPECT_EQ(spread[1].left, 40);
    for (const AlignMove& m : distributeMoves({box(0, 0, 1, 1), box(50, 0, 1, 1)}, true))
        EXPECT_EQ(m, (AlignMove{}));
}

}  // namespace
