// Read transfers under fixed layouts and format texts: every item kind on text fields,
// records read from a unit (short records, reversion, "/", end of file), blanks read
// as zeros, the scale factor on input, and the errors 61 and 64.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/internal_file.h"
#include "common/edit/layout.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"

namespace {

// A text variable of a given length, compared with its expected contents.
struct Text {
  std::string value;
  friend bool operator==(const Text&, const Text&) = default;
};
using Value = std::variant<Text, std::int32_t, std::int16_t, bool, float>;

// Reads one value of the expected value's kind into a variable preset to a marker.
Value read_like(io::FixedReader& r, const Value& like) {
  return std::visit(
      [&r](const auto& e) -> Value {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, Text>) {
          std::string s(e.value.size(), '#');
          r >> s;
          return Text{s};
        } else if constexpr (std::is_same_v<T, bool>) {
          bool b = !e;
          r >> b;
          return b;
        } else {
          T v = T(-99);
          r >> v;
          return v;
        }
      },
      like);
}

std::string show(const Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, Text>) return "'" + x.value + "'";
        else if constexpr (std::is_same_v<T, float>) return std::to_string(x);
        else return std::to_string(static_cast<long>(x));
      },
      v);
}

// Floats compare by their bits (the sign of zero, exact rounding).
bool same(const Value& a, const Value& b) {
  const auto* fa = std::get_if<float>(&a);
  const auto* fb = std::get_if<float>(&b);
  if (fa != nullptr && fb != nullptr)
    return std::bit_cast<std::uint32_t>(*fa) == std::bit_cast<std::uint32_t>(*fb);
  return a == b;
}

struct FieldCase {
  const char* format;
  std::string field;
  std::vector<Value> expected;  // the values read, or for a failure the kinds read
  int code = 0;                 // 0, 61, 64, or -1 (end of data)
};

