// The road of a window, end to end: raw windows of two stations go through rawcv, the
// windows of one station are spliced (segmerge), a span of the splice is cut out
// (wincutter) and measured (spanx), channels of the two stations are combined
// (chanmixer) and the combined file's header is dumped (hdrdmp). Each step reads what
// the step before it wrote, and each test below checks one of those hand-overs.
//
// The project (code kvt), all at 1 sample per second, 5 channels:
//   kvt101a1  13:00-14:00  box 7   BINARY
//   kvt101a2  14:00-15:00  box 7   BINARY, other baselines on channels 1 and 3
//   kvt101a3  15:10-16:10  box 7   BINARY (a 10-minute gap after a2)
//   kvt102a1  13:30-14:30  box 9   ASCII
// Every raw count encodes its time and channel, so that a value in any output file
// tells which source sample it is: station kvt101 stores t + 1000 c, station kvt102
// -(t + 1000 c), with t the seconds since 13:00 and c the channel (1 HX .. 5 EY).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/text_field.h"
#include "support/rawcv_project.h"
#include "support/rawgen.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

using mttest::answer_lines;
using mttest::RunResult;
using Rec = std::vector<float>;

constexpr int kHour = 3600;
constexpr int kRawRecords = kHour + 60;  // each raw window runs a minute past the hour

struct RawWindow {
  std::string station, window;
  int start_minute;  // minutes after 13:00 (the block start of the logger)
  int sign;          // +1 station kvt101, -1 station kvt102
  std::int16_t box;
  std::array<std::int32_t, 3> baseln;
};

const RawWindow kA1{"kvt101", "kvt101a1", 0, +1, 7, {1000, -2000, 3000}};
const RawWindow kA2{"kvt101", "kvt101a2", 60, +1, 7, {1100, -2000, 2900}};
const RawWindow kA3{"kvt101", "kvt101a3", 130, +1, 7, {1000, -2000, 3000}};
const RawWindow kB1{"kvt102", "kvt102a1", 30, -1, 9, {500, 600, 700}};

// The raw count of channel c at t seconds after 13:00.
int count(int sign, int t, int c) { return sign * (t + 1000 * c); }

// The calibrated value rawcv makes of it: full scale 10000, magnetometer factor 10000,
// gains 1 and hardware factors 1.0 give 1.0 for the magnetic channels; the telluric
// channels (gain 10, lines of 100 m) give 10000 / (10 x 100) = 10, with their sign
// changed.
float value(int sign, int t, int c) {
  const int n = count(sign, t, c);
  return c <= 3 ? static_cast<float>(n) : static_cast<float>(-10 * n);
}

Rec sample(int sign, int t) {
  Rec v;
  for (int c = 1; c <= 5; ++c) v.push_back(value(sign, t, c));
  return v;
}

rawgen::Description description(const RawWindow& w) {
  rawgen::Description d = rawcv_e2e::window_description(1.0f, "Hz", 5, kRawRecords);
  d.prjcod = "kvt";
  d.sitdes = "road " + w.station;
  d.box = w.box;
  d.hour = static_cast<std::int16_t>(13 + w.start_minute / 60);
  d.minute = static_cast<std::int16_t>(w.start_minute % 60);
  d.baseln = w.baseln;
  if (w.sign < 0) d.hdr32 = {100, 100, 46, 0, 0};  // another latitude than kvt101's
  const int t0 = 60 * w.start_minute;
  const int sign = w.sign;
  d.sample = [t0, sign](std::int32_t r, int c) {
    return static_cast<std::int16_t>(count(sign, t0 + r - 1, c));
  };
  return d;
}

// Hardware database: boxes 7 and 9, every factor 1.0.
const std::string kHardware =
    "  7\r\nH 1.0 0.2 0.0\r\nD 1.0 0.2 0.0\r\nN 1.0 0.2 30000.0\r\nE 1.0 0.2 30000.0\r\nZ 1.0 0.2 "
    "0.0\r\n"
    "  9\r\nH 1.0 0.2 0.0\r\nD 1.0 0.2 0.0\r\nN 1.0 0.2 30000.0\r\nE 1.0 0.2 30000.0\r\nZ 1.0 0.2 "
    "0.0\r\n";

