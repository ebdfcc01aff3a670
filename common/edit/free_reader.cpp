// Free-layout read transfers: values separated by blanks, tabs, record ends or commas;
// null values, repeat counts, slash; from a unit (running over records) or a text field.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "common/edit/decimal_number.h"
#include "common/edit/free.h"
#include "common/edit/internal_file.h"
#include "common/edit/state_pool.h"
#include "common/io/errors.h"
#include "common/io/unit.h"

namespace io {
namespace {

constexpr std::size_t kMaxText = 2048;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool ends_text_value(char c) { return is_blank(c) || c == ',' || c == '/'; }

enum class Step { value, null, slash, stop };  // stop: the outcome is in `result`

// A checked number: its digits and power of ten, and whether it is an integer's text.
struct CheckedNumber {
  detail::DecimalNumber decimal;
  long power = 0;        // the value is the digits read as one integer times 10^power
  bool integral = true;  // no point and no exponent
};

bool is_boolean(std::string_view v) {
  auto tf = [](char c) { return c == 'T' || c == 't' || c == 'F' || c == 'f'; };
  return !v.empty() && (tf(v[0]) || (v[0] == '.' && v.size() > 1 && tf(v[1])));
}
bool boolean_value(std::string_view v) {
  const char c = v[0] == '.' ? v[1] : v[0];
  return c == 'T' || c == 't';
}

bool is_exponent_letter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q';
}

// The digits and the point of a number from position i, up to the first other
// character. False for a second point or a number without digits.
bool scan_mantissa(std::string_view v, std::size_t& i, CheckedNumber& out) {
  bool point = false;
  bool any_digit = false;
  for (; i < v.size(); ++i) {
    const char c = v[i];
    if (is_digit(c)) {
      any_digit = true;
      if (point) --out.power;
      out.decimal.add_digit(c);
    } else if (c == '.') {
      if (point) return false;
      point = true;
    } else {
      break;
    }
  }
  out.integral = !point;
  return any_digit;
}

// The exponent from its letter at position i to the end: an optional sign and digits
// ("1E" alone has the exponent 0; "1E+" is no number).
bool scan_exponent(std::string_view v, std::size_t i, long& exponent) {
  if (!is_exponent_letter(v[i++])) return false;
  bool negative = false;
  const bool sign = i < v.size() && (v[i] == '+' || v[i] == '-');
  if (sign) negative = v[i++] == '-';
  if (sign && i == v.size()) return false;
  for (; i < v.size(); ++i) {
    if (!is_digit(v[i])) return false;
    exponent = detail::add_exponent_digit(exponent, v[i]);
  }
  if (negative) exponent = -exponent;
  return true;
}

// Checks the form of a number: an optional sign, digits with at most one point, an
// optional exponent.
bool check_number(std::string_view v, CheckedNumber& out) {
  std::size_t i = 0;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) out.decimal.set_negative(v[i++] == '-');
  if (!scan_mantissa(v, i, out)) return false;
  if (i == v.size()) return true;
  long exponent = 0;
  if (!scan_exponent(v, i, exponent)) return false;
  out.power += exponent;
  out.integral = false;
  return true;
}

template <class F>
Result to_float(CheckedNumber& num, F& v) {
  return num.decimal.convert(num.power, v) ? kDone : Result{kErrConversion};
}

// An integer's text, exactly: error 64 outside [lo, hi].
Result exact_integer(const detail::DecimalNumber& n, std::int64_t lo, std::int64_t hi,
                     std::int64_t& v) {
  const std::string_view digits = n.digits();
  if (!n.exact() || digits.size() > 19) return Result{kErrConversion};  // 10^19 or more
  std::uint64_t magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
  const std::uint64_t limit = n.negative() ? std::uint64_t{0} - static_cast<std::uint64_t>(lo)
                                           : static_cast<std::uint64_t>(hi);
  if (magnitude > limit) return Result{kErrConversion};
  v = n.negative() ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude)
                   : static_cast<std::int64_t>(magnitude);
  return kDone;
}

// A number into an integer of the range [lo, hi]: exact, or truncated toward zero.
Result to_integer(CheckedNumber& num, std::int64_t lo, std::int64_t hi, std::int64_t& v) {
  if (num.integral) return exact_integer(num.decimal, lo, hi, v);
  double d = 0;
  if (const Result r = to_float(num, d); !r.ok()) return r;
  d = std::trunc(d);
  if (!(d >= static_cast<double>(lo) && d <= static_cast<double>(hi))) {
    return Result{kErrConversion};
  }
  v = static_cast<std::int64_t>(d);
  return kDone;
}

