// Format texts: the grammar turned into layout items, the syntax errors with their
// position, the info line 58 and error 62 that end the program, and parse-once reuse.
#include "common/edit/format_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/internal_file.h"
#include "common/edit/layout.h"
#include "support/child.h"

namespace {

using namespace io::lay;

bool same_item(const io::Item& a, const io::Item& b) {
  return a.ed == b.ed && a.repeat == b.repeat && a.w == b.w && a.d == b.d && a.m == b.m &&
         a.e == b.e && a.text == b.text;
}

std::string describe(const std::vector<io::Item>& items) {
  std::string s;
  for (const io::Item& it : items) {
    s += "{ed " + std::to_string(static_cast<int>(it.ed)) + " r" + std::to_string(it.repeat) +
         " w" + std::to_string(it.w) + " d" + std::to_string(it.d) + " m" + std::to_string(it.m) +
         " e" + std::to_string(it.e) + "} ";
  }
  return s;
}

struct Accepted {
  std::string_view text;
  std::vector<io::Item> items;
};

TEST(FormatText, AcceptedVariants) {
  const std::vector<Accepted> cases = {
      {"(5F12.4)", {Rep(5, F(12, 4))}},
      {"  (5f12.4)", {Rep(5, F(12, 4))}},               // leading blanks, lower case
      {"\t( 5 F 1 2 . 4 )", {Rep(5, F(12, 4))}},        // blanks and tabs ignored
      {"(5F12.4) anything after", {Rep(5, F(12, 4))}},  // ends at the closing parenthesis
      {"(5E14.6)", {Rep(5, E(14, 6))}},
      {"(e12.4e3,g12.5e2,G12.5)", {E(12, 4, 3), G(12, 5, 2), G(12, 5)}},
      {"(ES12.4,EN12.3E3,D14.6)", {ES(12, 4), EN(12, 3, 3), D(14, 6)}},
      {"(1PE12.4)", {P(1), E(12, 4)}},  // no comma after kP
      {"(-2P,F8.2,+1P,F8.2)", {P(-2), F(8, 2), P(1), F(8, 2)}},
      {"(0P,E10.3)", {P(0), E(10, 3)}},
      {"(A,A8,L,L3)", {A(), A(8), L(), L(3)}},
      {"(I5,I2.2,3I4)", {I(5), I(2, 2), Rep(3, I(4))}},
      {"(B8,B8.4,O6,Z8.8)", {B(8), B(8, 4), O(6), Z(8, 8)}},
      {"(3X,T10,TL2,TR4)", {X(3), T(10), TL(2), TR(4)}},
      {"(I3/I3,2/)", {I(3), Slash(), I(3), Rep(2, Slash())}},  // no commas around "/"
      {"(I3:I3)", {I(3), Colon(), I(3)}},
      {"(I3,$)", {I(3), NoEnd()}},
      {"(I3\\)", {I(3), NoEnd()}},
      {"(S,SP,SS,BN,BZ,Q)", {S(), SP(), SS(), BN(), BZ(), Q()}},
      {"(A,5(1X,F8.2))", {A(), Open(5), X(1), F(8, 2), Close()}},
      {"(2(I2,(I3)))", {Open(2), I(2), Open(1), I(3), Close(), Close()}},
      {"((((((((I3))))))))",  // 8 levels, the outermost pair included
       {Open(1), Open(1), Open(1), Open(1), Open(1), Open(1), Open(1), I(3), Close(), Close(),
        Close(), Close(), Close(), Close(), Close()}},
      {"()", {}},
  };
  for (const Accepted& c : cases) {
    std::vector<io::Item> items;
    io::FormatError error;
    ASSERT_TRUE(io::parse_format(c.text, items, error)) << c.text << " at " << error.offset;
    bool same = items.size() == c.items.size();
    for (std::size_t k = 0; same && k < items.size(); ++k) same = same_item(items[k], c.items[k]);
    EXPECT_TRUE(same) << c.text << ": " << describe(items);
  }
}

// Literals are checked by what they write.
TEST(FormatText, LiteralForms) {
  struct Case {
    std::string_view text;
    std::string expected;  // written with no values
  };
  const std::vector<Case> cases = {
      {"('a, (b)')", "a, (b)"},  // commas and parentheses inside a literal
      {"(\"it's\")", "it's"},   {"('it''s')", "it's"}, {"('''')", "'"}, {"('')", ""},
      {"(4H(,) )", "(,) "},    // nH takes n characters as they stand
      {"(3hAbC)", "AbC"},      // case kept inside literals
      {"('  x  ')", "  x  "},  // blanks inside literals kept
  };
  for (const Case& c : cases) {
    std::string field(8, '#');
    auto w = io::FixedWriter::to_field(field, io::format_layout(c.text, io::kInternalUnit),
                                       io::Takes::errors);
    EXPECT_EQ(w.end().code, 0) << c.text;
    EXPECT_EQ(field, (c.expected + std::string(8, ' ')).substr(0, 8)) << c.text;
  }
  // No comma needed between a literal and a data item or "/".
  std::string field(4, '#');
  io::FixedWriter::to_field(field, io::format_layout("('a'I1'b')", io::kInternalUnit))
      << std::int32_t{1};
  EXPECT_EQ(field, "a1b ");
  std::vector<io::Item> items;
  io::FormatError error;
  EXPECT_TRUE(io::parse_format("('a'/'b')", items, error));
}

struct Rejected {
  std::string_view text;
  std::string_view rest;  // the text from the point of error
};

TEST(FormatText, SyntaxErrorsAndTheirPosition) {
  const std::vector<Rejected> cases = {
      {"5F12.4", "5F12.4"},  // no opening parenthesis
      {"  5F12.4", "5F12.4"},
      {"", ""},
      {"   ", ""},
      {"(5K12.4)", "K12.4)"},  // a letter that names no item
      {"(5F12.4,N3)", "N3)"},
      {"(I3;I3)", ";I3)"},  // a character a format text may not hold
      {"(I3,#)", "#)"},
      {"(((((((((I3)))))))))", "(I3)))))))))"},  // 9 levels
      {"(F12)", ")"},                            // F needs .d
      {"(E14)", ")"},
      {"(I)", ")"},  // missing width
      {"(Iw)", "w)"},
      {"(T)", ")"},
      {"(5F12.4", ""},  // the first parenthesis is never closed
      {"((I3)", ""},
      {"(I3,,I3)", ",I3)"},
      {"(,I3)", ",I3)"},
      {"(I3,)", ")"},
      {"(P,E10.3)", "P,E10.3)"},  // kP needs its count
      {"(+5X)", "X)"},            // a sign only before the count of kP
      {"(-I3)", "I3)"},
      {"(0I3)", "I3)"},
      {"(0(I3))", "(I3))"},
      {"(2T5)", "T5)"},  // no repeat count before a position item
      {"(2'ab')", "'ab')"},
      {"(2:)", ":)"},
      {"(2BN)", "BN)"},
      {"('abc)", "'abc)"},  // a literal never closed
      {"(4Hab)", "Hab)"},   // fewer characters than nH asks for
      {"(H)", "H)"},
      {"(99999I3)", "9I3)"},  // a count beyond any layout
  };
  for (const Rejected& c : cases) {
    std::vector<io::Item> items;
    io::FormatError error;
    ASSERT_FALSE(io::parse_format(c.text, items, error)) << c.text;
    ASSERT_LE(error.offset, c.text.size()) << c.text;
    EXPECT_EQ(c.text.substr(error.offset), c.rest) << c.text;
  }
}

TEST(FormatText, SyntaxErrorWritesInfoLineAndEndsWithError62) {
  struct Case {
    std::string text;
    std::string info;  // the info line's text after the prefix
  };
  const std::string long_tail(100, 'K');
  const std::vector<Case> cases = {
      {"5F12.4", "info (58): format syntax error at or near 5F12.4\r\n"},
      {"(5K12.4)", "info (58): format syntax error at or near K12.4)\r\n"},
      {"(I3," + long_tail + ")",  // the rest is cut at 80 characters
       "info (58): format syntax error at or near " + long_tail.substr(0, 80) + "\r\n"},
  };
  for (const Case& c : cases) {
    const auto r =
        mttest::run_child([&c] { io::FixedWriter(6, io::format_layout(c.text, 6)) << 1.0f; }, "");
    EXPECT_EQ(r.status, 62) << c.text;
    EXPECT_EQ(r.out, "") << c.text;
    const std::size_t info = r.err.find(c.info);
    const std::size_t report = r.err.find("severe (62): syntax error in format, unit -1, file ");
    ASSERT_NE(info, std::string::npos) << r.err;
    ASSERT_NE(report, std::string::npos) << r.err;
    EXPECT_LT(info, report) << r.err;
  }
}

TEST(FormatText, SyntaxErrorOnATextFieldIsReportedAsInternal) {
  const auto r = mttest::run_child(
      [] {
        float x = 0;
        io::FixedReader::from_field("1.5", io::format_layout("(F8.2", io::kInternalUnit),
                                    io::Takes::both) >>
            x;
      },
      "");
  EXPECT_EQ(r.status, 62);
  EXPECT_NE(r.err.find("info (58): format syntax error at or near \r\n"), std::string::npos)
      << r.err;
  EXPECT_NE(
      r.err.find("severe (62): syntax error in format, unit -5, file Internal Formatted Read"),
      std::string::npos)
      << r.err;
}

TEST(FormatText, EachDistinctTextIsParsedOnce) {
  const io::Layout first = io::format_layout("(5E14.6)", 6);
  const io::Layout other = io::format_layout("(5F12.4)", 6);
  const std::string copy = "(5E14.6)";  // equal text, different storage
  const io::Layout again = io::format_layout(copy, 6);
  EXPECT_EQ(first.data(), again.data());
  EXPECT_NE(first.data(), other.data());
  EXPECT_EQ(io::format_layout("(5F12.4)", 6).data(), other.data());
  // A literal's text stays valid after the caller's text is gone.
  io::Layout lit;
  {
    std::string temporary = "('kept',I2)";
    lit = io::format_layout(temporary, 6);
    temporary.assign(temporary.size(), 'x');
  }
  std::string field(6, '#');
  io::FixedWriter::to_field(field, lit, io::Takes::errors) << std::int32_t{7};
  EXPECT_EQ(field, "kept 7");
}

}  // namespace
