// Text record files: line ends on reading and writing, the end-of-file mark, the
// cut-off behind the first record written, appending, stepping back, mixed use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/io/unit.h"
#include "common/io/units.h"
#include "support/run_program.h"

namespace {

constexpr int kUnit = 21;

io::OpenSpec text_spec(io::OpenStatus status = io::OpenStatus::unknown, bool append = false) {
  io::OpenSpec spec;
  spec.status = status;
  spec.form = io::Form::text;
  spec.append = append;
  return spec;
}

std::vector<std::string> read_all(int unit) {
  std::vector<std::string> lines;
  std::string_view line;
  while (io::unit_for(unit).read_line(line) == io::kDone) lines.emplace_back(line);
  return lines;
}

void write_line(int unit, std::string_view text) { io::unit_for(unit).write_text(text, true); }

std::string numbered_lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

class TextFile : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  std::string path(const std::string& name = "t.txt") const { return (dir_ / name).string(); }
  void open_unknown(bool append = false) {
    ASSERT_EQ(
        io::open(kUnit, path(), text_spec(io::OpenStatus::unknown, append), io::Takes::neither),
        io::kDone);
  }
  mttest::TempDir dir_;
};

TEST_F(TextFile, ReadsRecordsWhateverTheLineEnds) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\r\nb\r\n", {"a\r", "b"}},     // only the CR right before LF is line end
      {"one\r\nlast", {"one", "last"}},   // last line without line end
      {"a\r\n\x1a\r\nafter\r\n", {"a"}},  // Ctrl-Z record is end of file
      {"a\n\x1a", {"a"}},
      {"x\x1ay\r\n\x1a\x1a\r\n", {"x\x1ay", "\x1a\x1a"}},  // Ctrl-Z inside data is data
      {"", {}},
      {"\r\n\n", {"", ""}},
      {"cr only\r", {"cr only\r"}},
  };
  for (const Case& c : cases) {
    mttest::write_file(path(), c.bytes);
    open_unknown();
    EXPECT_EQ(read_all(kUnit), c.lines) << "bytes: " << c.bytes;
    std::string_view line;
    EXPECT_EQ(io::unit_for(kUnit).read_line(line), io::kEnd) << "read again after the end";
    io::close(kUnit);
    EXPECT_EQ(mttest::read_file(path()), c.bytes) << "reading leaves the file as it was";
  }
}

TEST_F(TextFile, WritesCrLfAndContinuesAnOpenLine) {
  open_unknown();
  io::Unit& u = io::unit_for(kUnit);
  u.write_text("abc", true);
  u.write_text("Give x: ", false);
  u.write_text("12", true);
  u.write_text("", true);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "abc\r\nGive x: 12\r\n\r\n");
}

TEST_F(TextFile, RewritingFromTheStartKeepsNothingOfTheOldContent) {
  mttest::write_file(path(), numbered_lines(10));
  open_unknown();
  for (const char* l : {"A", "B", "C"}) write_line(kUnit, l);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "A\r\nB\r\nC\r\n");
}

TEST_F(TextFile, AppendingKeepsTheOldRecords) {
  mttest::write_file(path(), numbered_lines(10));
  open_unknown(/*append=*/true);
  for (const char* l : {"A", "B", "C"}) write_line(kUnit, l);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), numbered_lines(10) + "A\r\nB\r\nC\r\n");
}

TEST_F(TextFile, TwoAppendersOpenAtOnceKeepBothLines) {
  mttest::write_file(path(), numbered_lines(2));
  constexpr int kOther = 22;
  open_unknown(/*append=*/true);
  ASSERT_EQ(io::open(kOther, path(), text_spec(io::OpenStatus::unknown, true), io::Takes::neither),
            io::kDone);
  write_line(kUnit, "first");
  io::close(kUnit);
  write_line(kOther, "second");
  io::close(kOther);
  EXPECT_EQ(mttest::read_file(path()), numbered_lines(2) + "first\r\nsecond\r\n");
}

TEST_F(TextFile, OpeningWithoutWritingKeepsTheFile) {
  mttest::write_file(path(), numbered_lines(10));
  open_unknown();
  std::string_view line;
  ASSERT_EQ(io::unit_for(kUnit).read_line(line), io::kDone);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), numbered_lines(10));
}