std::string time_at(int seconds_after_13) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "2004-07-20 %02d:%02d:%02d", 13 + seconds_after_13 / 3600,
                seconds_after_13 / 60 % 60, seconds_after_13 % 60);
  return buf;
}

// One run of the whole road in one project directory, shared by the tests below.
struct Road {
  mttest::TempDir dir;
  RunResult rawcv_a1, rawcv_a2, rawcv_a3, rawcv_b1, segmerge, wincutter, spanx, chanmixer, hdrdmp;

  RunResult rawcv(const RawWindow& w, bool ascii) {
    return mttest::run_program(
        "rawcv", {},
        answer_lines({"0", "10.11", "", w.window, ascii ? "f" : "u", ascii ? "" : "1",
                      time_at(60 * w.start_minute), time_at(60 * w.start_minute + kHour)}),
        dir.str());
  }

  Road() {
    for (const char* sub : {"kvt101", "kvt102", "kvtmix"})
      std::filesystem::create_directory(dir / sub);
    mttest::write_file(dir / "hardware.kvt", kHardware);
    mttest::write_file(dir / "kvtsite.flt", rawcv_e2e::site_line("101", " 250", " 12") + "\r\n" +
                                                rawcv_e2e::site_line("102", " 310", " 12") +
                                                "\r\n");
    for (const RawWindow* w : {&kA1, &kA2, &kA3, &kB1})
      rawgen::write((dir / w->station / (w->window + ".1mp")).string(), description(*w));

    rawcv_a1 = rawcv(kA1, false);
    rawcv_a2 = rawcv(kA2, false);
    rawcv_a3 = rawcv(kA3, false);
    rawcv_b1 = rawcv(kB1, true);
    segmerge = mttest::run_program(
        "segmerge", {}, answer_lines({"0", "kvt101", "a1", "a2", "a3", "", "as", "b", "b", "b"}),
        dir.str());
    // 14:50 to 15:20: the end of a2, the gap and the start of a3.
    wincutter = mttest::run_program(
        "wincutter", {},
        answer_lines({"0", "kvt101as", "b", "", "2004-07-20 14:50:00", "2004-07-20 15:20:00"}),
        dir.str());
    spanx = mttest::run_program("spanx", {}, answer_lines({"0", "kvt101ex", "b", "T"}), dir.str());
    // Output channels: HX of kvt102, HY of kvt101, HZ of kvt102, EX of kvt101, EY of kvt102.
    chanmixer = mttest::run_program("chanmixer", {},
                                    answer_lines({"0", "kvt101a1", "kvt102a1", "kvtmix", "b", "a",
                                                  "", "", "5", "21", "12", "23", "14", "25"}),
                                    dir.str());
    hdrdmp = mttest::run_program("hdrdmp", {}, answer_lines({"0", "kvtmixcb", "b"}), dir.str());
  }

  tsfix::TsOut binary(const std::string& rel) const { return tsfix::read_binary_ts(dir / rel); }
};

// An ASCII ts file: its header lines and the values of its data lines.
struct AsciiTs {
  std::vector<std::string> header;
  std::vector<Rec> data;
  std::string value(std::string_view key) const {
    tsfix::TsOut t;
    t.header = header;
    return t.value(key);
  }
};

AsciiTs read_ascii_ts(const std::filesystem::path& p) {
  AsciiTs out;
  bool in_data = false;
  for (const auto& line : tstest::lines_of(mttest::read_file(p), tstest::LineEnd::lf)) {
    if (!in_data) {
      out.header.push_back(line);
      in_data = line.rfind(">INFO_END", 0) == 0;
      continue;
    }
    Rec v;
    const char* s = line.c_str();
    for (char* end = nullptr;; s = end) {
      const float f = std::strtof(s, &end);
      if (end == s) break;
      v.push_back(f);
    }
    out.data.push_back(v);
  }
  return out;
}

