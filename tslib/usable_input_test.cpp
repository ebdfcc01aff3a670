// The info blocks the tools refuse, and the line that names the file and the value.
#include "tslib/usable_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "support/child.h"
#include "tslib/tsinfo.h"

namespace {

TEST(UsableInput, RefusesWhatACountOfSamplesCannotBeWorkedOutFrom) {
  struct Case {
    const char* name;
    std::int32_t seq_rec, nchan;
    float delta;
    std::string out;  // empty: usable
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<Case> cases = {
      {"usable", 1, 5, 0.25f, ""},
      {"one channel, seq_rec 0", 0, 1, 12.0f, ""},
      {"several samples", 3, 5, 1.0f,
       " FATAL ERROR: st/w.ts has SEQ_REC 3\r\n"
       " Such a window must be converted with one sample per record\r\n"},
      {"no channel", 1, 0, 1.0f,
       " FATAL ERROR: st/w.ts has NCHAN 0: a ts file holds 1 to 5 channels\r\n"},
      {"negative channels", 1, -2, 1.0f,
       " FATAL ERROR: st/w.ts has NCHAN -2: a ts file holds 1 to 5 channels\r\n"},
      {"zero interval", 1, 5, 0.0f,
       " FATAL ERROR: st/w.ts has DELTA_T 0: it must be a number above 0\r\n"},
      {"negative", 1, 5, -2.5f,
       " FATAL ERROR: st/w.ts has DELTA_T -2.5: it must be a number above 0\r\n"},
      {"not a number", 1, 5, nan,
       " FATAL ERROR: st/w.ts has DELTA_T nan: it must be a number above 0\r\n"},
      {"infinite", 1, 5, inf,
       " FATAL ERROR: st/w.ts has DELTA_T inf: it must be a number above 0\r\n"},
      {"reciprocal infinite", 1, 5, 1.0e-39f,
       " FATAL ERROR: st/w.ts has DELTA_T 1e-39: too small to invert\r\n"},
      {"tiny, reciprocal a number", 1, 5, 3.0e-39f, ""},
  };
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      tsinfo.SEQ_REC = c.seq_rec;
      tsinfo.NCHAN = c.nchan;
      tsinfo.DELTA_T = c.delta;
      io::FreeWriter(6) << (tslib::usable_input("st/w.ts") ? "usable" : "refused");
    });
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.out, c.out + (c.out.empty() ? " usable\r\n" : " refused\r\n")) << c.name;
  }
}

}  // namespace
