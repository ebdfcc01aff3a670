// wincutter end to end: a span of a ts file copied into a new BINARY window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/full_device.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

namespace fs = std::filesystem;
using mttest::read_file;
using mttest::run_program;
using mttest::RunResult;
using mttest::TempDir;
using tsfix::TsSpec;

const std::string kEof = "wincutter: severe (24): end-of-file during read, unit -4, file stdin\r\n";
const std::string kUnreadableTime =
    "wincutter: severe (64): input conversion error, unit -5, file Internal Formatted Read\r\n";

// Answers: print level, input window, form, output window, start, end (empty: default).
std::string answers(const std::string& outwin = "", const std::string& start = "",
                    const std::string& end = "", const std::string& form = "b") {
  return "\nkvt101a1\n" + form + "\n" + outwin + "\n" + start + "\n" + end + "\n";
}

// The same first four answers, then the given time answers.
std::string answers_then(const std::vector<std::string>& times) {
  return "\nkvt101a1\nb\n\n" + mttest::answer_lines(times);
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

fs::path output_file(const TempDir& dir) { return dir / "kvt101" / "kvt101ex.ts"; }

// An extract an earlier run left where this run writes its output.
std::string put_earlier_extract(const TempDir& dir) {
  TsSpec old;
  old.window = "kvt101ex";
  old.end = "2004-07-20 13:00:02";
  const std::string bytes = tsfix::ts_file(old, tsfix::ramp(3, 7.0f));
  fs::create_directories(dir / "kvt101");
  mttest::write_file(output_file(dir), bytes);
  return bytes;
}

// A run that stopped before it opened its output: an earlier extract is as it was,
// byte for byte, and without one no file was created.
void expect_output_not_opened(const RunResult& r, const TempDir& dir,
                              const std::optional<std::string>& earlier) {
  EXPECT_EQ(line_with(r.out, "Opened UNFORMATTED output file"), "") << r.out;
  if (earlier) {
    EXPECT_EQ(read_file(output_file(dir)), *earlier);
  } else {
    EXPECT_FALSE(fs::exists(output_file(dir)));
  }
}

struct SpanCase {
  const char* name;
  std::string tunits, delta;
  int nrec;                    // data records of the input (start 13:00:00)
  std::string start, end;      // answers; empty takes the input's times
  int skip;                    // -1: no "Skipping" line
  int first, copied;           // first input record copied, records in the output
  int count;                   // the number of the "Reading and writing" line
  std::string moved_to{};      // a start before the data: the STARTTIME it is moved to
  std::string endtime{};       // the input's ENDTIME; empty: 5 s (Hz) or 10 s (s) on
  std::string end_moved_to{};  // an end past the data: the ENDTIME it is moved to
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
  s.end = !c.endtime.empty() ? c.endtime
          : c.tunits == "Hz" ? "2004-07-20 13:00:05"
                             : "2004-07-20 13:00:10";
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
  const std::string moved = line_with(r.out, "Start of extract moved");
  if (c.moved_to.empty()) {
    EXPECT_EQ(moved, "") << r.out;
  } else {
    EXPECT_TRUE(
        tsfix::shows(r.out, " Start of extract moved to the start of the data: " + c.moved_to))
        << r.out;
  }

  const std::string end_moved = line_with(r.out, "End of extract moved");
  if (c.end_moved_to.empty()) {
    EXPECT_EQ(end_moved, "") << r.out;
  } else {
    EXPECT_TRUE(
        tsfix::shows(r.out, " End of extract moved to the end of the data: " + c.end_moved_to))
        << r.out;
  }

  const auto got = tsfix::read_binary_ts(output_file(dir));
  const std::string asked_start = c.start.empty() ? s.start : c.start;
  const std::string asked_end = c.end.empty() ? s.end : c.end;
  EXPECT_EQ(got.value("STARTTIME"), c.moved_to.empty() ? asked_start : c.moved_to);
  EXPECT_EQ(got.value("ENDTIME"), c.end_moved_to.empty() ? asked_end : c.end_moved_to);
  EXPECT_EQ(got.value("WINDOW"), "kvt101ex");
  EXPECT_EQ(got.value("T_UNITS"), c.tunits);
  EXPECT_EQ(got.value("STATION"), "kvt101");
  ASSERT_EQ(got.data.size(), static_cast<std::size_t>(c.copied));
  for (int k = 0; k < c.copied; ++k)
    EXPECT_EQ(got.data[k], sample(data, c.first + k, s.nchan)) << "record " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Spans, WincutterSpan,
    ::testing::Values(SpanCase{"DefaultsAtOneSecond", "s", "1.0", 15, "", "", -1, 0, 10, 10},
                      SpanCase{"DefaultsAtFourHz", "Hz", "4.0", 25, "", "", -1, 0, 20, 20},
                      SpanCase{"StartThirtySecondsInAtFourHz", "Hz", "4.0", 200,
                               "2004-07-20 13:00:30", "2004-07-20 13:00:35", 120, 120, 20, 20, "",
                               "2004-07-20 13:00:50"},
                      // A start an hour before the data would label every sample an hour early: the
                      // extract starts with the data, and holds the data up to its end.
                      SpanCase{"StartAnHourBeforeTheData", "Hz", "4.0", 25, "2004-07-20 12:00:00",
                               "2004-07-20 13:00:03", -1, 0, 12, 12, "2004-07-20 13:00:00"},
                      SpanCase{"StartOneSampleBeforeTheData", "s", "1.0", 20, "2004-07-20 12:59:59",
                               "2004-07-20 13:00:05", -1, 0, 5, 5, "2004-07-20 13:00:00"},
                      // More than 68 years before the data: the seconds between do not wrap.
                      SpanCase{"StartACenturyBeforeTheData", "s", "1.0", 15, "1899-07-20 13:00:05",
                               "2004-07-20 13:00:06", -1, 0, 6, 6, "2004-07-20 13:00:00"},
                      // An end past the data is moved to the input's ENDTIME; the records may
                      // end before it (a window rawcv cut short keeps its requested end).
                      SpanCase{"EndBeyondTheData", "s", "1.0", 8, "2004-07-20 13:00:04",
                               "2004-07-20 13:01:00", 4, 4, 4, 6, "", "", "2004-07-20 13:00:10"},
                      // Without a valid ENDTIME the end is taken as answered, and the copy
                      // ends with the input.
                      SpanCase{"EndBeyondDataOfNoValidEnd", "s", "1.0", 10, "2004-07-20 13:00:04",
                               "2004-07-20 13:01:00", 4, 4, 6, 56, "", "2004-07-20"},
                      SpanCase{"TwoSecondSamplingCutsTowardZero", "s", "2.0", 10,
                               "2004-07-20 13:00:03", "2004-07-20 13:00:10", 1, 1, 3, 3},
                      SpanCase{"MinuteSampling", "s", "60.0", 30, "2004-07-20 13:02:00",
                               "2004-07-20 13:10:00", 2, 2, 8, 8, "", "2004-07-20 13:29:00"}),
    [](const auto& info) { return std::string(info.param.name); });

// The extract a run with time answers should write.
struct ExpectedExtract {
  std::string start, end;  // its STARTTIME and ENDTIME
  int first, copied;       // first input record copied, records in the output
};

// Runs wincutter with these time answers on 15 samples, one a second from 13:00:00,
// checks the extract it writes, and returns the run.
RunResult cut_and_check(const std::vector<std::string>& times, const ExpectedExtract& want) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:14";
  const auto data = tsfix::ramp(15);
  tsfix::write_ts(dir.path(), s, data);
  const auto r = run_program("wincutter", {}, answers_then(times), dir.str());
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  const auto got = tsfix::read_binary_ts(output_file(dir));
  EXPECT_EQ(got.value("STARTTIME"), want.start);
  EXPECT_EQ(got.value("ENDTIME"), want.end);
  EXPECT_EQ(got.data.size(), static_cast<std::size_t>(want.copied));
  if (!got.data.empty()) {
    EXPECT_EQ(got.data[0], sample(data, want.first, s.nchan));
  }
  return r;
}

