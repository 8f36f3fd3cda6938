#include "editor/Guides.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bb {

namespace {

std::vector<int32_t>& listOf(GuideLines& lines, bool vertical) {
    return vertical ? lines.xs : lines.ys;
}

// A view never shows more grid lines than this on one axis, whatever it is asked for.
constexpr int64_t kMaxGridLines = 20000;

}  // namespace

GuideRef CardGuides::add(int s, bool vertical, int32_t pos) {
    std::vector<int32_t>& list = listOf(side(s), vertical);
    const auto at = std::find(list.begin(), list.end(), pos);
    if (at != list.end()) return {vertical, int(at - list.begin())};
    list.push_back(pos);
    return {vertical, int(list.size()) - 1};
}

void CardGuides::move(int s, GuideRef guide, int32_t pos) {
    std::vector<int32_t>& list = listOf(side(s), guide.vertical);
    if (guide.index < 0 || guide.index >= int(list.size())) return;
    const auto other = std::find(list.begin(), list.end(), pos);
    if (other != list.end() && other - list.begin() != guide.index) {
        list.erase(list.begin() + guide.index);
        return;
    }
    list[guide.index] = pos;
}

void CardGuides::remove(int s, GuideRef guide) {
    std::vector<int32_t>& list = listOf(side(s), guide.vertical);
    if (guide.index < 0 || guide.index >= int(list.size())) return;
    list.erase(list.begin() + guide.index);
}

GuideRef guideAt(const GuideLines& lines, int64_t x, int64_t y, int64_t reach) {
    GuideRef best;
    int64_t bestDistance = 0;
    const auto consider = [&](const std::vector<int32_t>& list, int64_t at, bool vertical) {
        for (int i = 0; i < int(list.size()); ++i) {
            const int64_t d = std::llabs(int64_t(list[i]) - at);
            if (d > reach || (best.valid() && d >= bestDistance)) continue;
            best = {vertical, i};
            bestDistance = d;
        }
    };
    if (reach < 0) return best;
    consider(lines.xs, x, true);
    consider(lines.ys, y, false);
    return best;
}

std::vector<int64_t> gridLines(double origin, double spacing, int64_t from, int64_t to,
                               double minGap) {
    std::vector<int64_t> out;
    if (!(spacing > 0) || !std::isfinite(spacing) || !std::isfinite(origin) || to < from)
        return out;
    const long double gap = std::isfinite(minGap) && minGap > 0 ? minGap : 0;
    const long double every = std::max<long double>(1, std::ceil(gap / spacing));
    const long double step = every * spacing;
    const long double first = std::ceil((from - static_cast<long double>(origin)) / step);
    const long double last = std::floor((to - static_cast<long double>(origin)) / step);
    if (!(last >= first) || last - first >= kMaxGridLines) return out;
    const auto count = static_cast<int64_t>(last - first);
    for (int64_t k = 0; k <= count; ++k) {
        // The same rounding as a snap to the grid, so a drawn line is where objects land.
        const long double n = first + static_cast<long double>(k);
        const long double g = origin + n * every * static_cast<long double>(spacing);
        if (std::fabs(g) >= 1e15L) continue;
        const int64_t line = std::llround(g);
        if (line >= from && line <= to) out.push_back(line);
    }
    return out;
}

}  // namespace bb
