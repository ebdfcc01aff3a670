// Write transfers under fixed layouts and format texts: every item kind, the G
// boundaries, asterisks, reversion, and writing into text fields.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/layout.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"

namespace {

using Value = std::variant<std::string, std::int32_t, std::int16_t, bool, float, double>;

void put(io::FixedWriter& w, const Value& v) {
  std::visit([&w](const auto& x) { w << x; }, v);
}

constexpr int kUnit = 23;

class FixedWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  std::string bytes() {
    io::close(kUnit);
    return mttest::read_file(path_);
  }
  // One transfer under the format text; the file's records.
  std::string write(std::string_view format, const std::vector<Value>& values) {
    EXPECT_EQ(io::open(kUnit, path_, io::OpenSpec{}, io::Takes::errors), io::kDone);
    {
      io::FixedWriter w(kUnit, io::format_layout(format, kUnit));
      for (const Value& v : values) put(w, v);
    }
    return bytes();
  }
  mttest::TempDir dir_;
  std::string path_ = (dir_ / "out.txt").string();
};

struct Case {
  const char* format;
  std::vector<Value> values;
  std::string expected;  // one record unless it holds CR LF
};

const float kInf = std::numeric_limits<float>::infinity();

TEST_F(FixedWriterTest, ItemsTable) {
  const std::vector<Case> cases = {
      // text
      {"(A)", {std::string("abc")}, "abc"},
      {"(A5)", {std::string("abc")}, "  abc"},
      {"(A2)", {std::string("abc")}, "ab"},
      // integers
      {"(I5)", {std::int32_t{42}}, "   42"},
      {"(I5)", {std::int32_t{-42}}, "  -42"},
      {"(I2.2)", {std::int32_t{5}}, "05"},
      {"(I2.2)", {std::int32_t{123}}, "**"},
      {"(I3.3)", {std::int32_t{7}}, "007"},
      {"(I4.3)", {std::int32_t{-7}}, "-007"},
      {"(I3.3)", {std::int32_t{-7}}, "***"},
      {"(I3.0)", {std::int32_t{0}}, "   "},
      {"(I2)", {std::int32_t{-10}}, "**"},
      {"(I7)", {std::int16_t{-32768}}, " -32768"},
      {"(SP,I3,SS,I3,S,I3)", {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}}, " +1  2  3"},
      // fixed point: the optional 0, rounding ties to even on the exact value
      {"(F9.6)", {100.0f}, "*********"},
      {"(F8.2)", {3.14159f}, "    3.14"},
      {"(F5.3)", {0.5f}, "0.500"},
      {"(F4.3)", {0.5f}, ".500"},
      {"(F5.3)", {-0.5f}, "-.500"},
      {"(F6.1)", {2.25f}, "   2.2"},
      {"(F6.1)", {2.75f}, "   2.8"},
      {"(F6.1)", {0.35f}, "   0.3"},  // the float lies below 0.35
      {"(F5.2)", {0.125f}, " 0.12"},
      {"(F5.1)", {-0.0f}, " -0.0"},
      {"(F4.0)", {-2.5f}, " -2."},
      {"(F3.0)", {0.4f}, " 0."},
      {"(SP,F5.1)", {1.5f}, " +1.5"},
      {"(F12.4)", {-1.0e-30f}, "     -0.0000"},
      // exponent forms
      {"(E10.3)", {12340.0f}, " 0.123E+05"},
      {"(1P,E10.3)", {12340.0f}, " 1.234E+04"},
      {"(1PE10.3)", {12340.0f}, " 1.234E+04"},
      {"(E9.3)", {12340.0f}, "0.123E+05"},
      {"(E8.3)", {12340.0f}, ".123E+05"},
      {"(E7.3)", {12340.0f}, "*******"},
      {"(E10.3)", {-12340.0f}, "-0.123E+05"},
      {"(E10.3)", {0.0f}, " 0.000E+00"},
      {"(E10.2)", {0.125f}, "  0.12E+00"},
      {"(E10.2)", {0.375f}, "  0.38E+00"},
      {"(2PE10.3)", {12340.0f}, " 12.34E+03"},
      {"(-1PE10.3)", {12340.0f}, " 0.012E+06"},
      {"(E12.4E3)", {12340.0f}, " 0.1234E+005"},
      {"(E10.3E1)", {12340.0f}, "  0.123E+5"},
      {"(E10.3E1)", {1.0e10f}, "**********"},
      {"(E12.4)", {1.0e100}, "  0.1000+101"},
      {"(E14.6)", {-1.0e-30f}, " -0.100000E-29"},
      {"(D10.3)", {12340.0f}, " 0.123D+05"},
      {"(ES10.3)", {12340.0f}, " 1.234E+04"},
      {"(ES10.3)", {0.0f}, " 0.000E+00"},
      {"(EN10.3)", {12340.0f}, "12.340E+03"},
      {"(EN11.3)", {0.5f}, "500.000E-03"},
      {"(EN10.2)", {999.996f}, "  1.00E+03"},
      {"(EN10.3)", {1.0f}, " 1.000E+00"},
      // general: fixed form then 4 blanks (e + 2 with Ee), else exponent form
      {"(G12.5)", {0.0f}, "  0.0000    "},
      {"(G12.5)", {52.5f}, "  52.500    "},
      {"(G12.5)", {0.5f}, " 0.50000    "},
      {"(G12.5)", {99999.0f}, "  99999.    "},
      {"(G12.5)", {99999.5f}, " 0.10000E+06"},  // rounds up to 10 to the 5
      {"(G12.5)", {123456.0f}, " 0.12346E+06"},
      {"(G12.5)", {0.09f}, " 0.90000E-01"},
      {"(G12.5)", {-1.5f}, " -1.5000    "},
      {"(G12.3E3)", {5.0f}, "   5.00     "},
      {"(G12.3E3)", {5000.0f}, "  0.500E+004"},
      {"(1P,G12.5)", {5.0f}, "  5.0000    "},  // no scale in the fixed form
      {"(1P,G12.5)", {123456.0f}, " 1.23456E+05"},
      {"(G12.5)", {std::int32_t{42}}, "          42"},
      {"(G12.5)", {0.1f}, " 0.10000    "},
      {"(G12.5)", {0.09999999f}, " 0.10000    "},  // rounds up to 0.1: fixed form
      {"(G12.5)", {0.0999949f}, " 0.99995E-01"},
      {"(G12.5)", {999.9949951171875f}, "  999.99    "},  // decided after rounding
      {"(G10.3)", {999.4f}, "  999.    "},
      {"(G10.3)", {999.6f}, " 0.100E+04"},
      {"(G12.5)", {1.03125f}, "  1.0312    "},  // ties to even
      {"(G12.5)", {1.09375f}, "  1.0938    "},
      {"(E11.4)", {0.40625f}, " 0.4062E+00"},
      {"(E11.4)", {0.21875f}, " 0.2188E+00"},
      // a negative zero shows its sign
      {"(E10.3)", {-0.0f}, "-0.000E+00"},
      {"(ES10.3)", {-0.0f}, "-0.000E+00"},
      {"(G12.5)", {-0.0f}, " -0.0000    "},
      // booleans
      {"(L)", {true}, " T"},
      {"(L3)", {false}, "  F"},
      {"(L1,L2)", {true, false}, "T F"},
      // positions: a skip at the end writes nothing
      {"(I3,2X,I3)", {std::int32_t{1}, std::int32_t{2}}, "  1    2"},
      {"(I3,5X)", {std::int32_t{1}}, "  1"},
      {"(T5,I1,TL3,I1,TR1,I1)", {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}}, "  2 3"},
      {"(T3,I1,T1,I1)", {std::int32_t{1}, std::int32_t{2}}, "2 1"},
      // literals
      {"('x=',I3)", {std::int32_t{5}}, "x=  5"},
      {"(\"it's\",I1)", {std::int32_t{5}}, "it's5"},
      {"('it''s',I1)", {std::int32_t{5}}, "it's5"},
      {"(3Habc,I1)", {std::int32_t{1}}, "abc1"},
      {"(3H(,),I1)", {std::int32_t{1}}, "(,)1"},
      {"(I3,'end')", {std::int32_t{1}}, "  1end"},
      {"(I3,:,'end')", {std::int32_t{1}}, "  1"},
      {"('a',I2,'b',I2,'c')", {std::int32_t{1}}, "a 1b"},
      {"('only')", {}, "only"},
      // octal, hexadecimal, base 2
      {"(B8,O4,Z4)", {std::int32_t{5}, std::int32_t{8}, std::int32_t{255}}, "     101  10  FF"},
      {"(Z8.8)", {std::int32_t{-1}}, "FFFFFFFF"},
      {"(Z4)", {std::int16_t{-1}}, "FFFF"},
      {"(B4.3)", {std::int32_t{1}}, " 001"},
      {"(Z8)", {1.0f}, "3F800000"},
      {"(B2)", {std::int32_t{7}}, "**"},
      // infinities and NaN
      {"(F9.3)", {kInf}, " Infinity"},
      {"(F8.3)", {-kInf}, "********"},
      {"(E10.3)", {-kInf}, " -Infinity"},
      {"(F6.1)", {std::numeric_limits<float>::quiet_NaN()}, "   NaN"},
      {"(F8.3)", {kInf}, "Infinity"},
      {"(G12.5)", {kInf}, "    Infinity"},
      {"(F2.1)", {std::numeric_limits<float>::quiet_NaN()}, "**"},
      // scale factor stays in force for the rest of the layout, F included
      {"(1PE10.3,E10.3)", {12340.0f, 12340.0f}, " 1.234E+04 1.234E+04"},
      {"(1P,E10.3,F8.2)", {12340.0f, 1.5f}, " 1.234E+04   15.00"},
      {"(1P,E10.3,0P,E10.3)", {12340.0f, 12340.0f}, " 1.234E+04 0.123E+05"},
      // record ends, repeat counts and groups
      {"(I3/I3)", {std::int32_t{1}, std::int32_t{2}}, "  1\r\n  2"},
      {"(I1,2/I1)", {std::int32_t{1}, std::int32_t{2}}, "1\r\n\r\n2"},
      {"(2I3)", {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}}, "  1  2\r\n  3"},
      {"(2(I2),I3)",
       {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}, std::int32_t{4}, std::int32_t{5}},
       " 1 2  3\r\n 4 5"},
      {"(I2,2(I2,I3))",
       {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}, std::int32_t{4}, std::int32_t{5},
        std::int32_t{6}, std::int32_t{7}},
       " 1 2  3 4  5\r\n 6  7"},
      {"(I1,(I1,(I1)),I1)",
       {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}, std::int32_t{4}, std::int32_t{5},
        std::int32_t{6}, std::int32_t{7}},
       "1234\r\n567"},
      {"(F12.4)",
       {1.0f, 2.0f, 3.0f, 4.0f, 5.0f},
       "      1.0000\r\n      2.0000\r\n      3.0000\r\n      4.0000\r\n      5.0000"},
      {"(A,5(1X,F8.2))",
       {std::string("x"), 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f, 11.0f,
        12.0f},
       "x     1.00     2.00     3.00     4.00     5.00\r\n"
       "     6.00     7.00     8.00     9.00    10.00\r\n"
       "    11.00    12.00"},
      {"(5E14.6)",
       {1.0f, -2.5f, 1.0e-30f, 0.0f, 123456.0f},
       "  0.100000E+01 -0.250000E+01  0.100000E-29  0.000000E+00  0.123456E+06"},
  };
  for (const Case& c : cases) {
    std::string expected = c.expected + "\r\n";
    EXPECT_EQ(write(c.format, c.values), expected) << c.format;
  }
}

