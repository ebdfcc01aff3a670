// wincutter end to end: a span of a ts file copied into a new BINARY window.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/full_device.h"
#include "support/ts_project.h"
#include "support/run_program.h"

namespace {

using mttest::read_file;
using mttest::run_program;
using mttest::TempDir;
using tsfix::TsSpec;

// Answers: print level, input window, form, output window, start, end (empty: default).
std::string answers(const std::string& outwin = "", const std::string& start = "",
                    const std::string& end = "", const std::string& form = "b") {
  return "\nkvt101a1\n" + form + "\n" + outwin + "\n" + start + "\n" + end + "\n";
}

// The line of the console holding `word`, or "" when there is none.
std::string line_with(const std::string& out, const std::string& word) {
  for (const auto& l : tstest::lines_of(out, tstest::LineEnd::lf))
    if (l.find(word) != std::string::npos) return l;
  return "";
}

// True when the line holds the words in this order.
bool in_order(const std::string& line, const std::vector<std::string>& words) {
  std::size_t at = 0;
  for (const auto& w : words) {
    at = line.find(w, at);
    if (at == std::string::npos) return false;
    at += w.size();
  }
  return true;
}

// Input samples as the output holds them (the first nchan values).
std::vector<float> sample(const std::vector<tsfix::Sample>& data, std::size_t k, int nchan) {
  return std::vector<float>(data[k].begin(), data[k].begin() + nchan);
}

// A run that stopped after the info block was read: no data were copied, and the
// output holds the input's comment records, copied before, and nothing else.
void expect_comment_records_only(const std::string& out, const TempDir& dir, const TsSpec& s) {
  EXPECT_EQ(line_with(out, "Reading and writing"), "");
  const auto recs = tstest::records_of(read_file(dir / "kvt101" / "kvt101ex.ts"));
  ASSERT_EQ(recs.size(), s.comments.size());
  for (std::size_t k = 0; k < recs.size(); ++k) EXPECT_EQ(recs[k], tstest::pad(s.comments[k], 80));
}

struct SpanCase {
  const char* name;
  std::string tunits, delta;
  int nrec;              // data records of the input (start 13:00:00)
  std::string start, end;  // answers; empty takes the input's times
  int skip;              // -1: no "Skipping" line
  int first, copied;     // first input record copied, records in the output
  int count;             // the number of the "Reading and writing" line
};

void PrintTo(const SpanCase& c, std::ostream* os) {
  *os << c.name << " (" << c.nrec << " records at " << c.delta << ' ' << c.tunits << ')';
}

class WincutterSpan : public ::testing::TestWithParam<SpanCase> {};

TEST_P(WincutterSpan, CopiesTheSpan) {
  const SpanCase& c = GetParam();
  TempDir dir;
  TsSpec s;
  s.tunits = c.tunits;
  s.delta = c.delta;
  s.start = "2004-07-20 13:00:00";
  s.end = c.tunits == "Hz" ? "2004-07-20 13:00:05" : "2004-07-20 13:00:10";
  const auto data = tsfix::ramp(c.nrec, 1.5f);
  tsfix::write_ts(dir.path(), s, data);

  const auto r = run_program("wincutter", {}, answers("", c.start, c.end), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;

  const std::string skipping = line_with(r.out, "Skipping");
  if (c.skip < 0) {
    EXPECT_EQ(skipping, "") << r.out;
  } else {
    EXPECT_TRUE(in_order(skipping, {"Skipping", " " + std::to_string(c.skip) + " ", " entries"}))
        << skipping;
  }
  EXPECT_TRUE(in_order(line_with(r.out, "Reading and writing"),
                       {"Reading and writing", " " + std::to_string(c.count) + " ", " entries"}))
      << r.out;

  const auto got = tsfix::read_binary_ts(dir / "kvt101" / "kvt101ex.ts");
  EXPECT_EQ(got.value("STARTTIME"), c.start.empty() ? s.start : c.start);
  EXPECT_EQ(got.value("ENDTIME"), c.end.empty() ? s.end : c.end);
  EXPECT_EQ(got.value("WINDOW"), "kvt101ex");
  EXPECT_EQ(got.value("T_UNITS"), c.tunits);
  EXPECT_EQ(got.value("STATION"), "kvt101");
  ASSERT_EQ(got.data.size(), static_cast<std::size_t>(c.copied));
  for (int k = 0; k < c.copied; ++k)
    EXPECT_EQ(got.data[k], sample(data, c.first + k, s.nchan)) << "record " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Spans, WincutterSpan,
    ::testing::Values(
        SpanCase{"DefaultsAtOneSecond", "s", "1.0", 15, "", "", -1, 0, 10, 10},
        SpanCase{"DefaultsAtFourHz", "Hz", "4.0", 25, "", "", -1, 0, 20, 20},
        SpanCase{"StartThirtySecondsInAtFourHz", "Hz", "4.0", 200, "2004-07-20 13:00:30",
                 "2004-07-20 13:00:35", 120, 120, 20, 20},
        SpanCase{"StartBeforeTheData", "s", "1.0", 20, "2004-07-20 12:59:50",
                 "2004-07-20 13:00:05", -1, 0, 15, 15},
        // One sample before the data: a skip count of -1, nothing skipped, all copied.
        SpanCase{"StartOneSampleBeforeTheData", "s", "1.0", 20, "2004-07-20 12:59:59",
                 "2004-07-20 13:00:05", -1, 0, 6, 6},
        // A start twenty years on at 4 Hz: more records than a 32-bit count holds; the
        // skip stops at the largest count, meets the end, and nothing is copied.
        SpanCase{"SkipBeyondTheCountRange", "Hz", "4.0", 25, "2024-07-20 13:00:00",
                 "2024-07-20 13:00:05", 2147483647, 0, 0, 20},
        SpanCase{"EndBeyondTheData", "s", "1.0", 10, "2004-07-20 13:00:04",
                 "2004-07-20 13:01:00", 4, 4, 6, 56},
        SpanCase{"TwoSecondSamplingCutsTowardZero", "s", "2.0", 10, "2004-07-20 13:00:03",
                 "2004-07-20 13:00:10", 1, 1, 3, 3},
        SpanCase{"MinuteSampling", "s", "60.0", 30, "2004-07-20 13:02:00",
                 "2004-07-20 13:10:00", 2, 2, 8, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wincutter, EndBeforeStartWritesHeaderButNoData) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:10";
  tsfix::write_ts(dir.path(), s, tsfix::ramp(15));
  const auto r = run_program(
      "wincutter", {}, answers("", "2004-07-20 13:00:10", "2004-07-20 13:00:05"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto got = tsfix::read_binary_ts(dir / "kvt101" / "kvt101ex.ts");
  EXPECT_TRUE(got.data.empty());
  EXPECT_EQ(got.value("STARTTIME"), "2004-07-20 13:00:10");
  EXPECT_EQ(got.value("ENDTIME"), "2004-07-20 13:00:05");
  EXPECT_EQ(got.header.back().substr(0, 9), ">INFO_END");
}

TEST(Wincutter, DefaultOutputIsStationExInStationDirectoryWithCommentsKept) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:03";
  s.comments = {"# first comment", "#F Filter block begin", "#F 1 2 3", "#F Filter block end"};
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers(), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Give output window name  [default: kvt101ex ] >"), std::string::npos)
      << r.out;
  EXPECT_TRUE(in_order(line_with(r.out, "Opened UNFORMATTED output file..."),
                       {"Opened UNFORMATTED output file...", "kvt101/kvt101ex.ts"}));
  ASSERT_TRUE(std::filesystem::exists(dir / "kvt101" / "kvt101ex.ts"));
  // The comment records come first, byte for byte.
  const auto recs = tstest::records_of(read_file(dir / "kvt101" / "kvt101ex.ts"));
  ASSERT_GE(recs.size(), s.comments.size() + 1);
  for (std::size_t k = 0; k < s.comments.size(); ++k)
    EXPECT_EQ(recs[k], tstest::pad(s.comments[k], 80)) << k;
  EXPECT_EQ(recs[s.comments.size()].substr(0, 11), ">INFO_START");
  // The input is untouched.
  EXPECT_EQ(read_file(dir / "kvt101" / "kvt101a1.ts"), tsfix::ts_file(s, tsfix::ramp(5)));
}

TEST(Wincutter, UnknownTimeUnitsLeaveOnlyTheCommentRecords) {
  TempDir dir;
  TsSpec s;
  s.tunits = "sec";
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers(), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(in_order(line_with(r.out, "Time units not recognised >"),
                       {"Time units not recognised >", "sec"}))
      << r.out;
  EXPECT_NE(line_with(r.out, "only \"s\" or \"Hz\" permitted"), "") << r.out;
  expect_comment_records_only(r.out, dir, s);
}

TEST(Wincutter, UnknownTimeUnitsAreReportedBeforeTheSpanTimesAreRead) {
  TempDir dir;
  TsSpec s;
  s.tunits = "sec";
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers("", "20x4-07-20 13:00:00"), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_NE(line_with(r.out, "only \"s\" or \"Hz\" permitted"), "") << r.out;
  EXPECT_EQ(r.err.find("severe"), std::string::npos) << r.err;
}

TEST(Wincutter, OutputNamingTheInputIsRefusedAndAskedAgain) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:03";
  const std::string before = tsfix::ts_file(s, tsfix::ramp(5));
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {},
                             "\nkvt101a1\nb\nkvt101a1\nkvt101zz\n\n\n", dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(tstest::count_of(r.out, "Give output window name"), 2u) << r.out;
  EXPECT_EQ(read_file(dir / "kvt101" / "kvt101a1.ts"), before);
  const auto got = tsfix::read_binary_ts(dir / "kvt101" / "kvt101zz.ts");
  EXPECT_EQ(got.value("WINDOW"), "kvt101zz");
  EXPECT_EQ(got.data.size(), 3u);
}

TEST(Wincutter, AsciiInputIsWrittenAsBinary) {
  TempDir dir;
  TsSpec s;
  s.ascii = true;
  s.nchan = 3;
  s.end = "2004-07-20 13:00:04";
  const auto data = tsfix::ramp(6, 0.25f);
  tsfix::write_ts(dir.path(), s, data);
  const auto r = run_program("wincutter", {}, answers("", "", "", "a"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto got = tsfix::read_binary_ts(dir / "kvt101" / "kvt101ex.ts");
  EXPECT_EQ(got.value("FORM"), "BINARY");
  EXPECT_EQ(got.value("FORMAT"), "UNFORMATTED");
  EXPECT_TRUE(got.has_comment("# test file"));
  ASSERT_EQ(got.data.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(got.data[k], sample(data, k, 3));
}

TEST(Wincutter, MissingOutputStationDirectoryEndsWithErrorReport) {
  TempDir dir;
  TsSpec s;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers("zzz999ex"), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "zzz999"));
  EXPECT_NE(r.err + r.out, "");
}

TEST(Wincutter, FullDiskIsReportedAsFailure) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  TempDir dir;
  TsSpec s;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  std::filesystem::create_symlink("/dev/full", dir / "kvt101" / "kvt101ex.ts");
  const auto r = run_program("wincutter", {}, answers(), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("error during write, unit 7"), std::string::npos) << r.err;
}

TEST(Wincutter, InputEndingInItsCommentBlockIsAnError) {
  TempDir dir;
  std::filesystem::create_directories(dir / "kvt101");
  std::string bytes;
  bytes += tstest::record(tstest::pad("# only a comment", 80));
  bytes += tstest::record(tstest::pad("# and another", 80));
  mttest::write_file(dir / "kvt101" / "kvt101a1.ts", bytes);
  const auto r = run_program("wincutter", {}, answers(), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("end-of-file"), std::string::npos) << r.out << r.err;
}

TEST(Wincutter, UnreadableSpanTimeEndsWithErrorReport) {
  TempDir dir;
  TsSpec s;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers("", "20x4-07-20 13:00:00"), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(line_with(r.out, "Reading and writing"), "");
  EXPECT_NE(r.err, "") << r.out;
}

TEST(Wincutter, AFileWithSeveralSamplesPerRecordIsRefused) {
  TempDir dir;
  TsSpec s;
  s.seq_rec = 3;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(9));
  const auto r = run_program("wincutter", {}, answers(), dir.str());
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(tsfix::has_line(r.out, " FATAL ERROR: kvt101/kvt101a1.ts has SEQ_REC 3")) << r.out;
  EXPECT_TRUE(tsfix::has_line(r.out, " Such a window must be converted with one sample per record"));
  expect_comment_records_only(r.out, dir, s);
}

TEST(Wincutter, InputNameFieldIsThirtyBlankFilledCharacters) {
  TempDir dir;
  TsSpec s;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  // Print level 2 answered (an argument would be taken as the window), then a window
  // without file: the retry line fits one line.
  const auto r = run_program("wincutter", {}, "2\nkvt101zz\nb\nkvt101a1\n\n\n\n", dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::has_line(r.out, " indat    = " + std::string(30, ' '))) << r.out;
  EXPECT_TRUE(tsfix::shows(r.out, " Error in opening kvt101/kvt101zz.ts" + std::string(12, ' ') +
                                      "  Try again!"))
      << r.out;
  EXPECT_EQ(tsfix::read_binary_ts(dir / "kvt101" / "kvt101ex.ts").data.size(), 5u);
}

}  // namespace
