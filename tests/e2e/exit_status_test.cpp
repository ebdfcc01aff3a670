// Exit statuses as a user meets them: one row per way a whole program ends that an
// end-to-end run can bring about, with the words it leaves on the console.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/full_device.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

namespace fs = std::filesystem;
using mttest::run_program;
using mttest::TempDir;

// A project directory holding one BINARY ts file, kvt101/kvt101a1.ts.
void one_ts_file(const fs::path& dir) { tsfix::write_ts(dir, tsfix::TsSpec{}, tsfix::ramp(5)); }

// The report file of hdrdmp on a device that is always full.
void full_report_file(const fs::path& dir) {
  one_ts_file(dir);
  fs::create_symlink(mttest::kFullDevice, dir / "hdrdmp.out");
}

void nothing(const fs::path&) {}

struct StatusCase {
  const char* name;
  std::function<void(const fs::path&)> setup;
  std::string program;
  std::vector<std::string> args;
  std::string answers;
  int status;
  std::string err;        // all of standard error; "@" stands for the project directory
  std::string out_words;  // a piece of standard output; empty: not checked
  int out_count = 1;      // how often it appears
};

std::string with_dir(std::string text, const std::string& dir) {
  const auto at = text.find('@');
  if (at != std::string::npos) text.replace(at, 1, dir);
  return text;
}

// Runs the case in a project directory of its own (canonical, as the programs report
// it) and checks its status and words.
void expect_status(const StatusCase& c) {
  SCOPED_TRACE(c.name);
  TempDir project;
  const std::string dir = project.str();
  c.setup(dir);
  const auto r = run_program(c.program, c.args, c.answers, dir);
  EXPECT_EQ(r.status, c.status) << r.out << r.err;
  EXPECT_EQ(r.err, with_dir(c.err, dir)) << r.out;
  if (!c.out_words.empty()) {
    EXPECT_EQ(tstest::count_of(r.out, c.out_words), static_cast<std::size_t>(c.out_count)) << r.out;
  }
}

TEST(ExitStatus, EachWayOfEndingHasItsStatusAndWords) {
  const std::vector<StatusCase> cases = {
      // 0: the help of a tool, and a normal end.
      {"Help", nothing, "hdrdmp", {"-h"}, "", 0, "", " Permitted options:-"},
      {"NormalEnd",
       one_ts_file,
       "hdrdmp",
       {},
       "-1\nkvt101a1\nb\n",
       0,
       "",
       "Comment block:# test file"},
      // 1: a failure end of the program's own, after its own lines.
      {"MistypedRawWindow",
       nothing,
       "rawcv",
       {},
       "-1\n10.11\n\nkvt101b1\n",
       1,
       "",
       " Aborting program"},
      {"UnknownFormLetter",
       one_ts_file,
       "hdrdmp",
       {},
       "-1\nkvt101a1\nx\n",
       1,
       "Program terminated\r\n",
       " ERROR: Unknown form specifier in ts_open"},
      // 24: started outside the project, every answer after the form letter is taken as
      // another window name, until the answers run out.
      {"AnswersRunOut",
       nothing,
       "hdrdmp",
       {},
       "-1\nkvt101a1\nb\nkvt101a2\n",
       24,
       "hdrdmp: severe (24): end-of-file during read, unit -4, file stdin\r\n",
       "  Try again!",
       2},
      // 29: an output file in a station directory that does not exist.
      {"MissingOutputDirectory",
       one_ts_file,
       "wincutter",
       {},
       "-1\nkvt101a1\nb\nzzz999ex\n\n\n",
       29,
       "wincutter: severe (29): file not found, unit 7, file @/zzz999/zzz999ex.ts\r\n",
       ""},
      // 64: a window name where the print level is read.
      {"WindowAsArgument",
       one_ts_file,
       "wincutter",
       {"kvt101a1"},
       "",
       64,
       "wincutter: severe (64): input conversion error, unit -5, file Internal Formatted Read\r\n",
       ""},
  };
  for (const StatusCase& c : cases) expect_status(c);
}

// 38: an output device that takes nothing. Apart from the table, so that a machine
// without the device skips this row alone.
TEST(ExitStatus, AFullDeviceEndsWithItsStatusAndWords) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  expect_status({"FullDevice",
                 full_report_file,
                 "hdrdmp",
                 {},
                 "-1\nkvt101a1\nb\n",
                 38,
                 "hdrdmp: severe (38): error during write, unit 7, file @/hdrdmp.out\r\n",
                 ""});
}

}  // namespace
