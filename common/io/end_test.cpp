// Program ends: report lines and exit statuses, message ends, write-out failures
// found late, console interrupts, output written out before console reads.
#include "common/io/end.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "common/io/unit.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/full_device.h"
#include "support/run_program.h"

namespace {

void say(int unit, std::string_view text, bool end_line = true) {
  io::unit_for(unit).write_text(text, end_line);
}

TEST(End, ErrorReportLineAndStatus) {
  struct Case {
    int number;
    int unit;
    std::string line;
  };
  const std::vector<Case> cases = {
      {29, 10, "tester: severe (29): file not found, unit 10, file /data/x.ts\r\n"},
      {64, -4, "tester: severe (64): input conversion error, unit -4, file /data/x.ts\r\n"},
      {20, 3, "tester: severe (20): REWIND error, unit 3, file /data/x.ts\r\n"},
  };
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      char arg0[] = "/usr/local/bin/tester";
      char* argv[] = {arg0, nullptr};
      io::start_program(1, argv);
      say(6, "pending output");
      io::error_report(c.number, c.unit, "/data/x.ts");
    });
    EXPECT_EQ(r.status, c.number);
    EXPECT_EQ(r.err, c.line);
    EXPECT_EQ(r.out, "pending output\r\n");
  }
}

TEST(End, EndsWithAndWithoutMessage) {
  struct Case {
    io::Outcome outcome;
    const char* message;  // nullptr: no message
    int status;
    std::string err;
  };
  const std::vector<Case> cases = {
      {io::Outcome::success, nullptr, 0, ""},
      {io::Outcome::failure, nullptr, 1, ""},
      {io::Outcome::success, "Conversion done", 0, "Conversion done\r\n"},
      {io::Outcome::failure, "ts_in1: form ?????? not known", 1,
       "ts_in1: form ?????? not known\r\n"},
  };
  mttest::TempDir dir;
  const std::string file = (dir / "kept.txt").string();
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      io::set_program_name("tester");
      io::open(8, file, io::OpenSpec{}, io::Takes::neither);
      say(8, "written out at the end");
      say(6, "prompt: ", false);
      if (c.message != nullptr) io::end_program(c.outcome, c.message);
      io::end_program(c.outcome);
    });
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "prompt: ");
    EXPECT_EQ(mttest::read_file(file), "written out at the end\r\n");
  }
}

TEST(End, AFailedRunWritesItsLineWholeCutsItsOutputsAndEndsWithOne) {
  const std::string long_name(100, 'k');
  struct Case {
    std::vector<std::string_view> parts;
    std::string_view final_message;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{}, "", "", ""},
      {{}, "Program terminated with error condition", "",
       "Program terminated with error condition\r\n"},
      {{" FATAL ERROR: ", "kvt101/kvt101a1.ts", " has NCHAN 0"}, "",
       " FATAL ERROR: kvt101/kvt101a1.ts has NCHAN 0\r\n", ""},
      // However long, one line: the free layout would break it at 80 columns.
      {{" FATAL ERROR: ", long_name, ": no"}, "Program terminated",
       " FATAL ERROR: " + long_name + ": no\r\n", "Program terminated\r\n"},
  };
  mttest::TempDir dir;
  const std::string file = (dir / "output.ts").string();
  for (const Case& c : cases) {
    mttest::write_file(file, "an earlier run's output");
    const mttest::ChildResult r = mttest::run_child([&] {
      io::set_program_name("tester");
      io::open(8, file, io::OpenSpec{.output = true}, io::Takes::neither);
      say(8, "half a window");
      switch (c.parts.size()) {
        case 0: io::fail_run({}, c.final_message);
        default: io::fail_run({c.parts[0], c.parts[1], c.parts[2]}, c.final_message);
      }
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(mttest::read_file(file), "");
  }
}

TEST(End, ReturningFromMainStillWritesEverythingOut) {
  mttest::TempDir dir;
  const std::string file = (dir / "f.txt").string();
  const mttest::ChildResult r = mttest::run_child([&] {
    io::open(8, file, io::OpenSpec{}, io::Takes::neither);
    say(8, "line");
    say(6, "out");
    say(0, "err");
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "out\r\n");
  EXPECT_EQ(r.err, "err\r\n");
  EXPECT_EQ(mttest::read_file(file), "line\r\n");
}

TEST(End, AWriteOutThatFailsIsNeverSilent) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  struct Case {
    const char* what;
    void (*finish)();
    int status;
  };
  const std::vector<Case> cases = {
      {"end without message", [] { io::end_program(io::Outcome::success); }, 38},
      {"return from main", [] {}, 38},
      {"close", [] { io::close(3); }, 38},
      {"rewind", [] { io::rewind(3); }, 38},
      {"many records",
       [] {
         for (int i = 0; i < 100000; ++i) say(3, "a record that fills buffers");
       },
       38},
      {"error report of its own", [] { io::error_report(64, 7, "x"); }, 64},
  };
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      io::set_program_name("tester");
      io::open(3, "/dev/full", io::OpenSpec{}, io::Takes::neither);
      say(3, "lost on a full device");
      c.finish();
    });
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_NE(r.err.find("tester: severe (38): error during write, unit 3, file /dev/full\r\n"),
              std::string::npos)
        << c.what << ": " << r.err;
  }
}