// Time answers whose separator columns hold other characters are kept in the one form
// the header's readers compare and read by column.
TEST(Wincutter, TimeAnswersAreWrittenInTheTimeForm) {
  const std::vector<std::vector<std::string>> cases = {
      {"2004-07-20\t13:00:02", "2004-07-20\t13:00:06"},
      {"2004-07-20T13:00:02", "2004-07-20T13:00:06"},
      {"2004/07/20 13.00.02", "2004/07/20 13.00.06"},
  };
  for (const auto& times : cases) {
    SCOPED_TRACE(times[0]);
    cut_and_check(times, {"2004-07-20 13:00:02", "2004-07-20 13:00:06", 2, 4});
  }
}

// A time answer refused: the lines saying why, and the same question again offering
// the answer refused; the next answer is taken.
struct RefusedCase {
  const char* name;
  std::vector<std::string> times;  // the time answers, in order
  std::vector<std::string> lines;  // shown after the refused answer
  std::string asked_again;         // the question asked again, with its default
  ExpectedExtract extract;
};

TEST(Wincutter, RefusedTimeAnswersAreAskedAgain) {
  const std::string start_q = "Give start time of required extract  [default: ";
  const std::string end_q = "Give end   time of required extract  [default: ";
  const std::vector<RefusedCase> cases = {
      {"StartFieldsOutOfRange",
       {"2004-13-45 25:61:61", "2004-07-20 13:00:02", "2004-07-20 13:00:06"},
       {" Invalid month: 13  Try again.", " Invalid day: 45  Try again.",
        " Invalid hour: 25  Try again.", " Invalid minute: 61  Try again.",
        " Invalid second: 61  Try again."},
       start_q + "2004-13-45 25:61:61 ] >",
       {"2004-07-20 13:00:02", "2004-07-20 13:00:06", 2, 4}},
      // An answer that reads as numbers but is no time: blank fields read as 0.
      {"StartOfOneDigit",
       {"0", "2004-07-20 13:00:02", "2004-07-20 13:00:06"},
       {" Invalid month:  0  Try again.", " Invalid day:  0  Try again."},
       start_q + "0 ] >",
       {"2004-07-20 13:00:02", "2004-07-20 13:00:06", 2, 4}},
      {"EndFieldsOutOfRange",
       {"", "2004-07-20 13:00:99", "2004-07-20 13:00:06"},
       {" Invalid second: 99  Try again."},
       end_q + "2004-07-20 13:00:99 ] >",
       {"2004-07-20 13:00:00", "2004-07-20 13:00:06", 0, 6}},
      {"EndBeforeTheStart",
       {"2004-07-20 13:00:10", "2004-07-20 13:00:05", "2004-07-20 13:00:12"},
       {" End of extract is before its start 2004-07-20 13:00:10: give another end"},
       end_q + "2004-07-20 13:00:05 ] >",
       {"2004-07-20 13:00:10", "2004-07-20 13:00:12", 10, 2}},
      // A start at or after the input's ENDTIME would give an extract without records.
      {"StartAtTheEndOfTheData",
       {"2004-07-20 13:00:14", "2004-07-20 13:00:02", "2004-07-20 13:00:06"},
       {" Start of extract is at or after the data end 2004-07-20 13:00:14: give another"},
       start_q + "2004-07-20 13:00:14 ] >",
       {"2004-07-20 13:00:02", "2004-07-20 13:00:06", 2, 4}},
      // A century on is after the data, not (wrapped) before it.
      {"StartACenturyOn",
       {"2104-07-20 13:00:05", "2004-07-20 13:00:02", "2004-07-20 13:00:06"},
       {" Start of extract is at or after the data end 2004-07-20 13:00:14: give another"},
       start_q + "2104-07-20 13:00:05 ] >",
       {"2004-07-20 13:00:02", "2004-07-20 13:00:06", 2, 4}},
      // The end is held against the start the extract has: the data's.
      {"EndBeforeTheMovedStart",
       {"2004-07-20 12:00:00", "2004-07-20 12:30:00", "2004-07-20 13:00:03"},
       {" Start of extract moved to the start of the data: 2004-07-20 13:00:00",
        " End of extract is before its start 2004-07-20 13:00:00: give another end"},
       end_q + "2004-07-20 12:30:00 ] >",
       {"2004-07-20 13:00:00", "2004-07-20 13:00:03", 0, 3}},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = cut_and_check(c.times, c.extract);
    for (const auto& line : c.lines)
      EXPECT_TRUE(tsfix::shows(r.out, line)) << line << '\n' << r.out;
    EXPECT_EQ(tstest::count_of(r.out, c.asked_again), 1u) << r.out;
    EXPECT_EQ(tstest::count_of(r.out, "Give start time of required extract") +
                  tstest::count_of(r.out, "Give end   time of required extract"),
              3u);
  }
}

