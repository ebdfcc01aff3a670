// Number editing of the fixed layouts (I, B, O, Z, L, F, E, D, EN, ES, G).
#include "common/edit/number_edit.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>
#include <system_error>

#include "common/edit/decimal_number.h"
#include "common/edit/float_digits.h"

namespace io::detail {
namespace {

void fill(std::span<char> out, char c) {
  for (char& x : out) x = c;
}

// Writes a right-justified field of `len` characters into out, character by character.
// The callers check len <= out.size() first; the guard keeps every store in bounds.
class RightJustified {
 public:
  RightJustified(std::span<char> out, std::size_t len) : out_(out) {
    const std::size_t lead = len <= out.size() ? out.size() - len : 0;
    for (std::size_t k = 0; k < lead; ++k) out_[k] = ' ';
    i_ = lead;
  }
  void put(char c) {
    if (i_ < out_.size()) out_[i_++] = c;
  }
  void put(std::string_view s) {
    for (char c : s) put(c);
  }
  void repeat(char c, int n) {
    for (int k = 0; k < n; ++k) put(c);
  }

 private:
  std::span<char> out_;
  std::size_t i_ = 0;
};

// Infinity and NaN texts, right-justified; asterisks when the field is too narrow.
void write_special(std::span<char> out, double value, PlusSign plus) {
  std::string_view text = std::isnan(value)      ? "NaN"
                          : std::signbit(value)  ? "-Infinity"
                          : plus == PlusSign::on ? "+Infinity"
                                                 : "Infinity";
  if (text.size() > out.size()) return fill(out, '*');
  RightJustified r(out, text.size());
  r.put(text);
}

bool sign_shown(bool negative, PlusSign plus) { return negative || plus == PlusSign::on; }

// Exponent part: "E+dd" (|x| <= 99) or "+ddd" (<= 999) without an exponent width;
// letter, sign and e digits with one. Returns false when the exponent does not fit.
struct Exponent {
  std::array<char, 24> text{};
  int len = 0;
};

bool make_exponent(int value, int e, char letter, Exponent& x) {
  const int mag = value < 0 ? -value : value;
  const char sign = value < 0 ? '-' : '+';
  int digits = e;
  if (e <= 0) {
    if (mag <= 99) {
      digits = 2;
      x.text[static_cast<std::size_t>(x.len++)] = letter;
    } else if (mag <= 999) {
      digits = 3;
    } else {
      return false;
    }
  } else {
    if (e > 9) digits = 9;  // more exponent digits than any double needs: pad below
    x.text[static_cast<std::size_t>(x.len++)] = letter;
  }
  x.text[static_cast<std::size_t>(x.len++)] = sign;
  std::array<char, 12> buf{};
  auto [p, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), mag);
  const int n = static_cast<int>(p - buf.data());
  if (ec != std::errc{} || n > digits) return false;
  for (int k = n; k < digits; ++k) x.text[static_cast<std::size_t>(x.len++)] = '0';
  for (int k = 0; k < n; ++k)
    x.text[static_cast<std::size_t>(x.len++)] = buf[static_cast<std::size_t>(k)];
  return true;
}

// The digit of `digits` at position i (0-based), '0' beyond the digits held.
char digit(const DecimalDigits& dd, int i) {
  return (i >= 0 && i < dd.count) ? dd.digits[static_cast<std::size_t>(i)] : '0';
}

// Fixed-point form from digits: `int_digits` digits before the point (0: none, then the
// optional 0), `frac_digits` after, starting at digit `first`. Leading zeros of the
// integer part are dropped.
void emit_fixed_digits(std::span<char> out, bool negative, PlusSign plus, const DecimalDigits& dd,
                       int first, int int_digits, int frac_digits) {
  while (int_digits > 0 && digit(dd, first) == '0') {
    ++first;
    --int_digits;
  }
  const bool sign = sign_shown(negative, plus);
  std::size_t len = (sign ? 1u : 0u) + static_cast<std::size_t>(int_digits) + 1u +
                    static_cast<std::size_t>(frac_digits);
  bool zero = false;
  if (int_digits == 0) {
    // The 0 before the point: only when there is room (always when no digit follows).
    if (len + 1 <= out.size() || frac_digits == 0) {
      zero = true;
      ++len;
    }
  }
  if (len > out.size()) return fill(out, '*');
  RightJustified r(out, len);
  if (sign) r.put(negative ? '-' : '+');
  if (zero) r.put('0');
  for (int k = 0; k < int_digits; ++k) r.put(digit(dd, first + k));
  r.put('.');
  for (int k = 0; k < frac_digits; ++k) r.put(digit(dd, first + int_digits + k));
}

void write_f(std::span<char> out, double value, int d, int scale, PlusSign plus) {
  const bool negative = std::signbit(value);
  double mag = std::fabs(value);
  int shift = scale;  // the scale multiplies the value by 10^k: move the point
  if (d + scale < 0) {
    mag *= std::pow(10.0, scale);
    shift = 0;
  }
  const DecimalDigits dd = round_decimals(mag, d + shift);
  // dd.digit_at(p) is the digit for 10^p of the unscaled value; the scaled value's digit
  // for 10^q is dd.digit_at(q - shift).
  const int top = dd.count > 0 ? dd.exponent + shift : -1;  // highest scaled power
  const int int_digits = top >= 0 ? top + 1 : 0;
  // Lay the digits out as a run from 10^top (or 10^-1) down to 10^-d.
  DecimalDigits run;
  run.count = 0;
  const int high = int_digits > 0 ? top : -1;
  for (int q = high; q >= -d && run.count < kMaxDigits; --q)
    run.digits[static_cast<std::size_t>(run.count++)] = dd.digit_at(q - shift);
  emit_fixed_digits(out, negative, plus, run, 0, int_digits, d);
}

// Ew.d / Dw.d / Ew.dEe under scale k.
void write_e(std::span<char> out, double value, int d, int e, int k, char letter, PlusSign plus) {
  const bool negative = std::signbit(value);
  const double mag = std::fabs(value);
  // k <= 0: 0.[-k zeros][d + k digits]; k > 0: k digits, point, d - k + 1 digits.
  if (k <= -d || k > d + 1) return fill(out, '*');
  const int nsig = k <= 0 ? d + k : d + 1;
  const DecimalDigits dd = round_significant(mag, nsig);
  const int exp10 = mag == 0.0 ? 0 : dd.exponent + 1 - k;
  Exponent x;
  if (!make_exponent(exp10, e, letter, x)) return fill(out, '*');
  const bool sign = sign_shown(negative, plus);
  const int before = k > 0 ? k : 0;
  const int after = k > 0 ? d - k + 1 : d;
  std::size_t len = (sign ? 1u : 0u) + static_cast<std::size_t>(before) + 1u +
                    static_cast<std::size_t>(after) + static_cast<std::size_t>(x.len);
  const bool zero = before == 0 && len + 1 <= out.size();
  if (zero) ++len;
  if (len > out.size()) return fill(out, '*');
  RightJustified r(out, len);
  if (sign) r.put(negative ? '-' : '+');
  if (zero) r.put('0');
  int i = 0;
  for (int q = 0; q < before; ++q) r.put(digit(dd, i++));
  r.put('.');
  if (k < 0) r.repeat('0', -k);
  for (int q = 0; q < (k < 0 ? d + k : after); ++q) r.put(digit(dd, i++));
  r.put(std::string_view(x.text.data(), static_cast<std::size_t>(x.len)));
}

// ESw.d (one digit before the point) and ENw.d (exponent a multiple of 3).
void write_es_en(std::span<char> out, double value, int d, int e, bool engineering, PlusSign plus) {
  const bool negative = std::signbit(value);
  const double mag = std::fabs(value);
  int before = 1;
  DecimalDigits dd = round_significant(mag, d + 1);
  int exp10 = mag == 0.0 ? 0 : dd.exponent;
  if (engineering && mag != 0.0) {
    // The power of the value itself decides the multiple of 3; rounding may then carry
    // the mantissa to the next power (to 1000: the next multiple of 3).
    const int p = round_significant(mag, kMaxSignificant).exponent;
    exp10 = (p >= 0 ? p / 3 : -((-p + 2) / 3)) * 3;
    before = p - exp10 + 1;
    dd = round_significant(mag, d + before);
    if (dd.exponent > p) {
      before = dd.exponent - exp10 + 1;
      if (before > 3) {
        exp10 += 3;
        before = 1;
      }
    }
  }
  Exponent x;
  if (!make_exponent(exp10, e, 'E', x)) return fill(out, '*');
  const bool sign = sign_shown(negative, plus);
  const std::size_t len = (sign ? 1u : 0u) + static_cast<std::size_t>(before) + 1u +
                          static_cast<std::size_t>(d) + static_cast<std::size_t>(x.len);
  if (len > out.size()) return fill(out, '*');
  RightJustified r(out, len);
  if (sign) r.put(negative ? '-' : '+');
  int i = 0;
  for (int q = 0; q < before; ++q) r.put(digit(dd, i++));
  r.put('.');
  for (int q = 0; q < d; ++q) r.put(digit(dd, i++));
  r.put(std::string_view(x.text.data(), static_cast<std::size_t>(x.len)));
}

void write_g(std::span<char> out, double value, const Item& item, int scale, PlusSign plus) {
  const int d = item.d;
  const int trail = item.e > 0 ? item.e + 2 : 4;
  const bool negative = std::signbit(value);
  const double mag = std::fabs(value);
  const auto w = static_cast<int>(out.size());
  if (w <= trail || d <= 0) return write_e(out, value, d, item.e, scale, 'E', plus);
  std::span<char> fixed = out.first(static_cast<std::size_t>(w - trail));
  if (mag == 0.0) {
    DecimalDigits zero;
    zero.count = 0;
    emit_fixed_digits(fixed, negative, plus, zero, 0, 0, d - 1);
  } else {
    const DecimalDigits dd = round_significant(mag, d);
    const int before = dd.exponent + 1;  // digits before the point after rounding
    if (before < 0 || before > d) return write_e(out, value, d, item.e, scale, 'E', plus);
    emit_fixed_digits(fixed, negative, plus, dd, 0, before, d - before);
  }
  if (fixed[0] == '*') return fill(out, '*');
  fill(out.subspan(static_cast<std::size_t>(w - trail)), ' ');
}

}  // namespace

