// segmerge end to end: window list, drops, gaps, baseline corrections, the report and
// the spliced window's line in the windows database.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/full_device.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

using mttest::read_file;
using mttest::run_program;
using mttest::TempDir;
using tsfix::TsSpec;

struct Win {
  std::string run;
  std::string db_start, db_end;
  std::string data_start;
  int n;
  float base = 0.0f;
  std::string baseline1 = "100.0";
  int nchan = 5;
  int db_nchan = 5;
  bool ascii = false;
  std::string delta = "1.0", tunits = "s";
  int instrument = 27;
  int seq_rec = 1;
  std::string drop_key{};  // an info key the file's block lacks
};

std::string build(const TempDir& dir, const std::vector<Win>& wins) {
  std::string db = "# windows of the test\r\n";
  std::string form_answers;
  for (const Win& w : wins) {
    TsSpec s;
    s.window = "kvt101" + w.run;
    s.start = w.data_start;
    s.baseline[0] = w.baseline1;
    s.nchan = w.nchan;
    s.ascii = w.ascii;
    s.delta = w.delta;
    s.tunits = w.tunits;
    s.seq_rec = w.seq_rec;
    tsfix::write_ts(dir.path(), s, tsfix::ramp(w.n, w.base));
    if (!w.drop_key.empty()) {
      const auto file = dir / s.station / (s.window + ".ts");
      mttest::write_file(file, tsfix::without_info(read_file(file), w.drop_key, w.ascii));
    }
    db += tsfix::winrec(s.window, w.instrument, w.db_nchan, w.db_start, w.db_end);
    form_answers += w.ascii ? "a\n" : "b\n";
  }
  mttest::write_file(dir / "windows.kvt", db);
  std::string answers = "\nkvt101\n" + wins[0].run + "\n";
  for (std::size_t i = 1; i < wins.size(); ++i) answers += wins[i].run + "\n";
  return answers + "\nas\n" + form_answers;
}

const std::string T0 = "2004-07-20 13:00:";

std::filesystem::path output_of(const TempDir& dir) { return dir / "kvt101" / "kvt101as.ts"; }

// What the output file held before the run.
const std::string kEarlierSplice = "the splice of an earlier run";

// The time `seconds` after 2004-07-20 13:00:00 (within the hour).
std::string at(int seconds) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "2004-07-20 13:%02d:%02d", seconds / 60, seconds % 60);
  return buf;
}

TEST(Segmerge, OneWindow) {
  TempDir dir;
  const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  // A database whose last line has no line end: the new line still starts a line.
  std::string old_db = read_file(dir / "windows.kvt");
  old_db.resize(old_db.size() - 2);
  mttest::write_file(dir / "windows.kvt", old_db);
  const auto r = run_program("segmerge", {}, answers, dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "Done.\r\n");
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  ASSERT_EQ(out.data.size(), 10u);
  EXPECT_EQ(out.data[9], std::vector<float>({9, 19, 29, 39, 49}));
  EXPECT_EQ(out.header[0], tstest::pad("# time series file from segmerge", 80));
  EXPECT_TRUE(out.has_comment("# kvt101a1  2004-07-20 13:00:00-2004-07-20 13:00:09"));
  EXPECT_TRUE(out.has_comment("# Following comment block from first file..."));
  EXPECT_TRUE(out.has_comment("# test file"));
  EXPECT_EQ(out.value("WINDOW"), "kvt101as");
  EXPECT_EQ(out.value("STARTTIME"), T0 + "00");
  EXPECT_EQ(out.value("ENDTIME"), T0 + "09");
  EXPECT_TRUE(
      tsfix::has_line(r.out, "  File            1  points and gap =          10           0"));
  const auto db = tstest::lines_of(read_file(dir / "windows.kvt"), tstest::LineEnd::lf);
  ASSERT_EQ(db.size(), 3u);
  EXPECT_EQ(db[1], "kvt101a1 027 5 2004-07-20 13:00:00-2004-07-20 13:00:09 1.000000");
  EXPECT_EQ(db[2],
            "kvt101as 027 5 2004-07-20 13:00:00-2004-07-20 13:00:09    1.000000 splice: a1 ");
  EXPECT_TRUE(tsfix::shows(
      r.out, "kvt101as 027 5 2004-07-20 13:00:00-2004-07-20 13:00:09    1.000000 splice: a1 "));
  EXPECT_TRUE(tsfix::shows(r.out, "Opened old project windows.kvt file to add window info:"));
  EXPECT_TRUE(tsfix::has_line(r.out, " Duration (in s) based on these times =            9"));
  EXPECT_TRUE(tsfix::has_line(r.out, " Duration (in s) based on no. points  =           10"));
}

