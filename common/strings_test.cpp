// TRUNC, SHIFTUP and waitent: left-justification, upper-casing through the table,
// the echo lines at the print levels, and the pause.
#include "common/strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/io/unit.h"
#include "common/printlevel.h"
#include "support/child.h"

namespace {

using namespace std::string_literals;

struct TruncCase {
  std::string field;
  std::string expected;
  std::int32_t n;
};

TEST(Trunc, LeftJustifiesAndGivesTheTrimmedLength) {
  const std::vector<TruncCase> cases = {
      {"  ab c  ", "ab c    ", 4}, {"        ", "        ", 0}, {"", "", 0},
      {"abc", "abc", 3},           {"       z", "z       ", 1}, {" x", "x ", 1},
      {"\tab ", "\tab ", 3},  // a tab is not a blank
      {" \0x"s, "\0x "s, 2},  // nor is NUL
      {"a      b", "a      b", 8},
  };
  for (const TruncCase& c : cases) {
    std::string field = c.field;
    std::int32_t n = -7;
    TRUNC(field, n);
    EXPECT_EQ(field, c.expected) << "'" << c.field << "'";
    EXPECT_EQ(n, c.n) << "'" << c.field << "'";
  }
}

TEST(Trunc, EchoLinesFromPrintLevel2) {
  const auto at = [](int level) {
    return mttest::run_child(
        [level] {
          prtlvl.iprint = level;
          std::string field = "  ab c  ";
          std::int32_t n = 0;
          TRUNC(field, n);
        },
        "");
  };
  EXPECT_EQ(at(1).out, "");
  EXPECT_EQ(at(2).out,
            " TRUNC: entered with line=  ab c  \r\n"
            "  input length & last non-blank=           8           6\r\n");
}

struct ShiftupCase {
  std::string field;
  std::string expected;
};

TEST(Shiftup, UpperCasesThroughTheTable) {
  const std::vector<ShiftupCase> cases = {
      {" kvt101a1", "KVT101A1 "},
      {"a_b-9.z", "A_B-9.Z"},  // underscores, signs and digits stay
      {"Mixed Case", "MIXED CASE"},
      {"x\xC8y", "X\0Y"s},                // code 200 becomes NUL
      {"`{\x80\x81\xFF", "`{\x80\0\0"s},  // 96, 123 and 128 stay; 129 and 255 become NUL
      {"\0abc"s, "\0abc"s},               // first character NUL: unchanged
      {"\0  ab"s, "\0  ab"s},
      {"     ", "     "},  // blank: unchanged
      {"", ""},
      {"  \0ab"s, "\0AB  "s},  // NUL later: trimmed and translated
  };
  for (const ShiftupCase& c : cases) {
    std::string field = c.field;
    SHIFTUP(field);
    EXPECT_EQ(field, c.expected) << "'" << c.field << "'";
  }
}

TEST(Shiftup, ReturnsTheTrimmedLength) {
  std::string field = " kvt101a1";
  EXPECT_EQ(SHIFTUP(field), 8);
  std::string blank = "    ";
  EXPECT_EQ(SHIFTUP(blank), 0);  // no trimming, and nothing kept from the call before
  std::string two = "ab  ";
  EXPECT_EQ(SHIFTUP(two), 2);
  std::string nul = "\0ab  "s;  // left as it is: its length as it stands
  EXPECT_EQ(SHIFTUP(nul), 3);
}

TEST(Shiftup, EchoLinesAtPrintLevels30And50) {
  const auto at = [](int level, std::string field) {
    return mttest::run_child(
        [level, &field] {
          prtlvl.iprint = level;
          SHIFTUP(field);
        },
        "");
  };
  const std::string trunc_echo =
      " TRUNC: entered with line= ab\r\n"
      "  input length & last non-blank=           3           3\r\n";
  EXPECT_EQ(at(2, " ab").out, trunc_echo);  // only TRUNC's own lines below 30
  EXPECT_EQ(at(30, " ab").out, " SHIFTUP: entered with string= ab\r\n" + trunc_echo +
                                   " SHIFTUP: after TRUNC, ns, string=           2  ab\r\n"
                                   " SHIFTUP: leaving with string=AB\r\n");
  EXPECT_EQ(at(50, " ab").out, " SHIFTUP: entered with string= ab\r\n" + trunc_echo +
                                   " SHIFTUP: after TRUNC, ns, string=           2  ab\r\n"
                                   " i, ic, string(i:i)=           1          97  A\r\n"
                                   " i, ic, string(i:i)=           2          98  B\r\n"
                                   " SHIFTUP: leaving with string=AB\r\n");
  EXPECT_EQ(at(30, "   ").out, " SHIFTUP: entered with string=   \r\n");
}

TEST(Waitent, WritesTheLineAndWaitsForOneLine) {
  for (int level : {-1, 0, 3}) {
    const auto r = mttest::run_child(
        [level] {
          prtlvl.iprint = level;
          waitent("Continue");
          std::string_view next;
          io::unit_for(5).read_line(next);  // the line after the one waitent took
          io::unit_for(6).write_text(next, true);
        },
        "any text\nnext\n");
    EXPECT_EQ(r.status, 0) << level;
    EXPECT_EQ(r.out, " Continue .....press <ENT> to continue\r\nnext\r\n") << level;
  }
}

TEST(Waitent, EndOfConsoleInputEndsTheProgram) {
  const auto r = mttest::run_child([] { waitent("Continue"); }, "");
  EXPECT_EQ(r.status, 24);
  EXPECT_EQ(r.out, " Continue .....press <ENT> to continue\r\n");
  EXPECT_NE(r.err.find("severe (24): end-of-file during read, unit -4, file "), std::string::npos)
      << r.err;
}

}  // namespace