// The scanning side of a transfer: records, separators, repeat counts, the value text.
struct ReaderCore {
  Unit* unit = nullptr;  // null: reading from `field`
  std::string_view field;
  bool field_taken = false;
  Takes takes = Takes::neither;
  Result result = kDone;
  bool finished = false;
  bool slash = false;
  bool record_read = false;
  bool have_line = false;
  std::string_view line;
  std::size_t pos = 0;
  bool comma_allowed = false;  // a value was just read: one comma is its separator
  long repeat_left = 0;
  bool value_null = false;
  bool value_delimited = false;
  std::size_t value_len = 0;
  std::array<char, kMaxText> value;

  void reset(Unit* u, std::string_view f, Takes t) {
    unit = u;
    field = f;
    field_taken = false;
    takes = t;
    result = kDone;
    finished = slash = record_read = have_line = comma_allowed = false;
    line = {};
    pos = 0;
    repeat_left = 0;
    value_null = value_delimited = false;
    value_len = 0;
  }

  bool stopped() const { return finished || slash || !result.ok(); }
  std::string_view value_text() const { return {value.data(), value_len}; }

  // Records the outcome; one the caller does not take back ends the program here.
  void fail(Result r) {
    result = r;
    if (unit) {
      settle(r, takes, unit->report_number(), unit->path());
    } else {
      settle(r, takes, kInternalUnit, kInternalListDirectedRead);
    }
  }

  Result fetch_line() {
    have_line = false;
    pos = 0;
    if (unit) {
      const Result r = unit->read_line(line);
      if (!r.ok()) return r;
    } else {
      if (field_taken) return kEnd;  // the field is the only record: end of data
      field_taken = true;
      line = field;
    }
    record_read = have_line = true;
    return kDone;
  }

  // Skips blanks, tabs and record ends up to the next character.
  Result skip_blanks() {
    for (;;) {
      if (!have_line) {
        if (const Result r = fetch_line(); !r.ok()) return r;
      }
      while (pos < line.size() && is_blank(line[pos])) ++pos;
      if (pos < line.size()) return kDone;
      have_line = false;  // a record end separates like a blank
    }
  }

  bool store(char c) {
    if (value_len >= kMaxText) return false;
    value[value_len++] = c;
    return true;
  }

  // An undelimited value: up to a separator (and a closing parenthesis for numbers).
  Result scan_plain(bool text_variable) {
    while (pos < line.size()) {
      const char c = line[pos];
      if (ends_text_value(c) || (!text_variable && c == ')')) break;
      if (!store(c)) return Result{kErrListSyntax};
      ++pos;
    }
    return kDone;
  }

  // A delimited text; on a stream it may run over record ends.
  Result scan_delimited() {
    const char delim = line[pos++];
    value_delimited = true;
    for (;;) {
      if (pos >= line.size()) {
        if (!unit) return kDone;  // the field's end closes the text
        if (const Result r = fetch_line(); !r.ok()) return r;
        continue;
      }
      const char c = line[pos++];
      if (c == delim) {
        if (pos < line.size() && line[pos] == delim) {
          ++pos;
        } else {
          break;
        }
      }
      if (!store(c)) return Result{kErrListSyntax};
    }
    if (pos < line.size() && !ends_text_value(line[pos])) return Result{kErrListSyntax};
    return kDone;
  }

  // The next value for one variable.
  Step next(bool text_variable) {
    if (repeat_left > 0) {
      --repeat_left;
      return value_null ? Step::null : Step::value;
    }
    for (;;) {
      if (const Result r = skip_blanks(); !r.ok()) {
        fail(r);
        return Step::stop;
      }
      const char c = line[pos];
      if (c == ',') {
        ++pos;
        if (comma_allowed) {
          comma_allowed = false;
          continue;
        }
        return Step::null;
      }
      if (c == '/') {
        slash = true;
        return Step::slash;
      }
      break;
    }
    comma_allowed = true;
    value_null = value_delimited = false;
    value_len = 0;
    std::size_t q = pos;
    while (q < line.size() && is_digit(line[q])) ++q;
    if (q > pos && q < line.size() && line[q] == '*') {
      long count = 0;
      for (std::size_t i = pos; i < q; ++i) {
        count = count * 10 + (line[i] - '0');
        if (count > std::numeric_limits<int>::max()) break;
      }
      if (count <= 0 || count > std::numeric_limits<int>::max()) {
        fail(Result{kErrListSyntax});
        return Step::stop;
      }
      pos = q + 1;
      repeat_left = count - 1;
      if (pos >= line.size() || ends_text_value(line[pos])) {
        value_null = true;
        return Step::null;
      }
    }
    const char c = line[pos];
    const Result r = (c == '\'' || c == '"') ? scan_delimited() : scan_plain(text_variable);
    if (!r.ok()) {
      fail(r);
      return Step::stop;
    }
    return Step::value;
  }
};

}  // namespace

