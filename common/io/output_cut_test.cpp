// Outputs of a failing run: a file the run writes whole is cut back to nothing when
// the run ends with a failure or an error report while it is still open.
#include <gtest/gtest.h>
#include <signal.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "common/io/end.h"
#include "common/io/unit.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBefore = "the window of an earlier run\r\n";

void say(int unit, std::string_view text) { io::unit_for(unit).write_text(text, true); }

io::OpenSpec text_file(bool output) {
  return io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::text, .output = output};
}

struct Ending {
  const char* what;
  void (*end)();
  int status;
  bool cuts;
};

const std::vector<Ending> kEndings = {
    {"error report", [] { io::error_report(24, -4, "stdin"); }, 24, true},
    {"failure", [] { io::end_program(io::Outcome::failure); }, 1, true},
    {"failure with message", [] { io::end_program(io::Outcome::failure, "Program terminated"); }, 1,
     true},
    {"success", [] { io::end_program(io::Outcome::success); }, 0, false},
    {"success with message", [] { io::end_program(io::Outcome::success, "Done."); }, 0, false},
    {"return from main", [] {}, 0, false},
};

TEST(OutputCut, AWrittenOutputIsCutBackOnlyWhenTheRunFails) {
  mttest::TempDir dir;
  const fs::path output = dir / "out.ts";
  const fs::path other = dir / "report.txt";
  for (const Ending& e : kEndings) {
    mttest::write_file(output, std::string(kBefore));
    const mttest::ChildResult r = mttest::run_child([&] {
      io::open(10, output.string(), text_file(true), io::Takes::neither);
      io::open(8, other.string(), text_file(false), io::Takes::neither);
      for (int i = 0; i < 20000; ++i) say(10, "a record, some of them written out already");
      say(8, "not an output: kept");
      e.end();
    });
    EXPECT_EQ(r.status, e.status) << e.what;
    EXPECT_EQ(fs::file_size(output) == 0, e.cuts) << e.what;
    EXPECT_EQ(mttest::read_file(other), "not an output: kept\r\n") << e.what;
  }
}

TEST(OutputCut, AnOutputNotWrittenYetStaysAsItWas) {
  mttest::TempDir dir;
  const fs::path output = dir / "out.ts";
  mttest::write_file(output, std::string(kBefore));
  const mttest::ChildResult r = mttest::run_child([&] {
    io::open(10, output.string(), text_file(true), io::Takes::neither);
    io::error_report(24, -4, "stdin");
  });
  EXPECT_EQ(r.status, 24);
  EXPECT_EQ(mttest::read_file(output), kBefore);
}

TEST(OutputCut, AnOutputClosedBeforeTheFailureStaysWhole) {
  mttest::TempDir dir;
  const fs::path output = dir / "out.ts";
  const mttest::ChildResult r = mttest::run_child([&] {
    io::open(10, output.string(), text_file(true), io::Takes::neither);
    say(10, "closed whole");
    io::close(10);
    io::end_program(io::Outcome::failure);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(mttest::read_file(output), "closed whole\r\n");
}

TEST(OutputCut, AnInterruptCutsNothing) {
  mttest::TempDir dir;
  const fs::path output = dir / "out.ts";
  const mttest::ChildResult r = mttest::run_child([&] {
    io::install_interrupt_handlers();
    io::open(10, output.string(), text_file(true), io::Takes::neither);
    say(10, "kept at an interrupt");
    ::raise(SIGINT);
  });
  EXPECT_EQ(r.status, 128 + SIGINT);
  EXPECT_EQ(mttest::read_file(output), "kept at an interrupt\r\n");
}

TEST(OutputCut, ALinkedOutputIsCutThroughTheLink) {
  mttest::TempDir dir;
  const fs::path target = dir / "target.ts";
  const fs::path link = dir / "link.ts";
  mttest::write_file(target, std::string(kBefore));
  fs::create_symlink(target, link);
  const mttest::ChildResult r = mttest::run_child([&] {
    io::open(10, link.string(), text_file(true), io::Takes::neither);
    say(10, "a fragment");
    io::end_program(io::Outcome::failure);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST(OutputCut, AnOutputThatCannotBeWrittenOutIsCutBack) {
  struct Case {
    const char* what;
    void (*finish)();
  };
  const std::vector<Case> cases = {
      {"close", [] { io::close(10); }},
      {"end of the run", [] { io::end_program(io::Outcome::success); }},
      {"return from main", [] {}},
  };
  mttest::TempDir dir;
  const fs::path output = dir / "out.ts";
  for (const Case& c : cases) {
    const mttest::ChildResult r = mttest::run_child([&] {
      io::set_program_name("tester");
      mttest::limit_file_size(1000);  // stands in for a full disk
      io::open(10, output.string(), text_file(true), io::Takes::neither);
      for (int i = 0; i < 100; ++i) say(10, "more than the disk holds");
      c.finish();
    });
    EXPECT_EQ(r.status, 38) << c.what;
    EXPECT_NE(r.err.find("tester: severe (38): error during write, unit 10"), std::string::npos)
        << c.what << ": " << r.err;
    EXPECT_EQ(fs::file_size(output), 0u) << c.what;
  }
}

}  // namespace
