// Number editing of the free layout: the 15-column float text and values written into
// text fields.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "common/edit/float_digits.h"
#include "common/edit/free.h"
#include "common/edit/free_edit.h"
#include "common/text_field.h"

namespace io {
namespace {

// Right-justifies text in out (blank-filled in front); asterisks when it does not fit.
void right_justify(std::string_view text, std::span<char> out) {
  if (text.size() > out.size()) {
    std::fill(out.begin(), out.end(), '*');
    return;
  }
  const auto blanks = out.size() - text.size();
  std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(blanks), ' ');
  std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(blanks));
}

// Sign, one digit, a point, seven digits, E, sign, two exponent digits.
int exponent_form(bool negative, std::string_view eight, int exponent, std::span<char> out) {
  int n = 0;
  auto put = [&](char c) { out[static_cast<std::size_t>(n++)] = c; };
  if (negative) put('-');
  put(eight[0]);
  put('.');
  for (char c : eight.substr(1, 7)) put(c);
  put('E');
  put(exponent < 0 ? '-' : '+');
  const int e = std::abs(exponent);
  if (e >= 100) put(static_cast<char>('0' + e / 100));
  put(static_cast<char>('0' + e / 10 % 10));
  put(static_cast<char>('0' + e % 10));
  return n;
}

// The 7-digit rounding derived from the 8-digit one, saving a second conversion. The
// 8-digit value lies within half a unit of its last digit of the exact value, so a last
// digit other than 5 decides the rounding exactly; a 5 may hide a tie: returns false.
bool seven_from_eight(const detail::DecimalDigits& eight, detail::DecimalDigits& seven) {
  const char last = eight.digits[7];
  if (last == '5') return false;
  seven.negative = eight.negative;
  seven.exponent = eight.exponent;
  seven.count = 7;
  std::copy(eight.digits.begin(), eight.digits.begin() + 7, seven.digits.begin());
  if (last < '5') return true;
  int i = 6;
  while (i >= 0 && seven.digits[static_cast<std::size_t>(i)] == '9') {
    seven.digits[static_cast<std::size_t>(i--)] = '0';
  }
  if (i >= 0) {
    ++seven.digits[static_cast<std::size_t>(i)];
  } else {
    seven.digits[0] = '1';  // 9999999x rounds up to 1000000 one power higher
    ++seven.exponent;
  }
  return true;
}

}  // namespace

int free_float_text(float value, std::span<char, 15> out) {
  std::array<char, 24> text;
  int n = 0;
  const double x = value;
  if (std::isnan(x)) {
    right_justify("NaN", out);
    return detail::kFloatWidth;
  }
  if (std::isinf(x)) {
    right_justify(x < 0 ? "-Infinity" : "Infinity", out);
    return detail::kFloatWidth;
  }
  const bool negative = std::signbit(x);
  if (x == 0) {
    n = exponent_form(negative, "00000000", 0, text);
    right_justify({text.data(), static_cast<std::size_t>(n)}, out);
    return detail::kFloatWidth;
  }
  // The 7-digit rounding decides the form and, in the exponent form, the exponent.
  const detail::DecimalDigits eight = detail::round_significant(x, 8);
  detail::DecimalDigits seven;
  if (!seven_from_eight(eight, seven)) seven = detail::round_significant(x, 7);
  const int e7 = seven.exponent;
  if (e7 >= -1 && e7 <= 6) {
    // Fixed point: 7 significant digits, 7 - i of them after the point, in 11 columns.
    if (negative) text[static_cast<std::size_t>(n++)] = '-';
    if (e7 < 0) text[static_cast<std::size_t>(n++)] = '0';
    for (int p = std::max(e7, -1); p >= e7 - 6; --p) {
      if (p == -1) text[static_cast<std::size_t>(n++)] = '.';
      text[static_cast<std::size_t>(n++)] = seven.digit_at(p);
    }
    if (e7 == 6) text[static_cast<std::size_t>(n++)] = '.';
    right_justify({text.data(), static_cast<std::size_t>(n)}, out.first(11));
    std::fill(out.begin() + 11, out.end(), ' ');
    return detail::kFloatWidth;
  }
  // Exponent form: the exact value scaled by 10^-e7, rounded to 7 decimals. When the
  // value lies below 10^e7 (the 7-digit rounding carried), that is exactly 1.0000000.
  const std::string_view digits = eight.exponent == e7 ? eight.text() : "10000000";
  n = exponent_form(negative, digits, e7, text);
  right_justify({text.data(), static_cast<std::size_t>(n)}, out);
  return detail::kFloatWidth;
}

namespace detail {

int free_int_text(std::int64_t value, std::span<char> out) {
  std::array<char, 24> text;
  const auto r = std::to_chars(text.data(), text.data() + text.size(), value);
  right_justify({text.data(), static_cast<std::size_t>(r.ptr - text.data())}, out);
  return static_cast<int>(out.size());
}

}  // namespace detail

namespace {

// A field narrower than the value's width keeps the value right-justified when its
// characters fit, else it is filled with asterisks: a number is never cut.
void to_field(std::span<char> field, std::string_view text) {
  if (field.size() >= text.size()) {
    std::copy(text.begin(), text.end(), field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(text.size()), field.end(), ' ');
    return;
  }
  const auto first = text.find_first_not_of(' ');
  right_justify(first == std::string_view::npos ? std::string_view{} : text.substr(first), field);
}

}  // namespace

void free_to_field(std::span<char> field, std::int32_t value) {
  std::array<char, detail::kIntWidth> text;
  detail::free_int_text(value, text);
  to_field(field, field::view(text));
}

void free_to_field(std::span<char> field, float value) {
  std::array<char, detail::kFloatWidth> text;
  free_float_text(value, text);
  to_field(field, field::view(text));
}

}  // namespace io
