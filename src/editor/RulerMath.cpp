#include "editor/RulerMath.h"

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// Bound on the loop over tenths of a major step; a ruler a few thousand pixels long needs a
// few hundred. Absurd formats (a card a few metres wide in a paint box of a few pixels) stop
// here instead of producing millions of invisible ticks.
constexpr long kMaxSteps = 20000;

// Ticks for a scale of `cells` 50-pixel cells over `span` pixels mapping [start, end];
// `offset` is added to every position; positions below 0 are dropped when `skipNegative`, and
// positions at or beyond `limit` (the ruler's length) always.
RulerScale buildScale(double start, double end, int span, int offset, bool skipNegative,
                      int limit) {
    RulerScale s;
    s.start = start;
    s.end = end;
    const int cells = span / 50;
    if (span <= 0 || !(end > start) || !std::isfinite(start) || !std::isfinite(end)) return s;
    const double g = cells > 0 ? (end - start) / cells : INFINITY;
    const int m = rulerMajorStep(g);
    s.major = m;
    const double first = std::trunc(start / m - 1);
    const double last = std::trunc(end / m + 1);
    if (!(last - first < kMaxSteps / 10.0)) return s;
    for (long k = static_cast<long>(10 * first); k <= static_cast<long>(10 * last); ++k) {
        const int v = static_cast<int>(std::trunc(static_cast<double>(k) * m / 10.0));
        // The quotient is exact in real numbers where a tick meets a whole pixel (the card's
        // edge, for one); a hair of slack keeps binary rounding from truncating it a pixel short.
        const double exact = span * (v - start) / (end - start);
        const double nearest = std::round(exact);
        const double pd = std::fabs(exact - nearest) < 1e-9 ? nearest : std::trunc(exact);
        if (pd < 0 && skipNegative) continue;
        if (pd + offset >= limit) continue;  // beyond the ruler's far end: invisible
        RulerTick t;
        t.pos = static_cast<int>(pd) + offset;
        t.value = v;
        t.kind = k % 10 == 0 ? TickKind::Major : (k % 2 != 0 ? TickKind::Odd : TickKind::Even);
        s.ticks.push_back(t);
    }
    return s;
}

}  // namespace

int rulerMajorStep(double g) {
    if (g < 2.5) return 1;
    if (g < 7.5) return 5;
    if (g < 15) return 10;
    if (g < 30) return 20;
    if (g < 70) return 40;
    return 100;
}

RulerScale topRulerTicks(int R, int posX, int paintBoxWidth, double cardMm) {
    const int cw = paintBoxWidth / 3;
    if (cw <= 0) return {};
    const double start = (posX - cw) * cardMm / cw;
    const double end = (R + posX - cw - 21) * cardMm / cw;
    return buildScale(start, end, R - 21, 20, true, R);
}

RulerScale leftRulerTicks(int S, int posY, int paintBoxHeight, double cardMm) {
    const int ch = paintBoxHeight / 3;
    if (ch <= 0) return {};
    const double start = (posY - ch) * cardMm / ch;
    const double end = (S + posY - ch - 1) * cardMm / ch;
    return buildScale(start, end, S - 1, 0, false, S);
}

namespace {

// Units per millimetre on an axis; the nominal 20000 units per inch when the format gives none.
double unitsPerMm(int32_t sideUnits, double cardMm) {
    if (sideUnits > 0 && cardMm > 0 && std::isfinite(cardMm)) return sideUnits / 3.0 / cardMm;
    return 20000.0 / 25.39995;
}

int32_t roundedUnits(double units) {
    if (!(units == units)) return 0;  // not a number
    return int32_t(std::clamp(std::round(units), double(INT32_MIN), double(INT32_MAX)));
}

}  // namespace

double cardPositionMm(int32_t units, int32_t sideUnits, double cardMm) {
    return (units - std::max(sideUnits, 0) / 3.0) / unitsPerMm(sideUnits, cardMm);
}

int32_t cardPositionUnits(double mm, int32_t sideUnits, double cardMm) {
    return roundedUnits(std::max(sideUnits, 0) / 3.0 + mm * unitsPerMm(sideUnits, cardMm));
}

double cardLengthMm(int32_t units, int32_t sideUnits, double cardMm) {
    return units / unitsPerMm(sideUnits, cardMm);
}

int32_t cardLengthUnits(double mm, int32_t sideUnits, double cardMm) {
    return roundedUnits(mm * unitsPerMm(sideUnits, cardMm));
}

}  // namespace bb