TEST_F(FixedWriterTest, ProgramLayoutsOfItems) {
  using namespace io::lay;
  static constexpr std::array kDate = {I(4),    Lit("-"), I(2, 2), Lit("-"),
                                       I(2, 2), X(1),     F(9, 6), Rep(2, G(12, 5))};
  static_assert(io::valid_layout(kDate));
  ASSERT_EQ(io::open(kUnit, path_, io::OpenSpec{}, io::Takes::errors), io::kDone);
  io::FixedWriter(kUnit, kDate) << std::int32_t{2024} << std::int32_t{3} << std::int32_t{7} << 0.5f
                                << 0.0f << 52.5f;
  static constexpr std::array kPrompt = {A(), NoEnd()};
  io::FixedWriter(kUnit, kPrompt) << "Give x >";
  io::FixedWriter(kUnit, kPrompt) << " 5";
  static constexpr std::array kMore = {ES(10, 2), EN(10, 2), D(10, 2), TL(1), TR(1),
                                       Colon(),   SP(),      SS(),     S(),   BN(),
                                       BZ(),      Q(),       B(3),     O(3),  Z(3)};
  static_assert(io::valid_layout(kMore));
  io::FixedWriter(kUnit, kMore) << 1500.0f << 1500.0f << 1500.0f << std::int32_t{5}
                                << std::int32_t{9} << std::int32_t{255};
  EXPECT_EQ(bytes(), tstest::text_lines({"2024-03-07  0.500000  0.0000      52.500    ",
                                         "Give x > 5  1.50E+03  1.50E+03  0.15D+04101 11 FF"}));
}

