// rawcv end to end: what a failed run leaves behind, and the form the accepted time
// answers are kept in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/full_device.h"
#include "support/rawcv_project.h"
#include "support/small_filesystem.h"

namespace rawcv_e2e {
namespace {

const std::string kDatabase =
    "# windows\r\nkvt101a0 007 5 2004-07-20 12:00:00-2004-07-20 13:00:00\r\n";
const std::string kEarlierTs = "the ts file of an earlier run";
const std::string kEarlierAux = "the aux file of an earlier run";

// Ten minutes at 1 Hz: a ts file of some 20 kB, all of it still buffered when the
// loop ends, so that the disk fills only when the files are written out and closed.
Answers ten_minutes(const std::string& form) {
  Answers a;
  a.form = form;
  a.seq_or_format = form == "u" ? "1" : "";
  a.end = "2004-07-20 13:27:00";
  return a;
}

TEST(RawcvFailure, AFullDiskAtTheEndLeavesNoWindowLineAndNoFragment) {
  for (const std::string form : {"u", "f"}) {
    Project p;
    p.raw(window_description(1.0f, "Hz", 5, 700));
    mttest::write_file(p.dir / "windows.kvt", kDatabase);
    const auto r = mttest::run_program_on_small_disk(
        "rawcv", {}, mttest::answer_lines(ten_minutes(form).list()), p.dir.str(), 8192);
    EXPECT_EQ(r.status, 38) << form << r.out << r.err;
    EXPECT_NE(r.err.find("rawcv: severe (38): error during write, unit 10, file "),
              std::string::npos)
        << form << r.err;
    EXPECT_EQ(r.out.find("project windows.kvt file"), std::string::npos) << form << r.out;
    EXPECT_EQ(p.file("windows.kvt"), kDatabase) << form;
    EXPECT_EQ(p.file("kvt101/kvt101a1.ts"), "") << form;
    EXPECT_EQ(p.file("kvt101/kvt101a1.aux"), "") << form;
  }
}

// The ts and aux files are one product: both are written out before either closes, so
// that an aux that cannot be written cuts the ts back too.
TEST(RawcvFailure, AnAuxOnAFullDeviceCutsTheTs) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 700));
  mttest::write_file(p.dir / "windows.kvt", kDatabase);
  std::filesystem::create_symlink(mttest::kFullDevice, p.dir / "kvt101" / "kvt101a1.aux");
  const auto r = p.run(ten_minutes("u").list());
  EXPECT_EQ(r.status, 38) << r.out << r.err;
  EXPECT_EQ(r.err, "rawcv: severe (38): error during write, unit 11, file " +
                       (p.dir / "kvt101" / "kvt101a1.aux").string() + "\r\n");
  EXPECT_EQ(r.out.find("project windows.kvt file"), std::string::npos) << r.out;
  EXPECT_EQ(p.file("windows.kvt"), kDatabase);
  EXPECT_TRUE(p.file("kvt101/kvt101a1.ts").empty());
}

// A disk with room for the ts and part of the aux: the ts, written out whole first, is
// cut back with the aux.
TEST(RawcvFailure, ADiskWithRoomForTheTsOnlyCutsBothFiles) {
  constexpr std::uint64_t kPage = 4096;
  const auto pages = [](std::uint64_t bytes) { return (bytes + kPage - 1) / kPage; };
  const Answers answers = ten_minutes("u");
  // The sizes of the two files, as a run on an ordinary disk writes them.
  Project probe;
  probe.raw(window_description(1.0f, "Hz", 5, 700));
  ASSERT_EQ(probe.run(answers.list()).status, 0);
  const std::uint64_t ts_size = std::filesystem::file_size(probe.dir / "kvt101" / "kvt101a1.ts");
  const std::uint64_t aux_size = std::filesystem::file_size(probe.dir / "kvt101" / "kvt101a1.aux");

  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 700));
  mttest::write_file(p.dir / "windows.kvt", kDatabase);
  // The ts and aux go onto the small disk through links.
  std::filesystem::create_directory(p.dir / "disk");
  for (const std::string name : {"kvt101a1.ts", "kvt101a1.aux"})
    std::filesystem::create_symlink(p.dir / "disk" / name, p.dir / "kvt101" / name);
  std::string skip_reason;
  const auto r = mttest::run_program_on_small_filesystem(
      "rawcv", mttest::answer_lines(answers.list()), p.dir.path(), p.dir / "disk",
      (pages(ts_size) + pages(aux_size) - 1) * kPage, p.dir / "after", skip_reason);
  if (!r) GTEST_SKIP() << skip_reason;
  EXPECT_EQ(r->status, 38) << r->out << r->err;
  EXPECT_EQ(r->err, "rawcv: severe (38): error during write, unit 11, file " +
                        (p.dir / "kvt101" / "kvt101a1.aux").string() + "\r\n");
  EXPECT_EQ(r->out.find("project windows.kvt file"), std::string::npos) << r->out;
  EXPECT_EQ(p.file("windows.kvt"), kDatabase);
  EXPECT_TRUE(p.has("after/kvt101a1.ts"));
  EXPECT_TRUE(p.file("after/kvt101a1.ts").empty());
  EXPECT_TRUE(p.file("after/kvt101a1.aux").empty());
}

