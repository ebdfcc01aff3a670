// rawcv end to end: the dialogue's refusals and its ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/rawcv_project.h"

namespace rawcv_e2e {
namespace {

TEST(RawcvDialogue, UpperCaseOutputAnswersAreRefused) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.form = "F";
  a.seq_or_format = "U";  // refused as well
  a.after_form = {"u", "1"};
  a.end = "2004-07-20 13:17:10";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(" Unknown output type requested >F< please re-enter\r\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(" Unknown output type requested >U< please re-enter\r\n"),
            std::string::npos);
  EXPECT_NE(p.file("kvt101/kvt101a1.ts").find(info("FORM", "BINARY")), std::string::npos);
}

TEST(RawcvDialogue, SeqRecOutsideOneToSixtyIsAskedAgain) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.seq_or_format = "61";
  a.after_form = {"0", "-4", "60"};
  a.end = "2004-07-20 13:18:00";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("seq_rec cannot be larger than 60\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(count_of(r.out, "seq_rec must be at least 1\r\n"), 2);
  // After a refusal the question offers the default 1 again.
  EXPECT_EQ(count_of(r.out, "Give no. of sequences/record  [default: 1 ] >"), 4);
  const std::string ts = p.file("kvt101/kvt101a1.ts");
  EXPECT_NE(ts.find(info("SEQ_REC", "          60")), std::string::npos);
}

TEST(RawcvDialogue, StartInAnotherYearAndBadEndTimesAreAskedAgain) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.start = "2005-07-20 13:17:00";
  a.end = "2004-07-20 13:17:00";  // the start, given again
  a.tail = {"2004-13-20 13:17:10", "2004-07-20 13:17:10"};
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(" Requested wrong year!  Data block year is2004\r\n"), std::string::npos)
      << r.out;
  // The refused start is the next default; the end default is the year's last second.
  EXPECT_NE(r.out.find("   [default: 2005-07-20 13:17:00 ] >"), std::string::npos);
  EXPECT_NE(r.out.find(" Invalid month: 13  Try again."), std::string::npos) << r.out;
  EXPECT_EQ(count_of(r.out, "   [default: 2004-12-31 23:59:59 ] >"), 2);
  EXPECT_NE(r.out.find("Number of points written:         10\r\n"), std::string::npos);
}

TEST(RawcvDialogue, TabInATimeAnswerEndsWithTheConversionReport) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.start = "2004-07-20 13:1\t:00";
  auto r = p.run(a.list());
  EXPECT_EQ(r.status, 64) << r.out << r.err;
  EXPECT_NE(
      r.err.find("severe (64): input conversion error, unit -5, file Internal Formatted Read"),
      std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("Give desired end time"), std::string::npos) << r.out;
}

TEST(RawcvDialogue, RawFileUnderTheUpperCaseExtension) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100), "kvt101a1.1MP");
  Answers a;
  a.end = "2004-07-20 13:17:10";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(" File does not exist >" + pad("kvt101/kvt101a1.1mp", 40) +
                       "\r\n Trying .1MP extension\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_TRUE(p.has("kvt101/kvt101a1.ts"));
  EXPECT_NE(p.file("kvt101/kvt101a1.ts").find("# input file: kvt101/kvt101a1.1MP"),
            std::string::npos);
}

TEST(RawcvDialogue, EndsThatReportAFailure) {
  struct Case {
    std::string name;
    bool write_raw;
    rawgen::Description d;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"missing raw file", false, window_description(),
       " Nope. That file does not exist either >" + pad("kvt101/kvt101a1.1MP", 40) +
           "\r\n Aborting program\r\n"},
      {"unknown Hz rate", true, window_description(2.0f, "Hz", 5, 10),
       " Unknown \"Hz\" sampling rate: smprt1 =   2.000000    \r\n"},
      {"unknown sec rate", true, window_description(10.0f, "sec", 5, 10),
       " Unknown \"sec\" sampling rate: smprt1 =   10.00000    \r\n"},
      {"upper-case HZ", true, window_description(12.0f, "HZ", 5, 10),
       " Unknown sampling type =HZ  \r\n"},
  };
  for (const Case& c : cases) {
    Project p;
    if (c.write_raw) p.raw(c.d);
    Answers a;
    auto r = p.run(a.list());
    EXPECT_EQ(r.status, 1) << c.name << r.out << r.err;
    EXPECT_NE(r.out.find(c.line), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_FALSE(p.has("windows.kvt")) << c.name;
  }
}

