// Free-layout read transfers: value forms, conversions and errors from a text field;
// running over records and skipping the rest of the last one on a text file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <string>

#include "common/edit/free.h"
#include "common/io/units.h"
#include "support/run_program.h"

namespace {

using io::FreeReader;
using io::Result;
using io::Takes;

struct IntCase {
  const char* field;
  std::int32_t a, b, c;  // starting values 91, 92, 93
  int code;              // outcome of the transfer
};

TEST(FreeReaderField, ThreeIntegers) {
  const IntCase cases[] = {
      {"3*7", 7, 7, 7, 0},
      {"1,,3", 1, 92, 3, 0},
      {"1/", 1, 92, 93, 0},
      {"1 / 2 3", 1, 92, 93, 0},
      {",5,6", 91, 5, 6, 0},
      {"2*,4", 91, 92, 4, 0},
      {"2*9 8", 9, 9, 8, 0},
      {"1 , 2\t3", 1, 2, 3, 0},
      {"  1,2,3,4 junk", 1, 2, 3, 0},
      {"12.5 -2.7 1e3", 12, -2, 1000, 0},
      {"1D2 +4 -0", 100, 4, 0, 0},
      {"T .F. .true.", -1, 0, -1, 0},
      {"-2147483648 2147483647 0", -2147483647 - 1, 2147483647, 0, 0},
      {"2147483648", 91, 92, 93, 64},
      {"3e9", 91, 92, 93, 64},
      {"5 abc 6", 5, 92, 93, 59},
      {"1.2.3", 91, 92, 93, 59},
      {"1e5e5", 91, 92, 93, 59},
      {"+-5", 91, 92, 93, 59},
      {"- 1", 91, 92, 93, 59},
      {". 1", 91, 92, 93, 59},
      {"1e+", 91, 92, 93, 59},
      {"e5", 91, 92, 93, 59},
      {"0*5", 91, 92, 93, 59},
      {"'7'", 91, 92, 93, 59},
      {"12x", 91, 92, 93, 59},
      {"1 2", 1, 2, 93, -1},  // a field with too few values: end of data
      {"", 91, 92, 93, -1},
  };
  for (const auto& c : cases) {
    std::int32_t a = 91, b = 92, v = 93;
    const Result r = (FreeReader::from_field(c.field, Takes::both) >> a >> b >> v).finish();
    EXPECT_EQ(r.code, c.code) << '"' << c.field << '"';
    if (r.ok() || r.end_of_file()) {
      EXPECT_EQ(a, c.a) << '"' << c.field << '"';
      EXPECT_EQ(b, c.b) << '"' << c.field << '"';
      EXPECT_EQ(v, c.c) << '"' << c.field << '"';
    }
  }
}

TEST(FreeReaderField, FloatsAndDoubles) {
  struct Case {
    const char* field;
    float expected;
    int code;
  };
  const Case cases[] = {
      {"5", 5.0f, 0},       {".5", 0.5f, 0},   {"5.", 5.0f, 0},    {"-1.5E+2", -150.0f, 0},
      {"2.5q-1", 0.25f, 0}, {"1d1", 10.0f, 0}, {"T", -1.0f, 0},    {".F.", 0.0f, 0},
      {"1e-60", 0.0f, 0},   {"1E", 1.0f, 0},   {"1e40", 0.0f, 64}, {"1.0x", 0.0f, 59},
      {"NaN", 0.0f, 59},
  };
  for (const auto& c : cases) {
    float v = 77.0f;
    const Result r = (FreeReader::from_field(c.field, Takes::both) >> v).finish();
    EXPECT_EQ(r.code, c.code) << c.field;
    if (r.ok()) {
      EXPECT_EQ(v, c.expected) << c.field;
    }
  }
  double d = 0;
  ASSERT_TRUE((FreeReader::from_field("0.1", Takes::both) >> d).finish().ok());
  EXPECT_EQ(d, 0.1);
  float four[4] = {1, 1, 1, 1};
  ASSERT_TRUE(
      (FreeReader::from_field("2*0.5,,-3", Takes::both) >> std::span<float>(four)).finish().ok());
  EXPECT_EQ(four[0], 0.5f);
  EXPECT_EQ(four[1], 0.5f);
  EXPECT_EQ(four[2], 1.0f);
  EXPECT_EQ(four[3], -3.0f);
}

TEST(FreeReaderField, BooleansAndShorts) {
  struct Case {
    const char* field;
    bool expected;
  };
  const Case cases[] = {{"T", true}, {".t.", true}, {"False", false}, {".FALSE.", false},
                        {"1", true}, {"2", false},  {"3", true},      {"2.9", false}};
  for (const auto& c : cases) {
    bool v = !c.expected;
    ASSERT_TRUE((FreeReader::from_field(c.field, Takes::both) >> v).finish().ok()) << c.field;
    EXPECT_EQ(v, c.expected) << c.field;
  }
  std::int16_t s = 0;
  EXPECT_TRUE((FreeReader::from_field("-32768", Takes::both) >> s).finish().ok());
  EXPECT_EQ(s, -32768);
  EXPECT_EQ((FreeReader::from_field("40000", Takes::both) >> s).finish().code, 64);
}

TEST(FreeReaderField, Texts) {
  struct Case {
    const char* field;
    const char* expected;  // into a 4-character variable
  };
  const Case cases[] = {
      {"ab", "ab  "},      {"abcdef", "abcd"}, {"T", "T   "},    {"'it''s'", "it's"},
      {"\"a b\"", "a b "}, {"'a,b/'", "a,b/"}, {"12.5", "12.5"}, {"2*xy", "xy  "},
      {"x/y", "x   "},     {"''", "    "},
  };
  for (const auto& c : cases) {
    std::string v = "----";
    ASSERT_TRUE((FreeReader::from_field(c.field, Takes::both) >> v).finish().ok()) << c.field;
    EXPECT_EQ(v, c.expected) << c.field;
  }
  std::string a = "...", b = "...";
  ASSERT_TRUE((FreeReader::from_field("'one', two", Takes::both) >> a >> b).finish().ok());
  EXPECT_EQ(a, "one");
  EXPECT_EQ(b, "two");
  const std::string long_text(2049, 'q');
  std::string v(10, ' ');
  EXPECT_EQ((FreeReader::from_field(long_text, Takes::both) >> v).finish().code, 59);
  EXPECT_EQ((FreeReader::from_field("'ab'c", Takes::both) >> v).finish().code, 59);
}

TEST(FreeReaderField, FailureSkipsTheRemainingItems) {
  std::int32_t a = 1, b = 2;
  const Result r = (FreeReader::from_field("x 5", Takes::both) >> a >> b).finish();
  EXPECT_EQ(r.code, 59);
  EXPECT_EQ(b, 2);
}

bool failed_exit(int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; }

TEST(FreeReaderFieldDeathTest, OutcomesNotTakenBackEndTheProgram) {
  std::int32_t a = 0, b = 0;
  EXPECT_EXIT((FreeReader::from_field("abc", Takes::end) >> a).finish(), failed_exit,
              "list-directed I/O syntax error, unit -5, file Internal List-Directed Read");
  EXPECT_EXIT((FreeReader::from_field("1", Takes::errors) >> a >> b).finish(), failed_exit,
              "end-of-file during read, unit -5, file Internal List-Directed Read");
}

// Reads from a text file on a unit.
class FreeReaderFile : public ::testing::Test {
 protected:
  static constexpr int kUnit = 22;
  void open_with(const std::string& bytes) {
    mttest::write_file(path_, bytes);
    io::OpenSpec spec;
    spec.status = io::OpenStatus::old_file;
    ASSERT_EQ(io::open(kUnit, path_, spec, Takes::errors), io::kDone);
  }
  void TearDown() override { io::close(kUnit); }
  mttest::TempDir dir_;
  std::string path_ = (dir_ / "in.txt").string();
};

TEST_F(FreeReaderFile, DataRecordsOfFiveFloats) {
  open_with("1.0 2.0 3.0\r\n4.0,5.0 6.0\r\n7.0 8.0 9.0 10.0 11.0 12.0\r\n13.0\n");
  float v[5] = {};
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> std::span<float>(v)).finish().ok());
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[3], 4.0f);
  EXPECT_EQ(v[4], 5.0f);
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> std::span<float>(v)).finish().ok());
  EXPECT_EQ(v[0], 7.0f);  // 6.0 was skipped with the rest of its record
  EXPECT_EQ(v[4], 11.0f);
  float w = 0;
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> w).finish().ok());
  EXPECT_EQ(w, 13.0f);
  EXPECT_EQ((FreeReader(kUnit, Takes::both) >> w).finish(), io::kEnd);
}

