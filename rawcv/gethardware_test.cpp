// The hardware database lookup.
#include "rawcv/gethardware.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

using rawcv::CalTable;

constexpr int kUnit = 2;

struct Outcome {
  CalTable t;
  mttest::ChildResult child;
};

// Runs the lookup in a child with answers on standard input; the tables come back
// through standard error.
Outcome lookup(const std::string& db, int instr, int nchan, const std::string& answers = "") {
  mttest::TempDir dir;
  mttest::write_file(dir / "hardware.abc", db);
  const std::string path = (dir / "hardware.abc").string();
  Outcome o;
  o.child = mttest::run_child(
      [&] {
        prtlvl = common::PrintLevelRecord{};
        io::open(kUnit, path, {io::OpenStatus::old_file, io::Form::text}, io::Takes::neither);
        CalTable t;
        gethardware(kUnit, instr, nchan, t);
        for (int s = 1; s <= 5; ++s)
          std::fprintf(stderr, "%a %a %a\n", double(t.calfac(s)), double(t.lowpass(s)),
                       double(t.highpass(s)));
      },
      answers);
  const std::string& e = o.child.err;
  std::size_t pos = 0;
  for (int s = 1; s <= 5 && pos < e.size(); ++s) {
    double a = 0, b = 0, c = 0;
    if (std::sscanf(e.c_str() + pos, "%la %la %la", &a, &b, &c) != 3) break;
    o.t.calfac(s) = float(a);
    o.t.lowpass(s) = float(b);
    o.t.highpass(s) = float(c);
    pos = e.find('\n', pos) + 1;
  }
  return o;
}

const std::string kDb =
    "# hardware of the abc project\n"
    "107\n"
    "E 1.05 0.2 30000\n"
    "H 1.01 0.2 0\n"
    "Z 1.03 0.3 0\n"
    "N 1.04 0.2 30000\n"
    "D 1.02 0.2 0\n"
    " 12\n"
    "H 2.0 0.5 0\n"
    "D 2.1 0.5 0\n"
    "Z 2.2 0.5 0\n";

TEST(Gethardware, FillsTheSlotsOfItsLetters) {
  const Outcome o = lookup(kDb, 107, 5);
  EXPECT_EQ(o.child.status, 0);
  EXPECT_EQ(o.t.calfac.v, (std::array<float, 5>{1.01f, 1.02f, 1.04f, 1.05f, 1.03f}));
  EXPECT_EQ(o.t.lowpass(5), 0.3f);
  EXPECT_EQ(o.t.highpass(3), 30000.0f);
  EXPECT_EQ(o.t.highpass(4), 30000.0f);
}

TEST(Gethardware, InstrumentNumberWritings) {
  for (const std::string line : {" 12", "12 ", "012", "12"}) {
    SCOPED_TRACE(line);
    const std::string db = "107\nH 1 1 1\n" + line + "\nH 2.0 0.5 0\nD 2.1 0.5 0\nZ 2.2 0.5 0\n";
    const Outcome o = lookup(db, 12, 3);
    EXPECT_EQ(o.t.calfac.v, (std::array<float, 5>{2.0f, 2.1f, 0.0f, 0.0f, 2.2f}));
  }
}

TEST(Gethardware, InstrumentZeroMatchesTheFirstBlankLine) {
  const Outcome o = lookup("abc\n\nH 3 0 0\nD 4 0 0\nZ 5 0 0\n", 0, 3);
  EXPECT_EQ(o.t.calfac.v, (std::array<float, 5>{3.0f, 4.0f, 0.0f, 0.0f, 5.0f}));
}

TEST(Gethardware, SummaryListsTheHzSlotOfAThreeChannelLogger) {
  prtlvl.iprint = 1;
  mttest::TempDir dir;
  mttest::write_file(dir / "hw", kDb);
  const auto r = mttest::run_child(
      [&] {
        prtlvl.iprint = 1;
        io::open(kUnit, (dir / "hw").string(), {io::OpenStatus::old_file, io::Form::text},
                 io::Takes::neither);
        CalTable t;
        gethardware(kUnit, 12, 3, t);
      },
      "");
  prtlvl.iprint = 0;
  EXPECT_NE(r.out.find("gethardware: instrument located ="), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("gethardware: leaving with following calibs & cuts =>"), std::string::npos);
  EXPECT_NE(r.out.find(" channel=           5"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(" channel=           3"), std::string::npos) << r.out;
}

TEST(Gethardware, ChannelLineOverTwoLines) {
  const std::string db = "  5\nH 1 2 3\nN 7.5 0.25\n 40000\nE 8 9 10\n";
  const Outcome o = lookup(db, 5, 3);
  EXPECT_EQ(o.t.calfac(3), 7.5f);
  EXPECT_EQ(o.t.lowpass(3), 0.25f);
  EXPECT_EQ(o.t.highpass(3), 40000.0f);
  EXPECT_EQ(o.t.calfac(4), 8.0f);  // the next channel line is read after it
  EXPECT_EQ(o.t.highpass(4), 10.0f);
}

TEST(Gethardware, NotFound) {
  struct Case {
    const char* answers;
    const char* line;
    float lowpass, highpass_e;
  };
  const std::vector<Case> cases{
      {"Y\n", " using VaRL default values ", 0.2f, 30000.0f},
      {"\n", " using VaRL default values ", 0.2f, 30000.0f},
      {"N\n", " using no default values ", 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    const Outcome o = lookup(kDb, 999, 5, c.answers);
    EXPECT_EQ(o.child.status, 0);
    EXPECT_NE(o.child.out.find(" gethardware: ERROR: Cannot locate instrument "), std::string::npos)
        << o.child.out;
    EXPECT_NE(o.child.out.find("requested in hardware file, instrument =          999"),
              std::string::npos);
    EXPECT_NE(o.child.out.find(c.line), std::string::npos) << o.child.out;
    for (int s = 1; s <= 5; ++s) {
      EXPECT_EQ(o.t.calfac(s), 1.0f);
      EXPECT_EQ(o.t.lowpass(s), c.lowpass);
      EXPECT_EQ(o.t.highpass(s), (s == 3 || s == 4) ? c.highpass_e : 0.0f);
    }
  }
}

TEST(Gethardware, Failures) {
  struct Case {
    const char* name;
    std::string db;
    int instr, nchan;
    int status;  // 1: refused by the lookup; other non-zero: error report
    std::string where;
  };
  const std::vector<Case> cases{
      {"lower-case h", "  5\nh 1 2 3\n", 5, 1, 1,
       " gethardware: ERROR:  Unrecognisable component in hardware file, comp=h"},
      {"short last block", "  5\nH 1 2 3\nD 1 2 3\n", 5, 3, -1, "hardware.abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome o = lookup(c.db, c.instr, c.nchan);
    if (c.status == 1) {
      EXPECT_EQ(o.child.status, 1);
      EXPECT_NE(o.child.out.find(c.where), std::string::npos) << o.child.out;
    } else {
      EXPECT_EQ(o.child.status, 24);  // end of file inside the block
      EXPECT_NE(o.child.err.find(c.where), std::string::npos) << o.child.err;
    }
  }
}

}  // namespace
