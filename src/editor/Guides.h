// Guide lines that the user pulls out of the rulers, and the grid lines that the views show,
// as plain data and functions on document units so that they can be tested without a window.
// Guides belong to the open card for the session only: no card file holds them.
#pragma once

#include <cstdint>
#include <vector>

namespace bb {

// The guides of one side: vertical lines at the x positions `xs` (pulled from the left
// ruler), horizontal lines at the y positions `ys` (pulled from the top ruler), in the order
// they were made.
struct GuideLines {
    std::vector<int32_t> xs, ys;
    bool empty() const { return xs.empty() && ys.empty(); }
    friend bool operator==(const GuideLines&, const GuideLines&) = default;
};

// One guide of a side: which list and where in it; index −1 for none.
struct GuideRef {
    bool vertical = false;
    int index = -1;
    bool valid() const { return index >= 0; }
    friend bool operator==(const GuideRef&, const GuideRef&) = default;
};

// The guides of both sides of the card (0 outside, 1 inside).
class CardGuides {
public:
    const GuideLines& side(int side) const { return sides_[side == 1 ? 1 : 0]; }
    GuideLines& side(int side) { return sides_[side == 1 ? 1 : 0]; }
    bool empty() const { return sides_[0].empty() && sides_[1].empty(); }
    void clear() { sides_[0] = sides_[1] = GuideLines{}; }

    // Adds a guide at `pos` and returns it; a guide already lying there is not doubled.
    GuideRef add(int side, bool vertical, int32_t pos);
    // Puts an existing guide at `pos`; when another guide of that direction lies there
    // already the moved one merges into it. Unknown references are ignored.
    void move(int side, GuideRef guide, int32_t pos);
    void remove(int side, GuideRef guide);

private:
    GuideLines sides_[2];
};

// The guide of `lines` nearest to the point (x, y), no farther than `reach` units from it;
// on equal distances the vertical one, then the one made first.
GuideRef guideAt(const GuideLines& lines, int64_t x, int64_t y, int64_t reach);

// The grid lines that a view draws on one axis between `from` and `to` (document units,
// both included): the lines `spacing` apart through `origin`, placed as snapping places
// them. Where they would lie closer than `minGap` units, only every n-th line is kept, n the
// smallest count that leaves that gap, still through the origin. No spacing, no lines.
std::vector<int64_t> gridLines(double origin, double spacing, int64_t from, int64_t to,
                               double minGap);

}  // namespace bb
