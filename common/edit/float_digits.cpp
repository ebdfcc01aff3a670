#include "common/edit/float_digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace io::detail {
namespace {

DecimalDigits special(double value) {
  DecimalDigits d;
  d.negative = std::signbit(value);
  d.kind = std::isnan(value) ? NumberClass::nan : NumberClass::infinite;
  return d;
}

}  // namespace

DecimalDigits round_significant(double value, int significant) {
  if (!std::isfinite(value)) return special(value);
  significant = std::clamp(significant, 1, kMaxSignificant);
  DecimalDigits d;
  d.negative = std::signbit(value);
  // to_chars with a precision is exact on the binary value and rounds ties to even.
  std::array<char, kMaxSignificant + 16> buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                               std::chars_format::scientific, significant - 1);
  const std::string_view s(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
  // s is "d.ddddde+XX" (no point when significant == 1).
  const auto e_pos = s.find('e');
  for (char c : s.substr(0, e_pos)) {
    if (c != '.') d.digits[static_cast<std::size_t>(d.count++)] = c;
  }
  const std::string_view exp_text = s.substr(e_pos + 1);
  const char* first = exp_text.data() + (exp_text.front() == '+' ? 1 : 0);
  std::from_chars(first, exp_text.data() + exp_text.size(), d.exponent);
  if (value == 0) d.exponent = 0;
  return d;
}

DecimalDigits round_decimals(double value, int decimals) {
  if (!std::isfinite(value)) return special(value);
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  DecimalDigits d;
  d.negative = std::signbit(value);
  std::array<char, kMaxDigits + 8> buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                               std::chars_format::fixed, decimals);
  const std::string_view s(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
  bool leading = true;
  for (char c : s) {
    if (c == '.') continue;
    if (leading && c == '0') continue;
    leading = false;
    d.digits[static_cast<std::size_t>(d.count++)] = c;
  }
  d.exponent = d.count - 1 - decimals;
  return d;
}

}  // namespace io::detail
