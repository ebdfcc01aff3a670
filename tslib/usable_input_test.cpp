// The info blocks the tools refuse, and the line that names the file and the value.
#include "tslib/usable_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/io/units.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/tsinfo.h"

namespace {

struct Case {
  const char* name;
  std::int32_t seq_rec = 1;
  std::int32_t nchan = 5;
  float delta = 1.0f;
  const char* tunits = "s";
  std::string start = "2004-07-20 13:00:00";
  std::string out = {};  // empty: usable
};

void expect_verdicts(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      tsinfo.SEQ_REC = c.seq_rec;
      tsinfo.NCHAN = c.nchan;
      tsinfo.DELTA_T = c.delta;
      field::assign(tsinfo.T_UNITS, c.tunits);
      field::assign(tsinfo.STARTTIME, c.start);
      io::FreeWriter(6) << (tslib::usable_input("st/w.ts") ? "usable" : "refused");
    });
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.out, c.out + (c.out.empty() ? " usable\r\n" : " refused\r\n")) << c.name;
  }
}

TEST(UsableInput, RefusesWhatACountOfSamplesCannotBeWorkedOutFrom) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  expect_verdicts({
      {.name = "usable", .delta = 0.25f},
      {.name = "one channel", .nchan = 1, .delta = 12.0f, .tunits = "Hz"},
      {.name = "several samples",
       .seq_rec = 3,
       .out = " FATAL ERROR: st/w.ts has SEQ_REC 3\r\n"
              " Such a window must be converted with one sample per record\r\n"},
      {.name = "no sample a record",
       .seq_rec = 0,
       .out = " FATAL ERROR: st/w.ts has SEQ_REC 0: a record holds at least one sample\r\n"},
      {.name = "negative samples a record",
       .seq_rec = -5,
       .out = " FATAL ERROR: st/w.ts has SEQ_REC -5: a record holds at least one sample\r\n"},
      {.name = "no channel",
       .nchan = 0,
       .out = " FATAL ERROR: st/w.ts has NCHAN 0: a ts file holds 1 to 5 channels\r\n"},
      {.name = "negative channels",
       .nchan = -2,
       .out = " FATAL ERROR: st/w.ts has NCHAN -2: a ts file holds 1 to 5 channels\r\n"},
      {.name = "zero interval",
       .delta = 0.0f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T 0: it must be a number above 0\r\n"},
      {.name = "negative",
       .delta = -2.5f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T -2.5: it must be a number above 0\r\n"},
      {.name = "not a number",
       .delta = nan,
       .out = " FATAL ERROR: st/w.ts has DELTA_T nan: it must be a number above 0\r\n"},
      {.name = "infinite",
       .delta = inf,
       .out = " FATAL ERROR: st/w.ts has DELTA_T inf: it must be a number above 0\r\n"},
      {.name = "reciprocal infinite",
       .delta = 1.0e-39f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T 1e-39: too small to invert\r\n"},
  });
}

// A second holds at most, and a sample lasts at most, what a 32-bit count holds: the
// float rate or period must not exceed 2147483647.
TEST(UsableInput, RefusesASamplingWhoseCountsOverflow) {
  expect_verdicts({
      {.name = "period of a count's worth of samples a second", .delta = 5.0e-10f},
      {.name = "period tiny",
       .delta = 1.0e-38f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T 1e-38: more samples a second than a count "
              "holds\r\n"},
      // 1/2147483648 as a float: its rate is 2^31, one above the largest count.
      {.name = "period just too small",
       .delta = 4.656613e-10f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T 4.656613e-10: more samples a second than a "
              "count holds\r\n"},
      {.name = "period huge",
       .delta = 1.0e38f,
       .out = " FATAL ERROR: st/w.ts has DELTA_T 1e+38: more seconds a sample than a count "
              "holds\r\n"},
      {.name = "period within", .delta = 2.0e9f},
      {.name = "rate within", .delta = 2.0e9f, .tunits = "Hz"},
      // The float nearest 2147483647 is 2^31.
      {.name = "rate just too high",
       .delta = 2147483647.0f,
       .tunits = "Hz",
       .out = " FATAL ERROR: st/w.ts has DELTA_T 2147483648: more samples a second than a "
              "count holds\r\n"},
      {.name = "rate tiny",
       .delta = 1.0e-38f,
       .tunits = "Hz",
       .out = " FATAL ERROR: st/w.ts has DELTA_T 1e-38: more seconds a sample than a count "
              "holds\r\n"},
      // Units the tools do not know are refused by the tools' own lines.
      {.name = "unknown units", .delta = 1.0e-38f, .tunits = "sec"},
  });
}

// The start must be a time the windows-database lookup would take.
TEST(UsableInput, RefusesAStartTimeThatIsNoTime) {
  const std::string refused = " FATAL ERROR: st/w.ts has STARTTIME >";
  expect_verdicts({
      {.name = "last second of a day", .start = "2004-07-20 24:00:00"},
      {.name = "blank", .start = "", .out = refused + "                   <: it is blank\r\n"},
      {.name = "date only",
       .start = "2004-07-20",
       .out = refused + "2004-07-20         <: it is incomplete\r\n"},
      {.name = "no seconds",
       .start = "2004-07-20 13:00",
       .out = refused + "2004-07-20 13:00   <: it is incomplete\r\n"},
      // A v4 stamp of 10 digits, as ts_rdinfo converts it: its seconds are blank.
      {.name = "converted short stamp",
       .start = "2004-07-20 13:00:",
       .out = refused + "2004-07-20 13:00:  <: it is incomplete\r\n"},
      {.name = "fields out of range",
       .start = "2004-13-45 25:61:61",
       .out = refused + "2004-13-45 25:61:61<: it is out of range\r\n"},
      {.name = "letters",
       .start = "2004-07-2x 13:00:00",
       .out = refused + "2004-07-2x 13:00:00<: it is unreadable\r\n"},
  });
}

// A block without NCHAN, DELTA_T, T_UNITS and STARTTIME leaves them cleared, not as the
// file read before gave them; the other fields keep what they held, as ts_rdinfo leaves
// them.
TEST(UsableInput, ReadingAfreshClearsTheValuesItRequires) {
  mttest::TempDir dir;
  const std::string file = (dir / "a.ts").string();
  mttest::write_file(file, tstest::info("INFO_START") + "\r\n" + tstest::info("FORMAT", "FREE") +
                               "\r\n" + tstest::info("SEQ_REC", "1") + "\r\n" +
                               tstest::info("MIS_DATA", "1.0E+32") + "\r\n" +
                               tstest::info("INFO_END") + "\r\n");
  const mttest::ChildResult r = mttest::run_child([&] {
    tsinfo.NCHAN = 5;
    tsinfo.DELTA_T = 12.0f;
    field::assign(tsinfo.T_UNITS, "Hz");
    field::assign(tsinfo.STARTTIME, "2004-07-20 13:00:00");
    field::assign(tsinfo.STATION, "kvt101");
    field::assign(tsinfo.form, tslib::kFormAscii);
    io::open(10, file, io::OpenSpec::to_read(io::Form::text), io::Takes::neither);
    tslib::read_info_afresh(10);
    io::FreeWriter(6) << tsinfo.NCHAN << (tsinfo.DELTA_T == 0.0f ? "DELTA_T 0" : "DELTA_T kept");
    io::FreeWriter(6) << ">" + std::string(field::view(tsinfo.T_UNITS)) + "<" +
                             std::string(field::view(tsinfo.STARTTIME)) + "<" +
                             std::string(field::view(tsinfo.STATION)) + "<";
  });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "           0 DELTA_T 0\r\n"
            " >     <                   <kvt101<\r\n");
}

}  // namespace