TEST_F(FreeReaderFile, SlashNullsTextsAndSkippedRecords) {
  open_with("1 / 2\r\nskipped line\r\n'abc\r\ndef''s' 9\r\n,\r\n4\r\n3*\r\n");
  std::int32_t a = 0, b = 50;
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> a >> b).finish().ok());
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 50);
  ASSERT_TRUE(FreeReader(kUnit, Takes::both).finish().ok());  // no items: passes one record
  std::string text(8, ' ');
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> text >> a).finish().ok());
  EXPECT_EQ(text, "abcdef's");  // a delimited text runs over the record end
  EXPECT_EQ(a, 9);
  a = 70;
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> a >> b).finish().ok());
  EXPECT_EQ(a, 70);  // the comma opening a record of the transfer is a null value
  EXPECT_EQ(b, 4);
  a = b = 80;
  std::int32_t c = 81;
  ASSERT_TRUE((FreeReader(kUnit, Takes::both) >> a >> b >> c).finish().ok());  // 3* nulls
  EXPECT_EQ(a, 80);
  EXPECT_EQ(c, 81);
  EXPECT_EQ((FreeReader(kUnit, Takes::both) >> a).finish(), io::kEnd);
}

TEST_F(FreeReaderFile, EndOfFileNotTakenBackEndsTheProgram) {
  open_with("");
  float v = 0;
  EXPECT_EXIT((FreeReader(kUnit, Takes::errors) >> v).finish(), failed_exit,
              "end-of-file during read, unit 22, file .*in.txt");
}

}  // namespace
