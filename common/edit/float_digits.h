#pragma once
// Number editing core: the correctly rounded decimal digits of a float or double.
//
// Rounding is to nearest on the exact binary value; a tie (exactly half a unit in the
// last digit kept) goes to the even digit. A float converts to double exactly, so the
// double entries serve both. No allocation; the digits live in the returned struct.
// Internal to common/edit.
//
//   auto d = io::detail::round_significant(123456789.0, 7);
//   // d.text() == "1234568", d.exponent == 8: 1.234568 x 10^8
//   auto f = io::detail::round_decimals(-0.015625, 3);
//   // f.negative, f.text() == "16", f.exponent == -2: 0.016 (digits end at 10^-3)
#include <array>
#include <cstddef>
#include <string_view>

namespace io::detail {

enum class NumberClass { finite, infinite, nan };

inline constexpr int kMaxSignificant = 120;  // more than a float's exact expansion needs
inline constexpr int kMaxDecimals = 80;
inline constexpr int kMaxDigits = 400;  // 309 integer digits of a double + decimals

struct DecimalDigits {
  NumberClass kind = NumberClass::finite;
  bool negative = false;  // sign bit of the value (also for -0.0 and for NaN)
  // Decimal exponent of the first digit: the first digit stands for 10^exponent, the
  // i-th (0-based) for 10^(exponent - i).
  int exponent = 0;
  int count = 0;                        // number of digits in `digits`
  std::array<char, kMaxDigits> digits;  // '0'..'9'; only the first `count` are set

  std::string_view text() const { return {digits.data(), static_cast<std::size_t>(count)}; }
  // The digit for 10^power, '0' outside the digits held.
  char digit_at(int power) const {
    const int i = exponent - power;
    return (i >= 0 && i < count) ? digits[static_cast<std::size_t>(i)] : '0';
  }
};

// Exactly `significant` digits (1..kMaxSignificant, clamped), the first non-zero unless
// the value is zero (then all '0' and exponent 0). Rounding up may carry into a new
// leading digit: 9.9999996 to 7 digits gives "1000000" with exponent 1.
DecimalDigits round_significant(double value, int significant);

// The value rounded to `decimals` digits after the point (0..kMaxDecimals, clamped).
// The digits run from the first non-zero digit down to 10^-decimals, so
// exponent == count - 1 - decimals. A value that rounds to zero gives count 0 and
// exponent -1 - decimals (digit_at() then gives '0' everywhere).
DecimalDigits round_decimals(double value, int decimals);

}  // namespace io::detail