void write_integer(std::span<char> out, std::int64_t value, int m, const EditModes& modes) {
  const bool negative = value < 0;
  const std::uint64_t mag = negative ? std::uint64_t(0) - static_cast<std::uint64_t>(value)
                                     : static_cast<std::uint64_t>(value);
  if (m == 0 && mag == 0) return fill(out, ' ');
  std::array<char, 24> buf{};
  auto [p, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), mag);
  const int n = ec == std::errc{} ? static_cast<int>(p - buf.data()) : 0;
  const int digits = m > n ? m : n;
  const bool sign = sign_shown(negative, modes.plus);
  const std::size_t len = static_cast<std::size_t>(digits) + (sign ? 1u : 0u);
  if (len > out.size()) return fill(out, '*');
  RightJustified r(out, len);
  if (sign) r.put(negative ? '-' : '+');
  r.repeat('0', digits - n);
  r.put(std::string_view(buf.data(), static_cast<std::size_t>(n)));
}

void write_bits(std::span<char> out, std::uint64_t bits, Ed ed, int m) {
  const unsigned shift = ed == Ed::B ? 1 : ed == Ed::O ? 3 : 4;
  const std::uint64_t mask = (std::uint64_t(1) << shift) - 1;
  std::array<char, 64> buf{};
  int n = 0;
  for (std::uint64_t v = bits; v != 0 && n < 64; v >>= shift)
    buf[static_cast<std::size_t>(n++)] = "0123456789ABCDEF"[v & mask];
  if (m == 0 && n == 0) return fill(out, ' ');
  if (n == 0) buf[static_cast<std::size_t>(n++)] = '0';
  const int digits = m > n ? m : n;
  if (static_cast<std::size_t>(digits) > out.size()) return fill(out, '*');
  RightJustified r(out, static_cast<std::size_t>(digits));
  r.repeat('0', digits - n);
  for (int k = n - 1; k >= 0; --k) r.put(buf[static_cast<std::size_t>(k)]);
}

