// chanmixer end to end: event, channel map, marker bands, header and failures.
#include <gtest/gtest.h>

#include <filesystem>
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

const std::string T0 = "2004-07-20 13:00:";

struct Pair {
  TsSpec a, b;
  std::vector<tsfix::Sample> da, db;
};

Pair default_pair() {
  Pair p;
  p.a.station = "kvt101";
  p.a.window = "kvt101a1";
  p.a.start = T0 + "00";
  p.b.station = "kvt102";
  p.b.window = "kvt102a1";
  p.b.start = T0 + "00";
  p.b.latitude = "-10.0";
  p.b.utm_north = "1111111";
  p.da = tsfix::ramp(20);
  p.db = tsfix::ramp(20, 1000.0f);
  return p;
}

void write(const TempDir& dir, const Pair& p, std::string db = "") {
  tsfix::write_ts(dir.path(), p.a, p.da);
  tsfix::write_ts(dir.path(), p.b, p.db);
  std::filesystem::create_directories(dir / "mix001");
  if (db.empty())
    db = tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19") +
         tsfix::winrec(p.b.window, 31, 5, T0 + "00", T0 + "19");
  mttest::write_file(dir / "windows.kvt", db);
}

// Answers up to the windows database; then the event and the map.
std::string answers(const std::string& event, const std::string& map) {
  return "\nkvt101a1\nkvt102a1\nmix001\nb\nb\n" + event + map;
}

std::filesystem::path output_of(const TempDir& dir) { return dir / "mix001" / "mix001cb.ts"; }

const std::string kOldOutput = "bytes of an earlier run's output\n";

// A run that stops before its output is opened, made twice: over an output an earlier
// run left, which must stay byte for byte, and without one, which must not appear.
// Returns the result of the first run; both must end alike.
template <class Project>
mttest::RunResult stops_before_output(Project make_project, const std::string& in, int status) {
  TempDir over, fresh;
  make_project(over);
  make_project(fresh);
  mttest::write_file(output_of(over), kOldOutput);
  const auto r = run_program("chanmixer", {}, in, over.str());
  const auto r_fresh = run_program("chanmixer", {}, in, fresh.str());
  EXPECT_EQ(r.status, status) << r.out << r.err;
  EXPECT_EQ(r_fresh.status, status);
  EXPECT_EQ(r_fresh.out, r.out);
  EXPECT_EQ(read_file(output_of(over)), kOldOutput);
  EXPECT_FALSE(std::filesystem::exists(output_of(fresh)));
  EXPECT_EQ(r.out.find("Opening output file:"), std::string::npos) << r.out;
  return r;
}

// The output of an event: its header times, its number of records and its first one.
void expect_event_output(const TempDir& dir, const std::string& start, const std::string& end,
                         std::size_t records, const std::vector<float>& first) {
  const auto out = tsfix::read_binary_ts(output_of(dir));
  EXPECT_EQ(out.value("STARTTIME"), start);
  EXPECT_EQ(out.value("ENDTIME"), end);
  ASSERT_EQ(out.data.size(), records);
  if (records > 0) {
    EXPECT_EQ(out.data[0], first);
  }
}

