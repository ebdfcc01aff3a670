// hdrdmp end to end: labelled header lines on the console and in hdrdmp.out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_field.h"
#include "support/run_program.h"
#include "support/ts_project.h"
#include "support/unprivileged.h"

namespace {

using mttest::read_file;
using mttest::run_program;
using mttest::TempDir;
using tsfix::TsSpec;

// The dump lines expected for the fixture header (label, then the record trimmed).
std::vector<std::string> expected_dump(const TsSpec& s) {
  std::vector<std::string> out;
  for (const std::string& record : tsfix::header_lines(s)) {
    const std::string line(field::trimmed(record));
    const char* label = line[0] == '>'   ? "Info    block:"
                        : line[1] == 'F' ? "Filter  block:"
                                         : "Comment block:";
    out.push_back(label + line);
  }
  return out;
}

std::vector<std::string> dump_lines(const std::string& out) {
  std::vector<std::string> got;
  for (const auto& l : tstest::lines_of(out, tstest::LineEnd::lf))
    if (l.size() >= 14 && l.compare(8, 6, "block:") == 0) got.push_back(l);
  return got;
}

TEST(Hdrdmp, AsciiFileShowsEveryHeaderLineButNoData) {
  TempDir dir;
  TsSpec s;
  s.ascii = true;
  tsfix::write_ts(dir.path(), s, tsfix::ramp(3));
  const auto r = run_program("hdrdmp", {}, "\nkvt101a1\na\n", dir.str());
  EXPECT_EQ(r.status, 0) << r.err;
  const auto want = expected_dump(s);
  EXPECT_EQ(dump_lines(r.out), want);
  // The line follows the form question, which has no line end.
  EXPECT_NE(r.out.find("[default: b ] > Writing header into hdrdmp.out\r\n"), std::string::npos);
  EXPECT_TRUE(tsfix::has_line(r.out, "Info    block:>INFO_START:"));
  EXPECT_EQ(tstest::lines_of(read_file(dir / "hdrdmp.out"), tstest::LineEnd::lf), want);
}

TEST(Hdrdmp, BinaryFileStopsQuietlyAtShortDataRecord) {
  TempDir dir;
  TsSpec s;
  s.comments = {"# a comment", "#F Filter block begin", "#FX not a filter word",
                "#F Filter block end"};
  tsfix::write_ts(dir.path(), s, tsfix::ramp(4));
  const auto r = run_program("hdrdmp", {"-1"}, "\nkvt101a1\n\n", dir.str());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dump_lines(r.out), expected_dump(s));
  EXPECT_TRUE(tsfix::has_line(r.out, "Filter  block:#FX not a filter word"));
  EXPECT_EQ(tstest::lines_of(read_file(dir / "hdrdmp.out"), tstest::LineEnd::lf), expected_dump(s));
}

TEST(Hdrdmp, HeaderOnlyFileEndsWithEndOfFileReport) {
  TempDir dir;
  TsSpec s;
  tsfix::write_ts(dir.path(), s, {});
  const auto r = run_program("hdrdmp", {}, "\nkvt101a1\nb\n", dir.str());
  EXPECT_EQ(r.status, 24);
  EXPECT_NE(r.err.find("end-of-file during read, unit 4"), std::string::npos) << r.err;
  // Every line shown is in the report file.
  EXPECT_EQ(tstest::lines_of(read_file(dir / "hdrdmp.out"), tstest::LineEnd::lf), expected_dump(s));
}

TEST(Hdrdmp, FileWithoutHeaderShowsNothingAndKeepsOldReport) {
  TempDir dir;
  std::filesystem::create_directories(dir / "kvt101");
  mttest::write_file(dir / "kvt101" / "kvt101a1.ts", "1.0 2.0 3.0\r\n4.0 5.0 6.0\r\n");
  mttest::write_file(dir / "hdrdmp.out", "old content\r\n");
  const auto r = run_program("hdrdmp", {"-1"}, "\nkvt101a1\na\n", dir.str());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, " Writing header into hdrdmp.out\r\n");
  EXPECT_EQ(read_file(dir / "hdrdmp.out"), "old content\r\n");
}

TEST(Hdrdmp, ReadOnlyReportFileIsRefusedAtItsOpen) {
  TempDir dir;
  std::filesystem::create_directories(dir / "kvt101");
  const auto ts = dir / "kvt101" / "kvt101a1.ts";
  mttest::write_file(ts, "# only read\r\n 1.0\r\n");
  mttest::write_file(dir / "hdrdmp.out", "old content\r\n");
  mttest::make_read_only(ts);  // an input that may only be read still opens
  mttest::make_read_only(dir / "hdrdmp.out");
  const auto r = mttest::run_unprivileged("hdrdmp", {"-1"}, "\nkvt101a1\na\n", dir.path());
  if (!r) GTEST_SKIP() << "cannot run the program as an ordinary user";
  EXPECT_EQ(r->status, 9);
  EXPECT_EQ(r->out, "");
  EXPECT_EQ(r->err, "hdrdmp: severe (9): permission to access file denied, unit 7, file " +
                        (dir / "hdrdmp.out").string() + "\r\n");
  EXPECT_EQ(read_file(dir / "hdrdmp.out"), "old content\r\n");
}

TEST(Hdrdmp, LongAndUnknownLinesAreShownCutTo80) {
  TempDir dir;
  std::filesystem::create_directories(dir / "kvt101");
  const std::string long_comment = "#" + std::string(99, 'x');
  mttest::write_file(dir / "kvt101" / "kvt101a1.ts",
                     long_comment + "\r\n>NOSUCHKEY : 12\r\n>STATION   : kvt101\r\n 1.0\r\n");
  const auto r = run_program("hdrdmp", {"-1"}, "\nkvt101a1\na\n", dir.str());
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> want = {"Comment block:#" + std::string(79, 'x'),
                                         "Info    block:>NOSUCHKEY : 12",
                                         "Info    block:>STATION   : kvt101"};
  EXPECT_EQ(dump_lines(r.out), want);
}

}  // namespace