// Without an ENDTIME that is a time, nothing bounds the span: a count of records beyond
// what 32 bits hold is refused before the output is opened.
TEST(Wincutter, ACountBeyondThirtyTwoBitsIsRefusedBeforeTheOutputIsOpened) {
  struct Case {
    const char* name;
    std::string start, end;
    std::string line;
  };
  // 2004-07-20 to 2024-07-20: 20 years of 365 days and the 5 leap days of 2008 to 2024,
  // 631152000 s, at 4 Hz.
  const std::vector<Case> cases = {
      {"Skip", "2024-07-20 13:00:00", "2024-07-20 13:00:05",
       " FATAL ERROR: kvt101/kvt101a1.ts: records to skip 2524608000 does not fit a 32-bit "
       "count\r\n"},
      {"Copy", "", "2024-07-20 13:00:00",
       " FATAL ERROR: kvt101/kvt101a1.ts: records to copy 2524608000 does not fit a 32-bit "
       "count\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    TsSpec s;
    s.tunits = "Hz";
    s.delta = "4.0";
    s.end = "";
    tsfix::write_ts(dir.path(), s, tsfix::ramp(25));
    const auto r = run_program("wincutter", {}, answers("", c.start, c.end), dir.str());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(c.line), std::string::npos) << r.out;
    expect_output_not_opened(r, dir, std::nullopt);
  }
}

