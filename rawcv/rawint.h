#pragma once
// Integer conversions of the logger arithmetic that stay defined for any input:
// NaN gives 0, values beyond the 32-bit range saturate.
#include <cmath>
#include <cstdint>
#include <limits>

namespace rawint {

constexpr std::int32_t saturate(std::int64_t v) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

// Cut toward zero.
inline std::int32_t trunc32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Nearest integer, halves away from zero.
inline std::int32_t nint32(double v) {
  if (std::isnan(v)) return 0;
  return trunc32(std::round(v));
}

}  // namespace rawint
