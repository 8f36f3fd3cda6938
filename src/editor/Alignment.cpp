#include "editor/Alignment.h"

#include <algorithm>
#include <numeric>

namespace bb {

AlignBox unionOf(const std::vector<AlignBox>& boxes) {
    if (boxes.empty()) return {};
    AlignBox u = boxes.front();
    for (const AlignBox& b : boxes) {
        u.left = std::min(u.left, b.left);
        u.top = std::min(u.top, b.top);
        u.right = std::max(u.right, b.right);
        u.bottom = std::max(u.bottom, b.bottom);
    }
    return u;
}

namespace {

// Floor division, so that centres of odd lengths round the same way on both sides of zero.
int64_t half(int64_t v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

}  // namespace

std::vector<AlignMove> alignMoves(const std::vector<AlignBox>& boxes, AlignEdge edge,
                                  const AlignBox& ref) {
    std::vector<AlignMove> moves(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        const AlignBox& b = boxes[i];
        AlignMove& m = moves[i];
        switch (edge) {
            case AlignEdge::Left:
                m.dx = ref.left - b.left;
                break;
            case AlignEdge::Centre:
                m.dx = ref.left + half(ref.width() - b.width()) - b.left;
                break;
            case AlignEdge::Right:
                m.dx = ref.right - b.right;
                break;
            case AlignEdge::Top:
                m.dy = ref.top - b.top;
                break;
            case AlignEdge::Middle:
                m.dy = ref.top + half(ref.height() - b.height()) - b.top;
                break;
            case AlignEdge::Bottom:
                m.dy = ref.bottom - b.bottom;
                break;
        }
    }
    return moves;
}

std::vector<AlignMove> distributeMoves(const std::vector<AlignBox>& boxes, bool horizontally) {
    const size_t n = boxes.size();
    std::vector<AlignMove> moves(n);
    if (n < 3) return moves;
    const auto start = [horizontally](const AlignBox& b) { return horizontally ? b.left : b.top; };
    const auto length = [horizontally](const AlignBox& b) {
        return horizontally ? b.width() : b.height();
    };
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return start(boxes[a]) < start(boxes[b]); });
    const AlignBox& first = boxes[order.front()];
    const AlignBox& last = boxes[order.back()];
    const int64_t span = start(last) + length(last) - start(first);
    int64_t lengths = 0;
    for (const AlignBox& b : boxes) lengths += length(b);
    const int64_t free = span - lengths;  // all gaps together; negative when they overlap
    const auto gaps = int64_t(n - 1);
    int64_t before = 0;  // the lengths of the boxes before the current one
    for (size_t k = 0; k < n; ++k) {
        const AlignBox& b = boxes[order[k]];
        // The k-th start lies k gaps after the first; the division spreads the remainder.
        const int64_t gapsBefore = free * int64_t(k) / gaps;
        const int64_t target = start(first) + before + gapsBefore;
        (horizontally ? moves[order[k]].dx : moves[order[k]].dy) = target - start(b);
        before += length(b);
    }
    return moves;
}

}  // namespace bb