TEST(Wincutter, EndAtTheStartWritesHeaderButNoData) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:10";
  tsfix::write_ts(dir.path(), s, tsfix::ramp(15));
  const auto r = run_program("wincutter", {},
                             answers("", "2004-07-20 13:00:05", "2004-07-20 13:00:05"), dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(
      in_order(line_with(r.out, "Reading and writing"), {"Reading and writing", " 0 ", " entries"}))
      << r.out;
  const auto got = tsfix::read_binary_ts(output_file(dir));
  EXPECT_TRUE(got.data.empty());
  EXPECT_EQ(got.value("STARTTIME"), "2004-07-20 13:00:05");
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
  // The output is opened once the last answer is in.
  const std::size_t opened = r.out.find(" Opened UNFORMATTED output file...kvt101/kvt101ex.ts");
  ASSERT_NE(opened, std::string::npos) << r.out;
  EXPECT_LT(r.out.find("Give end   time of required extract"), opened) << r.out;
  // The comment records come first, byte for byte.
  const auto recs = tstest::records_of(read_file(output_file(dir)));
  ASSERT_GE(recs.size(), s.comments.size() + 1);
  for (std::size_t k = 0; k < s.comments.size(); ++k)
    EXPECT_EQ(recs[k], tstest::pad(s.comments[k], 80)) << k;
  EXPECT_EQ(recs[s.comments.size()].substr(0, 11), ">INFO_START");
  // The input is untouched.
  EXPECT_EQ(read_file(dir / "kvt101" / "kvt101a1.ts"), tsfix::ts_file(s, tsfix::ramp(5)));
}

// Runs that stop in the dialogue: nothing is opened for writing.
struct DialogueStopCase {
  const char* name;
  std::string answers;
  int status;
  std::string err;
};