TEST(FixedFieldRead, ItemsTable) {
  const std::vector<FieldCase> cases = {
      // text without width takes the variable's length; with width w
      {"(A)", "abcdefg", {Text{"abcde"}}},
      {"(A)", "ab", {Text{"ab   "}}},        // past the field's end: blanks
      {"(A7)", "abcdefg", {Text{"cdefg"}}},  // w >= length: rightmost
      {"(A5)", "abcdefg", {Text{"abcde"}}},
      {"(A3)", "abcdefg", {Text{"abc  "}}},  // w < length: left-justified
      {"(A4)", "ab", {Text{"b  "}}},         // the w read include blanks
      {"(A2,A)", "abcd", {Text{"ab"}, Text{"cd "}}},
      // integers: blanks ignored, blank field 0, anything else error 64
      {"(I5)", "  -42", {std::int32_t{-42}}},
      {"(I5)", " 4 2 ", {std::int32_t{42}}},
      {"(I5)", "+7   ", {std::int32_t{7}}},
      {"(I5)", "     ", {std::int32_t{0}}},
      {"(I5)", "", {std::int32_t{0}}},
      {"(I2,I3)", "12345", {std::int32_t{12}, std::int32_t{345}}},
      {"(I3.3)", "007", {std::int32_t{7}}},
      {"(I7)", " -32768", {std::int16_t{-32768}}},
      {"(I11)", "-2147483648", {std::int32_t{std::numeric_limits<std::int32_t>::min()}}},
      {"(I5)", "  1.5", {std::int32_t{0}}, 64},
      {"(I5)", "  12a", {std::int32_t{0}}, 64},
      {"(I5)", "  ***", {std::int32_t{0}}, 64},
      {"(I5)", " 1-2 ", {std::int32_t{0}}, 64},
      {"(I6)", " 32768", {std::int16_t{0}}, 64},  // beyond the variable
      {"(I11)", "99999999999", {std::int32_t{0}}, 64},
      {"(I20)", "18446744073709551620", {std::int32_t{0}}, 64},  // wraps to 4 in 64 bits
      {"(I21)", "-18446744073709551620", {std::int32_t{0}}, 64},
      {"(I5)", " 4\t2 ", {std::int32_t{0}}, 64},  // a tab is not a blank
      {"(I5)", "\t  42", {std::int32_t{0}}, 64},
      // blanks read as zeros after BZ, ignored again after BN
      {"(BZ,I5)", " 1 2 ", {std::int32_t{1020}}},
      {"(BZ,I3,BN,I3)", "1  1  ", {std::int32_t{100}, std::int32_t{1}}},
      {"(BZ,I3)", "1", {std::int32_t{1}}},  // a short record is not padded with zeros
      // fixed point and the other float items: a field without a point takes d digits
      {"(F8.2)", "   12345", {123.45f}},
      {"(F8.2)", "12345", {123.45f}},
      {"(F8.2)", "     1.5", {1.5f}},
      {"(F8.2)", "  -1.5e3", {-1500.0f}},
      {"(F8.2)", "1.5E+03", {1500.0f}},
      {"(F8.2)", "1.5d-1", {0.15f}},
      {"(F8.2)", "15+3", {150.0f}},  // an exponent after the sign alone
      {"(F8.2)", "15-3", {1.5e-4f}},
      {"(F8.2)", "1 2 3", {1.23f}},
      {"(F8.2)", ".5", {0.5f}},
      {"(F8.2)", "5.", {5.0f}},
      {"(F8.2)", "", {0.0f}},
      {"(F3.1)", "123456", {12.3f}},
      {"(E12.4)", "1234", {0.1234f}},
      {"(E12.4)", "  .1E-29", {1.0e-30f}},
      {"(ES12.4,EN12.3,D12.4,G12.5)",
       "1.5E2       15          1.5D+01     52.5",
       {150.0f, 0.015f, 15.0f, 52.5f}},
      {"(F12.4)", "3.4028235e38", {3.4028235e38f}},
      {"(F12.4)", "    Infinity", {std::numeric_limits<float>::infinity()}},
      {"(F12.4)", "-Inf", {-std::numeric_limits<float>::infinity()}},
      {"(BZ,F8.2)", "1 2 3   ", {102030.0f}},
      {"(BZ,F8.2)", "  1.5e1 ", {1.5e10f}},
      {"(F8.2)", "1.2.3", {0.0f}, 64},
      {"(F8.2)", "abc", {0.0f}, 64},
      {"(F8.2)", "1e", {0.0f}, 64},
      {"(F8.2)", "1.5x", {0.0f}, 64},
      {"(F8.2)", "1e99", {0.0f}, 64},       // no such float
      {"(F8.2)", "  1.5\t  ", {0.0f}, 64},  // a tab is not a blank
      {"(F8.2)", "\t1.5", {0.0f}, 64},
      {"(E12.4)", "1.5E\t1", {0.0f}, 64},
      {"(G12.5)", "\t", {0.0f}, 64},
      // the scale factor: the value is divided by 10^k unless the field has an exponent;
      // it stays in force for the rest of the layout
      {"(2P,F8.2)", "1.5", {0.015f}},
      {"(2P,F8.2)", "150", {0.015f}},
      {"(2P,F8.2)", "1.5E1", {15.0f}},
      {"(-2P,F8.2)", "1.5", {150.0f}},
      {"(1P,E8.2,F8.2)", "1.5     2.5", {0.15f, 0.25f}},
      {"(1PE8.2,0P,F8.2)", "1.5     2.5", {0.15f, 2.5f}},
      // booleans
      {"(L)", " T", {true}},
      {"(L)", "f", {false}},
      {"(L5)", "  .f.", {false}},
      {"(L3)", "  t", {true}},
      {"(L7)", " .TRUE.", {true}},
      {"(L2)", " x", {false}, 64},
      {"(L2)", "  ", {false}, 64},  // a blank field holds no T or F
      {"(L2)", "\tT", {false}, 64},
      // octal, hexadecimal, base 2
      {"(Z4)", "  FF", {std::int32_t{255}}},
      {"(Z4)", "  ff", {std::int32_t{255}}},
      {"(B8,O3)", "     10117 ", {std::int32_t{5}, std::int32_t{15}}},
      {"(Z8)", "FFFFFFFF", {std::int32_t{-1}}},
      {"(Z4)", "FFFF", {std::int16_t{-1}}},
      {"(Z8)", "3F800000", {1.0f}},
      {"(Z2)", "G1", {std::int32_t{0}}, 64},
      {"(O2)", "18", {std::int32_t{0}}, 64},
      // positions and the characters left (Q)
      {"(T3,I2)", "12345", {std::int32_t{34}}},
      {"(2X,I2)", "12345", {std::int32_t{34}}},
      {"(I1,TL1,I2)", "12345", {std::int32_t{1}, std::int32_t{12}}},
      {"(I1,TR2,I1)", "12345", {std::int32_t{1}, std::int32_t{4}}},
      {"(T4,I1,T1,I1)", "12345", {std::int32_t{4}, std::int32_t{1}}},
      {"(I2,Q)", "12345", {std::int32_t{12}, std::int32_t{3}}},
      {"(I2,Q)", "12", {std::int32_t{12}, std::int32_t{0}}},
      {"('ab',I2)", "xx12", {std::int32_t{12}}},  // a literal's columns are passed over
      // a text field holds one record
      {"(I2/I2)", "12", {std::int32_t{12}, std::int32_t{0}}, -1},
      {"(I2)", "1234", {std::int32_t{12}, std::int32_t{0}}, -1},  // reversion needs a record
      // an item that does not suit the variable
      {"(I5)", "    1", {0.0f}, 61},
      {"(L2)", " T", {0.0f}, 61},
      {"(A)", "abc", {0.0f}, 61},
      {"(F5.1)", "  1.0", {std::int32_t{0}}, 61},
      {"(F5.1)", "  1.0", {true}, 61},
  };
  for (const FieldCase& c : cases) {
    auto r = io::FixedReader::from_field(c.field, io::format_layout(c.format, io::kInternalUnit),
                                         io::Takes::both);
    std::vector<Value> got;
    for (const Value& like : c.expected) got.push_back(read_like(r, like));
    EXPECT_EQ(r.finish().code, c.code) << c.format << " '" << c.field << "'";
    if (c.code != 0) continue;
    for (std::size_t k = 0; k < got.size(); ++k)
      EXPECT_TRUE(same(got[k], c.expected[k]))
          << c.format << " '" << c.field << "' value " << k << ": " << show(got[k]) << " not "
          << show(c.expected[k]);
  }
}