TEST_F(TextFile, AppendAfterALastLineWithoutLineEndStartsANewLine) {
  mttest::write_file(path(), "one\r\ntwo");
  open_unknown(/*append=*/true);
  write_line(kUnit, "three");
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(TextFile, WritingAfterReadingToTheEndAppends) {
  struct Case {
    std::string before;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"one\r\ntwo\r\n", "one\r\ntwo\r\nthree\r\n"},
      {"one\r\ntwo", "one\r\ntwo\r\nthree\r\n"},  // last line had no line end
      {"one\r\n\x1a\r\n", "one\r\nthree\r\n"},    // the end mark is replaced
      {"", "three\r\n"},
  };
  for (const Case& c : cases) {
    mttest::write_file(path(), c.before);
    open_unknown();
    read_all(kUnit);
    write_line(kUnit, "three");
    io::close(kUnit);
    EXPECT_EQ(mttest::read_file(path()), c.after) << "before: " << c.before;
  }
}

TEST_F(TextFile, WritingInTheMiddleCutsOffTheRest) {
  mttest::write_file(path(), "a\r\nb\r\nc\r\n");
  open_unknown();
  std::string_view line;
  ASSERT_EQ(io::unit_for(kUnit).read_line(line), io::kDone);
  write_line(kUnit, "X");
  write_line(kUnit, "Y");
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "a\r\nX\r\nY\r\n");
}

TEST_F(TextFile, StepBackReadsTheRecordAgain) {
  mttest::write_file(path(), "l1\r\nl2\nl3");
  open_unknown();
  io::Unit& u = io::unit_for(kUnit);
  std::string_view line;
  io::backspace(kUnit);  // at the start: nothing happens
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "l1");
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "l2");
  io::backspace(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "l2");
  io::backspace(kUnit);
  io::backspace(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "l1");
  read_all(kUnit);
  io::backspace(kUnit);  // over the last line, which has no line end
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "l3");
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "l1\r\nl2\nl3");
}

TEST_F(TextFile, StepBackFarBehindTheBufferAndOverLongLines) {
  // Records longer than any buffer, and a step back after the buffer has moved on.
  const std::string long_line(200000, 'x');
  std::string text = "first\r\n" + long_line + "\r\n" + numbered_lines(30000);
  mttest::write_file(path(), text);
  open_unknown();
  io::Unit& u = io::unit_for(kUnit);
  std::string_view line;
  ASSERT_EQ(u.read_line(line), io::kDone);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, long_line);
  io::backspace(kUnit);
  io::backspace(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "first");
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line.size(), long_line.size());
  const std::vector<std::string> rest = read_all(kUnit);
  ASSERT_EQ(rest.size(), 30000u);
  EXPECT_EQ(rest.back(), "line 30000");
  io::backspace(kUnit);
  io::backspace(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "line 29999");
  io::rewind(kUnit);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(u.read_line(line), io::kDone);
  io::backspace(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  EXPECT_EQ(line, "line 1");
}

TEST_F(TextFile, StepBackThenWriteReplacesTheRecord) {
  mttest::write_file(path(), "a\r\nb\r\nc\r\n");
  open_unknown();
  std::string_view line;
  io::Unit& u = io::unit_for(kUnit);
  ASSERT_EQ(u.read_line(line), io::kDone);
  ASSERT_EQ(u.read_line(line), io::kDone);
  io::backspace(kUnit);
  write_line(kUnit, "B");
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "a\r\nB\r\n");
}

TEST_F(TextFile, WrittenRecordsReadBackAfterRewind) {
  open_unknown();
  for (int i = 1; i <= 50000; ++i) write_line(kUnit, "line " + std::to_string(i));
  io::rewind(kUnit);
  const std::vector<std::string> lines = read_all(kUnit);
  ASSERT_EQ(lines.size(), 50000u);
  EXPECT_EQ(lines.front(), "line 1");
  EXPECT_EQ(lines.back(), "line 50000");
  io::rewind(kUnit);
  write_line(kUnit, "only");  // the first record after a rewind is the last one
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "only\r\n");
}

TEST_F(TextFile, ReopeningAUnitWritesOutTheFirstFile) {
  open_unknown();
  write_line(kUnit, "kept");
  ASSERT_EQ(io::open(kUnit, path("second.txt"), text_spec(), io::Takes::neither), io::kDone);
  EXPECT_EQ(mttest::read_file(path()), "kept\r\n");
  EXPECT_EQ(io::unit_for(kUnit).path(), path("second.txt"));
}

TEST_F(TextFile, CloseAndRewindOfAUnitNotOpenDoNothing) {
  EXPECT_FALSE(io::is_open(77));
  io::close(77);
  io::rewind(77);
  io::backspace(77);
  EXPECT_FALSE(io::is_open(77));
}

}  // namespace
