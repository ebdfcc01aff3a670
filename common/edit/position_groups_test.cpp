// Groups that only move the position or set modes: applied in one step, they give
// what their items written out one repetition after the other give; a layout without
// a data item for a value ends with its error at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/internal_file.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

using Value = std::variant<std::int32_t, float>;

constexpr std::size_t kField = 20;

std::string written(std::string_view format, const std::vector<Value>& values) {
  std::string field(kField, '#');
  auto w = io::FixedWriter::to_field(field, io::format_layout(format, io::kInternalUnit),
                                     io::Takes::errors);
  for (const Value& v : values) std::visit([&w](auto x) { w << x; }, v);
  EXPECT_EQ(w.end(), io::kDone) << format;
  return field;
}

TEST(PositionGroups, OutputAsTheUnrolledItems) {
  struct Case {
    const char* grouped;
    const char* unrolled;
    std::vector<Value> values;
    std::string expected;  // the field's columns up to the last one written
  };
  const std::vector<Case> cases = {
      {"(2(3(X)),I2)", "(X,X,X,X,X,X,I2)", {7}, "       7"},
      {"(I1,3(2X,TL1),I1)", "(I1,2X,TL1,2X,TL1,2X,TL1,I1)", {1, 2}, "1   2"},
      {"(I3,4(TL2),I1)", "(I3,TL2,TL2,TL2,TL2,I1)", {123, 9}, "923"},
      {"(I2,3(1X,TL3),I1)", "(I2,1X,TL3,1X,TL3,1X,TL3,I1)", {12, 5}, "52"},
      {"(I1,2(T5,2X),I1)", "(I1,T5,2X,T5,2X,I1)", {1, 2}, "1     2"},
      {"(I1,2(2(2(X),TL1)),I1)", "(I1,X,X,TL1,X,X,TL1,X,X,TL1,X,X,TL1,I1)", {1, 2}, "1    2"},
      {"(2(SP,3X,SS),I3)", "(SP,3X,SS,SP,3X,SS,I3)", {5}, "        5"},
      {"(2(SS,1X,SP),I3)", "(SS,1X,SP,SS,1X,SP,I3)", {5}, "   +5"},
      {"(2(1P,X),E11.4)", "(1P,X,1P,X,E11.4)", {12340.0f}, "   1.2340E+04"},
      {"(1P,2(X,0P),E11.4)", "(1P,X,0P,X,0P,E11.4)", {12340.0f}, "   0.1234E+05"},
      {"(2(Q,X),I2)", "(Q,X,Q,X,I2)", {3}, "   3"},
  };
  for (const Case& c : cases) {
    const std::string expected = c.expected + std::string(kField - c.expected.size(), ' ');
    EXPECT_EQ(written(c.grouped, c.values), expected) << c.grouped;
    EXPECT_EQ(written(c.unrolled, c.values), expected) << c.unrolled;
  }
}

template <class T>
T read_one(std::string_view format, std::string_view field, int skip_ints) {
  io::FixedReader r = io::FixedReader::from_field(
      field, io::format_layout(format, io::kInternalUnit), io::Takes::both);
  for (int k = 0; k < skip_ints; ++k) {
    std::int32_t ignored = 0;
    r >> ignored;
  }
  T v{};
  r >> v;
  EXPECT_EQ(r.finish(), io::kDone) << format;
  return v;
}

TEST(PositionGroups, InputAsTheUnrolledItems) {
  struct Case {
    const char* grouped;
    const char* unrolled;
    std::string_view field;
    int skip_ints;  // integers read before the value compared
    std::int32_t expected;
  };
  const std::vector<Case> cases = {
      {"(2(3X),I2)", "(X,X,X,X,X,X,I2)", "999999425", 0, 42},
      {"(I1,3(2X,TL1),I1)", "(I1,2X,TL1,2X,TL1,2X,TL1,I1)", "1xx47", 1, 7},
      {"(I2,3(1X,TL3),I1)", "(I2,1X,TL3,1X,TL3,1X,TL3,I1)", "52", 1, 5},
      {"(I1,2(T4,TR1),I1)", "(I1,T4,TR1,T4,TR1,I1)", "1234567", 1, 5},
      {"(I1,2(2(2(X),TL1)),I1)", "(I1,X,X,TL1,X,X,TL1,X,X,TL1,X,X,TL1,I1)", "1xxxx6", 1, 6},
      {"(2(BZ,X,BN),I3)", "(BZ,X,BN,BZ,X,BN,I3)", "xx1 2", 0, 12},
      {"(2(BN,X,BZ),I3)", "(BN,X,BZ,BN,X,BZ,I3)", "xx1 2", 0, 102},
      {"(2('ab'),I1)", "('ab','ab',I1)", "abab7", 0, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_one<std::int32_t>(c.grouped, c.field, c.skip_ints), c.expected) << c.grouped;
    EXPECT_EQ(read_one<std::int32_t>(c.unrolled, c.field, c.skip_ints), c.expected) << c.unrolled;
  }
  // A scale set inside a group holds for the value after it: 12345 under F5.1 and 1P.
  EXPECT_FLOAT_EQ(read_one<float>("(2(1P,X),F5.1)", "xx12345", 0), 123.45f);
  EXPECT_FLOAT_EQ(read_one<float>("(1P,X,1P,X,F5.1)", "xx12345", 0), 123.45f);
}

TEST(PositionGroups, GroupAsReversionPoint) {
  const mttest::TempDir dir;
  const std::string path = (dir / "out.txt").string();
  constexpr int kUnit = 25;
  ASSERT_EQ(io::open(kUnit, path, io::OpenSpec{}, io::Takes::errors), io::kDone);
  io::FixedWriter(kUnit, io::format_layout("(I2,2(X,TL1,X),I1)", kUnit))
      << std::int32_t{12} << std::int32_t{3} << std::int32_t{4} << std::int32_t{5};
  io::close(kUnit);
  const std::string bytes = mttest::read_file(path);
  EXPECT_EQ(bytes, "12  3\r\n  4\r\n  5\r\n");
}

// The child has ten seconds: a walk over every repetition would take many minutes.
TEST(PositionGroups, LayoutWithoutDataForAValueEndsAtOnce) {
  struct Case {
    const char* format;
    bool reading;
    const char* report;
  };
  const Case cases[] = {
      {"(9999(9999(999(X))))", false, "(61): format/variable-type mismatch, unit -1"},
      {"(9999(9999(999(X))))", true,
       "(61): format/variable-type mismatch, unit -5, file Internal Formatted Read"},
      {"(I2,9999(9999(999(TR1,TL1,X))))", false, "(61): format/variable-type mismatch, unit -1"},
      {"(9999(9999(999(/))))", false, "(61): format/variable-type mismatch, unit -1"},
  };
  for (const Case& c : cases) {
    const auto r = mttest::run_child([&c] {
      ::alarm(10);
      const io::Layout layout = io::format_layout(c.format, c.reading ? io::kInternalUnit : 6);
      if (c.reading) {
        float v = 0;
        io::FixedReader::from_field("1.5", layout, io::Takes::neither) >> v;
      } else {
        io::FixedWriter(6, layout) << std::int32_t{1} << std::int32_t{2};
      }
    });
    EXPECT_EQ(r.status, 61) << c.format;
    EXPECT_NE(r.err.find(c.report), std::string::npos) << c.format << ": " << r.err;
  }
}

}  // namespace
