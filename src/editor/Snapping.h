// Snapping of a dragged or resized object to guide lines and to a millimetre grid, and the
// card geometry the guides and the centring commands need, as plain functions on document
// units so that they can be tested without a window.
#pragma once

#include "document/CardDocument.h"
#include "document/CardFormat.h"
#include "editor/EditMath.h"

#include <cstdint>
#include <vector>

namespace bb {

// Document units of one millimetre of the card.
inline constexpr double kUnitsPerMm = 20000.0 / kNominalMmPerInch;
// How near (in screen pixels) an edge or centre must come to a line to snap to it, the same at
// every zoom.
inline constexpr int kSnapPixels = 5;

// The half of the card that an object lies in: the one that holds its horizontal centre; a
// centre exactly on the fold counts to the right half.
struct CardHalf {
    int32_t left = 0, right = 0;
};
CardHalf halfOf(const CardGeometry& card, const CardObject& o);

// The position that centres a length `size` between lo and hi (rounded towards lo).
int32_t centredPosition(int32_t lo, int32_t hi, int32_t size);

// Candidate guide lines: vertical lines at the x positions `xs`, horizontal ones at `ys`;
// each list sorted ascending without repeats.
struct SnapLines {
    std::vector<int32_t> xs, ys;
};
// The card's edges and centre, the fold line and the centre of each half; then the edges and
// centres of every used object of `side` except `draggedSlot`.
SnapLines snapLines(const CardDocument& doc, int side, int draggedSlot);
// The same without the lines of all the dragged slots.
SnapLines snapLines(const CardDocument& doc, int side, const std::vector<int>& draggedSlots);

// A grid of `spacing` units (0: no grid) whose lines pass through (originX, originY).
struct SnapGrid {
    double spacing = 0;
    int32_t originX = 0, originY = 0;
};

// A box by its edges, in document units.
struct SnapBox {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const SnapBox&, const SnapBox&) = default;
};

struct SnapResult {
    SnapBox box;
    // The guide lines that the snapped box touches with a snapping edge or centre (drawn
    // while they hold); grid lines are not guides.
    std::vector<int32_t> guideXs, guideYs;
};

// The box an object covers as drawn, in document units: its own box, or for an object turned
// by a fine angle the bounds of the turned box about the same centre. Turned objects snap and
// are snapped to by these edges.
SnapBox drawnBox(const CardObject& o);

// The snap distance in document units for `pixels` screen pixels at the given scale.
int64_t snapReach(double zoomFactor, double unitsPerPixel, int pixels = kSnapPixels);

// Snaps a box under a drag of `mode` (DragModeValue). A move snaps the left edge, the centre
// or the right edge (the top edge, centre or bottom edge) to a guide, or an edge to the grid,
// and shifts the whole box; a handle drag snaps only the edges that handle moves, and the
// opposite edges stay. Each axis on its own: of every pairing of a snapping edge or centre
// with a line no farther than `reach`, the nearest wins. Ties go to a guide before a grid
// line, then to the lower line position (leftmost, topmost), then to the edge or centre
// named first above. A handle snap that would turn the box over is not taken.
SnapResult snapBox(const SnapBox& box, int mode, const SnapLines& lines, const SnapGrid& grid,
                   int64_t reach);

}  // namespace bb