TEST(Segmerge, ThreeWindowsGapsFilledAndBaselinesCorrected) {
  TempDir dir;
  // 10 records each, 5 s between the last record of one and the start of the next.
  const auto r =
      run_program("segmerge", {},
                  build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
                              {"a2", T0 + "14", T0 + "23", T0 + "14", 10, 100.0f, "110.0"},
                              {"a3", T0 + "28", T0 + "37", T0 + "28", 10, 200.0f}}),
                  dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  ASSERT_EQ(out.data.size(), 38u);
  for (int k = 10; k < 14; ++k) EXPECT_EQ(out.data[k][0], 1.0E32f) << k;
  // Window 2: baseline 1 is 110 against 100, so channel 1 gains 10; 2 and 3 are equal.
  EXPECT_EQ(out.data[14], std::vector<float>({110, 110, 120, 130, 140}));
  EXPECT_EQ(out.data[28], std::vector<float>({200, 210, 220, 230, 240}));
  EXPECT_TRUE(tsfix::has_line(r.out, " Time (seconds) and point gap =           5           4"));
  EXPECT_TRUE(
      tsfix::has_line(r.out, " Channel:            1   Baseline difference =   10.00000    "));
  EXPECT_EQ(out.value("ENDTIME"), T0 + "37");
  EXPECT_TRUE(
      tsfix::has_line(r.out, " Total number of data (incl. gaps) written out =          38"));
}

TEST(Segmerge, FourHertzGapAndOverlappingData) {
  TempDir dir;
  // 4 Hz: 9 records cover 2 s; next window 5 s later: 5 x 4 - 1 = 19 gap records.
  const auto r = run_program(
      "segmerge", {},
      build(dir,
            {{"a1", T0 + "00", T0 + "02", T0 + "00", 9, 0, "100.0", 5, 5, false, "4.0", "Hz"},
             {"a2", T0 + "07", T0 + "09", T0 + "07", 9, 0, "100.0", 5, 5, false, "4.0", "Hz"}}),
      dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::has_line(r.out, " Time (seconds) and point gap =           5          19"));
  EXPECT_EQ(tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts").data.size(), 37u);

  // Data running 10 s past the next window's start: gap -10, nothing filled.
  TempDir dir2;
  const auto r2 = run_program("segmerge", {},
                              build(dir2, {{"a1", T0 + "00", T0 + "09", T0 + "00", 20},
                                           {"a2", T0 + "10", T0 + "19", T0 + "10", 10}}),
                              dir2.str());
  ASSERT_EQ(r2.status, 0) << r2.out << r2.err;
  EXPECT_TRUE(tsfix::has_line(r2.out, " Setting current end to that determined by points"));
  EXPECT_TRUE(
      tsfix::has_line(r2.out, "  File            1  points and gap =          20         -10"));
  EXPECT_EQ(tsfix::read_binary_ts(dir2 / "kvt101" / "kvt101as.ts").data.size(), 30u);
}

TEST(Segmerge, DropsRecordsBeforeTheWindowStart) {
  TempDir dir;
  const auto r = run_program("segmerge", {},
                             build(dir, {{"a1", T0 + "10", T0 + "19", T0 + "00", 20}}), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::has_line(r.out, " Points to be dropped from start:           10"));
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  ASSERT_EQ(out.data.size(), 10u);
  EXPECT_EQ(out.data[0][0], 10.0f);
  EXPECT_EQ(out.value("STARTTIME"), T0 + "10");

  // A later window whose data end while its leading records are dropped: the records
  // of the first window and the gap are cut back, and no line is appended.
  TempDir dir2;
  const std::string answers2 = build(dir2, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
                                            {"a2", T0 + "20", T0 + "29", T0 + "10", 5}});
  const std::string db2 = read_file(dir2 / "windows.kvt");
  const auto r2 = run_program("segmerge", {}, answers2, dir2.str());
  EXPECT_EQ(r2.status, 1);
  EXPECT_TRUE(tsfix::has_line(r2.out, " EOF found before all drop points read in"));
  EXPECT_EQ(r2.err, std::string());
  EXPECT_EQ(read_file(output_of(dir2)), "");
  EXPECT_EQ(read_file(dir2 / "windows.kvt"), db2);
}