TEST(End, StandardOutputThatCannotBeWrittenIsReported) {
  if (!mttest::have_full_device()) GTEST_SKIP() << mttest::kNoFullDevice;
  const mttest::ChildResult r = mttest::run_child([] {
    io::set_program_name("tester");
    const int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, 1);
    say(6, "nowhere to go");
    io::end_program(io::Outcome::success);
  });
  EXPECT_EQ(r.status, 38);
  EXPECT_EQ(r.err, "tester: severe (38): error during write, unit -1, file stdout\r\n");
}

TEST(End, InterruptsReportTheEventAndWriteOut) {
  struct Case {
    int sig;
    const char* event;
  };
  mttest::TempDir dir;
  const std::string file = (dir / "partial.txt").string();
  for (const Case& c :
       {Case{SIGINT, "control-C"}, Case{SIGQUIT, "control-BREAK"}, Case{SIGHUP, "window-CLOSE"}}) {
    const mttest::ChildResult r = mttest::run_child([&] {
      char arg0[] = "./tester";
      char* argv[] = {arg0, nullptr};
      io::start_program(1, argv);
      io::open(9, file, io::OpenSpec{}, io::Takes::neither);
      say(9, "kept");
      say(6, "Give x: ", false);
      ::raise(c.sig);
      say(6, "not reached");
    });
    EXPECT_EQ(r.status, 128 + c.sig) << c.event;
    EXPECT_EQ(r.err, std::string("tester: error (200): program aborting due to ") + c.event +
                         " event\r\n");
    EXPECT_EQ(r.out, "Give x: ");
    EXPECT_EQ(mttest::read_file(file), "kept\r\n");
  }
}

TEST(End, ConsoleReadWritesOutPendingOutputFirst) {
  const mttest::ChildResult r = mttest::run_child(
      [] {
        say(6, "Give x: ", false);
        say(0, "note");
        std::string_view answer;
        const io::Result got = io::unit_for(5).read_line(answer);
        // Leave without the final write-out: only what the read wrote out is there.
        ::_exit(got.ok() && answer == "12" ? 0 : 1);
      },
      "12\r\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Give x: ");
  EXPECT_EQ(r.err, "note\r\n");
}

TEST(End, ConsoleInputReadsLinesAndEnds) {
  const mttest::ChildResult r = mttest::run_child(
      [] {
        std::string_view line;
        std::string seen;
        while (io::unit_for(5).read_line(line).ok()) seen += "[" + std::string(line) + "]";
        say(6, seen);
      },
      "a\r\nb\nlast");
  EXPECT_EQ(r.out, "[a][b][last]\r\n");
}

TEST(End, InfoLineGoesToStandardErrorBeforeTheReport) {
  const mttest::ChildResult r = mttest::run_child([] {
    io::set_program_name("tester");
    io::info_line(58, "format syntax error at or near 5F12.4");
    io::error_report(62, -5, "Internal Formatted Read");
  });
  EXPECT_EQ(r.status, 62);
  EXPECT_EQ(
      r.err,
      "tester: info (58): format syntax error at or near 5F12.4\r\n"
      "tester: severe (62): syntax error in format, unit -5, file Internal Formatted Read\r\n");
}

TEST(End, ProgramNameIsArgumentZeroWithoutItsDirectory) {
  io::set_program_name("/opt/suite/bin/segmerge");
  EXPECT_EQ(io::program_name(), "segmerge");
  io::set_program_name("rawcv");
  EXPECT_EQ(io::program_name(), "rawcv");
}

}  // namespace
