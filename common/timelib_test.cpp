#include "common/timelib.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "support/child.h"

namespace {

class TimeLib : public ::testing::Test {
 protected:
  void SetUp() override { prtlvl.iprint = 0; }
};

std::string text(const timelib::Timestr& t) { return std::string(t.data(), t.size()); }

// A line of the child's own on standard output, after everything the I/O layer holds.
void say(const std::string& line) {
  io::flush_all();
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

TEST_F(TimeLib, TdiffWithinAYearAndAcrossOneYearEnd) {
  struct Case {
    const char* t1;
    const char* t2;
    std::int32_t secs;
  };
  const Case cases[] = {
      {"2004-03-01 00:00:00", "2005-03-01 00:00:00", 365 * 86400},  // leap day before t1
      {"2004-02-28 12:00:00", "2004-03-01 12:00:00", 2 * 86400},
      {"2003-12-31 23:59:59", "2004-01-01 00:00:00", 1},
      {"2004-06-01 10:00:00", "2004-06-01 09:59:30", -30},
      {"1900-02-28 00:00:00", "1900-03-01 00:00:00", 86400},      // 1900 is no leap year
      {"2000-02-28 00:00:00", "2000-03-01 00:00:00", 2 * 86400},  // 2000 is one
      {"2004-01-01 24:00:00", "2004-01-02 00:00:00", 0},          // hour 24 counts as such
      {"2004-01-01 00:00:60", "2004-01-01 00:01:00", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(tdiff(c.t1, c.t2), c.secs) << c.t1 << " -> " << c.t2;
}

TEST_F(TimeLib, TdiffOverSeveralYearsSaysSoAndStillCounts) {
  auto r = mttest::run_child(
      [] { say(std::to_string(tdiff("2003-06-01 00:00:00", "2005-06-01 00:00:00"))); }, "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            " tdiff: ERROR: years differ by more than 1!\r\n"
            "  year1=        2003\r\n"
            "  year2=        2005\r\n" +
                std::to_string(731 * 86400) + "\n");

  // Backwards over a year end: the years are not t1's and t1's plus 1.
  r = mttest::run_child(
      [] { say(std::to_string(tdiff("2005-01-01 00:00:00", "2004-12-31 00:00:00"))); }, "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            " tdiff: ERROR: years differ by more than 1!\r\n"
            "  year1=        2005\r\n"
            "  year2=        2004\r\n"
            "-86400\n");
}

// A century and more: the seconds are exact, beyond what 32 bits hold; the quiet
// difference gives the same seconds without the year lines.
TEST_F(TimeLib, DifferencesBeyondSixtyEightYearsDoNotWrap) {
  struct Case {
    const char* t1;
    const char* t2;
    std::int64_t secs;
  };
  // 2004-07-20 to 2104-07-20: 100 years of 365 days and 24 leap days, the 23 of 2008
  // to 2096 (2100 is none) and February 29 of 2104.
  const std::int64_t century = (100LL * 365 + 24) * 86400;
  const Case cases[] = {
      {"2004-07-20 13:00:00", "2104-07-20 13:00:05", century + 5},
      {"2104-07-20 13:00:05", "2004-07-20 13:00:00", -(century + 5)},
      // 1899-07-20 to 2004-07-20: 105 years, leap days 1904 to 2004 less 1900: 26.
      {"1899-07-20 13:00:00", "2004-07-20 13:00:00", (105LL * 365 + 26) * 86400},
      // Leap years 0 to 2996: 750 multiples of 4, less 30 of 100, plus 8 of 400.
      {"0000-01-01 00:00:00", "3000-01-01 00:00:00", (3000LL * 365 + 728) * 86400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(timelib::seconds_between(c.t1, c.t2), c.secs) << c.t1 << " -> " << c.t2;
    const auto r = mttest::run_child([&] { say(std::to_string(tdiff(c.t1, c.t2))); }, "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" tdiff: ERROR: years differ by more than 1!\r\n"), std::string::npos);
    EXPECT_NE(r.out.find(std::to_string(c.secs) + "\n"), std::string::npos) << r.out;
  }
  const auto quiet = mttest::run_child(
      [] {
        say(std::to_string(timelib::seconds_between("2003-06-01 00:00:00", "2005-06-01 00:00:00")));
      },
      "");
  EXPECT_EQ(quiet.out, std::to_string(731 * 86400) + "\n");
}

TEST_F(TimeLib, NowtimAddsOffsetsAcrossDaysMonthsAndYears) {
  struct Case {
    const char* ref;
    std::int32_t dday, dhour, dmin, dsec;
    const char* expected;
  };
  const Case cases[] = {
      {"2005-12-30 10:00:00", 0, 0, 0, 86400, "2005-12-31 10:00:00"},
      {"2004-12-30 12:00:00", 0, 0, 0, 86400, "2004-12-31 12:00:00"},
      {"2004-12-31 23:59:59", 0, 0, 0, 1, "2005-01-01 00:00:00"},
      {"2004-03-01 00:00:10", 0, 0, 0, -20, "2004-02-29 23:59:50"},
      {"2005-01-01 00:00:00", 0, 0, 0, -1, "2004-12-31 23:59:59"},
      {"2004-02-28 00:00:00", 0, 25, 0, 0, "2004-02-29 01:00:00"},
      {"2005-01-01 00:00:00", -366, 0, 0, 0, "2004-01-01 00:00:00"},
      {"1900-02-28 06:00:00", 1, 0, 0, 0, "1900-03-01 06:00:00"},
      {"2000-02-28 06:00:00", 1, 0, 0, 0, "2000-02-29 06:00:00"},
      {"2004-01-01 00:00:00", 0, 0, 90, -30, "2004-01-01 01:29:30"},
      {"2003-12-31 00:00:00", 0, 0, 0, 2 * 366 * 86400, "2006-01-01 00:00:00"},
      {"2004-01-01 00:00:00", 0, -1, 0, 0, "2003-12-31 23:00:00"},
      // A month beyond 12 with no change of day carries into the year.
      {"2004-13-05 10:00:00", 0, 0, 0, 10, "2005-01-05 10:00:10"},
      // The largest 32-bit offset after 23:00 is no wrap into the past: 2147483647 s
      // are 24855 days and 11647 s (3:14:07), so 24856 days on at 02:14:07; 2072-01-01
      // is 68 years of 365 days and 17 leap days (2004 to 2068) on, 24837 days.
      {"2004-01-01 23:00:00", 0, 0, 0, 2147483647, "2072-01-20 02:14:07"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text(nowtim(c.ref, c.dday, c.dhour, c.dmin, c.dsec)), c.expected) << c.ref;
}

TEST_F(TimeLib, NowtimEchoesFromLevelTen) {
  const std::string entered =
      " nowtim: entered with :\r\n"
      " reftim =2004-12-31 23:59:59\r\n"
      " dday   =           0\r\n"
      " dhour  =           0\r\n"
      " dmin   =           0\r\n"
      " dsec   =           1\r\n";
  const std::string fields =
      " nowtim: return from date with :\r\n"
      " refyy  =        2004\r\n"
      " refmm  =          12\r\n"
      " refdd  =          31\r\n"
      " refhh  =          23\r\n"
      " refmin =          59\r\n"
      " refss  =          59\r\n";
  const std::string total = " nowtim: total sec =       86400\r\n";
  const std::string calculated =
      " nowtim: calculated times :\r\n"
      " day  =           1\r\n"
      " hour =           0\r\n"
      " min  =           0\r\n"
      " sec  =           0\r\n";
  for (int level : {9, 10, 50}) {
    const auto r = mttest::run_child(
        [level] {
          prtlvl.iprint = level;
          say(text(nowtim("2004-12-31 23:59:59", 0, 0, 0, 1)));
        },
        "");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2005-01-01 00:00:00\n"), std::string::npos) << r.out;
    if (level < 10) {
      EXPECT_EQ(r.out.find("nowtim"), std::string::npos) << r.out;
      continue;
    }
    // The routine's own blocks in order; date's echo lines may stand between them.
    const auto a = r.out.find(entered);
    const auto b = r.out.find(fields);
    const auto c = r.out.find(calculated);
    ASSERT_NE(a, std::string::npos) << r.out;
    ASSERT_NE(b, std::string::npos) << r.out;
    ASSERT_NE(c, std::string::npos) << r.out;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    const auto t = r.out.find(total);
    if (level < 50) {
      EXPECT_EQ(t, std::string::npos) << r.out;
    } else {
      EXPECT_EQ(t, b + fields.size()) << r.out;
    }
  }
}

TEST_F(TimeLib, DateWritesFieldsWithAsterisksWhereTheyDoNotFit) {
  struct Case {
    timelib::TimeFields f;
    const char* expected;
  };
  const Case cases[] = {
      {{2004, 3, 8, 18, 3, 30}, "2004-03-08 18:03:30"},
      {{5, 1, 2, 0, 0, 0}, "0005-01-02 00:00:00"},
      {{12345, 1, 2, 3, 4, 5}, "****-01-02 03:04:05"},
      {{-1, 1, 2, 3, 4, 5}, "****-01-02 03:04:05"},
      {{2004, -1, 2, 3, 4, 5}, "2004-**-02 03:04:05"},
      {{2004, 1, 100, 3, 4, 5}, "2004-01-** 03:04:05"},
  };
  for (const Case& c : cases) {
    timelib::Timestr t;
    t.fill('#');
    date(c.f, t);
    EXPECT_EQ(text(t), c.expected);
  }
  // The routine with its conv argument, both ways.
  std::string s(19, ' ');
  std::int32_t y = 2004, mo = 2, d = 29, h = 23, mi = 59, se = 58;
  date(1, s, y, mo, d, h, mi, se);
  EXPECT_EQ(s, "2004-02-29 23:59:58");
  s = "1999-12-31 01:02:03";
  date(0, s, y, mo, d, h, mi, se);
  EXPECT_EQ((timelib::TimeFields{y, mo, d, h, mi, se}),
            (timelib::TimeFields{1999, 12, 31, 1, 2, 3}));
  // A shorter field takes what fits and nothing beyond it.
  std::array<char, 10> shortfield;
  date(timelib::TimeFields{2004, 3, 8, 0, 0, 0}, shortfield);
  EXPECT_EQ(std::string(shortfield.data(), 10), "2004-03-08");
}

TEST_F(TimeLib, DateEchoesFromLevelThree) {
  const auto r = mttest::run_child(
      [] {
        prtlvl.iprint = 3;
        std::string s = "2004-03-08 18:03:30";
        std::int32_t y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
        date(2, s, y, mo, d, h, mi, se);
        date(1, s, y, mo, d, h, mi, se);
        prtlvl.iprint = 2;
        date(2, s, y, mo, d, h, mi, se);
      },
      "");
  ASSERT_EQ(r.status, 0) << r.err;
  // The six fields overrun the 80 columns of a line: the last one starts a new one.
  EXPECT_EQ(r.out,
            " date: conv =            2\r\n"
            "      cdate=2004-03-08 18:03:30\r\n"
            " date: conversion successful\r\n"
            " date: conv =            1\r\n"
            "      yymmhhddmmss=        2004           3           8          18           3\r\n"
            "          30\r\n"
            " date: conversion successful\r\n");
}

TEST_F(TimeLib, DateReadsSignsAndBlanksInItsColumns) {
  EXPECT_EQ(date(" 204- 3- 8  1: 2: 3"), (timelib::TimeFields{204, 3, 8, 1, 2, 3}));
  EXPECT_EQ(date("2004--1-08 00:00:00"), (timelib::TimeFields{2004, -1, 8, 0, 0, 0}));
  // A short text reads blanks beyond its end.
  EXPECT_EQ(date("2004-03-08"), (timelib::TimeFields{2004, 3, 8, 0, 0, 0}));
}

TEST_F(TimeLib, DateEndsTheProgramOnAColumnThatHoldsNoInteger) {
  const auto r =
      mttest::run_child([] { (void)tdiff("2004-0x-01 00:00:00", "2004-01-01 00:00:00"); }, "");
  EXPECT_EQ(r.status, 64);
  EXPECT_NE(r.err.find("input conversion error"), std::string::npos) << r.err;
}

TEST_F(TimeLib, DateRefusesATabInANumericColumn) {
  // A tab in a separator column is never read; in a numeric column it is no blank.
  EXPECT_EQ(date("2004-03-08\t18:03:30"), (timelib::TimeFields{2004, 3, 8, 18, 3, 30}));
  for (const char* t : {"2004-03-08 \t8:03:30", "\t004-03-08 18:03:30", "2004-03-08 18:03:3\t"}) {
    const auto r = mttest::run_child([t] { (void)date(t); }, "");
    EXPECT_EQ(r.status, 64) << t;
    EXPECT_NE(
        r.err.find("severe (64): input conversion error, unit -5, file Internal Formatted Read"),
        std::string::npos)
        << r.err;
  }
}

TEST_F(TimeLib, DaynoAndDaymon) {
  EXPECT_EQ(dayno(2004, 1, 1), 1);
  EXPECT_EQ(dayno(2004, 12, 31), 366);
  EXPECT_EQ(dayno(2005, 12, 31), 365);
  EXPECT_EQ(dayno(2004, 3, 1), 61);
  EXPECT_EQ(dayno(2004, 0, 7), 7);  // a month of 1 or less gives the day itself
  std::int32_t y = 2004, m = 0, d = 0;
  daymon(y, 60, m, d);
  EXPECT_EQ((timelib::TimeFields{y, m, d}), (timelib::TimeFields{2004, 2, 29}));
  y = 2005;
  daymon(y, 365 + 59, m, d);  // beyond the year: once into the next one
  EXPECT_EQ((timelib::TimeFields{y, m, d}), (timelib::TimeFields{2006, 2, 28}));
}

TEST_F(TimeLib, ChktimAcceptsItsLimitsAndNamesEveryBadField) {
  auto r = mttest::run_child(
      [] {
        std::int32_t ierr = 7;
        chktim(2004, 12, 31, 24, 60, 60, ierr);
        say("ierr=" + std::to_string(ierr));
        chktim(0, 1, 1, 0, 0, 0, ierr);
        say("ierr=" + std::to_string(ierr));
      },
      "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ierr=0\nierr=0\n");

  r = mttest::run_child(
      [] {
        std::int32_t ierr = 0;
        chktim(2004, 0, 32, 12, 0, 0, ierr);
        say("ierr=" + std::to_string(ierr));
        chktim(-5, 13, 1, 25, 61, -1, ierr);
        say("ierr=" + std::to_string(ierr));
      },
      "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            " Invalid month:  0  Try again.\r\n"
            " Invalid day: 32  Try again.\r\n"
            "ierr=1\n"
            " Invalid year:****  Try again.\r\n"
            " Invalid month: 13  Try again.\r\n"
            " Invalid hour: 25  Try again.\r\n"
            " Invalid minute: 61  Try again.\r\n"
            " Invalid second: -1  Try again.\r\n"
            "ierr=1\n");
}

TEST_F(TimeLib, ChktimAcceptsSaysWhatChktimTakesWithoutALine) {
  const auto r = mttest::run_child(
      [] {
        say(std::to_string(timelib::chktim_accepts({2004, 12, 31, 24, 60, 60})));
        say(std::to_string(timelib::chktim_accepts({0, 1, 1, 0, 0, 0})));
        say(std::to_string(timelib::chktim_accepts({3001, 1, 1, 0, 0, 0})));
        say(std::to_string(timelib::chktim_accepts({2004, 0, 1, 0, 0, 0})));
        say(std::to_string(timelib::chktim_accepts({2004, 1, 1, 0, 0, 61})));
      },
      "");
  EXPECT_EQ(r.out, "1\n1\n0\n0\n0\n");
}

TEST_F(TimeLib, DatchkIsNarrowerThanChktim) {
  EXPECT_EQ(DATCHK("2004-03-08 23:59:59"), 0);
  const auto r = mttest::run_child([] { say(std::to_string(DATCHK("2004-03-08 24:00:00"))); }, "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "  Erroneous time given to DATCHK, time=2004-03-08 24:00:00\r\n1\n");
}

TEST_F(TimeLib, ShortdateTurnsAV4TimeIntoATimestr) {
  std::string s = "040308180330       ";
  shortdate(s);
  EXPECT_EQ(s, "2004-03-08 18:03:30");
  std::string longer = "991231235959         tail";
  shortdate(longer);
  EXPECT_EQ(longer, "2099-12-31 23:59:59  tail");  // the century is always 20
  std::string tiny = "0403";                       // too short a field: only what fits is written
  shortdate(tiny);
  EXPECT_EQ(tiny, "2004");
}

TEST_F(TimeLib, TdifstrAndSecsplit) {
  std::string out(13, ' ');
  tdifstr("2004-01-01 00:00:00", "2004-01-02 02:03:04", out);
  EXPECT_EQ(out, "0001-02:03:04");
  tdifstr("2004-12-31 12:00:00", "2005-01-01 11:59:59", out);
  EXPECT_EQ(out, "0000-23:59:59");
  tdifstr("2004-01-02 02:00:00", "2004-01-01 00:00:00", out);  // negative parts: asterisks
  EXPECT_EQ(out, "****-**:00:00");

  std::int32_t d = 0, h = 0, m = 0, s = 0;
  secsplit(86400 + 2 * 3600 + 3 * 60 + 4, d, h, m, s);
  EXPECT_EQ((timelib::TimeFields{d, h, m, s}), (timelib::TimeFields{1, 2, 3, 4}));
  secsplit(-3661, d, h, m, s);  // truncation toward zero
  EXPECT_EQ((timelib::TimeFields{d, h, m, s}), (timelib::TimeFields{0, -1, -1, -1}));
}

TEST_F(TimeLib, TpackAndTunpack) {
  EXPECT_EQ(tpack("2004-03-08 18:03:30"), 20040308180330LL);
  std::string out(19, ' ');
  tunpack(out, 20040308180330LL);
  EXPECT_EQ(out, "2004-03-08 18:03:30");
  tunpack(out, 1010000LL);
  EXPECT_EQ(out, "0000-00-01 01:00:00");
  tunpack(out, -1);
  EXPECT_EQ(out, "****-**-** **:**:**");
}

}  // namespace
