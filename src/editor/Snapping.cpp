#include "editor/Snapping.h"
#include "document/Trunc.h"

#include "editor/EditMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace bb {

namespace {

void sortUnique(std::vector<int32_t>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

// The edges and centre of [lo, hi] that a drag moves: 0 the low edge, 1 the centre, 2 the
// high edge, in the order that breaks ties.
struct Features {
    int64_t pos[3];
    int index[3];
    int count = 0;
};

Features movingFeatures(int64_t lo, int64_t hi, bool moveLo, bool moveHi) {
    Features f{};
    const auto add = [&f](int64_t p, int i) {
        f.pos[f.count] = p;
        f.index[f.count] = i;
        ++f.count;
    };
    if (moveLo && moveHi) {
        add(lo, 0);
        add(lo + (hi - lo) / 2, 1);
        add(hi, 2);
    } else if (moveLo) {
        add(lo, 0);
    } else if (moveHi) {
        add(hi, 2);
    }
    return f;
}

struct Candidate {
    int64_t distance;
    int rank;  // 0 guide, 1 grid
    int64_t line;
    int feature;
    int64_t delta;
    auto key() const { return std::tie(distance, rank, line, feature); }
};

struct AxisResult {
    int64_t lo, hi;
    std::vector<int32_t> guides;
};

AxisResult snapAxis(int64_t lo, int64_t hi, bool moveLo, bool moveHi,
                    const std::vector<int32_t>& lines, double spacing, int32_t origin,
                    int64_t reach) {
    AxisResult r{lo, hi, {}};
    const Features f = movingFeatures(lo, hi, moveLo, moveHi);
    if (f.count == 0) return r;
    bool found = false;
    Candidate best{};
    const auto consider = [&](int64_t at, int feature, int64_t line, int rank) {
        const int64_t d = line - at;
        if (std::llabs(d) > reach) return;
        const Candidate c{std::llabs(d), rank, line, feature, d};
        if (!found || c.key() < best.key()) {
            best = c;
            found = true;
        }
    };
    for (int i = 0; i < f.count; ++i) {
        const int64_t at = f.pos[i];
        // Only the lines within reach of this edge or centre.
        auto it = std::lower_bound(lines.begin(), lines.end(), at - reach,
                                   [](int32_t l, int64_t v) { return int64_t(l) < v; });
        for (; it != lines.end() && int64_t(*it) <= at + reach; ++it)
            consider(at, f.index[i], *it, 0);
        if (spacing > 0 && f.index[i] != 1) {
            const long double n = std::round((at - static_cast<long double>(origin)) / spacing);
            const long double g = origin + n * spacing;
            if (std::fabs(g) < 1e15L) consider(at, f.index[i], std::llround(g), 1);
        }
    }
    if (!found) return r;
    if (moveLo && moveHi) {
        r.lo += best.delta;
        r.hi += best.delta;
    } else if (moveLo) {
        if (lo + best.delta > hi) return r;
        r.lo += best.delta;
    } else {
        if (hi + best.delta < lo) return r;
        r.hi += best.delta;
    }
    const Features after = movingFeatures(r.lo, r.hi, moveLo, moveHi);
    for (int i = 0; i < after.count; ++i) {
        const int64_t at = after.pos[i];
        if (at < INT32_MIN || at > INT32_MAX) continue;
        if (std::binary_search(lines.begin(), lines.end(), int32_t(at))) {
            r.guides.push_back(int32_t(at));
        }
    }
    sortUnique(r.guides);
    return r;
}

}  // namespace

CardHalf halfOf(const CardGeometry& card, const CardObject& o) {
    const int64_t centre = int64_t(o.x) + o.width / 2;
    if (centre < card.fold) return {card.left, card.fold};
    return {card.fold, card.right};
}

int32_t centredPosition(int32_t lo, int32_t hi, int32_t size) {
    const int64_t room = int64_t(hi) - lo - size;
    // Floor division, so that a negative room also rounds towards lo.
    const int64_t half = room >= 0 ? room / 2 : -((-room + 1) / 2);
    return clampInt32(int64_t(lo) + half);
}

SnapLines snapLines(const CardDocument& doc, int side, int draggedSlot) {
    return snapLines(doc, side, std::vector<int>{draggedSlot});
}

SnapLines snapLines(const CardDocument& doc, int side, const std::vector<int>& draggedSlots) {
    const CardGeometry c = cardGeometry(doc);
    SnapLines s;
    s.xs = {c.left, c.right, c.fold, clampInt32((int64_t(c.left) + c.fold) / 2),
            clampInt32((int64_t(c.fold) + c.right) / 2)};
    s.ys = {c.top, c.bottom, clampInt32((int64_t(c.top) + c.bottom) / 2)};
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (std::find(draggedSlots.begin(), draggedSlots.end(), slot) != draggedSlots.end())
            continue;
        const CardObject& o = *doc.sideSlots(side)[slot];
        if (o.kind <= KindFree) continue;
        const SnapBox b = drawnBox(o);
        const int64_t x = b.left, y = b.top, w = b.right - b.left, h = b.bottom - b.top;
        s.xs.insert(s.xs.end(), {clampInt32(x), clampInt32(x + w / 2), clampInt32(x + w)});
        s.ys.insert(s.ys.end(), {clampInt32(y), clampInt32(y + h / 2), clampInt32(y + h)});
    }
    sortUnique(s.xs);
    sortUnique(s.ys);
    return s;
}

SnapBox drawnBox(const CardObject& o) {
    const int64_t x = o.x, y = o.y, w = o.width, h = o.height;
    const double angle = o.extras.fineAngle;
    if (angle == 0 || !std::isfinite(angle)) return {x, y, x + w, y + h};
    const double a = angle * M_PI / 180.0;
    const double c = std::abs(std::cos(a)), s = std::abs(std::sin(a));
    const double halfW = (w * c + h * s) / 2.0, halfH = (w * s + h * c) / 2.0;
    const double cx = x + w / 2.0, cy = y + h / 2.0;
    return {std::llround(cx - halfW), std::llround(cy - halfH), std::llround(cx + halfW),
            std::llround(cy + halfH)};
}

int64_t snapReach(double zoomFactor, double unitsPerPixel, int pixels) {
    if (!(zoomFactor > 0) || !(unitsPerPixel > 0)) return 0;
    const long double r = static_cast<long double>(pixels) * unitsPerPixel / zoomFactor;
    return r < 1e15L ? int64_t(r) : int64_t(1e15);
}

SnapResult snapBox(const SnapBox& box, int mode, const SnapLines& lines, const SnapGrid& grid,
                   int64_t reach) {
    const bool move = mode == DragMove;
    const bool left = move || mode == DragTopLeft || mode == DragBottomLeft || mode == DragLeft;
    const bool right = move || mode == DragTopRight || mode == DragBottomRight || mode == DragRight;
    const bool top = move || mode == DragTopLeft || mode == DragTopRight || mode == DragTop;
    const bool bottom =
        move || mode == DragBottomLeft || mode == DragBottomRight || mode == DragBottom;
    SnapResult r;
    r.box = box;
    if (reach < 0) return r;
    AxisResult x =
        snapAxis(box.left, box.right, left, right, lines.xs, grid.spacing, grid.originX, reach);
    AxisResult y =
        snapAxis(box.top, box.bottom, top, bottom, lines.ys, grid.spacing, grid.originY, reach);
    r.box = {x.lo, y.lo, x.hi, y.hi};
    r.guideXs = std::move(x.guides);
    r.guideYs = std::move(y.guides);
    return r;
}

}  // namespace bb
