// The window line goes into the windows database only after the console is written out.
#include "tslib/append_window_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "common/io/end.h"
#include "common/io/unit.h"
#include "common/io/units.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDatabase = 8;
const std::string kBefore = "abx001a1 027 5 2004-07-20 13:00:00-2004-07-20 14:00:00\r\n";
const std::string kLine = "abx001a2 027 5 2004-07-20 15:00:00-2004-07-20 16:00:00";

// Standard output becomes a pipe whose reader has gone: every write to it fails.
void console_reader_gone() {
  std::signal(SIGPIPE, SIG_IGN);
  int ends[2];
  if (::pipe(ends) != 0) ::_exit(126);
  ::close(ends[0]);
  ::dup2(ends[1], 1);
  ::close(ends[1]);
}

void append_after_a_report(const fs::path& database) {
  io::set_program_name("tester");
  io::open(kDatabase, database.string(),
           io::OpenSpec{.status = io::OpenStatus::old_file, .form = io::Form::text, .append = true},
           io::Takes::neither);
  io::unit_for(6).write_text("the window line as the console shows it", true);
  tslib::append_window_line(
      kDatabase, [](int unit) { io::unit_for(unit).write_text(kLine, true); }, io::Takes::errors);
  io::close(kDatabase);
  io::end_program(io::Outcome::success);
}

TEST(AppendWindowLine, AConsoleThatCannotBeWrittenKeepsTheLineOut) {
  mttest::TempDir dir;
  const fs::path database = dir / "windows.abx";
  mttest::write_file(database, kBefore);
  const mttest::ChildResult r = mttest::run_child([&] {
    console_reader_gone();
    append_after_a_report(database);
  });
  EXPECT_EQ(r.status, 38);
  EXPECT_EQ(r.err, "tester: severe (38): error during write, unit -1, file stdout\r\n");
  EXPECT_EQ(mttest::read_file(database), kBefore);
}

TEST(AppendWindowLine, AfterTheConsoleTheLineGoesIn) {
  mttest::TempDir dir;
  const fs::path database = dir / "windows.abx";
  mttest::write_file(database, kBefore);
  const mttest::ChildResult r = mttest::run_child([&] { append_after_a_report(database); });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "the window line as the console shows it\r\n");
  EXPECT_EQ(mttest::read_file(database), kBefore + kLine + "\r\n");
}

}  // namespace