TEST(RawcvDialogue, ReadOnlyOutputIsRefusedBeforeTheTimes) {
  struct Case {
    std::string form;
    std::string seq_or_format;
    std::string read_only;  // the output that exists and may not be written
    int unit;
  };
  const std::vector<Case> cases = {
      {"u", "1", "kvt101/kvt101a1.ts", 10},
      {"f", "", "kvt101/kvt101a1.aux", 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read_only);
    Project p;
    p.raw(window_description(1.0f, "Hz", 5, 100));
    mttest::write_file(p.dir / c.read_only, "old content\r\n");
    mttest::make_read_only(p.dir / c.read_only);
    Answers a;
    a.form = c.form;
    a.seq_or_format = c.seq_or_format;
    const auto r = p.run_unprivileged(a.list());
    if (!r) GTEST_SKIP() << "cannot run the program as an ordinary user";
    EXPECT_EQ(r->status, 9) << r->out;
    EXPECT_EQ(r->err, "rawcv: severe (9): permission to access file denied, unit " +
                          std::to_string(c.unit) + ", file " + (p.dir / c.read_only).string() +
                          "\r\n");
    EXPECT_EQ(r->out.find("Give required start time"), std::string::npos) << r->out;
    EXPECT_EQ(p.file(c.read_only), "old content\r\n");
    EXPECT_FALSE(p.has("windows.kvt"));
  }
}

TEST(RawcvDialogue, InputsThatMayOnlyBeReadStillOpen) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  for (const char* input : {"kvt101/kvt101a1.1mp", "hardware.kvt", "kvtsite.flt"})
    mttest::make_read_only(p.dir / input);
  Answers a;
  a.end = "2004-07-20 13:17:10";
  const auto r = p.run_unprivileged(a.list());
  if (!r) GTEST_SKIP() << "cannot run the program as an ordinary user";
  EXPECT_EQ(r->status, 0) << r->out << r->err;
  EXPECT_EQ(r->out.find("Error opening HARDWARE"), std::string::npos) << r->out;
  EXPECT_EQ(r->out.find("site file not found"), std::string::npos) << r->out;
  EXPECT_EQ(p.file("windows.kvt"),
            "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:17:10  1.000000\r\n");
}

TEST(RawcvDialogue, FourChannelsEndTheProgram) {
  Project p;
  auto d = window_description(1.0f, "Hz", 5, 10);
  d.group2->channels.pop_back();
  p.raw(d);
  Answers a;
  auto r = p.run(a.list());
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.out.find(" Wierd number of channels; not 3 or 5 -- don''t know what to do now!\r\n"),
            std::string::npos)
      << r.out;
}

TEST(RawcvDialogue, NegativePrintLevelStillReadsEveryAnswer) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.end = "2004-07-20 13:17:10";
  auto list = a.list();
  list[0] = "-1";
  auto r = p.run(list);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // Only the print-level question itself is shown (the level is still 0 then).
  EXPECT_EQ(r.out.find("[default:", 40), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Opened BIG_ENDIAN unformatted output file: "), std::string::npos);
  EXPECT_NE(r.out.find("Number of points written:         10\r\n"), std::string::npos);
  EXPECT_EQ(r.out.find("Opened new project windows"), std::string::npos);
  EXPECT_TRUE(p.has("windows.kvt"));
}

}  // namespace
}  // namespace rawcv_e2e

namespace rawcv_e2e {
namespace {

TEST(RawcvDialogue, VersionsThatFormNoNumberEndWithTheErrorReport) {
  struct Case {
    std::string version;
    std::string report;
    int status;
  };
  for (const Case& c : {Case{"10", "severe (24)", 24}, Case{"10.x", "severe (59)", 59},
                        Case{"10.", "severe (24)", 24}}) {
    Project p;
    auto r = p.run({"0", c.version});
    EXPECT_EQ(r.status, c.status) << c.version;
    EXPECT_NE(r.err.find(c.report), std::string::npos) << c.version << ": " << r.err;
  }
}

}  // namespace
}  // namespace rawcv_e2e
