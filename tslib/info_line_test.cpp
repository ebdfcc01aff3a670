#include "tslib/info_line.h"

#include <gtest/gtest.h>

#include "common/edit/fixed.h"
#include "common/edit/layout.h"
#include "common/io/units.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/getwindow.h"

namespace {

std::string str(const tslib::HeaderLine& line) { return {line.data(), line.size()}; }

TEST(InfoLine, KeyColonAndBlankValue) {
  tslib::HeaderLine line;
  line.fill('x');
  tslib::info_line(line, "INFO_START");
  EXPECT_EQ(str(line), ">INFO_START:" + std::string(68, ' '));
  tslib::info_line(line, "INFO_END");
  EXPECT_EQ(str(line), ">INFO_END  :" + std::string(68, ' '));
}

TEST(InfoLine, ValuePlacements) {
  struct Case {
    std::string got;
    std::string value;  // columns 13-80 expected, before blank padding
  };
  tslib::HeaderLine l;
  std::vector<Case> cases;
  tslib::info_text(l, "STATION", "kvt101"), cases.push_back({str(l), "kvt101"});
  tslib::info_text(l, "WINDOW", "kvt101a1            "), cases.push_back({str(l), "kvt101a1"});
  tslib::info_int(l, "NCHAN", 5), cases.push_back({str(l), "           5"});
  tslib::info_int(l, "UTM_EAST", -1235), cases.push_back({str(l), "       -1235"});
  tslib::info_float(l, "LATITUDE", 52.5f), cases.push_back({str(l), "   52.50000"});
  tslib::info_float(l, "MIS_DATA", 1.0E+32f), cases.push_back({str(l), "  1.0000000E+32"});
  tslib::info_float(l, "DECLIN", 0.0f), cases.push_back({str(l), "  0.0000000E+00"});
  for (const auto& c : cases) {
    ASSERT_EQ(c.got.size(), 80u);
    EXPECT_EQ(c.got.substr(11, 1), ":");
    EXPECT_EQ(c.got.substr(12), tstest::pad(c.value, 68)) << c.got;
  }
  tslib::info_int(l, "NCHAN", 5);
  EXPECT_EQ(l[23], '5');  // column 24
}

TEST(InfoLine, LongTextIsCutAtColumn80AndKeyAtTen) {
  tslib::HeaderLine l;
  tslib::info_text(l, "ABCDEFGHIJKLM", std::string(100, 'v'));
  EXPECT_EQ(str(l), ">ABCDEFGHIJ:" + std::string(68, 'v'));
}

TEST(InfoLine, ChannelKeys) {
  EXPECT_EQ(std::string_view(tslib::channel_key("CHAN_", 1)), "CHAN_1");
  EXPECT_EQ(std::string_view(tslib::channel_key("BASELINE_", 3)), "BASELINE_3");
  tslib::HeaderLine l;
  tslib::info_float(l, tslib::channel_key("BASELINE_", 3), 1.0f);
  EXPECT_EQ(str(l).substr(0, 12), ">BASELINE_3:");
  EXPECT_EQ(l[10], '3');  // the digit column of BASELINE_ is 11
}

TEST(InfoLine, WrittenAsBinaryRecordAndAsTextLine) {
  mttest::TempDir dir;
  tslib::HeaderLine l;
  tslib::info_text(l, "STATION", "kvt101");
  io::OpenSpec bin;
  bin.form = io::Form::binary;
  io::open(31, (dir / "b.ts").string(), bin, io::Takes::neither);
  tslib::write_header_line(31, l, true);
  tslib::write_comment_line(31, l, true);
  io::close(31);
  io::open(32, (dir / "a.ts").string(), io::OpenSpec{}, io::Takes::neither);
  tslib::write_header_line(32, l, false);
  tslib::write_comment_line(32, l, false);
  io::close(32);

  const std::string line = tstest::info("STATION", "kvt101");
  EXPECT_EQ(mttest::read_file(dir / "b.ts"), tstest::record(line) + tstest::record(line));
  EXPECT_EQ(mttest::read_file(dir / "a.ts"), line + "\r\n>STATION   :kvt101\r\n");
}

TEST(InfoLine, CommentRecordJoinsItsPartsCutAndPaddedTo80) {
  mttest::TempDir dir;
  io::OpenSpec bin;
  bin.form = io::Form::binary;
  io::open(35, (dir / "c.ts").string(), bin, io::Takes::neither);
  tslib::write_comment_record(35, {"# date: ", "Fri Jul 20 13:17:00 2004"});
  tslib::write_comment_record(35, {"#", std::string(50, '-'), std::string(40, 'x')});
  tslib::write_comment_record(35, {});
  io::close(35);
  EXPECT_EQ(mttest::read_file(dir / "c.ts"),
            tstest::record(tstest::pad("# date: Fri Jul 20 13:17:00 2004", 80)) +
                tstest::record("#" + std::string(50, '-') + std::string(29, 'x')) +
                tstest::record(std::string(80, ' ')));
}

TEST(InfoLine, ReadsCutPadAndRefuseShortBinary) {
  mttest::TempDir dir;
  mttest::write_file(dir / "a.ts", std::string(100, 'a') + "\r\n#short\n");
  mttest::write_file(dir / "b.ts", tstest::record(std::string(90, 'b')) + tstest::record("tiny"));
  tslib::HeaderLine l;
  io::open(33, (dir / "a.ts").string(), io::OpenSpec{}, io::Takes::neither);
  ASSERT_TRUE(tslib::read_header_line(33, l, false, io::Takes::end).ok());
  EXPECT_EQ(str(l), std::string(80, 'a'));
  ASSERT_TRUE(tslib::read_header_line(33, l, false, io::Takes::end).ok());
  EXPECT_EQ(str(l), tstest::pad("#short", 80));
  EXPECT_TRUE(tslib::read_header_line(33, l, false, io::Takes::end).end_of_file());
  io::close(33);

  io::OpenSpec bin;
  bin.form = io::Form::binary;
  io::open(34, (dir / "b.ts").string(), bin, io::Takes::neither);
  ASSERT_TRUE(tslib::read_header_line(34, l, true, io::Takes::both).ok());
  EXPECT_EQ(str(l), std::string(80, 'b'));
  EXPECT_EQ(tslib::read_header_line(34, l, true, io::Takes::both).code, 67);
  io::close(34);
}

TEST(Winrec, CommonColumnsThenTheWritersOwn) {
  constexpr auto kLine = tslib::winrec_with(std::array{io::lay::X(1), io::lay::F(9, 6)});
  std::array<char, 64> out;
  auto write = [&](std::int32_t instrument, std::int32_t nchan) {
    out.fill('x');
    auto w = io::FixedWriter::to_field(out, kLine);
    w << "kvt101a1" << instrument << nchan << "2004-07-20 13:17:00"
      << "2004-07-21 00:00:00" << 12.0f;
    w.end();
    return std::string(out.data(), out.size());
  };
  EXPECT_EQ(write(7, 5), "kvt101a1 007 5 2004-07-20 13:17:00-2004-07-21 00:00:00 12.000000");
  EXPECT_EQ(write(1234, 3).substr(0, 14), "kvt101a1 *** 3");
}

}  // namespace