TEST(Wincutter, ARunThatStopsInItsDialogueLeavesTheOutputAlone) {
  const std::vector<DialogueStopCase> cases = {
      {"AnswersEndAtTheStart", answers_then({}), 24, kEof},
      {"AnswersEndAtTheEnd", answers_then({"2004-07-20 13:00:02"}), 24, kEof},
      {"AnswersEndAtARefusedStart", answers_then({"2004-13-45 25:61:61"}), 24, kEof},
      {"AnswersEndAtARefusedEnd", answers_then({"2004-07-20 13:00:05", "2004-07-20 13:00:01"}), 24,
       kEof},
      {"UnreadableStart", answers_then({"20x4-07-20 13:00:00", ""}), 64, kUnreadableTime},
      {"UnreadableEnd", answers_then({"", "2004-07-2x 13:00:05"}), 64, kUnreadableTime},
  };
  for (const DialogueStopCase& c : cases) {
    for (const bool earlier : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (earlier ? ", earlier extract there" : ", no output yet"));
      TempDir dir;
      tsfix::write_ts(dir.path(), TsSpec{}, tsfix::ramp(15));
      std::optional<std::string> before;
      if (earlier) before = put_earlier_extract(dir);
      const auto r = run_program("wincutter", {}, c.answers, dir.str());
      EXPECT_EQ(r.status, c.status) << r.out << r.err;
      EXPECT_EQ(r.err, c.err) << r.out;
      expect_output_not_opened(r, dir, before);
    }
  }
}

// Inputs the copy cannot work on are refused as soon as their info block is read:
// the span times are not asked (an unreadable start answer is never read).
struct RefusedInputCase {
  const char* name;
  void (*change)(TsSpec&);
  std::vector<std::string> shown;  // pieces of the console output
  int header_nchan = 0;            // an NCHAN for the header alone (the samples keep 5)
  std::string drop_key{};          // a key the block lacks
};

