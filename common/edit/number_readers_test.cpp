// The two readers of decimal numbers side by side: the free layout's and the fixed
// layouts' (an F item of the text's width and no implied digits). On a text that both
// take as one number they give the same value bit for bit, in float and in double, and
// fail alike on a value beyond the target; where their rules differ (blanks, the
// implied point, the scale factor, separators, exponents without a letter, infinity
// and NaN, lone signs and points) each keeps its own outcome.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/free.h"
#include "common/edit/internal_file.h"
#include "common/edit/layout.h"

namespace {

// The outcome of one read: the transfer's code and, when it is 0, the value's bits.
struct Outcome {
  int code = 0;
  std::uint64_t bits = 0;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

template <class T>
std::uint64_t bits_of(T v) {
  if (std::isnan(v)) return 0x7ff8'0000'0000'0000u;  // any NaN reads as "a NaN"
  if constexpr (std::is_same_v<T, float>) return std::bit_cast<std::uint32_t>(v);
  else return std::bit_cast<std::uint64_t>(v);
}

template <class T>
Outcome value(T v) {
  return {0, bits_of(v)};
}
constexpr Outcome kOverflow{64};  // input conversion error: no such number in the target
constexpr Outcome kSyntax{59};    // list-directed syntax error
constexpr Outcome kBadField{64};  // a fixed field that does not read as its item
constexpr Outcome kNoValue{-1};   // a text field without a value: end of data

template <class T>
Outcome free_read(std::string_view text) {
  T v = T(77);
  const io::Result r = (io::FreeReader::from_field(text, io::Takes::both) >> v).finish();
  return r.ok() ? value(v) : Outcome{r.code};
}

template <class T>
Outcome fixed_read_under(std::string_view text, io::Layout layout) {
  T v = T(77);
  auto reader = io::FixedReader::from_field(text, layout, io::Takes::both);
  reader >> v;
  const io::Result r = reader.finish();
  return r.ok() ? value(v) : Outcome{r.code};
}

// Under F<w>.0, w the text's length: no implied digits, no scale, blanks ignored.
template <class T>
Outcome fixed_read(std::string_view text) {
  const io::Item layout[] = {io::lay::F(static_cast<int>(text.size()), 0)};
  return fixed_read_under<T>(text, layout);
}

void PrintTo(const Outcome& o, std::ostream* os) {
  if (o.code != 0) *os << "error " << o.code;
  else *os << "bits 0x" << std::hex << o.bits << std::dec;
}

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

constexpr float kFloatMax = std::numeric_limits<float>::max();
constexpr double kDoubleMax = std::numeric_limits<double>::max();
constexpr float kFloatTiny = std::numeric_limits<float>::denorm_min();     // 2^-149
constexpr double kDoubleTiny = std::numeric_limits<double>::denorm_min();  // 2^-1074

// A text both readers take as one number, and its value in each target; nullopt: the
// value lies beyond the target's largest finite number (an overflow, error 64).
struct AgreedCase {
  std::string text;
  std::optional<float> as_float;
  std::optional<double> as_double;
};

std::vector<AgreedCase> agreed_cases() {
  // 1 + 2^-24 and 1 + 2^-53: exactly half-way between 1 and the next float or double.
  const std::string float_half = "1.000000059604644775390625";
  const std::string double_half = "1.00000000000000011102230246251565404236316680908203125";
  const float float_after_one = std::nextafter(1.0f, 2.0f);
  const double double_after_one = std::nextafter(1.0, 2.0);
  return {
      // signs, points, exponent letters E, D, Q in either case, exponent signs
      {"5", 5.0f, 5.0},
      {"+5", 5.0f, 5.0},
      {"-5", -5.0f, -5.0},
      {".5", 0.5f, 0.5},
      {"5.", 5.0f, 5.0},
      {"-.25", -0.25f, -0.25},
      {"1.5E2", 150.0f, 150.0},
      {"1.5e+2", 150.0f, 150.0},
      {"1.5E-2", 0.015f, 0.015},
      {"2.5d-1", 0.25f, 0.25},
      {"1D2", 100.0f, 100.0},
      {"2.5Q1", 25.0f, 25.0},
      {"2.5q-1", 0.25f, 0.25},
      {"1.E2", 100.0f, 100.0},
      {".5e1", 5.0f, 5.0},
      {"0.1", 0.1f, 0.1},
      {"-3.4028235", -3.4028235f, -3.4028235},
      {"1e0000000000000000003", 1000.0f, 1000.0},  // leading zeros of an exponent
      // zeros keep their sign, whatever the exponent
      {"0", 0.0f, 0.0},
      {"-0", -0.0f, -0.0},
      {"-0.000", -0.0f, -0.0},
      {"+0E5", 0.0f, 0.0},
      {"0e999999999999", 0.0f, 0.0},
      {"-0d-999999999999", -0.0f, -0.0},
      // leading zeros carry no digit; long digit strings are rounded once, exactly
      {"000123.4500", 123.45f, 123.45},
      {"0.000001", 1e-6f, 1e-6},
      {"0.00001e5", 1.0f, 1.0},
      {repeat('0', 1500) + "1", 1.0f, 1.0},
      {"0." + repeat('0', 1500) + "1e1501", 1.0f, 1.0},
      {"1" + repeat('0', 400) + "e-400", 1.0f, 1.0},
      {"12345678901234567890123456789", 12345678901234567890123456789.0f,
       12345678901234567890123456789.0},
      {repeat('1', 1000) + "e-999", 1.11111111111111111111111111111f,
       1.11111111111111111111111111111},
      // half-way cases: to even; any nonzero digit after them, however far, rounds up
      {float_half, 1.0f, 1.000000059604644775390625},
      {float_half + repeat('0', 900), 1.0f, 1.000000059604644775390625},
      {float_half + repeat('0', 900) + "1", float_after_one, 1.000000059604644775390625},
      {double_half, 1.0f, 1.0},
      {double_half + repeat('0', 900) + "1", 1.0f, double_after_one},
      {"1.5" + repeat('0', 1200) + "1e0", 1.5f, 1.5},
      // the largest finite values; beyond them an overflow, of either sign
      {"3.4028235e38", kFloatMax, 3.4028235e38},
      {"3.40282356779733661637539395458142568447e38", kFloatMax,
       3.40282356779733661637539395458142568447e38},
      {"3.40282356779733661637539395458142568448e38", std::nullopt,  // half-way: to even
       3.40282356779733661637539395458142568448e38},
      {"1e39", std::nullopt, 1e39},
      {"-1e39", std::nullopt, -1e39},
      {"1.7976931348623157e308", std::nullopt, kDoubleMax},
      {"1e309", std::nullopt, std::nullopt},
      {"-1e400", std::nullopt, std::nullopt},
      {"1e999999999999", std::nullopt, std::nullopt},
      {"0." + repeat('0', 1000) + "1e100000000", std::nullopt, std::nullopt},
      // subnormals: the nearest one; below half the smallest: a zero of the value's sign
      {"1e-40", 1e-40f, 1e-40},
      {"1e-45", kFloatTiny, 1e-45},
      {"7.1e-46", kFloatTiny, 7.1e-46},
      {"7e-46", 0.0f, 7e-46},
      {"-1e-46", -0.0f, -1e-46},
      {"4.9406564584124654e-324", 0.0f, kDoubleTiny},
      {"2.5e-324", 0.0f, kDoubleTiny},
      {"2e-324", 0.0f, 0.0},
      {"-1e-400", -0.0f, -0.0},
      {"1e-999999999999", 0.0f, 0.0},
      {repeat('9', 1000) + "e-1400", 0.0f, 0.0},
  };
}

TEST(NumberReaders, AgreeOnTheTextsBothTakeAsANumber) {
  for (const AgreedCase& c : agreed_cases()) {
    const std::string_view text = c.text;
    const std::string label = text.size() > 60 ? std::string(text.substr(0, 60)) + "..." : c.text;
    const Outcome want_f = c.as_float ? value(*c.as_float) : kOverflow;
    const Outcome want_d = c.as_double ? value(*c.as_double) : kOverflow;
    EXPECT_EQ(free_read<float>(text), want_f) << "free, float: " << label;
    EXPECT_EQ(fixed_read<float>(text), want_f) << "fixed, float: " << label;
    EXPECT_EQ(free_read<double>(text), want_d) << "free, double: " << label;
    EXPECT_EQ(fixed_read<double>(text), want_d) << "fixed, double: " << label;
  }
}

// Numbers of every shape from a fixed sequence: signs, digit runs, a point anywhere,
// exponent letters, signs and lengths. Whatever each value is, the readers agree on it.
TEST(NumberReaders, AgreeOnGeneratedNumbers) {
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  auto next = [&state](std::uint64_t n) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (state >> 33) % n;
  };
  constexpr std::string_view kLetters = "EeDdQq";
  for (int k = 0; k < 20000; ++k) {
    std::string text;
    if (const auto s = next(4); s == 1) text += '-';
    else if (s == 2) text += '+';
    const std::size_t digits = 1 + next(k % 10 == 0 ? 60 : 20);
    const std::size_t point = next(digits + 2);  // digits + 1: no point
    for (std::size_t i = 0; i < digits; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + (next(3) == 0 ? 0 : next(10)));
    }
    if (point == digits) text += '.';
    if (next(3) != 0) {
      text += kLetters[next(kLetters.size())];
      if (const auto s = next(3); s == 1) text += '-';
      else if (s == 2) text += '+';
      const std::size_t exp_digits = 1 + next(3);
      for (std::size_t i = 0; i < exp_digits; ++i) text += static_cast<char>('0' + next(10));
    }
    ASSERT_EQ(free_read<float>(text), fixed_read<float>(text)) << text;
    ASSERT_EQ(free_read<double>(text), fixed_read<double>(text)) << text;
  }
}