TEST(Chanmixer, DefaultEventAndMappingCodes) {
  TempDir dir;
  write(dir, default_pair());
  const auto r = run_program("chanmixer", {}, answers("\n\n", "3\n11\n23\n5\n"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "Done.\r\n");
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_EQ(out.data.size(), 19u);  // 19 s at 1 Hz
  EXPECT_EQ(out.data[0], std::vector<float>({0, 1020, 1040}));
  EXPECT_EQ(out.data[18], std::vector<float>({18, 1038, 1058}));
  EXPECT_EQ(out.value("INSTRUMENT"), "927");
  EXPECT_EQ(out.value("NCHAN"), "3");
  EXPECT_EQ(out.value("CHAN_1"), "HX");
  EXPECT_EQ(out.value("CHAN_2"), "HZ");
  EXPECT_EQ(out.value("CHAN_3"), "EY");
  EXPECT_EQ(out.value("BASELINE_2"), "300.0000");
  EXPECT_EQ(out.value("LATITUDE"), "52.50000");  // first file
  EXPECT_EQ(out.value("UTM_NORTH"), "5820000");  // first file, like the co-ordinates
  EXPECT_EQ(out.value("STATION"), "mix001");
  EXPECT_EQ(out.value("STARTTIME"), T0 + "00");
  EXPECT_EQ(out.value("ENDTIME"), T0 + "19");
  EXPECT_TRUE(out.has_comment("# No. of channels in output file:            3"));
  EXPECT_TRUE(out.has_comment("# Chosen from file:  11 23  5"));
  EXPECT_TRUE(out.has_comment("# Comment block from File 2: kvt102a1"));
  EXPECT_NE(r.out.find("Duration (dddd/hh/mm) : 0000/00/00"), std::string::npos);
  EXPECT_TRUE(tsfix::shows(r.out, "  Number of points written:           19"));
  // The output opens after the last question, the mapping of channel 3.
  EXPECT_NE(r.out.find("Give mapping file for channel 3 >Opening output file: mix001cb\r\n"),
            std::string::npos)
      << r.out;
}

TEST(Chanmixer, EventStartBeforeAWindowStartIsMovedToTheLaterStart) {
  struct Case {
    const char* name;
    std::string start2;        // file 2's first sample and database start
    std::string event, end;    // answers
    std::string moved;         // the line saying so; empty: not moved
    std::string skip1, skip2;  // the positioning lines
    std::string start;         // the output's STARTTIME
    std::size_t records;
    std::vector<float> first;  // channel 2 of file 1, channel 2 of file 2
  };
  const std::vector<Case> cases = {
      {"before file 2 only",
       "05",
       T0 + "02",
       T0 + "09",
       " Event start moved to the later window start: 2004-07-20 13:00:05",
       " Skipping           5   data for File 1",
       " No data skipping for File 2",
       T0 + "05",
       4,
       {15, 1010}},
      {"before both",
       "00",
       "2004-07-20 12:59:58",
       T0 + "03",
       " Event start moved to the later window start: 2004-07-20 13:00:00",
       " No data skipping for File 1",
       " No data skipping for File 2",
       T0 + "00",
       3,
       {10, 1010}},
      // A century before is before, not (wrapped) after.
      {"a century before",
       "05",
       "1899-07-20 13:00:02",
       T0 + "09",
       " Event start moved to the later window start: 2004-07-20 13:00:05",
       " Skipping           5   data for File 1",
       " No data skipping for File 2",
       T0 + "05",
       4,
       {15, 1010}},
      {"after both",
       "05",
       T0 + "07",
       T0 + "10",
       "",
       " Skipping           7   data for File 1",
       " Skipping           2   data for File 2",
       T0 + "07",
       3,
       {17, 1012}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    Pair p = default_pair();
    p.b.start = T0 + c.start2;
    write(dir, p,
          tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19") +
              tsfix::winrec(p.b.window, 31, 5, T0 + c.start2, T0 + "19"));
    const auto r = run_program("chanmixer", {},
                               answers(c.event + "\n" + c.end + "\n", "2\n12\n22\n"), dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(tstest::count_of(r.out, "Event start moved"), c.moved.empty() ? 0u : 1u) << r.out;
    if (!c.moved.empty()) {
      EXPECT_TRUE(tsfix::shows(r.out, c.moved)) << r.out;
    }
    EXPECT_TRUE(tsfix::shows(r.out, c.skip1)) << r.out;
    EXPECT_TRUE(tsfix::shows(r.out, c.skip2)) << r.out;
    expect_event_output(dir, c.start, c.end, c.records, c.first);
  }
}

TEST(Chanmixer, EventEndBeforeItsStartIsAskedAgain) {
  TempDir dir;
  write(dir, default_pair());
  const auto r = run_program(
      "chanmixer", {}, answers(T0 + "10\n" + T0 + "05\n" + T0 + "12\n", "1\n11\n"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(
      tsfix::shows(r.out, " Event end is before the event start 2004-07-20 13:00:10: try again"))
      << r.out;
  EXPECT_EQ(tstest::count_of(r.out, "Give the required event end   time >yyyy-mm-dd hh:mm:ss\r\n"),
            2u);
  EXPECT_TRUE(tsfix::has_line(r.out, " Total number of data requested:           2"));
  expect_event_output(dir, T0 + "10", T0 + "12", 2, {10});
}

// A start after the common span would give records of neither window: the question
// comes again, offering the later window start again.
TEST(Chanmixer, EventStartAfterTheCommonSpanIsAskedAgain) {
  for (const std::string& refused : {T0 + "20", std::string("2104-07-20 13:00:05")}) {
    SCOPED_TRACE(refused);
    TempDir dir;
    write(dir, default_pair());
    const auto r = run_program(
        "chanmixer", {}, answers(refused + "\n" + T0 + "10\n" + T0 + "12\n", "1\n11\n"), dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(tsfix::shows(
        r.out, " Event start is after the end of the common span 2004-07-20 13:00:19: try again"))
        << r.out;
    EXPECT_EQ(
        tstest::count_of(r.out, "Give the required event start time >yyyy-mm-dd hh:mm:ss\r\n"), 2u);
    EXPECT_EQ(tstest::count_of(r.out, "  [default: 2004-07-20 13:00:00 ] >"), 2u) << r.out;
    EXPECT_EQ(tstest::count_of(r.out, "Event start moved"), 0u);
    EXPECT_TRUE(tsfix::has_line(r.out, " Total number of data requested:           2"));
    expect_event_output(dir, T0 + "10", T0 + "12", 2, {10});
  }
}

// A count of records beyond what 32 bits hold ends the run before the output is opened.
TEST(Chanmixer, CountsBeyondThirtyTwoBitsEndTheRunBeforeTheOutput) {
  // 2004-07-20 13:00:00 to 2104-07-20 13:00:00: 36524 days, 3155673600 s at 1 Hz, a
  // float exactly. From 1904-07-20 12:57:52 to 2004-07-20 13:00:00: 36525 days (25 leap
  // days, 1908 to 2004) and 128 s, 3155760128 s, a float exactly too.
  struct Case {
    const char* name;
    std::string start1;  // window 1's start in the database
    std::string end;     // the event end answered
    std::string line;
  };
  const std::vector<Case> cases = {
      {"records requested", T0 + "00", "2104-07-20 13:00:00",
       " FATAL ERROR: kvt102/kvt102a1.ts: records requested 3155673600 does not fit a 32-bit "
       "count"},
      {"records to skip", "1904-07-20 12:57:52", "",
       " FATAL ERROR: kvt101/kvt101a1.ts: records to skip 3155760128 does not fit a 32-bit "
       "count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto project = [&](const TempDir& dir) {
      const Pair p = default_pair();
      write(dir, p,
            tsfix::winrec(p.a.window, 27, 5, c.start1, T0 + "19") +
                tsfix::winrec(p.b.window, 31, 5, T0 + "00", T0 + "19"));
    };
    const auto r = stops_before_output(project, answers("\n" + c.end + "\n", "1\n11\n"), 1);
    EXPECT_TRUE(tsfix::shows(r.out, c.line)) << r.out;
    EXPECT_EQ(r.err, std::string());
  }
}

TEST(Chanmixer, WindowsWithoutACommonSpanEndTheRunBeforeTheEvent) {
  // Each window lasts 19 s from its start; the later one is the second, then the first.
  const auto end_of = [](const std::string& start) { return start.substr(0, 17) + "19"; };
  const auto span = [&](const std::string& window, const std::string& start) {
    return window + " (" + start + "-" + end_of(start) + ")";
  };
  struct Case {
    std::string start1, start2;
  };
  for (const Case& c :
       {Case{T0 + "00", "2004-07-20 14:00:00"}, Case{"2004-07-20 14:00:00", T0 + "00"}}) {
    SCOPED_TRACE(c.start1);
    const auto project = [&](const TempDir& dir) {
      Pair p = default_pair();
      p.a.start = c.start1;
      p.b.start = c.start2;
      write(dir, p,
            tsfix::winrec(p.a.window, 27, 5, c.start1, end_of(c.start1)) +
                tsfix::winrec(p.b.window, 31, 5, c.start2, end_of(c.start2)));
    };
    const auto r = stops_before_output(project, answers("\n\n", "1\n11\n"), 1);
    EXPECT_TRUE(tsfix::has_line(r.out, " FATAL ERROR: windows " + span("kvt101a1", c.start1) +
                                           " and " + span("kvt102a1", c.start2) +
                                           " have no common span"))
        << r.out;
    EXPECT_EQ(r.out.find("Give the required event start time"), std::string::npos);
    EXPECT_EQ(r.err, std::string());
  }
}

TEST(Chanmixer, TimeAnswersAreKeptInTheLibraryForm) {
  struct Case {
    std::string start, end;  // as typed
  };
  for (const Case& c : {Case{"2004-07-20\t13:00:02", "2004-07-20\t13:00:06"},
                        Case{"2004-07-20T13:00:02", "2004-07-20T13:00:06"},
                        Case{"2004/07/20 13.00.02", "2004/07/20 13.00.06"}}) {
    SCOPED_TRACE(c.start);
    TempDir dir;
    write(dir, default_pair());
    const auto r = run_program(
        "chanmixer", {},
        "2\nkvt101a1\nkvt102a1\nmix001\nb\nb\n" + c.start + "\n" + c.end + "\n1\n11\n", dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    // The echoes show the answers as typed.
    EXPECT_TRUE(tsfix::has_line(r.out, " stime=" + c.start)) << r.out;
    EXPECT_TRUE(tsfix::has_line(r.out, " etime=" + c.end)) << r.out;
    EXPECT_TRUE(tsfix::shows(r.out, " Skipping           2   data for File 1"));
    expect_event_output(dir, T0 + "02", T0 + "06", 4, {2});
  }
}

TEST(Chanmixer, AnswersRunningOutBeforeTheDataLeaveTheOutputAsItWas) {
  // Print level, windows, station, forms, event start and end, channel count, maps:
  // the answers end before each of them in turn.
  const std::vector<std::string> all = {"",        "kvt101a1", "kvt102a1", "mix001", "b", "b",
                                        T0 + "02", T0 + "06",  "2",        "11",     "21"};
  for (std::size_t given = 0; given < all.size(); ++given) {
    SCOPED_TRACE(given);
    const std::vector<std::string> some(all.begin(), all.begin() + std::ptrdiff_t(given));
    const auto r = stops_before_output([](const TempDir& dir) { write(dir, default_pair()); },
                                       mttest::answer_lines(some), 24);
    EXPECT_EQ(r.err, "chanmixer: severe (24): end-of-file during read, unit -4, file stdin\r\n");
  }
}

TEST(Chanmixer, MarkerBands) {
  TempDir dir;
  Pair p = default_pair();
  p.b.mis_data = "-999.0";
  p.da[0][0] = 0.995e32f;
  p.da[0][1] = 1.02e32f;
  p.db[0][0] = -999.0f;
  write(dir, p);
  const auto r = run_program("chanmixer", {}, answers("\n\n", "3\n11\n12\n21\n"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out, " Missing data markers are not the same:"));
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_FALSE(out.data.empty());
  EXPECT_EQ(out.data[0], std::vector<float>({1.0e32f, 1.02e32f, -999.0f}));
  EXPECT_EQ(out.value("MIS_DATA"), "1.0000000E+32");
}

TEST(Chanmixer, RatesInSecondsAndHertzAgreeDifferentRatesFail) {
  TempDir dir;
  Pair p = default_pair();
  p.b.tunits = "Hz";
  write(dir, p);
  EXPECT_EQ(run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir.str()).status, 0);

  TempDir dir2;
  p.b.delta = "2.0";
  write(dir2, p);
  const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir2.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(r.out, " Sampling rates differ between the two data files")) << r.out;
  EXPECT_FALSE(std::filesystem::exists(output_of(dir2)));
}

TEST(Chanmixer, WindowsFileAskedAgainAndMapAnswersRefused) {
  TempDir dir;
  Pair p = default_pair();
  write(dir, p);
  std::filesystem::rename(dir / "windows.kvt", dir / "windows.other");
  const auto r = run_program("chanmixer", {},
                             "\nkvt101a1\nkvt102a1\nmix001\nb\nb\nwindows.other\n2004-13-20 "
                             "13:00:00\n\n\n7\n2\n16\n11\n25\n",
                             dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out, " Error opening WINDOWS file, re-enter"));
  EXPECT_NE(r.out.find(" Give the project windows file  [default: windows.kvt ] >"),
            std::string::npos);
  // A month of 13: chktim's line, and the start question again.
  EXPECT_TRUE(tsfix::shows(r.out, " Invalid month: 13  Try again."));
  EXPECT_EQ(tstest::count_of(r.out, "Give the required event start time >yyyy-mm-dd hh:mm:ss\r\n"),
            2u);
  EXPECT_NE(r.out.find("The output holds 1 to 5 channels: try again"), std::string::npos);
  EXPECT_NE(r.out.find("is not a channel of file"), std::string::npos);
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_FALSE(out.data.empty());
  EXPECT_EQ(out.data[0], std::vector<float>({0, 1040}));
}

TEST(Chanmixer, WindowsTheDatabaseCannotDescribeEndTheProgram) {
  const Pair p = default_pair();
  struct Case {
    std::string db;
    int nchan2;  // NCHAN of the second file
    std::string line;
  };
  const std::vector<Case> cases = {
      {tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19"), 5,
       " Window kvt102a1 is not in the windows database: its times are unknown"},
      {tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19") +
           tsfix::winrec(p.b.window, 27, 6, T0 + "00", T0 + "19"),
       5, " Window kvt102a1 has           6 channels in the database: 1 to 5 allowed"},
      {tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19") +
           tsfix::winrec(p.b.window, 27, 5, T0 + "00", T0 + "19"),
       3, " File           2 NCHAN           3 differs from the database count           5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TempDir dir;
    Pair q = p;
    q.b.nchan = c.nchan2;
    write(dir, q, c.db);
    const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir.str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(tsfix::shows(r.out, c.line)) << r.out;
    EXPECT_EQ(r.err, std::string());
    EXPECT_FALSE(std::filesystem::exists(output_of(dir)));
  }
}

TEST(Chanmixer, OutputOverAnInputIsAskedAgain) {
  // Output station kvt101 with run code cb is no input; kvt101 + cb is fine, but a
  // first window kvt101cb would be overwritten: the question is asked again.
  TempDir dir2;
  Pair q = default_pair();
  q.a.window = "kvt101cb";
  write(dir2, q,
        tsfix::winrec(q.a.window, 27, 5, T0 + "00", T0 + "19") +
            tsfix::winrec(q.b.window, 27, 5, T0 + "00", T0 + "19"));
  const auto r2 = run_program(
      "chanmixer", {}, "\nkvt101cb\nkvt102a1\nkvt101\nmix001\nb\nb\n\n\n1\n11\n", dir2.str());
  ASSERT_EQ(r2.status, 0) << r2.out << r2.err;
  EXPECT_NE(r2.out.find("is one of the input windows"), std::string::npos);
  EXPECT_EQ(tsfix::read_binary_ts(dir2 / "kvt101" / "kvt101cb.ts").data.size(), 20u);

  // An output station without directory: ts_open asks for a name after the last
  // question, and the first input's window typed there is refused too; the station
  // question comes again.
  TempDir dir3;
  write(dir3, default_pair());
  const std::string before = read_file(dir3 / "kvt101" / "kvt101a1.ts");
  const auto r3 =
      run_program("chanmixer", {},
                  "\nkvt101a1\nkvt102a1\nnosuch\nb\nb\n\n\n1\n11\nkvt101a1\nmix001\n", dir3.str());
  ASSERT_EQ(r3.status, 0) << r3.out << r3.err;
  EXPECT_TRUE(tsfix::shows(
      r3.out,
      " Output file kvt101/kvt101a1.ts is the same file as kvt101/kvt101a1.ts: give another "
      "output station"));
  EXPECT_EQ(read_file(dir3 / "kvt101" / "kvt101a1.ts"), before);
  EXPECT_EQ(tsfix::read_binary_ts(dir3 / "mix001" / "mix001cb.ts").data.size(), 19u);
}

TEST(Chanmixer, LongEventEndsAtTheEndOfFileOne) {
  TempDir dir;
  Pair p = default_pair();
  write(dir, p,
        tsfix::winrec(p.a.window, 27, 5, T0 + "00", "2004-07-22 00:00:00") +
            tsfix::winrec(p.b.window, 27, 5, T0 + "00", "2004-07-22 00:00:00"));
  // One day, 2 hours and 30 minutes at 1 Hz; file 1 holds 20 records.
  const auto r =
      run_program("chanmixer", {}, answers("\n2004-07-21 15:30:00\n", "1\n21\n"), dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(r.out, "Duration (dddd/hh/mm) : 0001/02/30"));
  EXPECT_TRUE(tsfix::has_line(r.out, " Total number of data requested:       95400"));
  EXPECT_TRUE(tsfix::has_line(r.out, " EOF of File 1"));
  EXPECT_EQ(r.err, std::string());
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_EQ(out.data.size(), 20u);  // what was written before the end stays
  EXPECT_EQ(out.data[19], std::vector<float>({1019}));
}

TEST(Chanmixer, AsciiInputIsReadInItsOwnFormAtPrintLevelMinusOne) {
  TempDir dir;
  Pair p = default_pair();
  p.b.ascii = true;
  p.b.comments = {"# ascii file"};
  write(dir, p);
  // Print level -1: no questions shown, the mapping questions still are.
  const auto r =
      run_program("chanmixer", {"-1"},
                  "\nkvt101a1\nkvt102a1\nmix001\nb\na\n" + T0 + "04\n\n2\n24\n13\n", dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("Give first window"), std::string::npos);
  EXPECT_NE(r.out.find("Give mapping file for channel 1 >Give mapping file for channel 2 >"),
            std::string::npos);
  EXPECT_TRUE(tsfix::shows(r.out, " Skipping           4   data for File 2"));
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_EQ(out.data.size(), 15u);
  EXPECT_EQ(out.data[0], std::vector<float>({1034, 24}));
  EXPECT_EQ(out.data[14], std::vector<float>({1048, 38}));
  EXPECT_EQ(out.value("FORM"), "BINARY");
  EXPECT_EQ(out.value("FORMAT"), "UNFORMATTED");
  EXPECT_TRUE(out.has_comment("# ascii file"));
  EXPECT_TRUE(out.has_comment("# Comment block from File 2: kvt102a1"));
  EXPECT_EQ(out.value("CHAN_1"), "EX");
  EXPECT_EQ(out.value("BASELINE_2"), "300.0000");  // channel 3 of file 1
  EXPECT_EQ(out.value("LATITUDE"), "52.50000");
}

TEST(Chanmixer, LevelThreeShowsTheValuesAsRead) {
  TempDir dir;
  Pair p = default_pair();
  p.a.mis_data = "1000.0";
  p.da[0][0] = 1005.0f;  // inside file 1's band (990, 1010)
  write(dir, p);
  const auto r = run_program("chanmixer", {"3"}, answers("\n\n", "1\n11\n"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(
      r.out.find(" Input dat1  =>   1005.000       10.00000       20.00000       30.00000    \r\n"
                 "   40.00000    \r\n"),
      std::string::npos)
      << r.out;
  const auto out = tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts");
  ASSERT_FALSE(out.data.empty());
  EXPECT_EQ(out.data[0], std::vector<float>({1.0E32f}));
}

TEST(Chanmixer, UnusableWindowTimesEndTheRunWithoutData) {
  const Pair p = default_pair();
  const std::string line1 = tsfix::winrec(p.a.window, 27, 5, T0 + "00", T0 + "19");
  struct Case {
    std::string line2;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"kvt102a1 031 5 2004-07-20 13:00:00-2004-07-20 1\r\n",
       " FATAL ERROR: window kvt102a1 end time >2004-07-20 1       < is incomplete"},
      {"kvt102a1 031 5\r\n",
       " FATAL ERROR: window kvt102a1 start time >                   < is blank"},
      {"kvt102a1 031 5 2004-07-20 13:00:00-2004-07-20 13:0?:19\r\n",
       " FATAL ERROR: window kvt102a1 end time >2004-07-20 13:0?:19< is unreadable"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    TempDir dir;
    write(dir, p, line1 + c.line2);
    const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir.str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(tsfix::shows(r.out, c.shown)) << r.out;
    EXPECT_EQ(r.out.find("Give the required event start time"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output_of(dir)));
    EXPECT_EQ(read_file(dir / "windows.kvt"), line1 + c.line2);
  }
}

TEST(Chanmixer, AFileWithSeveralSamplesPerRecordIsRefused) {
  TempDir dir;
  Pair p = default_pair();
  p.b.seq_rec = 3;
  write(dir, p);
  const std::string db = read_file(dir / "windows.kvt");
  const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(r.out, " FATAL ERROR: kvt102/kvt102a1.ts has SEQ_REC 3")) << r.out;
  EXPECT_TRUE(
      tsfix::has_line(r.out, " Such a window must be converted with one sample per record"));
  EXPECT_EQ(r.err, std::string());
  EXPECT_FALSE(std::filesystem::exists(dir / "mix001" / "mix001cb.ts"));
  EXPECT_EQ(read_file(dir / "windows.kvt"), db);
}

TEST(Chanmixer, AnInputWhoseTimeUnitsOrCountsMeanNothingIsRefused) {
  struct Case {
    const char* name;
    void (*change)(Pair&);
    std::vector<std::string> lines;  // the refusal, after the form question
    int header_nchan2 = 0;           // an NCHAN for file 2's header alone
    std::string drop_key2{};         // a key file 2's block lacks (file 1 has it)
  };
  const std::vector<Case> cases = {
      // Read as Hz, "sec" and DELTA_T 4 would match file 1's 4 Hz.
      {"seconds as sec",
       [](Pair& p) {
         p.a.delta = "0.25";
         p.b.tunits = "sec";
         p.b.delta = "4.0";
       },
       {" Time units not recognised >sec  ", " only \"s\" or \"Hz\" permitted"}},
      {"zero interval",
       [](Pair& p) { p.a.delta = "0.0"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has DELTA_T 0: it must be a number above 0"}},
      {"negative rate",
       [](Pair& p) {
         p.b.tunits = "Hz";
         p.b.delta = "-1.0";
       },
       {" FATAL ERROR: kvt102/kvt102a1.ts has DELTA_T -1: it must be a number above 0"}},
      {"no channel",
       [](Pair& p) { p.a.nchan = 0; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has NCHAN 0: a ts file holds 1 to 5 channels"}},
      {"six channels",
       [](Pair&) {},
       {" FATAL ERROR: kvt102/kvt102a1.ts has NCHAN 6: a ts file holds 1 to 5 channels"},
       6},
      {"no sample per record",
       [](Pair& p) { p.b.seq_rec = -5; },
       {" FATAL ERROR: kvt102/kvt102a1.ts has SEQ_REC -5: a record holds at least one sample"}},
      {"more samples a second than a count holds",
       [](Pair& p) { p.a.delta = "1e-38"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has DELTA_T 1e-38: more samples a second than a count "
        "holds"}},
      // The database's times position the files; the file's own start must still be a
      // time.
      {"start of a date only",
       [](Pair& p) { p.b.start = "2004-07-20"; },
       {" FATAL ERROR: kvt102/kvt102a1.ts has STARTTIME >2004-07-20         <: it is "
        "incomplete"}},
      // Keys file 2 lacks are refused, never taken from file 1.
      {"no NCHAN in file 2",
       [](Pair&) {},
       {" FATAL ERROR: kvt102/kvt102a1.ts has NCHAN 0: a ts file holds 1 to 5 channels"},
       0,
       "NCHAN"},
      {"no DELTA_T in file 2",
       [](Pair&) {},
       {" FATAL ERROR: kvt102/kvt102a1.ts has DELTA_T 0: it must be a number above 0"},
       0,
       "DELTA_T"},
      {"no T_UNITS in file 2",
       [](Pair&) {},
       {" Time units not recognised >     ", " only \"s\" or \"Hz\" permitted"},
       0,
       "T_UNITS"},
      {"no STARTTIME in file 2",
       [](Pair&) {},
       {" FATAL ERROR: kvt102/kvt102a1.ts has STARTTIME >                   <: it is blank"},
       0,
       "STARTTIME"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto project = [&](const TempDir& dir) {
      Pair p = default_pair();
      c.change(p);
      write(dir, p);
      const auto file2 = dir / "kvt102" / "kvt102a1.ts";
      if (c.header_nchan2 != 0)
        mttest::write_file(file2, tsfix::with_info(read_file(file2), "NCHAN", "5",
                                                   std::to_string(c.header_nchan2)));
      if (c.drop_key2.empty()) return;
      mttest::write_file(file2, tsfix::without_info(read_file(file2), c.drop_key2));
    };
    const auto r = stops_before_output(project, answers("\n\n", "1\n11\n"), 1);
    for (const std::string& line : c.lines) EXPECT_TRUE(tsfix::shows(r.out, line)) << r.out;
    EXPECT_EQ(r.out.find("File 1 start and end times:"), std::string::npos);
    EXPECT_EQ(r.err, std::string());
  }
}

TEST(Chanmixer, AnInputRecordThatCannotBeReadCutsTheOutputBackToNothing) {
  TempDir dir;
  const Pair p = default_pair();
  write(dir, p);
  // File 2's eleventh record holds one value where five are read.
  std::string file2 =
      tsfix::ts_file(p.b, {p.db.begin(), p.db.begin() + 10}) + tstest::float_record({1.0f});
  for (std::size_t k = 11; k < p.db.size(); ++k)
    file2 += tstest::float_record({p.db[k].begin(), p.db[k].end()});
  mttest::write_file(dir / "kvt102" / "kvt102a1.ts", file2);
  mttest::write_file(output_of(dir), kOldOutput);
  const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n21\n"), dir.str());
  EXPECT_EQ(r.status, 67) << r.out << r.err;
  EXPECT_TRUE(r.err.starts_with(
      "chanmixer: severe (67): input statement requires too much data, unit 3, file "))
      << r.err;
  EXPECT_TRUE(r.err.ends_with("/kvt102/kvt102a1.ts\r\n")) << r.err;
  EXPECT_EQ(r.out.find("Number of points written"), std::string::npos);
  // Ten records had been written after the header: none of it stays.
  EXPECT_TRUE(std::filesystem::exists(output_of(dir)));
  EXPECT_EQ(std::filesystem::file_size(output_of(dir)), 0u);
}

TEST(Chanmixer, AFullDiskEndsTheRunWithTheWriteError) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  TempDir dir;
  write(dir, default_pair());
  std::filesystem::create_symlink("/dev/full", output_of(dir));
  const auto r = run_program("chanmixer", {}, answers("\n\n", "1\n11\n"), dir.str());
  EXPECT_EQ(r.status, 38) << r.out << r.err;
  // The report and no "Done.": the output never got whole to the disk.
  EXPECT_TRUE(r.err.starts_with("chanmixer: severe (38): error during write, unit 7, file "))
      << r.err;
  EXPECT_TRUE(r.err.ends_with("/mix001/mix001cb.ts\r\n")) << r.err;
}

}  // namespace
