// Free-layout number editing: the 15-column float forms, values in text fields, and the
// rounding core under them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "common/edit/float_digits.h"
#include "common/edit/free.h"

namespace {

std::string float_text(float v) {
  std::array<char, 15> out;
  EXPECT_EQ(io::free_float_text(v, out), 15);
  return {out.data(), out.size()};
}

struct FloatCase {
  float value;
  const char* expected;
};

TEST(FreeFloatText, Forms) {
  const FloatCase cases[] = {
      {0.0f, "  0.0000000E+00"},
      {-0.0f, " -0.0000000E+00"},
      {0.1f, "  0.1000000    "},
      {std::nextafter(0.1f, 0.0f), "  9.9999994E-02"},
      {9999999.0f, "   9999999.    "},
      {-9999999.0f, "  -9999999.    "},
      {10000000.0f, "  1.0000000E+07"},
      {-1.0e-30f, " -1.0000000E-30"},
      {1.0e32f, "  1.0000000E+32"},
      {-1.0e32f, " -1.0000000E+32"},
      {52.5f, "   52.50000    "},
      {0.5f, "  0.5000000    "},
      {1.0f, "   1.000000    "},
      {1.5f, "   1.500000    "},
      {-3.25f, "  -3.250000    "},
      {123456789.0f, "  1.2345679E+08"},
      // The exponent is that of the 7-digit rounding; the digits scale the exact value.
      {0.01f, "  1.0000000E-02"},
      {0.03f, "  2.9999999E-02"},
      {std::nextafter(1.0f, 0.0f), "  0.9999999    "},
      // Exact ties go to the even digit.
      {1234.5625f, "   1234.562    "},
      {4.1015625f, "   4.101562    "},
      {0.000244140625f, "  2.4414062E-04"},
      {0.000732421875f, "  7.3242188E-04"},
      {std::numeric_limits<float>::max(), "  3.4028235E+38"},
      {std::numeric_limits<float>::denorm_min(), "  1.4012985E-45"},
      {std::numeric_limits<float>::infinity(), "       Infinity"},
      {-std::numeric_limits<float>::infinity(), "      -Infinity"},
      {std::numeric_limits<float>::quiet_NaN(), "            NaN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(float_text(c.value), c.expected) << "value " << c.value;
  }
}

TEST(FreeToField, ValueFromFirstColumnRestBlank) {
  std::string field(68, 'x');
  io::free_to_field(field, std::int32_t{5});
  EXPECT_EQ(field, std::string(11, ' ') + "5" + std::string(56, ' '));

  io::free_to_field(field, -123.5f);
  EXPECT_EQ(field, "  -123.5000" + std::string(57, ' '));

  io::free_to_field(field, std::int32_t{-2147483647 - 1});
  EXPECT_EQ(field, " -2147483648" + std::string(56, ' '));
}

TEST(FreeToField, NarrowFieldNeverCutsANumber) {
  std::string field(4, 'x');
  io::free_to_field(field, std::int32_t{42});
  EXPECT_EQ(field, "  42");
  io::free_to_field(field, std::int32_t{123456});
  EXPECT_EQ(field, "****");
}

TEST(FloatDigits, RoundSignificant) {
  auto d = io::detail::round_significant(123456789.0, 7);
  EXPECT_EQ(d.text(), "1234568");
  EXPECT_EQ(d.exponent, 8);
  EXPECT_FALSE(d.negative);

  d = io::detail::round_significant(-9.9999996, 7);  // the carry makes a new leading digit
  EXPECT_EQ(d.text(), "1000000");
  EXPECT_EQ(d.exponent, 1);
  EXPECT_TRUE(d.negative);

  d = io::detail::round_significant(2.5, 1);  // tie to even
  EXPECT_EQ(d.text(), "2");
  d = io::detail::round_significant(3.5, 1);
  EXPECT_EQ(d.text(), "4");

  d = io::detail::round_significant(0.0, 3);
  EXPECT_EQ(d.text(), "000");
  EXPECT_EQ(d.exponent, 0);

  d = io::detail::round_significant(double(0.1f), 20);  // exact binary value of the float
  EXPECT_EQ(d.text(), "10000000149011611938");
  EXPECT_EQ(d.exponent, -1);

  d = io::detail::round_significant(-std::numeric_limits<double>::infinity(), 5);
  EXPECT_EQ(d.kind, io::detail::NumberClass::infinite);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(io::detail::round_significant(std::nan(""), 5).kind, io::detail::NumberClass::nan);
}

TEST(FloatDigits, RoundDecimals) {
  auto d = io::detail::round_decimals(0.125, 2);  // tie to even
  EXPECT_EQ(d.text(), "12");
  EXPECT_EQ(d.exponent, -1);
  EXPECT_EQ(d.digit_at(0), '0');
  EXPECT_EQ(d.digit_at(-1), '1');
  EXPECT_EQ(d.digit_at(-2), '2');

  d = io::detail::round_decimals(-1234.5678, 1);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(d.text(), "12346");
  EXPECT_EQ(d.exponent, 3);

  d = io::detail::round_decimals(0.001, 2);  // rounds to zero
  EXPECT_EQ(d.count, 0);
  EXPECT_EQ(d.exponent, -3);
  EXPECT_EQ(d.digit_at(-2), '0');

  d = io::detail::round_decimals(1e300, 2);  // room for a double's integer digits
  EXPECT_EQ(d.count, 303);
  EXPECT_EQ(d.exponent, 300);
}

}  // namespace