void write_boolean(std::span<char> out, bool value) {
  if (out.empty()) return;
  fill(out, ' ');
  out[out.size() - 1] = value ? 'T' : 'F';
}

void write_real(std::span<char> out, double value, const Item& item, const EditModes& modes) {
  const int scale = modes.scale;
  const PlusSign plus = modes.plus;
  if (!std::isfinite(value)) return write_special(out, value, plus);
  switch (item.ed) {
    case Ed::F: return write_f(out, value, item.d, scale, plus);
    case Ed::E: return write_e(out, value, item.d, item.e, scale, 'E', plus);
    case Ed::D: return write_e(out, value, item.d, item.e, scale, 'D', plus);
    case Ed::ES: return write_es_en(out, value, item.d, item.e, false, plus);
    case Ed::EN: return write_es_en(out, value, item.d, item.e, true, plus);
    case Ed::G: return write_g(out, value, item, scale, plus);
    default: return fill(out, '*');
  }
}

// ---- input ----

namespace {

bool is_blank(char c) { return c == ' '; }  // a tab is no blank in a fixed field

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// The character a column of a number field gives: false for a blank that is passed
// over; under BZ a blank reads as a zero.
bool numeric_char(char column, bool blank_zero, char& c) {
  c = is_blank(column) ? '0' : column;
  return blank_zero || !is_blank(column);
}

// "INF", "INFINITY", "NAN" (either case, trailing blanks allowed) after the sign.
template <class T>
bool read_special(std::string_view rest, bool negative, T& value) {
  while (!rest.empty() && is_blank(rest.back())) rest.remove_suffix(1);
  std::array<char, 9> up{};
  if (rest.size() > up.size()) return false;
  for (std::size_t k = 0; k < rest.size(); ++k) up[k] = upper(rest[k]);
  const std::string_view u(up.data(), rest.size());
  if (u == "INF" || u == "INFINITY") {
    value = negative ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
    return true;
  }
  if (u == "NAN") {
    value = std::numeric_limits<T>::quiet_NaN();
    return true;
  }
  return false;
}

// A number field read column by column.
struct NumberField {
  std::string_view columns;
  bool blank_zero = false;
  std::size_t at = 0;

