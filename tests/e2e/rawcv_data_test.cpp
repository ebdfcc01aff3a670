// rawcv end to end: data records, aux records, verification, the report and the
// window line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/rawcv_project.h"
#include "support/run_date.h"

namespace rawcv_e2e {
namespace {

// Data records of a BINARY file: the records after ">INFO_END  :".
std::vector<std::string> data_records(const std::string& bytes) {
  auto recs = records_of(bytes);
  const std::size_t end = find_line(recs, info("INFO_END"));
  EXPECT_LT(end, recs.size());
  if (end >= recs.size()) return {};
  return {recs.begin() + long(end) + 1, recs.end()};
}

std::vector<std::string> data_lines(const std::string& bytes) {
  auto lines = lines_of(bytes, LineEnd::crlf);
  const std::size_t end = find_line(lines, info("INFO_END"));
  EXPECT_LT(end, lines.size());
  if (end >= lines.size()) return {};
  return {lines.begin() + long(end) + 1, lines.end()};
}

const std::string kWindowLine = "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:47:00 12.000000";

TEST(RawcvData, BinaryRecordsAuxRecordsAndWindowLine) {
  Project p;
  p.raw(window_description());
  Answers a;
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;

  const auto ts = data_records(p.file("kvt101/kvt101a1.ts"));
  ASSERT_EQ(ts.size(), 21600u);
  EXPECT_EQ(floats_of(ts[0]), (std::vector<float>{100, 200, 300, -4000, -5000}));
  EXPECT_EQ(floats_of(ts[49]), (std::vector<float>{149, 249, 349, -4490, -5490}));
  for (const auto& rec : ts) ASSERT_EQ(rec.size(), 20u);

  // Stamps move at 13:20, 13:30 and 13:40 of the clock: one aux record each.
  const auto aux = data_records(p.file("kvt101/kvt101a1.aux"));
  ASSERT_EQ(aux.size(), 3u);
  EXPECT_EQ(floats_of(aux[0]), (std::vector<float>{-20, -40, 20}));
  EXPECT_EQ(floats_of(aux[1]), (std::vector<float>{-30, -60, 20}));
  EXPECT_EQ(floats_of(aux[2]), (std::vector<float>{-40, -80, 20}));

  EXPECT_NE(r.out.find("Number of points written:      21600\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("LESS"), std::string::npos);
  EXPECT_NE(r.out.find("Opened new project windows.kvt file to add window info:\r\n" + kWindowLine +
                       "\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(p.file("windows.kvt"), kWindowLine + "\r\n");
}

TEST(RawcvData, SeqRecTenFillsTheLastRecordWithTheMissingDataMarker) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  Answers a;
  a.seq_or_format = "10";
  a.end = "2004-07-20 13:17:25";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Number of points written:         25\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("LESS"), std::string::npos);
  const auto ts = data_records(p.file("kvt101/kvt101a1.ts"));
  ASSERT_EQ(ts.size(), 3u);
  for (const auto& rec : ts) ASSERT_EQ(rec.size(), 200u);
  const auto last = floats_of(ts[2]);
  EXPECT_EQ(std::vector<float>(last.begin(), last.begin() + 5),
            (std::vector<float>{120, 220, 320, -4200, -5200}));
  EXPECT_EQ(std::vector<float>(last.begin() + 20, last.begin() + 25),
            (std::vector<float>{124, 224, 324, -4240, -5240}));
  for (std::size_t i = 25; i < 50; ++i) EXPECT_EQ(last[i], 1.0E32f) << i;
  const auto second = floats_of(ts[1]);
  EXPECT_EQ(second[45], 119.0f);
}

TEST(RawcvData, AsciiRecordsInTheFreeLayoutAndUnderAFormatText) {
  struct Case {
    std::string format;
    std::string first;
    std::string format_value;
  };
  const std::vector<Case> cases = {
      {"", "   100.0000       200.0000       300.0000      -4000.000      -5000.000    ",
       pad("FREE", 20)},
      {"(5F10.2)", "    100.00    200.00    300.00  -4000.00  -5000.00", pad("(5F10.2)", 20)},
  };
  for (const Case& c : cases) {
    Project p;
    p.raw(window_description());
    Answers a;
    a.form = "f";
    a.seq_or_format = c.format;
    auto r = p.run(a.list());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string bytes = p.file("kvt101/kvt101a1.ts");
    EXPECT_NE(bytes.find(info("FORMAT", c.format_value)), std::string::npos);
    const auto lines = data_lines(bytes);
    ASSERT_EQ(lines.size(), 21600u);
    EXPECT_EQ(lines[0], c.first);
    EXPECT_EQ(data_lines(p.file("kvt101/kvt101a1.aux")).size(), 3u);
  }
}

TEST(RawcvData, OldCodeDropsSamplesAndReportsTheShortEnd) {
  Project p;
  p.raw(window_description());
  Answers a;
  a.version = "10.2";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(" DROPPING FIRST          17   DATA POINTS\r\n"), std::string::npos);
  const auto ts = data_records(p.file("kvt101/kvt101a1.ts"));
  ASSERT_EQ(ts.size(), 21583u);
  EXPECT_EQ(floats_of(ts[0])[0], 117.0f);  // the 18th sample
  EXPECT_NE(r.out.find("Number of points written:      21583\r\n"
                       "Number of points LESS than expected: end time =2004-07-20 13:46:59\r\n"
                       "ENDTIME in ts file is incorrect\r\n"),
            std::string::npos)
      << r.out;
  // The info block keeps the requested end; the window line has the actual one.
  EXPECT_NE(p.file("kvt101/kvt101a1.ts").find(info("ENDTIME", "2004-07-20 13:47:0000")),
            std::string::npos);
  EXPECT_EQ(p.file("windows.kvt"),
            "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:46:59 12.000000\r\n");
}

TEST(RawcvData, VerificationReportsValuesTheFreeLayoutCannotHold) {
  for (const char* form : {"u", "f"}) {
    Project p;
    mttest::write_file(p.dir / "hardware.kvt",
                       "  7\r\nH 1.2345678 0.1 0.0\r\nD 1.0 0.2 0.0\r\nN 1.0 0.3 30000.0\r\n"
                       "E 1.0 0.4 31000.0\r\nZ 1.0 0.5 0.0\r\n");
    p.raw(window_description(1.0f, "Hz", 5, 100));
    Answers a;
    a.verify = "T";
    a.form = form;
    a.seq_or_format = form == std::string("u") ? "1" : "";
    a.end = "2004-07-20 13:17:10";
    auto r = p.run(a.list());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    if (form == std::string("u")) {
      EXPECT_EQ(r.out.find("Verification error"), std::string::npos) << r.out;
    } else {
      EXPECT_EQ(count_of(r.out, "Verification error !!!!!   npt ="), 10) << r.out;
      EXPECT_NE(r.out.find(" Verification error !!!!!   npt =           1\r\n dat   :"),
                std::string::npos)
          << r.out;
    }
    EXPECT_NE(r.out.find("Number of points written:         10\r\n"), std::string::npos);
  }
}

TEST(RawcvData, VerificationReadsBackASampleLaidOverSeveralLines) {
  struct Case {
    std::string format;
    std::vector<std::string> first_sample;  // the lines of the first sample
  };
  const std::vector<Case> cases = {
      {"(F12.4)", {"    100.0000", "    200.0000", "    300.0000", "  -4000.0000", "  -5000.0000"}},
      {"(2F12.4)", {"    100.0000    200.0000", "    300.0000  -4000.0000", "  -5000.0000"}},
  };
  for (const Case& c : cases) {
    std::string ts[2];
    for (int verify = 0; verify < 2; ++verify) {
      Project p;
      p.raw(window_description(1.0f, "Hz", 5, 100));
      Answers a;
      a.verify = verify == 1 ? "T" : "F";
      a.form = "f";
      a.seq_or_format = c.format;
      a.end = "2004-07-20 13:17:10";
      auto r = p.run(a.list());
      ASSERT_EQ(r.status, 0) << c.format << " verify " << a.verify << "\n" << r.out << r.err;
      EXPECT_EQ(r.out.find("Verification error"), std::string::npos) << r.out;
      EXPECT_NE(r.out.find("Number of points written:         10\r\n"), std::string::npos) << r.out;
      EXPECT_EQ(r.out.find("LESS"), std::string::npos) << r.out;
      EXPECT_EQ(p.file("windows.kvt"),
                "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:17:10  1.000000\r\n");
      ts[verify] = p.file("kvt101/kvt101a1.ts");
      const auto lines = data_lines(ts[verify]);
      ASSERT_EQ(lines.size(), 10 * c.first_sample.size()) << c.format;
      const auto first_end = lines.begin() + long(c.first_sample.size());
      EXPECT_EQ(std::vector<std::string>(lines.begin(), first_end), c.first_sample);
      EXPECT_EQ(lines.back(), "  -5090.0000");  // channel 5 of the tenth sample
    }
    // Each run writes its own date line; all else is the same, byte for byte.
    EXPECT_EQ(tstest::with_date_masked(ts[1]), tstest::with_date_masked(ts[0])) << c.format;
  }
}

TEST(RawcvData, WindowLineIsAppendedOnItsOwnLine) {
  Project p;
  p.raw(window_description());
  mttest::write_file(p.dir / "windows.kvt", "# windows\r\nkvt101a0 007 5 x");  // no line end
  Answers a;
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Opened old project windows.kvt file to add window info:\r\n"),
            std::string::npos);
  const auto lines = lines_of(p.file("windows.kvt"), LineEnd::crlf);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "kvt101a0 007 5 x");
  EXPECT_EQ(lines[2], kWindowLine);
}

TEST(RawcvData, ReadOnlyWindowsDatabaseIsNeitherOpenedNorCreated) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  mttest::write_file(p.dir / "windows.kvt", "# windows\r\n");
  mttest::make_read_only(p.dir / "windows.kvt");
  Answers a;
  a.end = "2004-07-20 13:17:10";
  const auto r = p.run_unprivileged(a.list());
  if (!r) GTEST_SKIP() << "cannot run the program as an ordinary user";
  EXPECT_EQ(r->status, 1) << r->out;
  EXPECT_EQ(r->err, "Error writing window information to windows file....\r\n");
  EXPECT_EQ(r->out.find("project windows.kvt file"), std::string::npos) << r->out;
  EXPECT_EQ(p.file("windows.kvt"), "# windows\r\n");
  EXPECT_EQ(data_records(p.file("kvt101/kvt101a1.ts")).size(), 10u);
}

TEST(RawcvData, DataEndingEarlyStillRecordsTheWindow) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 25));
  Answers a;
  a.seq_or_format = "10";
  a.end = "2004-07-20 13:18:00";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // The partly filled third record is kept, its empty rows missing data.
  const auto ts = data_records(p.file("kvt101/kvt101a1.ts"));
  ASSERT_EQ(ts.size(), 3u);
  const auto last = floats_of(ts[2]);
  EXPECT_EQ(last[20], 124.0f);
  EXPECT_EQ(last[25], 1.0E32f);
  EXPECT_NE(r.out.find("Number of points written:         25\r\n"
                       "Number of points LESS than expected: end time =2004-07-20 13:17:25\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(p.file("windows.kvt"),
            "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:17:25  1.000000\r\n");
}

}  // namespace
}  // namespace rawcv_e2e