TEST(RawcvFailure, AnswersEndingAfterTheHeadersCutBothFilesBackToNothing) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  mttest::write_file(p.dir / "hardware.kvt", "  9\r\n");  // box 7 is missing: defaults
  mttest::write_file(p.dir / "windows.kvt", kDatabase);
  mttest::write_file(p.dir / "kvt101" / "kvt101a1.ts", kEarlierTs);
  mttest::write_file(p.dir / "kvt101" / "kvt101a1.aux", kEarlierAux);
  Answers a;
  a.after_form = {"Y"};  // the defaults question comes again at the first sample: no answer
  a.end = "2004-07-20 13:17:10";
  const auto r = p.run(a.list());
  EXPECT_EQ(r.status, 24) << r.out << r.err;
  EXPECT_EQ(r.err, "rawcv: severe (24): end-of-file during read, unit -4, file stdin\r\n");
  EXPECT_EQ(p.file("kvt101/kvt101a1.ts"), "");
  EXPECT_EQ(p.file("kvt101/kvt101a1.aux"), "");
  EXPECT_EQ(p.file("windows.kvt"), kDatabase);
}

TEST(RawcvFailure, AnswersEndingAtTheTimesLeaveEarlierFilesAsTheyWere) {
  Project p;
  p.raw(window_description(1.0f, "Hz", 5, 100));
  mttest::write_file(p.dir / "windows.kvt", kDatabase);
  mttest::write_file(p.dir / "kvt101" / "kvt101a1.ts", kEarlierTs);
  mttest::write_file(p.dir / "kvt101" / "kvt101a1.aux", kEarlierAux);
  std::vector<std::string> answers = Answers{}.list();
  answers.resize(answers.size() - 1);  // no end time
  const auto r = p.run(answers);
  EXPECT_EQ(r.status, 24) << r.out << r.err;
  EXPECT_EQ(p.file("kvt101/kvt101a1.ts"), kEarlierTs);
  EXPECT_EQ(p.file("kvt101/kvt101a1.aux"), kEarlierAux);
  EXPECT_EQ(p.file("windows.kvt"), kDatabase);
}

// A span whose seconds or samples do not fit a 32-bit count ends the run before the
// headers are written: the files of an earlier run stay, and no line is appended. From
// 2004-07-20 a century is 36524 days (3155673600 s); six years are 2191 days
// (189302400 s), 2271628800 samples at 12 Hz.
TEST(RawcvFailure, ASpanBeyondThirtyTwoBitCountsIsRefused) {
  struct Case {
    std::string end;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"2104-07-20 13:17:00",
       " FATAL ERROR: kvt101/kvt101a1.1mp: seconds requested 3155673600 does not fit a 32-bit "
       "count\r\n"},
      {"2010-07-20 13:17:00",
       " FATAL ERROR: kvt101/kvt101a1.1mp: samples requested 2271628800 does not fit a 32-bit "
       "count\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    Project p;
    p.raw(window_description(12.0f, "Hz", 5, 100));
    mttest::write_file(p.dir / "windows.kvt", kDatabase);
    mttest::write_file(p.dir / "kvt101" / "kvt101a1.ts", kEarlierTs);
    mttest::write_file(p.dir / "kvt101" / "kvt101a1.aux", kEarlierAux);
    Answers a;
    a.end = c.end;
    const auto r = p.run(a.list());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find(c.line), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("requested is 0"), std::string::npos) << r.out;
    EXPECT_EQ(p.file("kvt101/kvt101a1.ts"), kEarlierTs);
    EXPECT_EQ(p.file("kvt101/kvt101a1.aux"), kEarlierAux);
    EXPECT_EQ(p.file("windows.kvt"), kDatabase);
  }
}

TEST(RawcvFailure, AcceptedTimesAreKeptInTheLibrarysForm) {
  struct Case {
    const char* name;
    std::string start, end;
  };
  const std::vector<Case> cases = {
      {"tab", "2004-07-20\t13:17:00", "2004-07-20\t13:17:10"},
      {"letter T", "2004-07-20T13:17:00", "2004-07-20T13:17:10"},
      {"slashes and points", "2004/07/20 13.17.00", "2004/07/20 13.17.10"},
  };
  for (const Case& c : cases) {
    Project p;
    p.raw(window_description(1.0f, "Hz", 5, 100));
    Answers a;
    a.start = c.start;
    a.end = c.end;
    const auto r = p.run(a.list());
    ASSERT_EQ(r.status, 0) << c.name << r.out << r.err;
    const std::string ts = p.file("kvt101/kvt101a1.ts");
    EXPECT_NE(ts.find(info("STARTTIME", "2004-07-20 13:17:0000")), std::string::npos) << c.name;
    EXPECT_NE(ts.find(info("ENDTIME", "2004-07-20 13:17:1000")), std::string::npos) << c.name;
    EXPECT_EQ(p.file("windows.kvt"),
              "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-20 13:17:10  1.000000\r\n")
        << c.name;
  }
}

}  // namespace
}  // namespace rawcv_e2e