// The first record where got and want differ, or "" when they agree throughout.
std::string first_difference(const std::vector<Rec>& got, const std::vector<Rec>& want) {
  if (got.size() != want.size())
    return "record count " + std::to_string(got.size()) + ", expected " +
           std::to_string(want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i] == want[i]) continue;
    std::string m = "record " + std::to_string(i) + ": got";
    for (float f : got[i]) m += " " + tsfix::float_text(f);
    m += ", expected";
    for (float f : want[i]) m += " " + tsfix::float_text(f);
    return m;
  }
  return "";
}

std::vector<Rec> samples(int sign, int t0, int n) {
  std::vector<Rec> v;
  for (int k = 0; k < n; ++k) v.push_back(sample(sign, t0 + k));
  return v;
}

// The number of an info value; a missing key is a failure, not a zero.
float number(const std::string& text) {
  char* end = nullptr;
  const float f = std::strtof(text.c_str(), &end);
  if (end == text.c_str()) ADD_FAILURE() << "not a number: " << text;
  return f;
}

std::string trim_right(const std::string& s) { return std::string(field::trimmed(s)); }

// The road is run once, by the first test that needs it. A road that cannot be set up
// (no temporary directory, no fork, a file not written) fails every test: thrown from
// SetUpTestSuite it would mark them skipped, which ctest counts as passed.
class RoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!road_ && setup_failure_.empty()) {
      try {
        road_ = std::make_unique<Road>();
      } catch (const std::exception& e) {
        setup_failure_ = e.what();
      } catch (...) {
        setup_failure_ = "an exception that is not a std::exception";
      }
    }
    ASSERT_TRUE(road_) << "the road could not be set up: " << setup_failure_;
  }
  static void TearDownTestSuite() { road_.reset(); }
  static const Road& road() { return *road_; }

 private:
  static std::unique_ptr<Road> road_;
  static std::string setup_failure_;
};
std::unique_ptr<Road> RoadTest::road_;
std::string RoadTest::setup_failure_;

TEST_F(RoadTest, EveryStepEndsNormally) {
  const Road& r = road();
  struct Step {
    const char* name;
    const RunResult& run;
    const char* err;
  };
  for (const Step& s :
       {Step{"rawcv kvt101a1", r.rawcv_a1, ""}, Step{"rawcv kvt101a2", r.rawcv_a2, ""},
        Step{"rawcv kvt101a3", r.rawcv_a3, ""}, Step{"rawcv kvt102a1", r.rawcv_b1, ""},
        Step{"segmerge", r.segmerge, "Done.\r\n"}, Step{"wincutter", r.wincutter, ""},
        Step{"spanx", r.spanx, ""}, Step{"chanmixer", r.chanmixer, "Done.\r\n"},
        Step{"hdrdmp", r.hdrdmp, ""}}) {
    EXPECT_EQ(s.run.status, 0) << s.name << "\n" << s.run.out << s.run.err;
    EXPECT_EQ(s.run.err, s.err) << s.name;
  }
}

TEST_F(RoadTest, RawcvWritesAnHourOfCalibratedSamplesPerWindow) {
  const Road& r = road();
  for (const RunResult* run : {&r.rawcv_a1, &r.rawcv_a2, &r.rawcv_a3, &r.rawcv_b1}) {
    EXPECT_TRUE(tsfix::shows(run->out, "Number of points written:       3600")) << run->out;
    EXPECT_EQ(run->out.find("LESS"), std::string::npos) << run->out;
  }
  for (const RawWindow* w : {&kA1, &kA2, &kA3}) {
    SCOPED_TRACE(w->window);
    const auto ts = r.binary(w->station + "/" + w->window + ".ts");
    EXPECT_EQ(ts.value("WINDOW"), w->window);
    EXPECT_EQ(ts.value("FORM"), "BINARY");
    EXPECT_EQ(ts.value("INSTRUMENT"), "7");
    EXPECT_EQ(ts.value("NCHAN"), "5");
    EXPECT_EQ(ts.value("STARTTIME").substr(0, 19), time_at(60 * w->start_minute));
    EXPECT_EQ(ts.value("ENDTIME").substr(0, 19), time_at(60 * w->start_minute + kHour));
    EXPECT_EQ(number(ts.value("DELTA_T")), 1.0f);
    EXPECT_EQ(ts.value("T_UNITS"), "s");
    EXPECT_EQ(first_difference(ts.data, samples(+1, 60 * w->start_minute, kHour)), "");
  }
  const AsciiTs b1 = read_ascii_ts(r.dir / "kvt102" / "kvt102a1.ts");
  EXPECT_EQ(b1.value("FORM"), "ASCII");
  EXPECT_EQ(b1.value("FORMAT"), "FREE");
  EXPECT_EQ(b1.value("INSTRUMENT"), "9");
  EXPECT_EQ(b1.value("STARTTIME").substr(0, 19), "2004-07-20 13:30:00");
  for (const auto& h : b1.header) EXPECT_EQ(h.size(), h[0] == '>' ? 80u : h.size()) << h;
  EXPECT_EQ(first_difference(b1.data, samples(-1, 1800, kHour)), "");
}