// Where the rules differ. The fixed side reads the text under its own format text.
struct DifferingCase {
  std::string text;
  const char* format;  // for the fixed reader
  Outcome free_float;
  Outcome fixed_float;
};

std::vector<DifferingCase> differing_cases() {
  const float inf = std::numeric_limits<float>::infinity();
  return {
      // blanks: inside a fixed field ignored (or zeros under BZ); in the free layout a
      // separator, the rest of the field then unread
      {"1 5", "(F3.0)", value(1.0f), value(15.0f)},
      {"1 5", "(BZ,F3.0)", value(1.0f), value(105.0f)},
      {"- 1", "(F3.0)", kSyntax, value(-1.0f)},
      {"1.5E 2", "(F6.0)", value(1.5f), value(150.0f)},
      {"", "(F8.2)", kNoValue, value(0.0f)},
      {"   ", "(F3.0)", kNoValue, value(0.0f)},
      // the implied point of a fixed item: its last d digits, exponent or not
      {"12345", "(F8.2)", value(12345.0f), value(123.45f)},
      {"1e5", "(F3.2)", value(1e5f), value(1e3f)},
      {"1.5", "(F3.2)", value(1.5f), value(1.5f)},  // a point overrides it
      // the scale factor divides a fixed value without an exponent
      {"1.5", "(2P,F3.0)", value(1.5f), value(0.015f)},
      {"1.5e1", "(2P,F5.0)", value(15.0f), value(15.0f)},
      // separators end a free value: tab, comma, slash, closing parenthesis
      {"1.5\t", "(F4.0)", value(1.5f), kBadField},
      {"1,5", "(F3.0)", value(1.0f), kBadField},
      {"2/", "(F2.0)", value(2.0f), kBadField},
      {"1.5)", "(F4.0)", value(1.5f), kBadField},
      // an exponent: without a letter only in a fixed field; a letter without digits
      // only in the free layout
      {"15+3", "(F4.0)", kSyntax, value(15000.0f)},
      {"1.5-3", "(F5.0)", kSyntax, value(1.5e-3f)},
      {"1e", "(F2.0)", value(1.0f), kBadField},
      {"1.5D", "(F4.0)", value(1.5f), kBadField},
      // infinity, NaN, booleans
      {"Inf", "(F3.0)", kSyntax, value(inf)},
      {"-Infinity", "(F9.0)", kSyntax, value(-inf)},
      {"NaN", "(F3.0)", kSyntax, value(std::numeric_limits<float>::quiet_NaN())},
      {"T", "(F1.0)", value(-1.0f), kBadField},
      {".F.", "(F3.0)", value(0.0f), kBadField},
      // a lone sign reads zero in a fixed field
      {"-", "(F1.0)", kSyntax, value(-0.0f)},
      {"+", "(F1.0)", kSyntax, value(0.0f)},
      // malformed in both, under each reader's own error
      {".", "(F1.0)", kSyntax, kBadField},
      {"1.2.3", "(F5.0)", kSyntax, kBadField},
      {"1e5e5", "(F5.0)", kSyntax, kBadField},
      {"e5", "(F2.0)", kSyntax, kBadField},
      {"+e5", "(F3.0)", kSyntax, kBadField},
      {".e5", "(F3.0)", kSyntax, kBadField},
      {"1e+", "(F3.0)", kSyntax, kBadField},
      {"+-5", "(F3.0)", kSyntax, kBadField},
      {"1.5x", "(F4.0)", kSyntax, kBadField},
      // a free value longer than 2048 characters
      {repeat('0', 2100) + "1", "(F2101.0)", kSyntax, value(1.0f)},
  };
}

TEST(NumberReaders, KeepTheirOwnRulesWhereTheyDiffer) {
  for (const DifferingCase& c : differing_cases()) {
    const std::string label = c.text.size() > 40 ? c.text.substr(0, 40) + "..." : c.text;
    const Outcome free = free_read<float>(c.text);
    const Outcome fixed =
        fixed_read_under<float>(c.text, io::format_layout(c.format, io::kInternalUnit));
    EXPECT_EQ(free, c.free_float) << "free '" << label << "'";
    EXPECT_EQ(fixed, c.fixed_float) << c.format << " '" << label << "'";
  }
}

}  // namespace