TEST_F(FixedWriterTest, NoLineEndLeavesTheLineOpen) {
  EXPECT_EQ(write("(I1,$)", {std::int32_t{1}}), "1");
  EXPECT_EQ(write("(I1,\\)", {std::int32_t{1}}), "1");
}

TEST_F(FixedWriterTest, SameTextAppliedAnewPerRecord) {
  // Scale and sign settings of one transfer do not carry into the next.
  ASSERT_EQ(io::open(kUnit, path_, io::OpenSpec{}, io::Takes::errors), io::kDone);
  for (int k = 0; k < 2; ++k) {
    io::FixedWriter(kUnit, io::format_layout("(E10.3,SP,1P,E10.3)", kUnit)) << 1.0f << 1.0f;
  }
  EXPECT_EQ(bytes(), tstest::text_lines({" 0.100E+01+1.000E+00", " 0.100E+01+1.000E+00"}));
}

struct FieldCase {
  io::Layout layout;
  std::vector<Value> values;
  std::size_t size;
  std::string expected;
  int code;
};

TEST(FixedFieldWrite, FieldIsTheOnlyRecord) {
  using namespace io::lay;
  static constexpr std::array kTwo = {I(3), I(3)};
  static constexpr std::array kSlash = {I(3), Slash(), I(3)};
  static constexpr std::array kSkip = {I(3), X(4)};
  static constexpr std::array kInt = {I(3)};
  static constexpr std::array kText = {A()};
  const std::vector<FieldCase> cases = {
      {kTwo, {std::int32_t{1}, std::int32_t{2}}, 8, "  1  2  ", 0},
      {kSkip, {std::int32_t{1}}, 3, "  1", 0},  // a skip past the end is no write
      {kTwo, {std::int32_t{1}, std::int32_t{2}}, 5, "  1  ", 66},       // past the end
      {kSlash, {std::int32_t{1}, std::int32_t{2}}, 8, "  1     ", 66},  // a second record
      {kInt, {std::int32_t{1}, std::int32_t{2}}, 8, "  1     ", 66},  // reversion: a second record
      {kText, {std::string("abcdef")}, 4, "    ", 66},
      {kInt, {1.5f}, 4, "    ", 61},  // integer item for a float
      {kText, {std::int32_t{1}}, 4, "    ", 61},
  };
  for (const FieldCase& c : cases) {
    std::string field(c.size, '#');
    auto w = io::FixedWriter::to_field(field, c.layout, io::Takes::errors);
    for (const Value& v : c.values) put(w, v);
    EXPECT_EQ(w.end().code, c.code) << c.expected;
    EXPECT_EQ(field, c.expected);
  }
}