// Every writer's line, in the order of the runs: rawcv's four, the splice, the cut.
TEST_F(RoadTest, WindowsDatabaseHoldsOneLinePerWindowInRunOrder) {
  const Road& r = road();
  const std::string want =
      "kvt101a1 007 5 2004-07-20 13:00:00-2004-07-20 14:00:00  1.000000\r\n"
      "kvt101a2 007 5 2004-07-20 14:00:00-2004-07-20 15:00:00  1.000000\r\n"
      "kvt101a3 007 5 2004-07-20 15:10:00-2004-07-20 16:10:00  1.000000\r\n"
      "kvt102a1 009 5 2004-07-20 13:30:00-2004-07-20 14:30:00  1.000000\r\n"
      "kvt101as 007 5 2004-07-20 13:00:00-2004-07-20 16:10:00    1.000000 splice: a1 a2 a3 \r\n"
      "kvt101ex 007 5 2004-07-20 14:50:00-2004-07-20 15:19:59      1.000000    \r\n";
  EXPECT_EQ(mttest::read_file(r.dir / "windows.kvt"), want);
}

// a1 and a2 meet without a gap; a2 and a3 are 10 minutes apart. The splice holds one
// record per second from 13:00:00 to 16:09:59: 3 x 3600 data records and 600 gap
// records, so that every value stands at its own time.
TEST_F(RoadTest, SegmergeSplicesTheStationsWindowsAndFillsTheGap) {
  const Road& r = road();
  const auto a1 = r.binary("kvt101/kvt101a1.ts");
  const auto a2 = r.binary("kvt101/kvt101a2.ts");
  const auto as = r.binary("kvt101/kvt101as.ts");

  EXPECT_EQ(as.value("WINDOW"), "kvt101as");
  EXPECT_EQ(as.value("STATION"), "kvt101");
  EXPECT_EQ(as.value("STARTTIME"), "2004-07-20 13:00:00");
  EXPECT_EQ(as.value("ENDTIME"), "2004-07-20 16:10:00");
  EXPECT_EQ(as.value("NCHAN"), "5");
  EXPECT_EQ(as.value("INSTRUMENT"), "7");
  const float mis = number(as.value("MIS_DATA"));
  EXPECT_EQ(mis, 1.0E32f);

  EXPECT_TRUE(as.has_comment("# time series file from segmerge"));
  EXPECT_TRUE(as.has_comment("# kvt101a1  2004-07-20 13:00:00-2004-07-20 14:00:00"));
  EXPECT_TRUE(as.has_comment("# kvt101a2  2004-07-20 14:00:00-2004-07-20 15:00:00"));
  EXPECT_TRUE(as.has_comment("# kvt101a3  2004-07-20 15:10:00-2004-07-20 16:10:00"));
  EXPECT_TRUE(as.has_comment("# Following comment block from first file..."));
  EXPECT_TRUE(as.has_comment("# time series file from rawcv"));

  // a2's channels 1 to 3 are moved by its baselines' difference from a1's.
  std::array<float, 3> shift{};
  for (int j = 0; j < 3; ++j) {
    const std::string key = "BASELINE_" + std::to_string(j + 1);
    shift[j] = number(a2.value(key)) - number(a1.value(key));
  }
  ASSERT_NE(shift[0], 0.0f);
  ASSERT_EQ(shift[1], 0.0f);
  ASSERT_NE(shift[2], 0.0f);

  std::vector<Rec> want = samples(+1, 0, kHour);
  for (Rec v : samples(+1, kHour, kHour)) {
    for (int j = 0; j < 3; ++j) v[j] = v[j] + shift[j];
    want.push_back(v);
  }
  for (int k = 0; k < 600; ++k) want.push_back(Rec(5, mis));
  for (const Rec& v : samples(+1, 7800, kHour)) want.push_back(v);
  EXPECT_EQ(first_difference(as.data, want), "");

  const std::string& out = r.segmerge.out;
  EXPECT_TRUE(tsfix::shows(out, " Time (seconds) and point gap =           1           0")) << out;
  EXPECT_TRUE(tsfix::shows(out, " Time (seconds) and point gap =         601         600")) << out;
  EXPECT_TRUE(tsfix::shows(out, " Total number of data (incl. gaps) written out =       11400"))
      << out;
  EXPECT_TRUE(tsfix::shows(
      out, "kvt101as 007 5 2004-07-20 13:00:00-2004-07-20 16:10:00    1.000000 splice: a1 a2 a3 "))
      << out;
}

