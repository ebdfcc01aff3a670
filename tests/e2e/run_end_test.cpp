// How runs end, across the programs: a window line goes into the windows database whole
// or not at all, and a console that cannot be written fails the run before its outputs
// are kept or its window is recorded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/full_device.h"
#include "support/rawcv_project.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

namespace fs = std::filesystem;
using mttest::read_file;
using mttest::TempDir;

const std::string kDatabaseHead = "# windows of the test\r\n";

// One run of a program on a small project of its own.
struct ProgramRun {
  std::string program;
  std::vector<std::string> answers;  // one per question, the print level 0 first
  std::vector<std::string> outputs;  // the files it writes, relative to the project
};

std::string bin(const std::string& program) { return std::string(MT_BIN_DIR) + "/" + program; }

void write_database(const TempDir& dir, const std::string& lines) {
  mttest::write_file(dir / "windows.kvt", kDatabaseHead + lines);
}

// The time `seconds` after 2004-07-20 13:00:00 (within the hour).
std::string at(int seconds) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "2004-07-20 13:%02d:%02d", seconds / 60, seconds % 60);
  return buf;
}

// A ts file of `records` samples at 1 s from `start` seconds after 13:00:00, and its
// line in the windows database.
std::string window(const TempDir& dir, const std::string& name, int start, int records) {
  tsfix::TsSpec s;
  s.station = name.substr(0, 6);
  s.window = name;
  s.start = at(start);
  tsfix::write_ts(dir.path(), s, tsfix::ramp(records));
  return tsfix::winrec(name, 27, 5, at(start), at(start + records - 1));
}

// rawcv converts 10 s of a 1 Hz raw window.
ProgramRun rawcv_run(const TempDir& dir) {
  fs::create_directories(dir / "kvt101");
  mttest::write_file(dir / "hardware.kvt", rawcv_e2e::kHardware);
  rawgen::write((dir / "kvt101" / "kvt101a1.1mp").string(),
                rawcv_e2e::window_description(1.0f, "Hz", 5, 100));
  write_database(dir, "");
  rawcv_e2e::Answers a;
  a.end = "2004-07-20 13:17:10";
  return {"rawcv", a.list(), {"kvt101/kvt101a1.ts", "kvt101/kvt101a1.aux"}};
}

// segmerge splices two windows of 10 s, 10 s apart.
ProgramRun segmerge_run(const TempDir& dir) {
  write_database(dir, window(dir, "kvt101a1", 10, 10) + window(dir, "kvt101a2", 30, 10));
  return {"segmerge", {"0", "kvt101", "a1", "a2", "", "as", "b", "b"}, {"kvt101/kvt101as.ts"}};
}

// chanmixer combines three channels of two windows over their common span.
ProgramRun chanmixer_run(const TempDir& dir) {
  write_database(dir, window(dir, "kvt101a1", 10, 20) + window(dir, "kvt102a1", 10, 20));
  fs::create_directories(dir / "mix001");
  return {"chanmixer",
          {"0", "kvt101a1", "kvt102a1", "mix001", "b", "b", "", "", "3", "11", "12", "13"},
          {"mix001/mix001cb.ts"}};
}

// wincutter copies the whole of a window.
ProgramRun wincutter_run(const TempDir& dir) {
  write_database(dir, window(dir, "kvt101a1", 10, 10));
  return {"wincutter", {"0", "kvt101a1", "b", "", "", ""}, {"kvt101/kvt101ex.ts"}};
}

// spanx measures a window and appends its line.
ProgramRun spanx_run(const TempDir& dir) {
  write_database(dir, window(dir, "kvt101a1", 10, 10));
  return {"spanx", {"0", "kvt101a1", "b", "T"}, {}};
}

struct Program {
  const char* name;
  ProgramRun (*make)(const TempDir&);
};

// Byte for byte; a difference shows as the sizes and the bytes from where it starts.
::testing::AssertionResult same_bytes(const std::string& got, const std::string& want) {
  if (got == want) return ::testing::AssertionSuccess();
  const auto at = static_cast<std::size_t>(
      std::mismatch(got.begin(),
                    got.begin() + static_cast<std::ptrdiff_t>(std::min(got.size(), want.size())),
                    want.begin())
          .first -
      got.begin());
  return ::testing::AssertionFailure()
         << got.size() << " bytes where " << want.size() << " were due; from byte " << at
         << " it holds " << ::testing::PrintToString(got.substr(at, 80)) << " for "
         << ::testing::PrintToString(want.substr(at, 80));
}

// The size of a file; 0 for one never made.
std::uintmax_t bytes_in(const fs::path& file) { return fs::exists(file) ? fs::file_size(file) : 0; }

std::string joined(const std::vector<std::string>& answers, std::size_t from) {
  std::string in;
  for (std::size_t i = from; i < answers.size(); ++i) in += answers[i] + "\n";
  return in;
}

// ---------------------------------------------------------------------------------
// A full disk at the append.

