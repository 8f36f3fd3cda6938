// The tick arithmetic of the millimetre rulers beside the editor views, as plain functions
// so that the scale can be tested without a window.
#pragma once

#include <cstdint>
#include <vector>

namespace bb {

enum class TickKind {
    Major,  // k a multiple of 10: a line over the whole ruler and the label
    Odd,    // k odd: the longer minor tick
    Even,   // k even, not a multiple of 10: the shorter minor tick
};

struct RulerTick {
    int pos = 0;    // pixel along the ruler
    int value = 0;  // whole millimetres from the card's left (top) edge
    TickKind kind = TickKind::Major;
    friend bool operator==(const RulerTick&, const RulerTick&) = default;
};

struct RulerScale {
    double start = 0;  // millimetres at the first pixel of the scale
    double end = 0;    // millimetres at the last pixel of the scale
    int major = 0;     // major step in millimetres (1, 5, 10, 20, 40 or 100); 0 when no scale
    std::vector<RulerTick> ticks;
};

// The major step for g millimetres per 50-pixel cell.
int rulerMajorStep(double mmPerCell);

// Top ruler of `rulerWidth` pixels (its scale starts after the 20-pixel corner box) over a
// view scrolled to `scrollX`, whose paint box is `paintBoxWidth` pixels wide (three card
// widths) for a card `cardMm` millimetres wide. Ticks left of the corner box are skipped;
// positions include the 20-pixel offset.
RulerScale topRulerTicks(int rulerWidth, int scrollX, int paintBoxWidth, double cardMm);

// Left ruler of `rulerHeight` pixels beside a view scrolled to `scrollY`; nothing is skipped.
RulerScale leftRulerTicks(int rulerHeight, int scrollY, int paintBoxHeight, double cardMm);

// Millimetres on the card and the work-area units of object boxes. The card is the middle
// third of a work area `sideUnits` long on that axis, `cardMm` millimetres long; positions
// count from the card's left (top) edge, as the rulers show them, lengths from 0. The units
// are rounded to the nearest and kept within 32 bits.
double cardPositionMm(int32_t units, int32_t sideUnits, double cardMm);
int32_t cardPositionUnits(double mm, int32_t sideUnits, double cardMm);
double cardLengthMm(int32_t units, int32_t sideUnits, double cardMm);
int32_t cardLengthUnits(double mm, int32_t sideUnits, double cardMm);

}  // namespace bb