// 14:50:00 to 15:20:00 of the splice: records 6600 to 8399, across the gap.
TEST_F(RoadTest, WincutterCopiesTheSpanWithItsTimes) {
  const Road& r = road();
  const auto as = r.binary("kvt101/kvt101as.ts");
  const auto ex = r.binary("kvt101/kvt101ex.ts");
  EXPECT_EQ(ex.value("STARTTIME"), "2004-07-20 14:50:00");
  EXPECT_EQ(ex.value("ENDTIME"), "2004-07-20 15:20:00");
  EXPECT_EQ(ex.value("WINDOW"), "kvt101ex");
  for (const char* key : {"STATION", "INSTRUMENT", "NCHAN", "DELTA_T", "T_UNITS", "MIS_DATA",
                          "CHAN_4", "BASELINE_1", "LATITUDE"})
    EXPECT_EQ(ex.value(key), as.value(key)) << key;

  std::vector<std::string> as_comments, ex_comments;
  for (const auto& h : as.header)
    if (h[0] == '#') as_comments.push_back(h);
  for (const auto& h : ex.header)
    if (h[0] == '#') ex_comments.push_back(h);
  EXPECT_EQ(ex_comments, as_comments);

  ASSERT_EQ(as.data.size(), 11400u);
  EXPECT_EQ(
      first_difference(ex.data, std::vector<Rec>(as.data.begin() + 6600, as.data.begin() + 8400)),
      "");
}

// 1800 records at 1 Hz: the last sample lies 1799 s after the start.
TEST_F(RoadTest, SpanxCountsTheCutAndAppendsItsLine) {
  const std::string& out = road().spanx.out;
  EXPECT_TRUE(tsfix::shows(out, "EOF found; nent =      1800")) << out;
  EXPECT_TRUE(
      tsfix::shows(out, "kvt101ex 007 5 2004-07-20 14:50:00-2004-07-20 15:19:59      1.000000    "))
      << out;
}