// The database grows to `size` bytes with comment lines: an append has room for less
// than a line.
void fill_database(const TempDir& dir, std::size_t size) {
  std::string db = read_file(dir / "windows.kvt");
  const std::string filler = "# " + std::string(76, '.') + "\r\n";
  while (db.size() + filler.size() <= size) db += filler;
  db += "#" + std::string(size - db.size() - 3, '-') + "\r\n";
  mttest::write_file(dir / "windows.kvt", db);
}

TEST(RunEnd, AFullDiskAtTheAppendLeavesTheDatabaseAsItWas) {
  constexpr std::uint64_t kDisk = 64 * 1024;  // every file the run writes fits, bar one line
  struct Case {
    Program writer;
    int status;
    std::string report;  // on standard error, or on the console for spanx
  };
  const std::vector<Case> cases = {
      {{"rawcv", rawcv_run}, 38, "rawcv: severe (38): error during write, unit 2, file "},
      {{"segmerge", segmerge_run}, 38, "segmerge: severe (38): error during write, unit 8, file "},
      {{"spanx", spanx_run}, 1, " spanx: error           0  writing to windows.kvt\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.writer.name);
    TempDir dir;
    const ProgramRun run = c.writer.make(dir);
    fill_database(dir, kDisk - 20);
    const std::string before = read_file(dir / "windows.kvt");
    const auto r = mttest::run_program_on_small_disk(run.program, {}, joined(run.answers, 0),
                                                     dir.str(), kDisk);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    if (c.status == 38) {
      EXPECT_EQ(r.err, c.report + (dir / "windows.kvt").string() + "\r\n");
    } else {
      EXPECT_TRUE(r.out.ends_with(c.report)) << r.out;
    }
    EXPECT_TRUE(same_bytes(read_file(dir / "windows.kvt"), before));
    // The files the line would have named were closed whole before the append.
    for (const std::string& output : run.outputs)
      EXPECT_GT(fs::file_size(dir / output), 0u) << output;
  }
}

// ---------------------------------------------------------------------------------
// Parallel appends.

// Starts every run at once, each with its answers from a file and its console thrown
// away, and waits for all; returns their exit statuses.
std::vector<int> run_at_once(const TempDir& dir, const std::vector<ProgramRun>& runs) {
  std::vector<pid_t> children;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const fs::path answers = dir / ("answers" + std::to_string(k));
    mttest::write_file(answers, joined(runs[k].answers, 0));
    const std::string path = bin(runs[k].program);
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int in = ::open(answers.c_str(), O_RDONLY);
      const int null = ::open("/dev/null", O_WRONLY);
      if (in < 0 || null < 0 || ::chdir(dir.path().c_str()) != 0) ::_exit(126);
      ::dup2(in, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    children.push_back(pid);
  }
  std::vector<int> statuses;
  for (const pid_t pid : children) {
    int st = 0;
    ::waitpid(pid, &st, 0);
    statuses.push_back(WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st));
  }
  return statuses;
}

// A splice of 11 windows has a window line of two records (ten run codes on the first,
// the 11th on the next): they, too, stay together.
TEST(RunEnd, LinesAppendedAtOnceByParallelRunsStayWhole) {
  const std::vector<std::string> codes = {"a1", "a2", "a3", "a4", "a5", "a6",
                                          "a7", "a8", "a9", "b1", "b2"};
  TempDir dir;
  std::string db;
  for (std::size_t k = 0; k < codes.size(); ++k) {
    // Windows of 5 s, one starting every 10 s from 13:00:00.
    db += window(dir, "kvt101" + codes[k], static_cast<int>(10 * k), 5);
  }
  write_database(dir, db);
  const std::string before = read_file(dir / "windows.kvt");

  constexpr int kSplices = 4;
  constexpr int kMeasures = 12;
  std::vector<ProgramRun> runs;
  for (int n = 0; n < kSplices; ++n) {
    std::vector<std::string> answers = {"-1", "kvt101"};
    answers.insert(answers.end(), codes.begin(), codes.end());
    answers.push_back("");
    answers.push_back("s" + std::to_string(n));
    answers.insert(answers.end(), codes.size(), "b");
    runs.push_back({"segmerge", answers, {}});
  }
  for (int n = 0; n < kMeasures; ++n) runs.push_back({"spanx", {"-1", "kvt101a1", "b", "T"}, {}});
  const std::vector<int> statuses = run_at_once(dir, runs);
  EXPECT_EQ(statuses, std::vector<int>(runs.size(), 0));

  const std::string after = read_file(dir / "windows.kvt");
  ASSERT_TRUE(after.starts_with(before));
  const auto added = tstest::lines_of(after.substr(before.size()), tstest::LineEnd::crlf);
  const std::string measured =
      "kvt101a1 027 5 2004-07-20 13:00:00-2004-07-20 13:00:04      1.000000    ";
  std::string spliced_codes;
  for (std::size_t k = 0; k < 10; ++k) spliced_codes += codes[k] + " ";
  int splices = 0;
  int measures = 0;
  for (std::size_t i = 0; i < added.size(); ++i) {
    if (added[i] == measured) {
      ++measures;
      continue;
    }
    const std::string splice = added[i].substr(0, 8);
    ASSERT_EQ(added[i], splice +
                            " 027 5 2004-07-20 13:00:00-2004-07-20 13:01:44    1.000000 splice: " +
                            spliced_codes)
        << "line " << i << " of the appended lines";
    ASSERT_LT(i + 1, added.size());
    EXPECT_EQ(added[++i], "b2 ") << "the record after " << splice;
    ++splices;
  }
  EXPECT_EQ(splices, kSplices);
  EXPECT_EQ(measures, kMeasures);
  EXPECT_TRUE(after.ends_with("\r\n"));
}