struct FreeReader::State : ReaderCore {};

FreeReader::FreeReader(int unit, Takes takes)
    : state_(detail::StatePool<State>::shared().acquire()) {
  state_->reset(&unit_for(unit), {}, takes);
}

FreeReader::FreeReader(std::string_view field, Takes takes)
    : state_(detail::StatePool<State>::shared().acquire()) {
  state_->reset(nullptr, field, takes);
}

FreeReader FreeReader::from_field(std::string_view field, Takes takes) {
  return FreeReader(field, takes);
}

FreeReader::FreeReader(FreeReader&& other) noexcept : state_(other.state_) {
  other.state_ = nullptr;
}

FreeReader::~FreeReader() {
  if (!state_) return;
  if (!state_->finished) finish();
  detail::StatePool<State>::shared().release(state_);
}

template <class Store>
FreeReader& FreeReader::item(bool text_variable, Store&& store) {
  State& s = *state_;
  if (s.stopped()) return *this;
  if (s.next(text_variable) != Step::value) return *this;
  if (const Result r = store(s.value_text(), s.value_delimited); !r.ok()) {
    s.fail(r);
  }
  return *this;
}

namespace {

// A value for a numeric or boolean variable: boolean (true/false) or a checked number.
struct NumericValue {
  bool is_boolean = false;
  bool truth = false;
  CheckedNumber number;
};

Result numeric_value(std::string_view v, bool delimited, NumericValue& out) {
  if (delimited) return Result{kErrListSyntax};
  if (is_boolean(v)) {
    out.is_boolean = true;
    out.truth = boolean_value(v);
    return kDone;
  }
  if (!check_number(v, out.number)) return Result{kErrListSyntax};
  return kDone;
}

// A value into a numeric variable: a boolean value gives -1 or 0, a number converts.
template <class T>
Result store_number(std::string_view v, bool delimited, T& target) {
  NumericValue nv;
  if (const Result r = numeric_value(v, delimited, nv); !r.ok()) return r;
  if (nv.is_boolean) {
    target = nv.truth ? T(-1) : T(0);
    return kDone;
  }
  if constexpr (std::is_floating_point_v<T>) {
    return to_float(nv.number, target);
  } else {
    std::int64_t x = 0;
    const Result r =
        to_integer(nv.number, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), x);
    if (r.ok()) target = static_cast<T>(x);
    return r;
  }
}

}  // namespace

FreeReader& FreeReader::operator>>(std::int32_t& v) {
  return item(false, [&](std::string_view t, bool d) { return store_number(t, d, v); });
}

FreeReader& FreeReader::operator>>(std::int16_t& v) {
  return item(false, [&](std::string_view t, bool d) { return store_number(t, d, v); });
}

FreeReader& FreeReader::operator>>(bool& v) {
  // A boolean is a 32-bit integer that counts as true when its lowest bit is set.
  return item(false, [&](std::string_view t, bool d) {
    std::int32_t x = 0;
    const Result r = store_number(t, d, x);
    if (r.ok()) v = (x & 1) != 0;
    return r;
  });
}

FreeReader& FreeReader::operator>>(float& v) {
  return item(false, [&](std::string_view t, bool d) { return store_number(t, d, v); });
}

FreeReader& FreeReader::operator>>(double& v) {
  return item(false, [&](std::string_view t, bool d) { return store_number(t, d, v); });
}

FreeReader& FreeReader::operator>>(std::span<char> text) {
  return item(true, [&](std::string_view t, bool) {
    const std::size_t n = std::min(t.size(), text.size());
    std::copy(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n), text.begin());
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(n), text.end(), ' ');
    return kDone;
  });
}

FreeReader& FreeReader::operator>>(std::span<float> values) {
  for (float& v : values) *this >> v;
  return *this;
}

Result FreeReader::finish() {
  State& s = *state_;
  if (s.finished) return s.result;
  // A transfer that took no value from a unit still passes over one record.
  if (s.result.ok() && s.unit && !s.record_read) {
    if (const Result r = s.fetch_line(); !r.ok()) s.fail(r);
  }
  s.finished = true;
  return s.result;
}

}  // namespace io