TEST(FixedFieldWrite, UntakenErrorEndsTheProgram) {
  const auto r = mttest::run_child(
      [] {
        static constexpr std::array kInt = {io::lay::I(3)};
        std::array<char, 2> field{};
        io::FixedWriter::to_field(field, kInt) << std::int32_t{1};
      },
      "");
  EXPECT_EQ(r.status, 66);
  EXPECT_NE(r.err.find("(66): output statement overflows record, unit -5"), std::string::npos)
      << r.err;
}

TEST(FixedUnitWrite, MismatchOnAUnitEndsTheProgram) {
  const auto r =
      mttest::run_child([] { io::FixedWriter(6, io::format_layout("(5I5)", 6)) << 1.5f; }, "");
  EXPECT_EQ(r.status, 61);
  EXPECT_NE(r.err.find("(61): format/variable-type mismatch, unit -1"), std::string::npos) << r.err;
}

TEST(FixedUnitWrite, PositionBeyondTheLongestRecordOverflows) {
  const auto r = mttest::run_child(
      [] { io::FixedWriter(6, io::format_layout("(9000(30000X),F8.2)", 6)) << 1.0f; }, "");
  EXPECT_EQ(r.status, 66);
  EXPECT_NE(r.err.find("(66): output statement overflows record, unit -1"), std::string::npos)
      << r.err;
}

TEST(FixedUnitWrite, LayoutWithoutDataItemsCannotTakeValues) {
  // Reversion would never reach a data item: an error, not an endless loop.
  const auto r = mttest::run_child(
      [] { io::FixedWriter(6, io::format_layout("('x')", 6)) << std::int32_t{1}; }, "");
  EXPECT_EQ(r.status, 61);
  EXPECT_NE(r.err.find("(61)"), std::string::npos) << r.err;
}

}  // namespace
