// ts_copycomm: the comment block copied between the two forms, where the copy stops,
// and the ends of the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace {

using tstest::info;
using tstest::pad;

constexpr int kIn = 4;
constexpr int kOut = 20;

std::string trim_right(const std::string& s) { return std::string(field::trimmed(s)); }

// The records of an input file, each as it stands (a BINARY record may be longer or
// shorter than 80 bytes here; text lines are written without padding).
std::string as_file(const std::vector<std::string>& records, bool binary) {
  std::string out;
  for (const auto& r : records) out += binary ? tstest::record(r) : r + "\r\n";
  return out;
}

class CopycommTest : public ::testing::Test {
 protected:
  void SetUp() override { prtlvl.iprint = 0; }
  void TearDown() override {
    io::close(kIn);
    io::close(kOut);
  }

  void open_units(const std::string& input, bool in_binary, bool out_binary) {
    mttest::write_file(dir_ / "in.ts", input);
    io::OpenSpec in;
    in.status = io::OpenStatus::old_file;
    in.form = in_binary ? io::Form::binary : io::Form::text;
    io::open(kIn, (dir_ / "in.ts").string(), in, io::Takes::neither);
    io::OpenSpec out;
    out.form = out_binary ? io::Form::binary : io::Form::text;
    io::open(kOut, (dir_ / "out.ts").string(), out, io::Takes::neither);
  }
  std::string output() {
    io::close(kOut);
    return mttest::read_file(dir_ / "out.ts");
  }
  static std::string_view form(bool binary) {
    return binary ? tslib::kFormBinary : tslib::kFormAscii;
  }

  mttest::TempDir dir_;
};

TEST_F(CopycommTest, AllFourFormPairs) {
  const std::string long_line = "# " + std::string(98, 'x');  // 100 characters
  const std::vector<std::string> comments{"# first", "#F Filter block begin", long_line,
                                          "# trailing blanks   ", "#F Filter block end"};
  for (const bool in_binary : {false, true}) {
    for (const bool out_binary : {false, true}) {
      SCOPED_TRACE(std::string(form(in_binary)) + " to " + std::string(form(out_binary)));
      std::vector<std::string> records;
      for (const auto& c : comments)
        records.push_back(in_binary && c != long_line ? pad(c, 80) : c);
      records.push_back(info("INFO_START"));
      records.push_back(info("STATION", "kvt101"));
      open_units(as_file(records, in_binary), in_binary, out_binary);

      ts_copycomm(kIn, form(in_binary), kOut, form(out_binary));

      // Left after the first record that is no comment: the next one is STATION.
      tslib::HeaderLine next;
      ASSERT_TRUE(tslib::read_header_line(kIn, next, in_binary, io::Takes::neither).ok());
      EXPECT_EQ(std::string(next.data(), next.size()), info("STATION", "kvt101"));

      std::string want;
      for (const auto& c : comments) {
        const std::string line80 = pad(c, 80);  // cut or padded to 80
        want += out_binary ? tstest::record(line80) : trim_right(line80) + "\r\n";
      }
      EXPECT_EQ(output(), want);
    }
  }
}

TEST_F(CopycommTest, WhereTheCopyStops) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::string copied;
    std::string out;  // console output at print level 0
  };
  const Case cases[] = {
      {"info block first", {info("INFO_START"), "# late comment"}, "", ""},
      {"blank line first", {"", "# a comment", info("INFO_START")}, "", ""},
      {"a line without '#' between comments",
       {"# one", "text", "# two", info("INFO_START")},
       "# one\r\n",
       ""},
      {"comments only",
       {"# one", "#F two"},
       "# one\r\n#F two\r\n",
       " ts_copycomm: no comment block found in file\r\n"},
      {"empty file", {}, "", " ts_copycomm: no comment block found in file\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir_ / "out.ts");  // an untouched output keeps what it held
    const auto r = mttest::run_child(
        [&] {
          open_units(as_file(c.lines, false), false, false);
          ts_copycomm(kIn, tslib::kFormAscii, kOut, tslib::kFormAscii);
          io::close(kOut);
        },
        "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(mttest::read_file(dir_ / "out.ts"), c.copied);
  }
}

TEST_F(CopycommTest, RewindsTheInputFirstAndReportsAtLevelTwo) {
  const std::vector<std::string> lines{"# one", info("INFO_START"), info("INFO_END")};
  const auto r = mttest::run_child(
      [&] {
        open_units(as_file(lines, false), false, true);
        tslib::HeaderLine skip;
        tslib::read_header_line(kIn, skip, false, io::Takes::neither);  // moved on already
        prtlvl.iprint = 2;
        ts_copycomm(kIn, tslib::kFormAscii, kOut, tslib::kFormBinary);
        io::close(kOut);
      },
      "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            " ts_copycomm: entered\r\n"
            " ind     =            4\r\n"
            " inform  = ASCII \r\n"
            " outd    =           20\r\n"
            " outform = BINARY\r\n"
            " ts_copycomm: exiting\r\n");
  EXPECT_EQ(mttest::read_file(dir_ / "out.ts"), tstest::record(pad("# one", 80)));
}

TEST_F(CopycommTest, UnknownFormEndsBeforeTheInputIsTouched) {
  struct Case {
    std::string inform;
    std::string outform;
    std::string out;
  };
  const Case cases[] = {
      {"ascii ", "?     ", " ts_copycomm: inform not BINARY or ASCII inform =ascii \r\n"},
      {"BINARY", "ASCII", " ts_copycomm: outform not BINARY or ASCII outform =ASCII\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inform + "/" + c.outform);
    const auto r = mttest::run_child(
        [&] {
          // An input whose first record would fail as a BINARY record.
          open_units("# one\r\n", false, false);
          ts_copycomm(kIn, c.inform, kOut, c.outform);
        },
        "");
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
