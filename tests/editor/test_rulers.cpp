// The ruler scale: major steps, tick positions and values, the collapse of the tenths at
// small steps, negative values left of (above) the card, and the drawn ruler.
#include "editor/Ruler.h"
#include "editor/RulerMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace bb;

namespace {

std::vector<RulerTick> majors(const RulerScale& s) {
    std::vector<RulerTick> out;
    for (const RulerTick& t : s.ticks)
        if (t.kind == TickKind::Major) out.push_back(t);
    return out;
}

}  // namespace

TEST(RulerMath, MajorStepThresholds) {
    const std::pair<double, int> cases[] = {{0.1, 1},  {2.49, 1},  {2.5, 5},  {7.49, 5},
                                            {7.5, 10}, {14.9, 10}, {15, 20},  {29.9, 20},
                                            {30, 40},  {69.9, 40}, {70, 100}, {1e9, 100}};
    for (auto [g, m] : cases) EXPECT_EQ(rulerMajorStep(g), m) << "g = " << g;
}

// A top ruler 421 pixels long (a 400-pixel scale in 8 cells) over a paint box of 1200
// pixels (card 400 pixels wide) scrolled so that the card's left edge is at the scale's
// start: the card's millimetres map onto the 400 pixels, so g = card mm / 8.
TEST(RulerMath, EachMajorStepPlacesItsLinesAndLabels) {
    const std::pair<double, int> cards[] = {{16, 1},   {40, 5},   {100, 10},
                                            {160, 20}, {400, 40}, {800, 100}};
    for (auto [mm, m] : cards) {
        SCOPED_TRACE(mm);
        const RulerScale s = topRulerTicks(421, 400, 1200, mm);
        EXPECT_DOUBLE_EQ(s.start, 0);
        EXPECT_DOUBLE_EQ(s.end, mm);
        ASSERT_EQ(s.major, m);
        const auto mj = majors(s);
        ASSERT_GE(mj.size(), 2u);
        // The first major line is 0 at the scale's first pixel (20, after the corner box).
        EXPECT_EQ(mj[0].value, 0);
        EXPECT_EQ(mj[0].pos, 20);
        // Each further line m millimetres on, at Trunc(400 × v ÷ mm) + 20.
        for (size_t i = 1; i < mj.size(); ++i) {
            EXPECT_EQ(mj[i].value, static_cast<int>(i) * m);
            EXPECT_EQ(mj[i].pos, static_cast<int>(400.0 * mj[i].value / mm) + 20);
        }
        // The card's right edge is the ruler's last pixel.
        EXPECT_EQ(mj.back().value, static_cast<int>(mm));
        EXPECT_EQ(mj.back().pos, 420);
        for (const RulerTick& t : s.ticks) {
            EXPECT_GE(t.pos, 20);
            EXPECT_LT(t.pos, 421);
        }
    }
}

TEST(RulerMath, MinorTicksAlternateAndCollapseOnWholeMillimetres) {
    // 10 mm step: k = 1 (odd, 1 mm) and k = 2 (even, 2 mm) are distinct ticks.
    const RulerScale ten = topRulerTicks(421, 400, 1200, 100);
    const auto at = [](const RulerScale& s, int value, TickKind kind) {
        return std::count_if(s.ticks.begin(), s.ticks.end(), [&](const RulerTick& t) {
            return t.value == value && t.kind == kind;
        });
    };
    EXPECT_EQ(at(ten, 1, TickKind::Odd), 1);
    EXPECT_EQ(at(ten, 2, TickKind::Even), 1);
    EXPECT_EQ(at(ten, 5, TickKind::Odd), 1);

    // 1 mm step: the tenths truncate onto whole millimetres, so every tick lies on a major line.
    const RulerScale one = topRulerTicks(421, 400, 1200, 16);
    ASSERT_EQ(one.major, 1);
    std::set<int> majorPos;
    for (const RulerTick& t : majors(one)) majorPos.insert(t.pos);
    for (const RulerTick& t : one.ticks) EXPECT_TRUE(majorPos.count(t.pos)) << t.pos;

    // 5 mm step: the minor ticks fall on whole millimetres, two tenths per millimetre.
    const RulerScale five = topRulerTicks(421, 400, 1200, 40);
    ASSERT_EQ(five.major, 5);
    std::set<int> minorValues;
    for (const RulerTick& t : five.ticks)
        if (t.kind != TickKind::Major) minorValues.insert(t.value);
    EXPECT_TRUE(minorValues.count(1) && minorValues.count(2) && minorValues.count(4));
    EXPECT_EQ(at(five, 1, TickKind::Even), 1);  // k = 2
    EXPECT_EQ(at(five, 1, TickKind::Odd), 1);   // k = 3
}

