// Real-to-integer conversion as the program does it everywhere: truncation toward zero.
// Values outside the int32 range saturate and NaN gives 0, so that damaged input or a zero
// scale never reaches an undefined conversion.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace bb {

inline int32_t truncInt32(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<long double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// A 64-bit integer saturated to the int32 range.
inline int32_t clampInt32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace bb
