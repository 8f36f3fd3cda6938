// Device coordinates of the renderer, kept within safe bounds.
#pragma once

#include <algorithm>
#include <cmath>

namespace bb {

// Device coordinates are kept within ±2^28 so that sums of positions and sizes taken from a
// damaged card never overflow; real views and pages are far smaller.
inline constexpr long double kCoordLimit = 1 << 28;
inline int clampCoord(long double v) {
    if (std::isnan(v)) return 0;
    return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

}  // namespace bb