TEST(Wincutter, AnInputItCannotWorkOnIsRefusedBeforeTheOutputIsOpened) {
  const std::vector<RefusedInputCase> cases = {
      {"UnknownTimeUnits",
       [](TsSpec& s) { s.tunits = "sec"; },
       {" Time units not recognised >sec  \r\n", " only \"s\" or \"Hz\" permitted\r\n"}},
      {"SeveralSamplesPerRecord",
       [](TsSpec& s) { s.seq_rec = 3; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has SEQ_REC 3",
        " Such a window must be converted with one sample per record\r\n"}},
      {"NoChannels",
       [](TsSpec& s) { s.nchan = 0; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has NCHAN 0"}},
      {"ZeroDeltaT",
       [](TsSpec& s) { s.delta = "0.0"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has DELTA_T 0"}},
      {"NegativeDeltaT",
       [](TsSpec& s) { s.delta = "-4.0"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has DELTA_T -4"}},
      {"SixChannels",
       [](TsSpec&) {},
       {" FATAL ERROR: kvt101/kvt101a1.ts has NCHAN 6: a ts file holds 1 to 5 channels\r\n"},
       6},
      {"NoSampleARecord",
       [](TsSpec& s) { s.seq_rec = 0; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has SEQ_REC 0: a record holds at least one sample\r\n"}},
      {"DeltaTWhoseRateNoCountHolds",
       [](TsSpec& s) { s.delta = "1e-38"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has DELTA_T 1e-38: more samples a second than a count "
        "holds\r\n"}},
      {"StartTimeWithoutSeconds",
       [](TsSpec& s) { s.start = "2004-07-20 13:00"; },
       {" FATAL ERROR: kvt101/kvt101a1.ts has STARTTIME >2004-07-20 13:00   <: it is "
        "incomplete\r\n"}},
      // A key the block lacks shows as blanks, as the file has it.
      {"NoTimeUnits",
       [](TsSpec&) {},
       {" Time units not recognised >     \r\n", " only \"s\" or \"Hz\" permitted\r\n"},
       0,
       "T_UNITS"},
  };
  for (const RefusedInputCase& c : cases) {
    for (const bool earlier : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (earlier ? ", earlier extract there" : ", no output yet"));
      TempDir dir;
      TsSpec s;
      c.change(s);
      tsfix::write_ts(dir.path(), s, tsfix::ramp(9));
      const auto file = dir / "kvt101" / "kvt101a1.ts";
      if (c.header_nchan != 0) {
        mttest::write_file(
            file, tsfix::with_info(read_file(file), "NCHAN", "5", std::to_string(c.header_nchan)));
      }
      if (!c.drop_key.empty())
        mttest::write_file(file, tsfix::without_info(read_file(file), c.drop_key));
      std::optional<std::string> before;
      if (earlier) before = put_earlier_extract(dir);
      const auto r = run_program("wincutter", {}, answers("", "20x4-07-20 13:00:00"), dir.str());
      EXPECT_EQ(r.status, 1) << r.out << r.err;
      EXPECT_EQ(r.err, "") << r.out;
      for (const auto& piece : c.shown)
        EXPECT_NE(r.out.find(piece), std::string::npos) << piece << '\n' << r.out;
      EXPECT_EQ(line_with(r.out, "Give start time"), "") << r.out;
      expect_output_not_opened(r, dir, before);
    }
  }
}

// A run that fails while it writes its extract leaves no part of one: the records
// written so far, and an earlier extract the run replaced, are gone.
struct BrokenDataCase {
  const char* name;
  TsSpec spec;
  std::string trailer;  // data after the good records
  std::string form;
  int status;
  std::string err;  // "@" stands for the project directory
};

TEST(Wincutter, AFailureWhileWritingCutsTheOutputToNothing) {
  TsSpec ascii;
  ascii.ascii = true;
  ascii.nchan = 3;
  const std::vector<BrokenDataCase> cases = {
      {"ShortBinaryRecord", TsSpec{}, tstest::float_record({1.0f, 2.0f, 3.0f}), "b", 67,
       "wincutter: severe (67): input statement requires too much data, unit 4, file "
       "@/kvt101/kvt101a1.ts\r\n"},
      {"UnreadableAsciiValue", ascii, " 1.0 x 3.0\r\n", "a", 59,
       "wincutter: severe (59): list-directed I/O syntax error, unit 4, file "
       "@/kvt101/kvt101a1.ts\r\n"},
  };
  for (const BrokenDataCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir project;
    const std::string dir = project.str();
    fs::create_directories(project / "kvt101");
    mttest::write_file(project / "kvt101" / "kvt101a1.ts",
                       tsfix::ts_file(c.spec, tsfix::ramp(4)) + c.trailer);
    put_earlier_extract(project);
    const auto r = run_program("wincutter", {}, answers("", "", "", c.form), dir);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    std::string err = c.err;
    err.replace(err.find('@'), 1, dir);
    EXPECT_EQ(r.err, err) << r.out;
    EXPECT_NE(line_with(r.out, "Reading and writing"), "") << r.out;
    ASSERT_TRUE(fs::exists(output_file(project)));
    EXPECT_EQ(fs::file_size(output_file(project)), 0u);
  }
}

TEST(Wincutter, OutputNamingTheInputIsRefusedAndAskedAgain) {
  TempDir dir;
  TsSpec s;
  s.end = "2004-07-20 13:00:03";
  const std::string before = tsfix::ts_file(s, tsfix::ramp(5));
  tsfix::write_ts(dir.path(), s, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, "\nkvt101a1\nb\nkvt101a1\nkvt101zz\n\n\n", dir.str());
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
  const auto got = tsfix::read_binary_ts(output_file(dir));
  EXPECT_EQ(got.value("FORM"), "BINARY");
  EXPECT_EQ(got.value("FORMAT"), "UNFORMATTED");
  EXPECT_TRUE(got.has_comment("# test file"));
  ASSERT_EQ(got.data.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(got.data[k], sample(data, k, 3));
}

TEST(Wincutter, MissingOutputStationDirectoryEndsWithErrorReportAfterTheLastAnswer) {
  TempDir project;
  const std::string dir = project.str();
  tsfix::write_ts(dir, TsSpec{}, tsfix::ramp(5));
  const auto r = run_program("wincutter", {}, answers("zzz999ex"), dir);
  EXPECT_EQ(r.status, 29) << r.out << r.err;
  EXPECT_EQ(r.err, "wincutter: severe (29): file not found, unit 7, file " + dir +
                       "/zzz999/zzz999ex.ts\r\n");
  EXPECT_NE(r.out.find("Give end   time of required extract"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(project / "zzz999"));
}

TEST(Wincutter, FullDiskIsReportedAsFailure) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  TempDir project;
  const std::string dir = project.str();
  tsfix::write_ts(dir, TsSpec{}, tsfix::ramp(5));
  fs::create_symlink("/dev/full", project / "kvt101" / "kvt101ex.ts");
  const auto r = run_program("wincutter", {}, answers(), dir);
  EXPECT_EQ(r.status, 38) << r.out << r.err;
  EXPECT_EQ(r.err, "wincutter: severe (38): error during write, unit 7, file " + dir +
                       "/kvt101/kvt101ex.ts\r\n");
}

TEST(Wincutter, InputEndingInItsCommentBlockIsAnErrorBeforeTheOutputIsOpened) {
  TempDir project;
  const std::string dir = project.str();
  fs::create_directories(project / "kvt101");
  std::string bytes;
  bytes += tstest::record(tstest::pad("# only a comment", 80));
  bytes += tstest::record(tstest::pad("# and another", 80));
  mttest::write_file(project / "kvt101" / "kvt101a1.ts", bytes);
  const std::string before = put_earlier_extract(project);
  const auto r = run_program("wincutter", {}, answers(), dir);
  EXPECT_EQ(r.status, 24) << r.out << r.err;
  EXPECT_EQ(r.err, "wincutter: severe (24): end-of-file during read, unit 4, file " + dir +
                       "/kvt101/kvt101a1.ts\r\n");
  expect_output_not_opened(r, project, before);
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
  EXPECT_TRUE(tsfix::shows(
      r.out, " Error in opening kvt101/kvt101zz.ts" + std::string(12, ' ') + "  Try again!"))
      << r.out;
  EXPECT_EQ(tsfix::read_binary_ts(output_file(dir)).data.size(), 5u);
}

// The input renamed and another file put in its place while the dialogue runs: the
// output's comment records, like its info block and data, are those of the file opened.
TEST(Wincutter, AFileReplacedDuringTheDialogueGivesNoComments) {
  TempDir dir;
  TsSpec opened;
  opened.comments = {"# the file opened", "#F Filter block begin", "#F Filter block end"};
  tsfix::write_ts(dir.path(), opened, tsfix::ramp(5));
  TsSpec other = opened;
  other.comments = {"# the file put in its place"};
  const fs::path input = dir / "kvt101" / "kvt101a1.ts";

  mttest::Child child([&] {
    if (::chdir(dir.str().c_str()) != 0) ::_exit(126);
    const std::string exe = std::string(MT_BIN_DIR) + "/wincutter";
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  });
  for (const char* answer : {"\n", "kvt101a1\n", "b\n"}) {
    child.until_prompt();
    child.answer(answer);
  }
  ASSERT_NE(child.until_prompt().find("Give output window name"), std::string::npos);
  fs::rename(input, dir / "kvt101" / "kvt101a1.old");
  mttest::write_file(input, tsfix::ts_file(other, tsfix::ramp(5, 50.0f)));
  const auto r = child.finish("\n\n\n");

  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const tsfix::TsOut out = tsfix::read_binary_ts(output_file(dir));
  EXPECT_TRUE(out.has_comment("# the file opened"));
  EXPECT_FALSE(out.has_comment("# the file put in its place"));
  ASSERT_EQ(out.data.size(), 5u);
  EXPECT_EQ(out.data[0][0], 0.0f);
}

}  // namespace