  bool done() const { return at >= columns.size(); }
  void skip_blanks() {
    while (!done() && is_blank(columns[at])) ++at;
  }
  // A sign at the position is taken; true for a minus.
  bool take_sign() {
    if (done() || (columns[at] != '+' && columns[at] != '-')) return false;
    return columns[at++] == '-';
  }
  // The columns from the next non-blank one, when they begin as infinity or NaN.
  bool special_follows(std::string_view& rest) const {
    std::size_t j = at;
    while (j < columns.size() && is_blank(columns[j])) ++j;
    if (j == columns.size() || (upper(columns[j]) != 'I' && upper(columns[j]) != 'N')) return false;
    rest = columns.substr(j);
    return true;
  }
};

struct Mantissa {
  bool any_digit = false;
  bool point = false;
  long fraction_digits = 0;  // digits after the point
};

// Digits and at most one point, up to the first other character.
Mantissa scan_mantissa(NumberField& field, DecimalNumber& number) {
  Mantissa m;
  for (; !field.done(); ++field.at) {
    char c = 0;
    if (!numeric_char(field.columns[field.at], field.blank_zero, c)) continue;
    if (c >= '0' && c <= '9') {
      m.any_digit = true;
      if (m.point) ++m.fraction_digits;
      number.add_digit(c);
    } else if (c == '.' && !m.point) {
      m.point = true;
    } else {
      break;
    }
  }
  return m;
}

// The exponent after the mantissa, to the end of the field: a letter E, D or Q or a
// sign alone begins it; blanks may follow the letter; then a sign and digits.
bool scan_exponent(NumberField& field, long& exponent) {
  const char c = upper(field.columns[field.at]);
  if (c == 'E' || c == 'D' || c == 'Q') {
    ++field.at;
  } else if (c != '+' && c != '-') {
    return false;
  }
  if (!field.blank_zero) field.skip_blanks();
  const bool negative = field.take_sign();
  bool any_digit = false;
  for (; !field.done(); ++field.at) {
    char d = 0;
    if (!numeric_char(field.columns[field.at], field.blank_zero, d)) continue;
    if (d < '0' || d > '9') return false;
    any_digit = true;
    exponent = add_exponent_digit(exponent, d);
  }
  if (negative) exponent = -exponent;
  return any_digit;
}

// A field of F, E, D, EN, ES or G input: d implied fraction digits when it holds no
// point, the scale when it holds no exponent. A blank field and a lone sign read zero.
template <class T>
bool read_real_t(std::string_view f, int d, int scale, bool blank_zero, T& value) {
  NumberField field{f, blank_zero};
  field.skip_blanks();
  if (field.done()) {
    value = T(0);
    return true;
  }
  DecimalNumber number(field.take_sign());
  if (std::string_view rest; field.special_follows(rest))
    return read_special(rest, number.negative(), value);
  const Mantissa m = scan_mantissa(field, number);
  long exponent = 0;
  const bool has_exponent = !field.done();
  if (has_exponent && (!m.any_digit || !scan_exponent(field, exponent))) return false;
  if (!m.any_digit && m.point) return false;  // a lone point
  long power = exponent - (m.point ? m.fraction_digits : d);
  if (!has_exponent) power -= scale;
  return number.convert(power, value);
}

}  // namespace

