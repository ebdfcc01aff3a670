// Free-layout write transfers to a text file: widths, 80-column records, text items.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/io/units.h"
#include "support/run_program.h"

namespace {

constexpr int kUnit = 21;

class FreeWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(io::open(kUnit, path_, io::OpenSpec{}, io::Takes::errors), io::kDone);
  }
  void TearDown() override { io::close(kUnit); }
  // The records written so far, each checked to end in CR LF.
  std::vector<std::string> records() {
    io::close(kUnit);
    const std::string bytes = mttest::read_file(path_);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
      const auto end = bytes.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "record without CR LF";
      if (end == std::string::npos) break;
      out.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return out;
  }
  mttest::TempDir dir_;
  std::string path_ = (dir_ / "out.txt").string();
};

const std::string kOne = "   1.000000    ";

TEST_F(FreeWriterTest, TransfersOfTheKinds) {
  { io::FreeWriter(kUnit) << "abc"; }
  { io::FreeWriter(kUnit) << "abcdef" << std::int32_t{5}; }
  { io::FreeWriter(kUnit) << "ab" << 1.5f << "c"; }
  { io::FreeWriter w(kUnit); }  // empty transfer
  { io::FreeWriter(kUnit) << std::int16_t{-42} << true << false << std::int32_t{-7}; }
  {
    io::FreeWriter(kUnit) << "ab"
                          << "cd" << std::int32_t{1};
  }
  const std::vector<std::string> expected = {
      " abc", " abcdef           5",     " ab   1.500000     c",
      " ",    "    -42 T F          -7", " abcd           1",
  };
  EXPECT_EQ(records(), expected);
}

TEST_F(FreeWriterTest, NumbersStartANewRecordWhenTheyDoNotFit) {
  const float six[] = {1, 1, 1, 1, 1, 1};
  { io::FreeWriter(kUnit) << std::span<const float>(six); }
  const std::int32_t seven[] = {1, 2, 3, 4, 5, 6, 7};
  { io::FreeWriter(kUnit) << std::span<const std::int32_t>(seven); }
  const auto r = records();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0], kOne + kOne + kOne + kOne + kOne);
  EXPECT_EQ(r[1], kOne);
  EXPECT_EQ(r[2].size(), 72u);
  EXPECT_EQ(r[3], "           7");
}

TEST_F(FreeWriterTest, TextsAreCutAcrossRecords) {
  const std::string t80(80, 'x');
  const std::string t200 = std::string(100, 'a') + std::string(100, 'b');
  { io::FreeWriter(kUnit) << t80 + "Z"; }                   // 81: no fit, still a blank
  { io::FreeWriter(kUnit) << std::string(79, 'y') + "Z"; }  // exactly 80
  { io::FreeWriter(kUnit) << std::int32_t{5} << std::string(67, 'p') + "Q"; }  // fills the rest
  {
    io::FreeWriter w(kUnit);
    for (int i = 0; i < 5; ++i) w << 1.0f;
    w << "0123456789";  // after 75 columns
  }
  { io::FreeWriter(kUnit) << t200; }
  { io::FreeWriter(kUnit) << std::string(70, 'm') << std::string(20, 'n'); }
  const std::vector<std::string> expected = {
      " " + std::string(79, 'x'),
      " xZ",
      " " + std::string(79, 'y'),
      " Z",
      "           5 " + std::string(67, 'p'),
      " Q",
      kOne + kOne + kOne + kOne + kOne + " ",
      " 0123456789",
      " " + std::string(79, 'a'),
      " " + std::string(21, 'a') + std::string(58, 'b'),
      " " + std::string(42, 'b'),
      " " + std::string(70, 'm'),
      " " + std::string(20, 'n'),
  };
  EXPECT_EQ(records(), expected);
}

TEST_F(FreeWriterTest, EndIsExplicitOrByTheDestructor) {
  {
    io::FreeWriter w(kUnit);
    w << "one";
    w.end();
    w << "ignored after the end";
    w.end();
  }
  const std::vector<std::string> expected = {" one"};
  EXPECT_EQ(records(), expected);
}

}  // namespace