TEST(Segmerge, DataStartingAfterTheWindowStartResetIt) {
  TempDir dir;
  // Window 1 from 13:00:00 in the database, its data from 13:00:03; window 2 (another
  // instrument) from 13:00:20: the splice starts at 13:00:03 and so do the end-time
  // reckonings (10 records end at 13:00:12, 8 s before the next start: 7 gap records).
  const auto r = run_program("segmerge", {},
                             build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "03", 10},
                                         {"a2", T0 + "20", T0 + "29", T0 + "20", 10, 0, "100.0", 5,
                                          5, false, "1.0", "s", 31}}),
                             dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  for (const char* line : {" Data start > window start", " window starttime :2004-07-20 13:00:00",
                           " data   starttime :2004-07-20 13:00:03", " Window start reset",
                           "   instr1 =          27    instr =          31", " Check datafiles...",
                           " Program continuing...", " Thistime based on pts:2004-07-20 13:00:12",
                           " Time (seconds) and point gap =           8           7",
                           " Start and end of data from windows file: 2004-07-20 13:00:03-"})
    EXPECT_TRUE(tsfix::has_line(r.out, line)) << line;
  EXPECT_TRUE(tsfix::shows(r.out, " Different instrument number from first file"));
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  EXPECT_EQ(out.value("STARTTIME"), T0 + "03");
  EXPECT_EQ(out.data.size(), 27u);
  // The comment record keeps the database times.
  EXPECT_TRUE(out.has_comment("# kvt101a1  2004-07-20 13:00:00-2004-07-20 13:00:09"));
  // The window line: the last file's INSTRUMENT (27 in the file), the reset start.
  EXPECT_EQ(tstest::lines_of(read_file(dir / "windows.kvt"), tstest::LineEnd::lf).back(),
            "kvt101as 027 5 2004-07-20 13:00:03-2004-07-20 13:00:29    1.000000 splice: a1 a2 ");
}

TEST(Segmerge, FatalChecksEndWithErrorCondition) {
  struct Case {
    std::string name;
    std::vector<Win> wins;
    std::string line;
    bool opens_output;  // the window list passed
  };
  const std::vector<Case> cases = {
      {"overlap",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}, {"a2", T0 + "05", T0 + "19", T0 + "05", 10}},
       " FATAL ERROR: start time of this file is BEFORE end of previous file",
       false},
      {"db channels",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
        {"a2", T0 + "10", T0 + "19", T0 + "10", 10, 0, "100.0", 5, 3}},
       " FATAL ERROR: Different number of channels in this file from first",
       false},
      {"file channels",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
        {"a2", T0 + "10", T0 + "19", T0 + "10", 10, 0, "100.0", 3, 5}},
       " FATAL ERROR: Different number of channels in this file from first",
       true},
      {"rate",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
        {"a2", T0 + "10", T0 + "19", T0 + "10", 10, 0, "100.0", 5, 5, false, "2.0"}},
       " FATAL ERROR: digitizing rate different from first file",
       true},
      {"units",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10, 0, "100.0", 5, 5, false, "1.0", "xy"}},
       " FATAL ERROR: time units of first file not recognised: xy   ",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string answers = build(dir, c.wins);
    const std::string db = read_file(dir / "windows.kvt");
    const auto r = run_program("segmerge", {}, answers, dir.str());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(c.line + "\r\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
    // Once opened, the output exists; what was written to it is cut back to nothing.
    EXPECT_EQ(std::filesystem::exists(output_of(dir)), c.opens_output);
    if (c.opens_output) {
      EXPECT_EQ(read_file(output_of(dir)), "");
    }
    if (c.name == "overlap") {
      EXPECT_TRUE(tsfix::has_line(
          r.out, "   stime(nf) =2004-07-20 13:00:05   etime(nf-1) =2004-07-20 13:00:09"));
    }
  }
}

TEST(Segmerge, MissingWindowsDatabaseIsFatal) {
  TempDir dir;
  const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  std::filesystem::remove(dir / "windows.kvt");
  const auto r = run_program("segmerge", {}, answers, dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(r.out, " FATAL ERROR: cannot open windows file > windows.kvt"));
  EXPECT_TRUE(tsfix::has_line(r.out, " This file must exist and contain windows information"));
  EXPECT_TRUE(tsfix::has_line(r.out, "  for each file to be spliced"));
  EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "windows.kvt"));
}

