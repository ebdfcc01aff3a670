#pragma once
// Whole-number counts, records and seconds worked out in floating point or in 64 bits
// and brought to the 32-bit values that hold them.
//
// A count the tools derive (records to skip, copy or fill, seconds of a span) is
// refused when it does not fit: fitting_count. The saturating rules after it serve the
// converter's logger arithmetic, where broken values (a rate of zero, far too small or
// too large) must not make the conversion undefined: they give 0 for a value that is
// not a number and stop a finite value beyond the 32-bit range at the nearest limit.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace tslib {

// The count, already cut or rounded to a whole number, as a 32-bit value; empty when
// it lies beyond the 32-bit range or is not a number, after one console line naming
// the file, the count and its value: " FATAL ERROR: <file>: <what> <value> does not
// fit a 32-bit count".
std::optional<std::int32_t> fitting_count(std::string_view file, std::string_view what,
                                          double value);

// The count as fitting_count takes it; one that does not fit ends the run there, with
// fitting_count's line and the program's final message when it has one (io::fail_run).
std::int32_t count_or_fail(std::string_view file, std::string_view what, double value,
                           std::string_view final_message = {});

// One more than `count`, for a loop that counts records: past the largest 32-bit count
// the run ends as count_or_fail ends it.
inline std::int32_t count_after(std::string_view file, std::string_view what, std::int32_t count,
                                std::string_view final_message = {}) {
  if (count < std::numeric_limits<std::int32_t>::max()) return count + 1;
  return count_or_fail(file, what, static_cast<double>(count) + 1.0, final_message);
}

// A 64-bit intermediate stopped at the 32-bit limits.
constexpr std::int32_t saturate_int32(std::int64_t v) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

// Cut toward zero; an infinity stops at its limit like any value beyond the range.
inline std::int32_t cut_to_int32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

// What the nearest whole number of an infinity is. The two rules give different
// counts, so a caller that can meet an infinity names the one it was written to:
enum class Infinity {
  // 0: an infinite quotient comes from a rate of zero, a value that has no count
  // (a zero DELTA_T gives a duration or gap of 0, not 2^31 samples).
  zero,
  // The limit of its sign, like a finite value beyond the range: the converter's
  // logger arithmetic saturates at every step, so that an infinite sampling rate moves
  // the next stamp position to the end of the range (no later record takes a stamp).
  limit,
};

// The nearest whole number, halves away from zero; the 32-bit limits for a finite
// value beyond them; an infinity as `infinity` says (0 unless named).
inline std::int32_t nearest_int32(double x, Infinity infinity = Infinity::zero) {
  if (std::isinf(x) && infinity == Infinity::zero) return 0;
  return cut_to_int32(std::round(x));
}

}  // namespace tslib
