// The conversions to 32-bit counts: the refusal of a count beyond them; for the
// converter, cutting and rounding, the limits, values that are not numbers, and the two
// rules for an infinity.
#include "tslib/counts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "support/child.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

TEST(Counts, ACountBeyondThirtyTwoBitsIsRefusedWithALine) {
  struct Case {
    double value;
    std::string out;  // the refusal line, or the count
  };
  const std::string refused = " FATAL ERROR: st/w.ts: records to skip ";
  const std::vector<Case> cases = {
      {0.0, " 0\r\n"},
      {2147483647.0, " 2147483647\r\n"},
      {-2147483648.0, " -2147483648\r\n"},
      {2147483648.0, refused + "2147483648 does not fit a 32-bit count\r\n"},
      {-2147483649.0, refused + "-2147483649 does not fit a 32-bit count\r\n"},
      {2524608000.0, refused + "2524608000 does not fit a 32-bit count\r\n"},
      {1.0E38, refused + "1e+38 does not fit a 32-bit count\r\n"},
      {kInf, refused + "inf does not fit a 32-bit count\r\n"},
      {kNaN, refused + "nan does not fit a 32-bit count\r\n"},
  };
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      const auto n = tslib::fitting_count("st/w.ts", "records to skip", c.value);
      if (n) io::FreeWriter(6) << std::to_string(*n);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out) << c.value;
  }
}

// The failing end: the same line, then the program's final message and the failure
// status; a count that fits goes on.
TEST(Counts, ACountThatDoesNotFitEndsTheRun) {
  struct Case {
    std::function<std::int32_t()> count;
    int status;
    std::string out;
    std::string err;
  };
  const std::string line = " FATAL ERROR: st/w.ts: records ";
  const std::vector<Case> cases = {
      {[] { return tslib::count_or_fail("st/w.ts", "records", 7.0); }, 0, " 7\r\n", ""},
      {[] { return tslib::count_or_fail("st/w.ts", "records", 2147483648.0, "Ended"); }, 1,
       line + "2147483648 does not fit a 32-bit count\r\n", "Ended\r\n"},
      {[] { return tslib::count_or_fail("st/w.ts", "records", kNaN); }, 1,
       line + "nan does not fit a 32-bit count\r\n", ""},
      {[] { return tslib::count_after("st/w.ts", "records", kMax - 1); }, 0, " 2147483647\r\n",
       ""},
      {[] { return tslib::count_after("st/w.ts", "records", -1, "Ended"); }, 0, " 0\r\n", ""},
      {[] { return tslib::count_after("st/w.ts", "records", kMax, "Ended"); }, 1,
       line + "2147483648 does not fit a 32-bit count\r\n", "Ended\r\n"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const mttest::ChildResult r =
        mttest::run_child([&] { io::FreeWriter(6) << std::to_string(c.count()); });
    EXPECT_EQ(r.status, c.status) << i;
    EXPECT_EQ(r.out, c.out) << i;
    EXPECT_EQ(r.err, c.err) << i;
  }
}

TEST(Counts, CutAndNearestForAnyValue) {
  struct Case {
    double x;
    std::int32_t cut;
    std::int32_t nearest;  // the same whichever rule for an infinity
  };
  const Case cases[] = {
      {2.9, 2, 3},
      {-2.9, -2, -3},
      {2.5, 2, 3},  // halves away from zero
      {-2.5, -2, -3},
      {2.4999, 2, 2},
      {0.0, 0, 0},
      {2147483647.4, kMax, kMax},
      {2147483647.6, kMax, kMax},  // rounds beyond the range
      {-2147483648.4, kMin, kMin},
      {-2147483648.6, kMin, kMin},
      {1.0E10, kMax, kMax},
      {-1.0E10, kMin, kMin},
      {kNaN, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(tslib::cut_to_int32(c.x), c.cut);
    EXPECT_EQ(tslib::nearest_int32(c.x), c.nearest);
    EXPECT_EQ(tslib::nearest_int32(c.x, tslib::Infinity::limit), c.nearest);
  }
}

TEST(Counts, AnInfinityByTheNamedRule) {
  EXPECT_EQ(tslib::cut_to_int32(kInf), kMax);
  EXPECT_EQ(tslib::cut_to_int32(-kInf), kMin);
  EXPECT_EQ(tslib::nearest_int32(kInf), 0);
  EXPECT_EQ(tslib::nearest_int32(-kInf), 0);
  EXPECT_EQ(tslib::nearest_int32(kInf, tslib::Infinity::zero), 0);
  EXPECT_EQ(tslib::nearest_int32(kInf, tslib::Infinity::limit), kMax);
  EXPECT_EQ(tslib::nearest_int32(-kInf, tslib::Infinity::limit), kMin);
}

TEST(Counts, SaturateAt32Bits) {
  static_assert(tslib::saturate_int32(std::int64_t{kMax} + 1) == kMax);
  static_assert(tslib::saturate_int32(std::int64_t{kMin} - 1) == kMin);
  static_assert(tslib::saturate_int32(-7) == -7);
  static_assert(tslib::saturate_int32(std::int64_t{1} << 40) == kMax);
}

}  // namespace