TEST(Segmerge, ElevenWindowsGiveTwoLineWindowRecordAndAsciiInputIsRead) {
  TempDir dir;
  std::vector<Win> wins;
  for (int k = 0; k < 11; ++k) {
    char t1[8], t2[8];
    std::snprintf(t1, sizeof t1, "%02d", 2 * k);
    std::snprintf(t2, sizeof t2, "%02d", 2 * k + 1);
    Win w{"b" + std::to_string(k % 10), T0 + t1, T0 + t2, T0 + t1, 2, float(100 * k)};
    if (k == 10) w.run = "c0";
    w.ascii = k == 3;
    wins.push_back(w);
  }
  const auto r = run_program("segmerge", {}, build(dir, wins), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  ASSERT_EQ(out.data.size(), 22u);
  EXPECT_EQ(out.data[6], std::vector<float>({300, 310, 320, 330, 340}));  // the ASCII window
  const auto db = tstest::lines_of(read_file(dir / "windows.kvt"), tstest::LineEnd::lf);
  ASSERT_GE(db.size(), 2u);
  EXPECT_EQ(db[db.size() - 2],
            "kvt101as 027 5 2004-07-20 13:00:00-2004-07-20 13:00:21    1.000000 splice: "
            "b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ");
  EXPECT_EQ(db.back(), "c0 ");
}

TEST(Segmerge, UnknownWindowAndOutputNamingAnInputAreAskedAgain) {
  TempDir dir;
  std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  // station, first window "zz" (unknown), then a1; ENTER; output a1 (refused), then as.
  answers = "\nkvt101\nzz\na1\n\na1\nas\nb\n";
  const auto r = run_program("segmerge", {}, answers, dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("getwindow: ERROR: cannot find window in file"), std::string::npos);
  EXPECT_NE(r.out.find("is one of the windows to splice"), std::string::npos);
  EXPECT_EQ(tsfix::read_binary_ts(dir / "kvt101" / "kvt101a1.ts").data.size(), 10u);
  EXPECT_EQ(tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts").data.size(), 10u);
}

// Windows b0 to b9, c0 ... of 2 records each, one after the other.
std::vector<Win> many_windows(int count) {
  std::vector<Win> wins;
  for (int k = 0; k < count; ++k) {
    char run[3];
    std::snprintf(run, sizeof run, "%c%d", 'b' + k / 10, k % 10);
    wins.push_back(Win{run, at(2 * k), at(2 * k + 1), at(2 * k), 2});
  }
  return wins;
}

TEST(Segmerge, FiftyWindowsAreSpliced) {
  TempDir dir;
  const auto r = run_program("segmerge", {}, build(dir, many_windows(50)), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out, " No. of files to splice =          50"));
  EXPECT_EQ(tsfix::read_binary_ts(output_of(dir)).data.size(), 100u);
  const auto db = tstest::lines_of(read_file(dir / "windows.kvt"), tstest::LineEnd::lf);
  ASSERT_GE(db.size(), 5u);
  EXPECT_EQ(db[db.size() - 5],
            "kvt101as 027 5 2004-07-20 13:00:00-2004-07-20 13:01:39    1.000000 splice: "
            "b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ");
  EXPECT_EQ(db[db.size() - 2], "e0 e1 e2 e3 e4 e5 e6 e7 e8 e9 ");
  EXPECT_EQ(db.back(), "f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 ");
}

// A 51st window ends the run at once: the answers after it must not land on the
// output question, and no output is opened.
TEST(Segmerge, AFiftyFirstWindowEndsTheRunBeforeTheOutputIsAsked) {
  TempDir dir;
  const std::string answers = build(dir, many_windows(51));
  const std::string db = read_file(dir / "windows.kvt");
  mttest::write_file(output_of(dir), kEarlierSplice);
  const auto r = run_program("segmerge", {}, answers, dir.str());
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out, " FATAL ERROR: a splice holds at most 50 windows")) << r.out;
  EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
  EXPECT_EQ(tstest::count_of(r.out, "Give next window"), 50u);
  EXPECT_EQ(r.out.find("No. of files to splice"), std::string::npos);
  EXPECT_EQ(r.out.find("Give output window"), std::string::npos);
  EXPECT_EQ(read_file(output_of(dir)), kEarlierSplice);
  EXPECT_EQ(read_file(dir / "windows.kvt"), db);
}

TEST(Segmerge, AnInputNamedAtTheReopenQuestionMayNotBeTheOutput) {
  TempDir dir;
  build(dir,
        {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}, {"a2", T0 + "20", T0 + "29", T0 + "20", 10}});
  std::filesystem::rename(dir / "kvt101" / "kvt101a2.ts", dir / "kvt101" / "kvt101z2.ts");
  // a2's file is missing: ts_open asks for a name; kvt101as (the output) is refused.
  const auto r = run_program("segmerge", {},
                             "\nkvt101\na1\na2\n\nas\nb\nb\nkvt101as\nkvt101z2\nb\n", dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(
      tsfix::shows(r.out, " Input file kvt101/kvt101as.ts is the output file: give another"));
  const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
  ASSERT_EQ(out.data.size(), 30u);  // 10 + 10 gap records (11 s) + 10
  EXPECT_EQ(out.data[20][0], 0.0f);
}