TEST(RulerMath, ValuesLeftOfAndAboveTheCardAreNegative) {
    // Scrolled to the far left: the scale shows the cell left of the card, -100 .. 0 mm.
    const RulerScale top = topRulerTicks(421, 0, 1200, 100);
    EXPECT_DOUBLE_EQ(top.start, -100);
    EXPECT_DOUBLE_EQ(top.end, 0);
    const auto mj = majors(top);
    ASSERT_FALSE(mj.empty());
    EXPECT_EQ(mj.front().value, -100);
    EXPECT_EQ(mj.front().pos, 20);
    EXPECT_EQ(mj.back().value, 0);
    EXPECT_EQ(mj.back().pos, 420);
    // The top ruler skips what would fall into its corner box.
    for (const RulerTick& t : top.ticks) EXPECT_GE(t.pos, 20);

    // The left ruler does not skip: the tick before the first visible one lies above it.
    const RulerScale left = leftRulerTicks(401, 0, 1200, 100);
    EXPECT_DOUBLE_EQ(left.start, -100);
    EXPECT_DOUBLE_EQ(left.end, 0);
    ASSERT_FALSE(left.ticks.empty());
    EXPECT_EQ(left.ticks.front().value, -110);
    EXPECT_EQ(left.ticks.front().pos, -40);
    const auto lm = majors(left);
    const auto zero = std::find_if(lm.begin(), lm.end(), [](auto& t) { return t.value == -100; });
    ASSERT_NE(zero, lm.end());
    EXPECT_EQ(zero->pos, 0);
}

TEST(RulerMath, DegenerateGeometryGivesNoTicksAndDoesNotHang) {
    EXPECT_TRUE(topRulerTicks(421, 0, 2, 100).ticks.empty());    // card of 0 pixels
    EXPECT_TRUE(topRulerTicks(20, 0, 1200, 100).ticks.empty());  // no room after the corner
    EXPECT_TRUE(leftRulerTicks(1, 0, 1200, 100).ticks.empty());
    EXPECT_TRUE(topRulerTicks(421, 400, 1200, 0).ticks.empty());  // zero-length card
    // A card of kilometres in a paint box of a few pixels: bounded work, nothing off-ruler.
    const RulerScale huge = topRulerTicks(421, 0, 3, 3e6);
    for (const RulerTick& t : huge.ticks) EXPECT_LT(t.pos, 421);
    // Fewer than 50 pixels: no whole cell, the coarsest step.
    EXPECT_EQ(topRulerTicks(60, 400, 1200, 100).major, 100);
}

TEST(Ruler, DrawsCornerBoxAndMajorLinesWhereTheScaleSaysSo) {
    Ruler top(Ruler::Top);
    top.resize(421, 20);
    top.paintRuler(400, 1200, 100, 96);
    const QImage& img = top.image();
    ASSERT_EQ(img.size(), QSize(421, 20));
    const QRgb black = qRgb(0, 0, 0);
    EXPECT_EQ(img.pixel(19, 10), black);  // the corner box's right edge
    EXPECT_EQ(img.pixel(0, 10), black);   // border
    for (const RulerTick& t : majors(top.scale())) EXPECT_EQ(img.pixel(t.pos, 17), black);
    // Between two major lines at the ruler's foot: a minor tick at 1 mm, nothing at 0.5 mm.
    const int oneMm = 20 + 4;
    EXPECT_EQ(img.pixel(oneMm, 18), black);
    EXPECT_EQ(img.pixel(oneMm + 2, 18), qRgb(255, 255, 255));

    Ruler left(Ruler::Left);
    left.resize(20, 401);
    left.paintRuler(400, 1200, 100, 96);
    const QImage& li = left.image();
    for (const RulerTick& t : majors(left.scale())) {
        if (t.pos >= 0 && t.pos < 400) {
            EXPECT_EQ(li.pixel(17, t.pos), black) << t.pos;
        }
    }
    EXPECT_EQ(li.pixel(19, 200), black);  // right border
}