TEST(FixedFieldRead, AfterAFailureTheVariablesKeepTheirContents) {
  auto r = io::FixedReader::from_field(" x  5", io::format_layout("(I2,I3)", io::kInternalUnit),
                                       io::Takes::errors);
  std::int32_t a = 7, b = 8;
  r >> a >> b;
  EXPECT_EQ(r.finish().code, 64);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 8);
}

TEST(FixedFieldRead, ProgramLayoutOfItems) {
  using namespace io::lay;
  static constexpr std::array kWindow = {A(8), X(1), I(3), X(1), I(1), X(1), A(19)};
  static_assert(io::valid_layout(kWindow));
  std::string name(8, ' '), start(19, ' ');
  std::int32_t instrument = 0, channels = 0;
  auto r = io::FixedReader::from_field("kvt101a1 123 5 2024-03-07 10:00:00", kWindow,
                                       io::Takes::neither);
  r >> name >> instrument >> channels >> start;
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(name, "kvt101a1");
  EXPECT_EQ(instrument, 123);
  EXPECT_EQ(channels, 5);
  EXPECT_EQ(start, "2024-03-07 10:00:00");
}

TEST(FixedFieldRead, UntakenConversionErrorEndsTheProgram) {
  const auto r = mttest::run_child(
      [] {
        std::int32_t v = 0;
        io::FixedReader::from_field("abc", io::format_layout("(I3)", io::kInternalUnit),
                                    io::Takes::end) >>
            v;
      },
      "");
  EXPECT_EQ(r.status, 64);
  EXPECT_NE(
      r.err.find("severe (64): input conversion error, unit -5, file Internal Formatted Read"),
      std::string::npos)
      << r.err;
}

constexpr int kUnit = 24;

class FixedUnitRead : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  // The file's records, each ended by CR LF, opened on the unit.
  void open_with(std::initializer_list<std::string_view> records) {
    mttest::write_file(path_, tstest::text_lines({records.begin(), records.end()}));
    ASSERT_EQ(io::open(kUnit, path_, io::OpenSpec{}, io::Takes::errors), io::kDone);
  }
  std::array<float, 5> read5(std::string_view format, io::Result expected = io::kDone) {
    std::array<float, 5> v{-1, -1, -1, -1, -1};
    io::FixedReader r(kUnit, io::format_layout(format, kUnit), io::Takes::both);
    r >> std::span<float>(v);
    EXPECT_EQ(r.finish(), expected) << format;
    return v;
  }
  mttest::TempDir dir_;
  std::string path_ = (dir_ / "in.txt").string();
};

TEST_F(FixedUnitRead, ShortRecordReadsBlanksAndLongRecordIsCut) {
  open_with({"      1.5000     -2.2500",
             "      1.0000      2.0000      3.0000      4.0000      5.0000      6.0000",
             "      7.0000"});
  EXPECT_EQ(read5("(5F12.4)"), (std::array<float, 5>{1.5f, -2.25f, 0, 0, 0}));
  EXPECT_EQ(read5("(5F12.4)"), (std::array<float, 5>{1, 2, 3, 4, 5}));  // 6.0 is skipped
  EXPECT_EQ(read5("(5F12.4)"), (std::array<float, 5>{7, 0, 0, 0, 0}));
  read5("(5F12.4)", io::kEnd);
}