// Windows whose records end on a fraction of a second: each window's first record
// must land at rate x (its start - the splice start), whatever the rounding of the
// seconds its predecessors cover.
TEST(Segmerge, LaterWindowsLandAtTheSampleOfTheirStart) {
  struct Case {
    std::string name;
    std::string delta, tunits;
    int windows;
    int records;        // per window
    int every;          // seconds from one window start to the next
    int span;           // database end - start, whole seconds
    int samples_apart;  // rate x every
  };
  const std::vector<Case> cases = {
      // 10 records at 4 Hz cover 2.25 s; windows 5 s apart: 20 samples apart.
      {"4 Hz", "4.0", "Hz", 3, 10, 5, 2, 20},
      // 120 records at 12 Hz cover 9.92 s; windows 15 s apart: 180 samples apart.
      {"12 Hz", "12.0", "Hz", 8, 120, 15, 9, 180},
      {"1/12 s", "0.08333333", "s", 8, 120, 15, 9, 180},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<Win> wins;
    for (int k = 0; k < c.windows; ++k) {
      Win w{"b" + std::to_string(k), at(k * c.every), at(k * c.every + c.span),
            at(k * c.every),         c.records,       1000.0f * static_cast<float>(k)};
      w.delta = c.delta;
      w.tunits = c.tunits;
      wins.push_back(w);
    }
    const auto r = run_program("segmerge", {}, build(dir, wins), dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto out = tsfix::read_binary_ts(dir / "kvt101" / "kvt101as.ts");
    const int gap = c.samples_apart - c.records;
    ASSERT_EQ(out.data.size(),
              static_cast<std::size_t>(c.windows * c.records + (c.windows - 1) * gap));
    for (int k = 0; k < c.windows; ++k) {
      SCOPED_TRACE(k);
      const std::size_t first = static_cast<std::size_t>(k * c.samples_apart);
      EXPECT_EQ(out.data[first][0], 1000.0f * static_cast<float>(k));
      if (k > 0) {
        EXPECT_EQ(out.data[first - 1][0], 1.0E32f);
      }
      char line[80];
      std::snprintf(line, sizeof line, "  File %12d  points and gap =%12d%12d", k + 1, c.records,
                    k + 1 < c.windows ? gap : 0);
      EXPECT_TRUE(tsfix::has_line(r.out, line)) << line;
    }
  }
}

// The gap lines keep their seconds: the time the records written so far reach,
// rounded to whole seconds, and the seconds from there to the next start.
TEST(Segmerge, GapLinesAtFourHertz) {
  TempDir dir;
  Win a{"a1", T0 + "00", T0 + "02", T0 + "00", 10};
  Win b{"a2", T0 + "05", T0 + "07", T0 + "05", 10, 100.0f};
  for (Win* w : {&a, &b}) {
    w->delta = "4.0";
    w->tunits = "Hz";
  }
  const auto r = run_program("segmerge", {}, build(dir, {a, b}), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // 10 records reach 2.25 s, shown as 2; 3 s to the next start; 20 - 10 records.
  for (const char* line :
       {" No. of points written:          10", " No. of secs total    :           2",
        " Thistime based on pts:2004-07-20 13:00:02",
        " Time (seconds) and point gap =           3          10",
        " Total number of data (incl. gaps) written out =          30"})
    EXPECT_TRUE(tsfix::has_line(r.out, line)) << line;
}

TEST(Segmerge, UnusableWindowTimesEndTheRunBeforeAnyOutput) {
  struct Case {
    std::string name;
    std::string line2;  // the database line of window a2
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases = {
      {"short",
       "kvt101a2 027 5 2004-07-20 13:00:1\r\n",
       {" FATAL ERROR: window kvt101a2 start time >2004-07-20 13:00:1 < is incomplete",
        " FATAL ERROR: window kvt101a2 end time >                   < is blank"}},
      {"blank times",
       "kvt101a2 027 5                    -                   \r\n",
       {" FATAL ERROR: window kvt101a2 start time >                   < is blank"}},
      {"unreadable",
       "kvt101a2 027 5 2004-07-20 13:00:1x-2004-07-20 13:00:29\r\n",
       {" FATAL ERROR: window kvt101a2 start time >2004-07-20 13:00:1x< is unreadable"}},
      {"out of range",
       "kvt101a2 027 5 2004-07-20 13:00:20-2004-13-20 13:00:29\r\n",
       {" Invalid month: 13  Try again.",
        " FATAL ERROR: window kvt101a2 end time >2004-13-20 13:00:29< is out of range"}},
      {"end before the start",
       "kvt101a2 027 5 2004-07-20 13:00:29-2004-07-20 13:00:20\r\n",
       {" FATAL ERROR: window kvt101a2 end time >2004-07-20 13:00:20< is before its start"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
                                            {"a2", T0 + "20", T0 + "29", T0 + "20", 10}});
    const std::string db = "kvt101a1 027 5 2004-07-20 13:00:00-2004-07-20 13:00:09\r\n" + c.line2;
    mttest::write_file(dir / "windows.kvt", db);
    const auto r = run_program("segmerge", {}, answers, dir.str());
    EXPECT_EQ(r.status, 1);
    for (const std::string& line : c.shown) EXPECT_TRUE(tsfix::shows(r.out, line)) << r.out;
    EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "kvt101" / "kvt101as.ts"));
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
  }

  // The first window's line is checked as well.
  TempDir dir;
  const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  mttest::write_file(dir / "windows.kvt", "kvt101a1 027 5\r\n");
  const auto r = run_program("segmerge", {}, answers, dir.str());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(tsfix::shows(
      r.out, " FATAL ERROR: window kvt101a1 start time >                   < is blank"));
  EXPECT_EQ(read_file(dir / "windows.kvt"), "kvt101a1 027 5\r\n");
}

// An input whose info block gives no count of samples is refused once its info is
// read, which is after the output is opened. A DELTA_T that is not a number does not
// get so far: reading the info block ends the run with the error report.
TEST(Segmerge, UnusableInputsAreRefused) {
  const std::string kRefused = "Program terminated with error condition\r\n";
  struct Case {
    std::string name;
    void (*spoil)(Win&);
    int status;
    std::vector<std::string> lines;  // shown, the first after "FATAL ERROR: <file> "
    std::string err;
  };
  const std::vector<Case> cases = {
      {"DELTA_T 0",
       [](Win& w) { w.delta = "0.0"; },
       1,
       {"has DELTA_T 0: it must be a number above 0"},
       kRefused},
      {"negative DELTA_T",
       [](Win& w) { w.delta = "-1.0"; },
       1,
       {"has DELTA_T -1: it must be a number above 0"},
       kRefused},
      {"NCHAN 0",
       [](Win& w) { w.nchan = 0; },
       1,
       {"has NCHAN 0: a ts file holds 1 to 5 channels"},
       kRefused},
      {"several samples per record",
       [](Win& w) { w.seq_rec = 3; },
       1,
       {"has SEQ_REC 3", " Such a window must be converted with one sample per record"},
       kRefused},
      {"no sample per record",
       [](Win& w) { w.seq_rec = 0; },
       1,
       {"has SEQ_REC 0: a record holds at least one sample"},
       kRefused},
      {"more samples a second than a count holds",
       [](Win& w) { w.delta = "1e-38"; },
       1,
       {"has DELTA_T 1e-38: more samples a second than a count holds"},
       kRefused},
      {"more seconds a sample than a count holds",
       [](Win& w) { w.delta = "1e38"; },
       1,
       {"has DELTA_T 1e+38: more seconds a sample than a count holds"},
       kRefused},
      {"start without seconds",
       [](Win& w) { w.data_start = "2004-07-20 13:00"; },
       1,
       {"has STARTTIME >2004-07-20 13:00   <: it is incomplete"},
       kRefused},
      {"start out of range",
       [](Win& w) { w.data_start = "2004-13-45 25:61:61"; },
       1,
       {"has STARTTIME >2004-13-45 25:61:61<: it is out of range"},
       kRefused},
      // A key the block lacks is refused, never taken from the file read before.
      {"no NCHAN",
       [](Win& w) { w.drop_key = "NCHAN"; },
       1,
       {"has NCHAN 0: a ts file holds 1 to 5 channels"},
       kRefused},
      {"no DELTA_T",
       [](Win& w) { w.drop_key = "DELTA_T"; },
       1,
       {"has DELTA_T 0: it must be a number above 0"},
       kRefused},
      {"no STARTTIME",
       [](Win& w) { w.drop_key = "STARTTIME"; },
       1,
       {"has STARTTIME >                   <: it is blank"},
       kRefused},
      {"DELTA_T not a number",
       [](Win& w) { w.delta = "rate"; },
       59,
       {},
       "segmerge: severe (59): list-directed I/O syntax error, unit -5, file Internal "
       "List-Directed Read\r\n"},
  };
  for (const Case& c : cases) {
    for (int refused : {0, 1}) {
      SCOPED_TRACE(c.name + (refused == 0 ? ", first window" : ", later window"));
      TempDir dir;
      std::vector<Win> wins = {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
                               {"a2", T0 + "20", T0 + "29", T0 + "20", 10}};
      c.spoil(wins[refused]);
      const std::string answers = build(dir, wins);
      const std::string db = read_file(dir / "windows.kvt");
      mttest::write_file(output_of(dir), kEarlierSplice);
      const auto r = run_program("segmerge", {}, answers, dir.str());
      EXPECT_EQ(r.status, c.status);
      if (!c.lines.empty()) {
        const std::string file = refused == 0 ? "kvt101/kvt101a1.ts" : "kvt101/kvt101a2.ts";
        std::string shown = " FATAL ERROR: " + file + " " + c.lines[0] + "\r\n";
        for (std::size_t k = 1; k < c.lines.size(); ++k) shown += c.lines[k] + "\r\n";
        EXPECT_NE(r.out.find(shown), std::string::npos) << r.out;
      }
      EXPECT_EQ(r.err, c.err);
      EXPECT_EQ(read_file(dir / "windows.kvt"), db);
      // A refused first window comes before anything is written to the output: the
      // earlier splice there stays. A later one: the records of the windows before it
      // are cut back to nothing.
      EXPECT_EQ(read_file(output_of(dir)), refused == 0 ? kEarlierSplice : "");
    }
  }
}

// A count the splice derives that does not fit its 32-bit value is refused: one known
// from the database and the first file before anything is written leaves an earlier
// splice as it was; one known only once a later window is read cuts the output back to
// nothing.
TEST(Segmerge, CountsBeyondThirtyTwoBitsAreRefused) {
  // 2004-07-20 to 2104-07-20: 36500 days and 24 leap days, 3155673600 s; 1903-07-20 to
  // 2004-07-20: 36865 days and 26 leap days, 3187382400 s.
  const std::string far = "2104-07-20 13:00:";
  struct Case {
    std::string name;
    std::vector<Win> wins;
    std::string line;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"records before the next window",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
        {"a2", far + "00", far + "09", far + "00", 10}},
       " FATAL ERROR: kvt101/kvt101as.ts: records before window kvt101a2 3155673600 does not fit "
       "a 32-bit count",
       kEarlierSplice},
      {"duration at 30 s sampling",
       {{"a1", T0 + "00", "2004-07-20 13:04:30", T0 + "00", 10, 0, "100.0", 5, 5, false, "30.0"},
        {"a2", far + "00", "2104-07-20 13:04:30", far + "00", 10, 0, "100.0", 5, 5, false, "30.0"}},
       " FATAL ERROR: kvt101/kvt101as.ts: duration in seconds 3155673870 does not fit a 32-bit "
       "count",
       kEarlierSplice},
      {"first window's data a century before it",
       {{"a1", T0 + "00", T0 + "09", "1903-07-20 13:00:00", 10},
        {"a2", T0 + "20", T0 + "29", T0 + "20", 10}},
       " FATAL ERROR: kvt101/kvt101a1.ts: seconds from the data start to the window start "
       "3187382400 does not fit a 32-bit count",
       kEarlierSplice},
      {"later window's data a century before it",
       {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
        {"a2", T0 + "20", T0 + "29", "1903-07-20 13:00:20", 10}},
       " FATAL ERROR: kvt101/kvt101a2.ts: seconds from the data start to the window start "
       "3187382400 does not fit a 32-bit count",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string answers = build(dir, c.wins);
    const std::string db = read_file(dir / "windows.kvt");
    mttest::write_file(output_of(dir), kEarlierSplice);
    const auto r = run_program("segmerge", {}, answers, dir.str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(tsfix::shows(r.out, c.line)) << r.out;
    EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
    EXPECT_EQ(read_file(output_of(dir)), c.output);
  }
}

// Time units a later block lacks are refused, not taken from the first file; the
// refusal shows them as the blanks the block left.
TEST(Segmerge, TimeUnitsABlockLacksAreRefused) {
  struct Case {
    int refused;  // the window whose block lacks T_UNITS
    std::vector<std::string> lines;
    std::string output;  // what the output holds after the run
  };
  const std::vector<Case> cases = {
      {0, {" FATAL ERROR: time units of first file not recognised:      "}, kEarlierSplice},
      {1,
       {" FATAL ERROR: time units different from first file", "    tunits1 =s       tunits =     "},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    TempDir dir;
    std::vector<Win> wins = {{"a1", T0 + "00", T0 + "09", T0 + "00", 10},
                             {"a2", T0 + "20", T0 + "29", T0 + "20", 10}};
    wins[c.refused].drop_key = "T_UNITS";
    const std::string answers = build(dir, wins);
    const std::string db = read_file(dir / "windows.kvt");
    mttest::write_file(output_of(dir), kEarlierSplice);
    const auto r = run_program("segmerge", {}, answers, dir.str());
    EXPECT_EQ(r.status, 1);
    for (const std::string& line : c.lines) EXPECT_TRUE(tsfix::has_line(r.out, line)) << r.out;
    EXPECT_EQ(r.err, "Program terminated with error condition\r\n");
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
    EXPECT_EQ(read_file(output_of(dir)), c.output);
  }
}

// The answers run out at a data-file question asked again for a window whose file is
// missing.
TEST(Segmerge, AnswersEndingAtAReaskedInputLeaveNoFragment) {
  struct Case {
    std::string name;
    std::string missing;  // the window whose file is missing
    std::string answers;  // up to that window's form answer
    std::string output;   // what the output holds after the run
  };
  const std::vector<Case> cases = {
      // The first window's records and the gap are in the output: cut back.
      {"later window", "kvt101a2", "\nkvt101\na1\na2\n\nas\nb\nb\n", ""},
      // Nothing of this run has been written: the earlier splice stays.
      {"first window", "kvt101a1", "\nkvt101\na1\na2\n\nas\nb\n", kEarlierSplice},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    // Window a1 is longer than a write buffer: part of it is on disk when a2 is asked.
    build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 3000},
                {"a2", at(3010), at(3019), at(3010), 10}});
    const std::string db = read_file(dir / "windows.kvt");
    mttest::write_file(output_of(dir), kEarlierSplice);
    std::filesystem::remove(dir / "kvt101" / (c.missing + ".ts"));
    const auto r = run_program("segmerge", {}, c.answers, dir.str());
    EXPECT_EQ(r.status, 24);
    EXPECT_EQ(r.err, "segmerge: severe (24): end-of-file during read, unit -4, file stdin\r\n");
    EXPECT_NE(r.out.find(" Error in opening kvt101/" + c.missing + ".ts"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Give data file "), std::string::npos);
    EXPECT_EQ(read_file(output_of(dir)), c.output);
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
  }
}

bool reports_write_error_on_output(const std::string& err) {
  return err.starts_with("segmerge: severe (38): error during write, unit 7, file /") &&
         err.ends_with("/kvt101/kvt101as.ts\r\n");
}

TEST(Segmerge, AFullDiskLeavesNoWindowLineAndNoFragment) {
  struct Case {
    std::string name;
    int records;
    bool reaches_report;  // the whole splice fits the write buffer: it fails at the close
  };
  const std::vector<Case> cases = {
      {"written out at the close", 1000, true},
      {"written out while splicing", 6000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", c.records}});
    const std::string db = read_file(dir / "windows.kvt");
    const auto r = mttest::run_program_on_small_disk("segmerge", {}, answers, dir.str(), 8192);
    ASSERT_NE(r.status, 126) << "segmerge did not start";
    EXPECT_EQ(r.status, 38) << r.out << r.err;
    EXPECT_TRUE(reports_write_error_on_output(r.err)) << r.err;
    EXPECT_EQ(r.out.find("Total number of data") != std::string::npos, c.reaches_report) << r.out;
    EXPECT_EQ(r.out.find("project windows.kvt file"), std::string::npos) << r.out;
    EXPECT_EQ(read_file(dir / "windows.kvt"), db);
    EXPECT_EQ(read_file(output_of(dir)), "");
  }
}

// An output that is a device is not cut, and still gets no window line.
TEST(Segmerge, AnOutputOnAFullDeviceGetsNoWindowLine) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  TempDir dir;
  const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  const std::string db = read_file(dir / "windows.kvt");
  std::filesystem::create_symlink("/dev/full", output_of(dir));
  const auto r = run_program("segmerge", {}, answers, dir.str());
  EXPECT_EQ(r.status, 38) << r.out << r.err;
  EXPECT_TRUE(reports_write_error_on_output(r.err)) << r.err;
  EXPECT_EQ(read_file(dir / "windows.kvt"), db);
  EXPECT_EQ(std::filesystem::read_symlink(output_of(dir)), "/dev/full");
}

TEST(Segmerge, FileNamesAreEchoedBlankFilled) {
  TempDir dir;
  const std::string answers = build(dir, {{"a1", T0 + "00", T0 + "09", T0 + "00", 10}});
  const auto r = run_program("segmerge", {"2"}, answers, dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // Once for the output, once for the input.
  EXPECT_EQ(tstest::count_of(r.out, " indat    = " + std::string(40, ' ') + "\r\n"), 2u);
}

}  // namespace
