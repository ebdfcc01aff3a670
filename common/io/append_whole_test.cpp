// Whole appends: the records of one append reach the file with one write, or the file
// stays byte for byte as it was.
#include <gtest/gtest.h>

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

constexpr int kUnit = 8;
constexpr std::uint64_t kDisk = 4096;  // bytes a file may hold (the small disk)

void say(int unit, std::string_view text) { io::unit_for(unit).write_text(text, true); }

void open_for_appending(const fs::path& file) {
  io::open(kUnit, file.string(),
           io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::text, .append = true},
           io::Takes::neither);
}

std::string line_of(std::size_t length, char c) { return std::string(length, c) + "\r\n"; }

TEST(AppendWhole, AnAppendThatDoesNotFitLeavesTheFileAsItWas) {
  struct Case {
    const char* what;
    std::string before;  // the file's bytes before the append
  };
  const std::vector<Case> cases = {
      {"room for part of the entry", line_of(kDisk - 12, 'a')},
      {"no room at all", line_of(kDisk - 2, 'b')},
      {"a last line without line end", std::string(kDisk - 20, 'c')},
  };
  mttest::TempDir dir;
  const fs::path file = dir / "windows.abx";
  for (const Case& c : cases) {
    mttest::write_file(file, c.before);
    const mttest::ChildResult r = mttest::run_child([&] {
      mttest::limit_file_size(kDisk);
      open_for_appending(file);
      const io::Result result = io::append_whole(
          kUnit,
          [](int unit) {
            say(unit, "first line of the entry");
            say(unit, "second line");
          },
          io::Takes::errors);
      io::close(kUnit);
      io::end_program(result.code == 38 ? io::Outcome::success : io::Outcome::failure);
    });
    EXPECT_EQ(r.status, 0) << c.what << ": the append was not refused with error 38";
    EXPECT_EQ(mttest::read_file(file), c.before) << c.what;
  }
  // With room, the same entry goes in whole, the open last line ended first.
  mttest::write_file(file, "old");
  const mttest::ChildResult r = mttest::run_child([&] {
    open_for_appending(file);
    io::append_whole(
        kUnit, [&](int unit) { say(unit, "first line of the entry"); }, io::Takes::neither);
  });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mttest::read_file(file), "old\r\nfirst line of the entry\r\n");
}

TEST(AppendWhole, AFailureNotTakenBackIsTheErrorReport) {
  mttest::TempDir dir;
  const fs::path file = dir / "windows.abx";
  const std::string before = line_of(kDisk - 30, 'x');
  mttest::write_file(file, before);
  const mttest::ChildResult r = mttest::run_child([&] {
    io::set_program_name("tester");
    mttest::limit_file_size(kDisk);
    open_for_appending(file);
    io::append_whole(
        kUnit, [](int unit) { say(unit, std::string(60, 'w')); }, io::Takes::neither);
    io::end_program(io::Outcome::success);
  });
  EXPECT_EQ(r.status, 38);
  EXPECT_EQ(r.err,
            "tester: severe (38): error during write, unit 8, file " + file.string() + "\r\n");
  EXPECT_EQ(mttest::read_file(file), before);
}

// Held records are not written out when the buffer fills: an entry larger than the
// unit's buffer still goes in with one write, or not at all.
TEST(AppendWhole, AnEntryLargerThanTheBufferIsStillOneWrite) {
  mttest::TempDir dir;
  const fs::path file = dir / "big.txt";
  const std::string record(1000, 'r');
  constexpr int kRecords = 200;  // some 200 kB, several buffers
  for (const bool fits : {false, true}) {
    mttest::write_file(file, "kept\r\n");
    const mttest::ChildResult r = mttest::run_child([&] {
      if (!fits) mttest::limit_file_size(150 * 1000);
      open_for_appending(file);
      const io::Result result = io::append_whole(
          kUnit,
          [&](int unit) {
            for (int i = 0; i < kRecords; ++i) say(unit, record);
          },
          io::Takes::errors);
      io::end_program(result.ok() ? io::Outcome::success : io::Outcome::failure);
    });
    EXPECT_EQ(r.status, fits ? 0 : 1) << r.err;
    EXPECT_EQ(fs::file_size(file), fits ? 6 + kRecords * (record.size() + 2) : 6u);
  }
}

TEST(AppendWhole, AProgramEndWhileTheEntryIsWrittenDropsIt) {
  mttest::TempDir dir;
  const fs::path file = dir / "windows.abx";
  mttest::write_file(file, "kept\r\n");
  const mttest::ChildResult r = mttest::run_child([&] {
    open_for_appending(file);
    io::append_whole(
        kUnit,
        [](int unit) {
          say(unit, "the first line of an entry");
          io::error_report(24, -4, "stdin");
        },
        io::Takes::neither);
  });
  EXPECT_EQ(r.status, 24);
  EXPECT_EQ(mttest::read_file(file), "kept\r\n");
}

}  // namespace
