#pragma once
// Shared by the time library: fixed-width digit fields and bounded copies.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace timelib {

// value as out.size() digits with leading zeros, as the item Iw.w writes it: a value
// that does not fit (negative, or too many digits) fills the columns with asterisks.
inline void put_digits(std::span<char> out, std::int64_t value) {
  std::int64_t limit = 1;
  for (std::size_t i = 0; i < out.size() && limit <= INT64_MAX / 10; ++i) limit *= 10;
  if (value < 0 || value >= limit) {
    std::fill(out.begin(), out.end(), '*');
    return;
  }
  for (std::size_t i = out.size(); i-- > 0;) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// The first characters of text that fit into field (no padding).
inline void copy_into(std::span<char> field, std::string_view text) {
  std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

// Rounding toward minus infinity, so that every remainder lies in its range.
inline std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace timelib