// ---------------------------------------------------------------------------------
// A console that cannot be written.

std::string stdout_report(const std::string& program) {
  return program + ": severe (38): error during write, unit -1, file stdout\r\n";
}

// The reader of standard output goes away while the run waits for one of its last
// answers: what the run writes after that answer cannot be shown. The run fails before
// it keeps an output or records a window.
TEST(RunEnd, AConsoleWhoseReaderWentFailsTheRunBeforeItsEnd) {
  struct Case {
    Program program;
    std::size_t reader_gone_at;  // the answer given once the reader has gone
  };
  const std::vector<Case> cases = {
      {{"rawcv", rawcv_run}, 7},           // the end time: then the conversion
      {{"segmerge", segmerge_run}, 7},     // the form of the last window
      {{"chanmixer", chanmixer_run}, 11},  // the last channel's mapping
      {{"wincutter", wincutter_run}, 5},   // the end of the extract
      {{"spanx", spanx_run}, 2},           // the form: then the count and the window line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program.name);
    TempDir dir;
    const ProgramRun run = c.program.make(dir);
    ASSERT_LT(c.reader_gone_at, run.answers.size());
    const std::string db = read_file(dir / "windows.kvt");
    const std::string path = bin(run.program);
    mttest::Child child([&] {
      if (::chdir(dir.path().c_str()) != 0) ::_exit(126);
      ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    });
    for (std::size_t i = 0; i < c.reader_gone_at; ++i) {
      child.until_prompt();
      child.answer(run.answers[i] + "\n");
    }
    const std::string last_prompt = child.until_prompt();
    ASSERT_TRUE(last_prompt.ends_with(" >")) << last_prompt;
    child.stop_reading_output();
    const mttest::ChildResult r = child.finish(joined(run.answers, c.reader_gone_at));
    EXPECT_EQ(r.status, 38) << r.err;
    EXPECT_EQ(r.err, stdout_report(run.program));
    for (const std::string& output : run.outputs) EXPECT_EQ(bytes_in(dir / output), 0u) << output;
    EXPECT_TRUE(same_bytes(read_file(dir / "windows.kvt"), db));
  }
}

// Standard output on a device that refuses every write, at print level -1: the first
// console line a run writes fails it, wherever that line comes.
// The tools that take the level on their command line write nothing before their
// first console line of the run (segmerge's count of files, chanmixer's opening of its
// first input, spanx's window line); rawcv and wincutter show the level question.
TEST(RunEnd, AConsoleOnAFullDeviceFailsTheRun) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  struct Case {
    Program program;
    bool level_argument;  // -1 on the command line
  };
  const std::vector<Case> cases = {
      {{"rawcv", rawcv_run}, false},        {{"segmerge", segmerge_run}, true},
      {{"chanmixer", chanmixer_run}, true}, {{"wincutter", wincutter_run}, false},
      {{"spanx", spanx_run}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program.name);
    TempDir dir;
    ProgramRun run = c.program.make(dir);
    run.answers.front() = "-1";
    // spanx asks no level question once its command line set one.
    if (c.level_argument && run.program == "spanx") run.answers.erase(run.answers.begin());
    const std::string db = read_file(dir / "windows.kvt");
    const std::string path = bin(run.program);
    const char* level = c.level_argument ? "-1" : nullptr;
    mttest::Child child([&] {
      const int full = ::open(mttest::kFullDevice, O_WRONLY);
      if (full < 0 || ::dup2(full, 1) < 0 || ::chdir(dir.path().c_str()) != 0) ::_exit(126);
      ::execl(path.c_str(), path.c_str(), level, static_cast<char*>(nullptr));
      ::_exit(127);
    });
    const mttest::ChildResult r = child.finish(joined(run.answers, 0));
    EXPECT_EQ(r.status, 38) << r.err;
    EXPECT_EQ(r.err, stdout_report(run.program));
    // An output is left empty, or was never made.
    for (const std::string& output : run.outputs) EXPECT_EQ(bytes_in(dir / output), 0u) << output;
    EXPECT_TRUE(same_bytes(read_file(dir / "windows.kvt"), db));
  }
}

}  // namespace
