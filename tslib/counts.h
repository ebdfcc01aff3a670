#pragma once
// Whole-number record counts and seconds worked out in floating point from the info
// block's rate: broken rates (zero, far too small) must not make the conversion to a
// 32-bit integer undefined.
#include <cmath>
#include <cstdint>
#include <limits>

namespace tslib {

// Cut toward zero; beyond the 32-bit range the count stops at its ends, and a value
// that is not a number is 0.
inline std::int32_t cut_to_int32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

// The nearest whole number; 0 for a value that has none (a zero DELTA_T), the 32-bit
// limits for one beyond them.
inline std::int32_t nearest_int32(double x) {
  if (!std::isfinite(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::lround(x));
}

}  // namespace tslib
