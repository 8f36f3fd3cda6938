// Lining up and spreading out several objects: "Ausrichten" on the left, centre, right, top,
// middle or bottom edges of a reference box, and equal gaps between neighbours. Plain
// arithmetic on boxes in document units; the editor turns the results into moves of the
// selected objects (a group counts as one box).
#pragma once

#include <cstdint>
#include <vector>

namespace bb {

// A box in document units, right and bottom exclusive.
struct AlignBox {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    int64_t width() const { return right - left; }
    int64_t height() const { return bottom - top; }
    friend bool operator==(const AlignBox&, const AlignBox&) = default;
};

enum class AlignEdge { Left, Centre, Right, Top, Middle, Bottom };

// How far one box moves.
struct AlignMove {
    int64_t dx = 0, dy = 0;
    friend bool operator==(const AlignMove&, const AlignMove&) = default;
};

// The smallest box holding all of `boxes` (an empty list gives an empty box at 0, 0).
AlignBox unionOf(const std::vector<AlignBox>& boxes);

// The move of each box that puts its `edge` on the same edge of `reference`; centres are
// rounded towards the left (top).
std::vector<AlignMove> alignMoves(const std::vector<AlignBox>& boxes, AlignEdge edge,
                                  const AlignBox& reference);

// The moves that make the gaps between neighbours equal across (`horizontally`) or down. The
// boxes are taken in the order of their left (top) edges; the first and the last keep their
// place. Fewer than three boxes do not move. Gaps that cannot be equal to the unit are spread
// so that they differ by one unit at most.
std::vector<AlignMove> distributeMoves(const std::vector<AlignBox>& boxes, bool horizontally);

}  // namespace bb