TEST_F(FixedUnitRead, MixedItemsOnAShortRecord) {
  open_with({"  7ab"});
  std::int32_t n = 0;
  std::string text(5, '#');
  float x = -1;
  std::int32_t m = -1;
  io::FixedReader r(kUnit, io::format_layout("(I3,A5,F6.2,I4)", kUnit), io::Takes::neither);
  r >> n >> text >> x >> m;
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(text, "ab   ");
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(m, 0);
}

TEST_F(FixedUnitRead, ReversionReadsTheNextRecord) {
  open_with({"      1.0000      9.0000", "      2.0000", "      3.0000", "      4.0000",
             "      5.0000", "next"});
  // (F12.4): one value per record, the rest of each record skipped.
  EXPECT_EQ(read5("(F12.4)"), (std::array<float, 5>{1, 2, 3, 4, 5}));
  std::string rest(4, ' ');
  io::FixedReader(kUnit, io::format_layout("(A)", kUnit), io::Takes::neither) >> rest;
  EXPECT_EQ(rest, "next");
}

TEST_F(FixedUnitRead, ReversionGoesToTheLastOuterGroupWithItsCount) {
  open_with({" 1  2  3  9", "  4  5  9", "  6"});
  std::array<std::int32_t, 6> v{};
  io::FixedReader r(kUnit, io::format_layout("(I2,2(I3))", kUnit), io::Takes::neither);
  for (std::int32_t& x : v) r >> x;
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(v, (std::array<std::int32_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST_F(FixedUnitRead, ScaleFactorStaysInForceAfterReversion) {
  open_with({"1.5", "2.5"});
  float a = 0, b = 0;
  io::FixedReader r(kUnit, io::format_layout("(1P,(F8.2))", kUnit), io::Takes::neither);
  r >> a >> b;
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(a, 0.15f);
  EXPECT_EQ(b, 0.25f);
}

TEST_F(FixedUnitRead, SlashReadsTheNextRecord) {
  open_with({" 1xx", " 2", "", " 4", " 5"});
  std::int32_t a = 0, b = 0, c = 0;
  io::FixedReader r(kUnit, io::format_layout("(I2/I2,2/I2)", kUnit), io::Takes::neither);
  r >> a >> b >> c;
  EXPECT_EQ(r.finish(), io::kDone);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 4);
  std::int32_t d = 0;
  io::FixedReader(kUnit, io::format_layout("(I2)", kUnit), io::Takes::neither) >> d;
  EXPECT_EQ(d, 5);
}

TEST_F(FixedUnitRead, EachTransferIsAppliedAnew) {
  // The same text on two records: BZ of the first transfer does not carry over.
  open_with({"1  1  ", "1  1  "});
  for (int k = 0; k < 2; ++k) {
    std::int32_t a = 0, b = 0;
    io::FixedReader r(kUnit, io::format_layout("(I3,BZ,I3)", kUnit), io::Takes::neither);
    r >> a >> b;
    EXPECT_EQ(r.finish(), io::kDone);
    EXPECT_EQ(a, 1) << k;
    EXPECT_EQ(b, 100) << k;
  }
}

TEST_F(FixedUnitRead, EndOfFileWithinATransfer) {
  open_with({"      1.0000"});
  EXPECT_EQ(read5("(F12.4)", io::kEnd)[0], 1.0f);
}

TEST(FixedUnitReadEnds, UntakenOutcomesEndTheProgram) {
  struct Case {
    std::string input;
    const char* format;
    int status;
    const char* report;
  };
  const std::vector<Case> cases = {
      {"", "(F12.4)", 24, "severe (24): end-of-file during read, unit -4, file "},
      {"1.5\n", "(F12.4/F12.4)", 24, "severe (24): end-of-file during read, unit -4, file "},
      {"abc\n", "(F12.4)", 64, "severe (64): input conversion error, unit -4, file "},
      {"  1\n", "(I3)", 61, "severe (61): format/variable-type mismatch, unit -4, file "},
  };
  for (const Case& c : cases) {
    const auto r = mttest::run_child(
        [&c] {
          float a = 0, b = 0;
          io::FixedReader(5, io::format_layout(c.format, 5), io::Takes::neither) >> a >> b;
        },
        c.input);
    EXPECT_EQ(r.status, c.status) << c.format;
    EXPECT_NE(r.err.find(c.report), std::string::npos) << r.err;
  }
}

}  // namespace
