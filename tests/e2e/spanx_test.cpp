// spanx end to end: records counted, the window line shown and appended to the
// windows database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/full_device.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

using mttest::read_file;
using mttest::run_program;
using mttest::TempDir;
using tsfix::TsSpec;

TsSpec spec(const std::string& tunits, const std::string& delta,
            const std::string& start = "2004-07-20 13:00:00") {
  TsSpec s;
  s.station = "abx001";
  s.window = "abx001a1";
  s.instrument = 27;
  s.nchan = 5;
  s.start = start;
  s.end = start;
  s.tunits = tunits;
  s.delta = delta;
  return s;
}

// The 72-character window line for the fixture window.
std::string window_line(const std::string& start, const std::string& end,
                        const std::string& rate_field) {
  return "abx001a1 027 5 " + start + "-" + end + "  " + rate_field;
}

// Answers after a command-line print level: window, form, append answer.
std::string answers(const std::string& append = "") { return "abx001a1\nb\n" + append + "\n"; }

std::string console_window_line(const std::string& out) {
  for (const auto& l : tstest::lines_of(out, tstest::LineEnd::lf))
    if (l.rfind("abx001a1 ", 0) == 0) return l;
  return "";
}

struct TimeCase {
  const char* name;
  std::string tunits, delta, start;
  int nrec;
  std::string end;
  std::string rate_field;  // columns 57-72; empty: not checked
};

void PrintTo(const TimeCase& c, std::ostream* os) {
  *os << c.name << " (" << c.nrec << " records at " << c.delta << ' ' << c.tunits << ')';
}

class SpanxTimes : public ::testing::TestWithParam<TimeCase> {};