// The event is the common span of the two windows, 13:30 to 14:00: kvt101a1 is entered
// 1800 records in, kvt102a1 at its start.
TEST_F(RoadTest, ChanmixerTakesEachChannelFromItsSourceAtTheSameTime) {
  const Road& r = road();
  const auto a1 = r.binary("kvt101/kvt101a1.ts");
  const AsciiTs b1 = read_ascii_ts(r.dir / "kvt102" / "kvt102a1.ts");
  const auto cb = r.binary("kvtmix/kvtmixcb.ts");

  EXPECT_EQ(cb.value("STATION"), "kvtmix");
  EXPECT_EQ(cb.value("WINDOW"), "kvtmixcb");
  EXPECT_EQ(cb.value("FORM"), "BINARY");
  EXPECT_EQ(cb.value("INSTRUMENT"), "907");
  EXPECT_EQ(cb.value("NCHAN"), "5");
  EXPECT_EQ(cb.value("STARTTIME"), "2004-07-20 13:30:00");
  EXPECT_EQ(cb.value("ENDTIME"), "2004-07-20 14:00:00");
  EXPECT_EQ(number(cb.value("MIS_DATA")), 1.0E32f);

  // The first file gives the position; the two stations' positions differ.
  ASSERT_NE(a1.value("LATITUDE"), b1.value("LATITUDE"));
  for (const char* key : {"LATITUDE", "LONGITUDE", "ELEVATION", "UTM_NORTH", "UTM_EAST"})
    EXPECT_EQ(number(cb.value(key)), number(a1.value(key))) << key;

  // Output channel i comes from channel c of file f.
  struct Map {
    int out, file, chan;
  };
  const Map maps[] = {{1, 2, 1}, {2, 1, 2}, {3, 2, 3}, {4, 1, 4}, {5, 2, 5}};
  for (const Map& m : maps) {
    const std::string o = std::to_string(m.out), c = std::to_string(m.chan);
    SCOPED_TRACE("output channel " + o);
    auto source = [&](const std::string& key) {
      return m.file == 1 ? a1.value(key + c) : b1.value(key + c);
    };
    EXPECT_EQ(cb.value("CHAN_" + o), source("CHAN_"));
    EXPECT_EQ(cb.value("UNITS_" + o), source("UNITS_"));
    EXPECT_EQ(number(cb.value("SENSOR_" + o)), number(source("SENSOR_")));
    EXPECT_EQ(number(cb.value("AZIM_" + o)), number(source("AZIM_")));
    if (m.out <= 3) {
      EXPECT_EQ(number(cb.value("BASELINE_" + o)), number(source("BASELINE_")));
    }
  }
  EXPECT_NE(number(cb.value("BASELINE_1")), number(a1.value("BASELINE_1")));
  for (const auto& h : cb.header) EXPECT_NE(h.rfind(">BASELINE_4", 0), 0u) << h;

  EXPECT_TRUE(cb.has_comment("# File 1: kvt101a1"));
  EXPECT_TRUE(cb.has_comment("# File 2: kvt102a1"));
  EXPECT_TRUE(cb.has_comment("# Chosen from file:  21 12 23 14 25"));

  std::vector<Rec> want;
  for (int k = 0; k < 1800; ++k) {
    const int t = 1800 + k;
    want.push_back(
        {value(-1, t, 1), value(+1, t, 2), value(-1, t, 3), value(+1, t, 4), value(-1, t, 5)});
  }
  EXPECT_EQ(first_difference(cb.data, want), "");
  // The same values stand in the two sources' own files at that time.
  ASSERT_EQ(a1.data.size(), 3600u);
  ASSERT_EQ(b1.data.size(), 3600u);
  EXPECT_EQ(cb.data[0],
            (Rec{b1.data[0][0], a1.data[1800][1], b1.data[0][2], a1.data[1800][3], b1.data[0][4]}));
  EXPECT_EQ(cb.data[1799], (Rec{b1.data[1799][0], a1.data[3599][1], b1.data[1799][2],
                                a1.data[3599][3], b1.data[1799][4]}));
}

// Every header record of the combined file, labelled by its block, on the console and
// in hdrdmp.out; nothing of the data.
TEST_F(RoadTest, HdrdmpShowsEveryHeaderRecordOfTheCombinedFile) {
  const Road& r = road();
  const auto cb = r.binary("kvtmix/kvtmixcb.ts");
  std::string want;
  int filter = 0, info = 0;
  for (const auto& h : cb.header) {
    const char* label = h[0] == '>'   ? "Info    block:"
                        : h[1] == 'F' ? "Filter  block:"
                                      : "Comment block:";
    filter += h.rfind("#F", 0) == 0;
    info += h[0] == '>';
    want += label + trim_right(h) + "\r\n";
  }
  EXPECT_GT(filter, 0);
  EXPECT_GT(info, 0);
  EXPECT_EQ(mttest::read_file(r.dir / "hdrdmp.out"), want);
  const std::string& out = r.hdrdmp.out;
  const std::string lead = " Writing header into hdrdmp.out\r\n";
  ASSERT_NE(out.find(lead), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.find(lead) + lead.size()), want);
}

}  // namespace