bool read_integer(std::string_view f, const EditModes& modes, std::int64_t& value) {
  const bool blank_zero = modes.blank_zero;
  std::size_t i = 0;
  while (i < f.size() && is_blank(f[i])) ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
  std::uint64_t mag = 0;
  for (; i < f.size(); ++i) {
    char c = 0;
    if (!numeric_char(f[i], blank_zero, c)) continue;
    if (c < '0' || c > '9') return false;
    // Far beyond any target; stops before the magnitude could wrap around 64 bits.
    if (mag > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) return false;
    mag = mag * 10 + static_cast<std::uint64_t>(c - '0');
  }
  value = negative ? -static_cast<std::int64_t>(mag) : static_cast<std::int64_t>(mag);
  return true;
}

bool read_bits(std::string_view f, Ed ed, const EditModes& modes, std::uint64_t& value) {
  const bool blank_zero = modes.blank_zero;
  const unsigned shift = ed == Ed::B ? 1 : ed == Ed::O ? 3 : 4;
  const unsigned base = 1u << shift;
  std::uint64_t v = 0;
  std::size_t i = 0;
  while (i < f.size() && is_blank(f[i])) ++i;
  for (; i < f.size(); ++i) {
    char c = 0;
    if (!numeric_char(upper(f[i]), blank_zero, c)) continue;
    unsigned digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    if (digit >= base) return false;
    if ((v >> (64 - shift)) != 0) return false;
    v = (v << shift) | digit;
  }
  value = v;
  return true;
}

bool read_boolean(std::string_view f, bool& value) {
  std::size_t i = 0;
  while (i < f.size() && is_blank(f[i])) ++i;
  if (i < f.size() && f[i] == '.') ++i;
  if (i >= f.size()) return false;  // a blank field holds no T or F
  const char c = upper(f[i]);
  if (c != 'T' && c != 'F') return false;
  value = c == 'T';
  return true;
}

bool read_real(std::string_view field, int d, const EditModes& modes, float& value) {
  return read_real_t(field, d, modes.scale, modes.blank_zero, value);
}
bool read_real(std::string_view field, int d, const EditModes& modes, double& value) {
  return read_real_t(field, d, modes.scale, modes.blank_zero, value);
}

}  // namespace io::detail