TEST_P(SpanxTimes, CountsRecordsAndEndTime) {
  const TimeCase& c = GetParam();
  TempDir dir;
  const TsSpec s = spec(c.tunits, c.delta, c.start);
  tsfix::write_ts(dir.path(), s, tsfix::ramp(c.nrec));
  const auto r = run_program("spanx", {"1"}, answers(), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;

  char eof[40];
  std::snprintf(eof, sizeof eof, "EOF found; nent =%10d", c.nrec);
  EXPECT_TRUE(tsfix::has_line(r.out, eof)) << r.out;

  const std::string line = console_window_line(r.out);
  ASSERT_EQ(line.size(), 72u) << "[" << line << "]";
  EXPECT_EQ(line.substr(0, 56), window_line(c.start, c.end, "")) << line;
  if (!c.rate_field.empty()) {
    EXPECT_EQ(line.substr(56), c.rate_field) << line;
  }
  // The same line, byte for byte, is the new database.
  EXPECT_EQ(read_file(dir / "windows.abx"), line + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SpanxTimes,
    ::testing::Values(TimeCase{"TwentyFiveAtTwelveHz", "Hz", "12.0", "2004-07-20 13:00:00", 25,
                               "2004-07-20 13:00:02", "    12.00000    "},
                      TimeCase{"OneHourAtTwelveHz", "Hz", "12.0", "2004-07-20 13:00:00",
                               12 * 3600 + 1, "2004-07-20 14:00:00", "    12.00000    "},
                      TimeCase{"FiveSecondsJustUnderAnHour", "s", "5.0", "2004-07-20 13:00:00", 721,
                               "2004-07-20 13:59:59", "   0.2000000    "},
                      TimeCase{"ThirtySeconds", "s", "30.0", "2004-07-20 13:00:00", 120,
                               "2004-07-20 13:59:29", "   0.3333334E-01"},
                      TimeCase{"OneRecord", "Hz", "12.0", "2004-07-20 13:00:00", 1,
                               "2004-07-20 13:00:00", "    12.00000    "},
                      TimeCase{"NoRecordAboveOneHz", "Hz", "12.0", "2004-07-20 13:00:00", 0,
                               "2004-07-20 13:00:00", ""},
                      TimeCase{"NoRecordAtOneHz", "s", "1.0", "2004-07-20 13:00:00", 0,
                               "2004-07-20 12:59:59", "    1.000000    "},
                      TimeCase{"NoRecordAtFiveSeconds", "s", "5.0", "2004-07-20 13:00:00", 0,
                               "2004-07-20 12:59:56", ""},
                      TimeCase{"EndAcrossTheYear", "s", "1.0", "2004-12-31 23:59:50", 21,
                               "2005-01-01 00:00:10", ""},
                      TimeCase{"EndOnDecemberThirtyFirst", "Hz", "1.0", "2004-12-30 23:59:59", 2,
                               "2004-12-31 00:00:00", ""},
                      TimeCase{"LeapDay", "Hz", "1.0", "2004-02-28 23:59:59", 2,
                               "2004-02-29 00:00:00", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Spanx, AppendsOneWholeLineToAnExistingDatabase) {
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
  const std::string old =
      "abx001a0 027 5 2004-07-19 13:00:00-2004-07-19 14:00:00      12.00000    \r\n";
  mttest::write_file(dir / "windows.abx", old);
  const auto r = run_program("spanx", {"0"}, "\n" + answers("T"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Append results to windows.abx ?"), std::string::npos) << r.out;
  EXPECT_EQ(
      read_file(dir / "windows.abx"),
      old + window_line("2004-07-20 13:00:00", "2004-07-20 13:00:01", "    12.00000    ") + "\r\n");
}

TEST(Spanx, AppendAfterALastLineWithoutCrLfKeepsTheLinesApart) {
  struct Case {
    std::string old, kept;  // database before; what stands before the new line after
  };
  const std::string rec = "abx001a0 027 5 2004-07-19 13:00:00-2004-07-19 14:00:00";
  for (const Case& c : {Case{rec, rec + "\r\n"}, Case{rec + "\n", rec + "\n"}}) {
    TempDir dir;
    tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
    mttest::write_file(dir / "windows.abx", c.old);
    const auto r = run_program("spanx", {"1"}, answers("T"), dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(read_file(dir / "windows.abx"),
              c.kept +
                  window_line("2004-07-20 13:00:00", "2004-07-20 13:00:01", "    12.00000    ") +
                  "\r\n");
  }
}

TEST(Spanx, FullDiskOnAppendIsReportedAsFailure) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
  std::filesystem::create_symlink("/dev/full", dir / "windows.abx");
  const auto r = run_program("spanx", {"1"}, answers("T"), dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(r.out, " spanx: error           0  writing to windows.abx")) << r.out;
}

TEST(Spanx, AnswerFalseLeavesTheDatabaseUntouched) {
  for (const bool exists : {true, false}) {
    TempDir dir;
    tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
    if (exists) mttest::write_file(dir / "windows.abx", "old line\r\n");
    const auto r = run_program("spanx", {"1"}, answers("F"), dir.str());
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(console_window_line(r.out), "");
    if (exists) {
      EXPECT_EQ(read_file(dir / "windows.abx"), "old line\r\n");
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir / "windows.abx"));
    }
  }
}

TEST(Spanx, PrintLevelMinusOneStillShowsTheLineAndReadsTheAnswer) {
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
  const auto r = run_program("spanx", {"-1"}, answers("F"), dir.str());
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("Give print level"), std::string::npos);
  EXPECT_EQ(r.out.find("EOF found"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Append results"), std::string::npos) << r.out;
  const auto ls = tstest::lines_of(r.out, tstest::LineEnd::lf);
  const std::string want =
      window_line("2004-07-20 13:00:00", "2004-07-20 13:00:01", "    12.00000    ");
  bool found = false;
  for (std::size_t k = 1; k + 1 < ls.size(); ++k) {
    if (ls[k] != want) continue;
    found = true;
    EXPECT_EQ(ls[k - 1].find_first_not_of(' '), std::string::npos) << ls[k - 1];
    EXPECT_EQ(ls[k + 1].find_first_not_of(' '), std::string::npos) << ls[k + 1];
  }
  EXPECT_TRUE(found) << r.out;
  // The F was read: nothing appended.
  EXPECT_FALSE(std::filesystem::exists(dir / "windows.abx"));
}

TEST(Spanx, LevelOneReportsUnitsAndProgress) {
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("s", "2.0"), tsfix::ramp(25000));
  const auto r = run_program("spanx", {"1"}, answers("F"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // T_UNITS as its 5 characters, then the rate the seconds per sample became.
  EXPECT_TRUE(tsfix::has_line(
      r.out, std::string(" Time units =") + "s    " + "   delta (Hz) =" + "  0.5000000    "))
      << r.out;
  EXPECT_TRUE(tsfix::has_line(r.out, " Reading data...")) << r.out;
  EXPECT_TRUE(tsfix::has_line(r.out, " Read in....       25000")) << r.out;
  // Record 25000 holds 24999 + 10 c on channel c; the fourth value no longer fits.
  EXPECT_NE(r.out.find(" n, data =       25000   24999.00       25009.00       25019.00    \r\n"
                       "   25029.00       25039.00    \r\n"),
            std::string::npos)
      << r.out;
  EXPECT_TRUE(tsfix::has_line(r.out, "EOF found; nent =     25000")) << r.out;
  EXPECT_NE(r.out.find(" data =       25001 -1.0000000E-30   25009.00       25019.00       "
                       "25029.00    \r\n   25039.00    \r\n"),
            std::string::npos)
      << r.out;
  // 24999 samples of 2 s after the first.
  EXPECT_EQ(console_window_line(r.out),
            window_line("2004-07-20 13:00:00", "2004-07-21 02:53:18", "   0.5000000    "));
}

TEST(Spanx, RecordHoldingTheEndMarkerEndsTheCount) {
  TempDir dir;
  auto data = tsfix::ramp(6);
  data[3][0] = -1.0E-30f;
  tsfix::write_ts(dir.path(), spec("Hz", "1.0"), data);
  const auto r = run_program("spanx", {"0"}, "\n" + answers(), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(">EOF found; nent =         3\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(console_window_line(r.out).substr(0, 56),
            window_line("2004-07-20 13:00:00", "2004-07-20 13:00:02", ""));
}

TEST(Spanx, AnInfoBlockNoWindowLineCanBeWorkedOutFromIsRefused) {
  struct Case {
    const char* name;
    std::string tunits, delta;
    int nchan;
    std::vector<std::string> lines;
    std::string start = "2004-07-20 13:00:00";
    int seq_rec = 1;
    std::string drop_key{};  // a key the block lacks
  };
  const std::string refused = " FATAL ERROR: abx001/abx001a1.ts has ";
  // NCHAN 6 is written into a file of 5 channels.
  const std::vector<Case> cases = {
      {"seconds as sec",
       "sec",
       "1.0",
       5,
       {" Time units not recognised >sec  ", " only \"s\" or \"Hz\" permitted"}},
      {"zero interval",
       "s",
       "0.0",
       5,
       {" FATAL ERROR: abx001/abx001a1.ts has DELTA_T 0: it must be a number above 0"}},
      // Its rate, 1/DELTA_T, would be Infinity in the window line.
      {"interval below any rate",
       "s",
       "1e-39",
       5,
       {" FATAL ERROR: abx001/abx001a1.ts has DELTA_T 1e-39: too small to invert"}},
      {"negative rate",
       "Hz",
       "-2.5",
       5,
       {" FATAL ERROR: abx001/abx001a1.ts has DELTA_T -2.5: it must be a number above 0"}},
      {"no channel",
       "Hz",
       "12.0",
       0,
       {" FATAL ERROR: abx001/abx001a1.ts has NCHAN 0: a ts file holds 1 to 5 channels"}},
      {"six channels",
       "Hz",
       "12.0",
       6,
       {" FATAL ERROR: abx001/abx001a1.ts has NCHAN 6: a ts file holds 1 to 5 channels"}},
      // Its rate would be 1e38 Hz, more samples a second than a count holds.
      {"interval whose rate no count holds",
       "s",
       "1e-38",
       5,
       {refused + "DELTA_T 1e-38: more samples a second than a count holds"}},
      // Its end time would be before its start.
      {"interval no count of seconds holds",
       "s",
       "1e38",
       5,
       {refused + "DELTA_T 1e+38: more seconds a sample than a count holds"}},
      {"no sample per record",
       "Hz",
       "12.0",
       5,
       {refused + "SEQ_REC 0: a record holds at least one sample"},
       "2004-07-20 13:00:00",
       0},
      // A blank start does not begin with 19 or 20: it is converted as an old stamp.
      {"start blank",
       "Hz",
       "12.0",
       5,
       {refused + "STARTTIME >20  -  -     :  :  <: it is incomplete"},
       ""},
      {"start of a date only",
       "Hz",
       "12.0",
       5,
       {refused + "STARTTIME >2004-07-20         <: it is incomplete"},
       "2004-07-20"},
      {"start without seconds",
       "Hz",
       "12.0",
       5,
       {refused + "STARTTIME >2004-07-20 13:00   <: it is incomplete"},
       "2004-07-20 13:00"},
      {"start fields out of range",
       "Hz",
       "12.0",
       5,
       {refused + "STARTTIME >2004-13-45 25:61:61<: it is out of range"},
       "2004-13-45 25:61:61"},
      // An old stamp of 10 digits is converted with blank seconds.
      {"start of an old short stamp",
       "Hz",
       "12.0",
       5,
       {refused + "STARTTIME >2004-07-20 13:00:  <: it is incomplete"},
       "0407201300"},
      // A missing key shows as the blanks the block left, not as NUL bytes.
      {"no time units",
       "Hz",
       "12.0",
       5,
       {" Time units not recognised >     ", " only \"s\" or \"Hz\" permitted"},
       "2004-07-20 13:00:00",
       1,
       "T_UNITS"},
  };
  const std::string old =
      "abx001a0 027 5 2004-07-19 13:00:00-2004-07-19 14:00:00      12.00000    \r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    TsSpec s = spec(c.tunits, c.delta, c.start);
    s.nchan = std::min(c.nchan, 5);
    s.seq_rec = c.seq_rec;
    std::filesystem::create_directories(dir / s.station);
    std::string file = tsfix::with_info(tsfix::ts_file(s, tsfix::ramp(13)), "NCHAN",
                                        std::to_string(s.nchan), std::to_string(c.nchan));
    if (!c.drop_key.empty()) file = tsfix::without_info(file, c.drop_key);
    mttest::write_file(dir / s.station / (s.window + ".ts"), file);
    mttest::write_file(dir / "windows.abx", old);
    const auto r = run_program("spanx", {"1"}, answers("T"), dir.str());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    for (const std::string& line : c.lines) EXPECT_TRUE(tsfix::shows(r.out, line)) << r.out;
    EXPECT_EQ(r.err, std::string());
    EXPECT_EQ(r.out.find("EOF found"), std::string::npos) << r.out;
    EXPECT_EQ(console_window_line(r.out), "");
    EXPECT_EQ(read_file(dir / "windows.abx"), old);
  }
}

// The seconds from the first to the last sample must fit the 32-bit count the end time
// is worked from: otherwise no line is shown and the database is not touched. A period
// of 2^30 s has an exact rate; 3 records span 2^31 s.
TEST(Spanx, SecondsBeyondThirtyTwoBitsAreRefused) {
  const std::string old =
      "abx001a0 027 5 2004-07-19 13:00:00-2004-07-19 14:00:00      12.00000    \r\n";
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("s", "1073741824"), tsfix::ramp(3));
  mttest::write_file(dir / "windows.abx", old);
  const auto r = run_program("spanx", {"1"}, answers("T"), dir.str());
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out,
                           " FATAL ERROR: abx001/abx001a1.ts: seconds from the first to the last "
                           "sample 2147483648 does not fit a 32-bit count"))
      << r.out;
  EXPECT_EQ(r.err, std::string());
  EXPECT_EQ(console_window_line(r.out), "");
  EXPECT_EQ(read_file(dir / "windows.abx"), old);
}

TEST(Spanx, PauseAtLevelThreeContinuesOnEmptyLineAndRunsCommands) {
  struct Case {
    int nrec;
    std::string pause_answers;
    std::size_t pauses;
    bool hi;
  };
  for (const Case& c : {Case{150, "\n", 1, false}, Case{250, "\n\n", 2, false},
                        Case{150, "echo hi\n\n", 2, true}}) {
    TempDir dir;
    tsfix::write_ts(dir.path(), spec("Hz", "1.0"), tsfix::ramp(c.nrec));
    const auto r =
        run_program("spanx", {"3"}, "abx001a1\nb\n" + c.pause_answers + "F\n", dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    // Each request is a line of its own, shown after the 100th record's line.
    std::size_t requests = 0;
    std::size_t first_request = std::string::npos;
    std::size_t at = 0;
    for (const auto& l : tstest::lines_of(r.out, tstest::LineEnd::lf)) {
      if (l.find("Enter") != std::string::npos) {
        ++requests;
        EXPECT_EQ(l.find("data"), std::string::npos) << l;
        if (first_request == std::string::npos) first_request = r.out.find(l, at);
      }
      at += l.size();
    }
    EXPECT_EQ(requests, c.pauses) << r.out;
    ASSERT_NE(first_request, std::string::npos);
    EXPECT_EQ(tstest::count_of(r.out.substr(0, first_request), "n, data ="), 100u);
    EXPECT_EQ(tsfix::has_line(r.out, "hi"), c.hi) << r.out;
    char eof[40];
    std::snprintf(eof, sizeof eof, "EOF found; nent =%10d", c.nrec);
    EXPECT_NE(r.out.find(std::string(eof) + "\r\n"), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "windows.abx"));
  }
}

TEST(Spanx, PauseMeetingTheEndOfInputEndsTheProgram) {
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("Hz", "1.0"), tsfix::ramp(150));
  const auto r = run_program("spanx", {"3"}, "abx001a1\nb\n", dir.str());
  EXPECT_EQ(r.status, 24);
  EXPECT_EQ(tstest::count_of(r.out, "Enter"), 1u) << r.out;
  EXPECT_NE(r.err.find("end-of-file during read"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "windows.abx"));
}

TEST(Spanx, AFileWithSeveralSamplesPerRecordIsRefused) {
  TempDir dir;
  TsSpec s = spec("Hz", "12.0");
  s.seq_rec = 3;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(39));
  mttest::write_file(dir / "windows.abx", "old line\r\n");
  const auto r = run_program("spanx", {"1"}, answers("T"), dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::has_line(r.out, " FATAL ERROR: abx001/abx001a1.ts has SEQ_REC 3")) << r.out;
  EXPECT_TRUE(
      tsfix::has_line(r.out, " Such a window must be converted with one sample per record"));
  EXPECT_EQ(console_window_line(r.out), "");
  EXPECT_EQ(read_file(dir / "windows.abx"), "old line\r\n");
}

TEST(Spanx, InputNameFieldIsEchoedBlankFilled) {
  TempDir dir;
  tsfix::write_ts(dir.path(), spec("Hz", "12.0"), tsfix::ramp(13));
  const auto r = run_program("spanx", {"2"}, answers("F"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // 80 blanks after the label: the text goes on in a new record, a blank before its
  // first 79 characters, then a blank before the last one.
  EXPECT_NE(r.out.find("\r\n indat    = \r\n" + std::string(80, ' ') + "\r\n  \r\n"),
            std::string::npos)
      << r.out;
}

}  // namespace
