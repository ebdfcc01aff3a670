// ts_in1, ts_out1 and ts_skip: data records in BINARY and ASCII form, the end of the
// data, and the ends of the program.
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/ts.h"

namespace {

using tstest::float_record;
using tstest::text_lines;

constexpr int kUnit = 10;

// The values 1..n, n consecutive floats from `from`.
std::vector<float> run_of(float from, int n) {
  std::vector<float> v;
  for (int k = 0; k < n; ++k) v.push_back(from + static_cast<float>(k));
  return v;
}

class DataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tsinfo = tslib::TsInfoRecord{};
    prtlvl.iprint = 0;
  }
  void TearDown() override { io::close(kUnit); }

  // Opens `bytes` as a data file in the form named, as ts_open and ts_rdinfo leave it.
  void open(const std::string& bytes, std::string_view form, std::string_view format, int nchan) {
    mttest::write_file(path(), bytes);
    open_existing(form, format, nchan);
  }
  void open_existing(std::string_view form, std::string_view format, int nchan) {
    field::assign(tsinfo.form, form);
    field::assign(tsinfo.format, format);
    tsinfo.NCHAN = nchan;
    io::OpenSpec spec;
    spec.form = form == tslib::kFormBinary ? io::Form::binary : io::Form::text;
    io::open(kUnit, path().string(), spec, io::Takes::neither);
  }
  void open_binary(const std::string& bytes, int nchan) {
    open(bytes, tslib::kFormBinary, tslib::kFormatUnformatted, nchan);
  }
  void open_ascii(const std::vector<std::string>& lines, std::string_view format, int nchan) {
    open(text_lines(lines), tslib::kFormAscii, format, nchan);
  }
  std::filesystem::path path() const { return dir_ / "data.ts"; }

  tslib::TsValues read() {
    tslib::TsValues v{};
    ts_in1(kUnit, v);
    return v;
  }

  mttest::TempDir dir_;
};

TEST(DataMarkers, EndOfDataMarkerIsTheFloatNearestMinusOneEMinus30) {
  EXPECT_EQ(std::bit_cast<std::uint32_t>(eofmark), 0x8DA24260u);
}

TEST_F(DataTest, BinarySeveralSamplesPerRecordGivesTheFirstOfEach) {
  // SEQ_REC 3, NCHAN 5: records of 15 values.
  std::string bytes;
  for (int r = 0; r < 5; ++r)
    bytes += float_record(run_of(1.0f + 15.0f * static_cast<float>(r), 15));
  open_binary(bytes, 5);
  EXPECT_EQ(read(), (tslib::TsValues{1, 2, 3, 4, 5}));
  EXPECT_EQ(read(), (tslib::TsValues{16, 17, 18, 19, 20}));
  std::int32_t nskip = 2;  // two records: six samples
  ts_skip(kUnit, nskip);
  EXPECT_EQ(nskip, 2);
  EXPECT_EQ(read(), (tslib::TsValues{61, 62, 63, 64, 65}));
}

TEST_F(DataTest, BinaryLongerRecordYieldsItsFirstValuesFewerChannelsTouchNoMore) {
  open_binary(float_record(run_of(1, 7)) + float_record(run_of(11, 7)), 5);
  EXPECT_EQ(read(), (tslib::TsValues{1, 2, 3, 4, 5}));
  // NCHAN 2: values 3 to 5 of the caller's array are left alone.
  tsinfo.NCHAN = 2;
  tslib::TsValues v{-1, -1, -1, -1, -1};
  ts_in1(kUnit, v);
  EXPECT_EQ(v, (tslib::TsValues{11, 12, -1, -1, -1}));
}

TEST_F(DataTest, BinaryShorterRecordEndsWithTheErrorReport) {
  const auto r = mttest::run_child(
      [&] {
        open_binary(float_record({1, 2, 3}), 5);
        read();
      },
      "");
  EXPECT_EQ(r.status, 67);
  EXPECT_NE(r.err.find("input statement requires too much data, unit 10"), std::string::npos)
      << r.err;
}

TEST_F(DataTest, BinaryEndOfFileMarksValueOneAndKeepsTheOthers) {
  open_binary(float_record({1, 2, 3}) + float_record({4, 5, 6}), 3);
  tslib::TsValues v{};
  ts_in1(kUnit, v);
  ts_in1(kUnit, v);
  EXPECT_EQ(v, (tslib::TsValues{4, 5, 6, 0, 0}));
  io::flush_all();
  const auto r = mttest::run_child(
      [&] {
        prtlvl.iprint = -1;
        ts_in1(kUnit, v);
        if (v != tslib::TsValues{eofmark, 5, 6, 0, 0}) io::end_program(io::Outcome::failure);
      },
      "");
  EXPECT_EQ(r.status, 0);
  // Written at every print level, from column 1.
  EXPECT_EQ(r.out, "ts_in1: EOF reached\r\n");
}

TEST_F(DataTest, AsciiFreeRunsOverLinesAndPassesOverTheRest) {
  open_ascii({"  1.0  2.0", "3.0, 4.0", "", "  5.5  6.5  7.5", "8", "", "9 10 11 12", "13"},
             tslib::kFormatFree, 3);
  EXPECT_EQ(read(), (tslib::TsValues{1, 2, 3, 0, 0}));  // the 4.0 is passed over
  EXPECT_EQ(read(), (tslib::TsValues{5.5f, 6.5f, 7.5f, 0, 0}));
  EXPECT_EQ(read(), (tslib::TsValues{8, 9, 10, 0, 0}));  // over a blank line
  tslib::TsValues v{};
  ts_in1(kUnit, v);
  EXPECT_EQ(v[0], eofmark);  // the file ends inside the record
}

TEST_F(DataTest, AsciiUnderAFormatText) {
  // One record over two lines; a short line reads as padded with blanks.
  open_ascii({"  1.50  2.50", "  3.25", "  4.00", "  5.00  6.00"}, "(2F6.2/F6.2)", 3);
  EXPECT_EQ(read(), (tslib::TsValues{1.5f, 2.5f, 3.25f, 0, 0}));
  EXPECT_EQ(read(), (tslib::TsValues{4.0f, 0.0f, 5.0f, 0, 0}));
  tslib::TsValues v{};
  ts_in1(kUnit, v);
  EXPECT_EQ(v[0], eofmark);
}

TEST_F(DataTest, AsciiWithABadFormatTextEndsTheProgram) {
  const auto r = mttest::run_child(
      [&] {
        open_ascii({"  1.0  2.0"}, "free", 2);  // FREE in lower case is no format text
        read();
      },
      "");
  EXPECT_EQ(r.status, 62);
  EXPECT_NE(r.err.find("format syntax error"), std::string::npos) << r.err;
}

TEST_F(DataTest, OutputInEachForm) {
  struct Case {
    std::string_view form;
    std::string_view format;
    std::string bytes;
  };
  const Case cases[] = {
      {tslib::kFormBinary, tslib::kFormatUnformatted, float_record({1.5f, -2.25f, 1.0E+32f})},
      {tslib::kFormAscii, tslib::kFormatFree, "   1.500000      -2.250000      1.0000000E+32\r\n"},
      // A value too wide for its field is written as asterisks.
      {tslib::kFormAscii, "(3F8.2)", "    1.50   -2.25********\r\n"},
      {tslib::kFormAscii, "(2F6.2/F6.1)", "  1.50 -2.25\r\n******\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format));
    field::assign(tsinfo.form, c.form);
    field::assign(tsinfo.format, c.format);
    tsinfo.NCHAN = 3;
    io::OpenSpec spec;
    spec.form = c.form == tslib::kFormBinary ? io::Form::binary : io::Form::text;
    io::open(kUnit, path().string(), spec, io::Takes::neither);
    ts_out1(kUnit, tslib::TsValues{1.5f, -2.25f, 1.0E+32f, 7, 7});
    io::close(kUnit);
    EXPECT_EQ(mttest::read_file(path()), c.bytes);
  }
}

TEST_F(DataTest, WrittenRecordsReadBack) {
  const tslib::TsValues a{1.5f, -2.25f, 3.0e-5f, 1.0E+32f, 12345.67f};
  const tslib::TsValues b{0.0f, -1.0f, 2.0f, 3.0f, 4.0f};
  for (std::string_view form : {tslib::kFormBinary, tslib::kFormAscii}) {
    SCOPED_TRACE(std::string(form));
    const std::string_view format =
        form == tslib::kFormBinary ? tslib::kFormatUnformatted : tslib::kFormatFree;
    open("", form, format, 5);
    ts_out1(kUnit, a);
    ts_out1(kUnit, b);
    io::close(kUnit);
    open_existing(form, format, 5);
    EXPECT_EQ(read(), a);
    EXPECT_EQ(read(), b);
    io::close(kUnit);
  }
}

TEST_F(DataTest, SkipCountsRecordsOrLines) {
  // BINARY: a record of any length is one record.
  open_binary(float_record({1}) + float_record(run_of(2, 15)) + float_record({3, 4}), 2);
  std::int32_t nskip = 2;
  ts_skip(kUnit, nskip);
  EXPECT_EQ(nskip, 2);
  EXPECT_EQ(read(), (tslib::TsValues{3, 4, 0, 0, 0}));
  io::close(kUnit);
  // ASCII: one line per record, whatever the format text says.
  open_ascii({"  1.00", "  2.00", "  3.00", "  4.00"}, "(F6.2/F6.2)", 2);
  nskip = 1;
  ts_skip(kUnit, nskip);
  // Nothing is read for a count of 0 or less.
  for (std::int32_t n : {0, -3}) {
    nskip = n;
    ts_skip(kUnit, nskip);
    EXPECT_EQ(nskip, n);
  }
  EXPECT_EQ(read(), (tslib::TsValues{2, 3, 0, 0, 0}));
}

TEST_F(DataTest, SkipPastTheEnd) {
  std::string bytes;
  for (int k = 0; k < 4; ++k) bytes += float_record({1, 2});
  const auto r = mttest::run_child(
      [&] {
        open_binary(bytes, 2);
        prtlvl.iprint = 1;
        std::int32_t nskip = 10;
        ts_skip(kUnit, nskip);
        if (nskip != -1) io::end_program(io::Outcome::failure);
      },
      "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            " ts_skip entered with:\r\n"
            " ind    =          10\r\n"
            " nskip  =          10\r\n"
            " form   =  BINARY\r\n"
            " ts_skip: EOF reached: nskip set to -1\r\n");
}

TEST_F(DataTest, EntryAndValueEchoesOfTsIn1) {
  const auto r = mttest::run_child(
      [&] {
        open_binary(float_record({1.5f, 2.0f}), 2);
        prtlvl.iprint = 30;
        read();
      },
      "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            " ts_in1 entered:\r\n"
            " ind    =           10\r\n"
            " form   = BINARY\r\n"
            " format = UNFORMATTED    \r\n"
            " ts_in1:    1.500000       2.000000    \r\n");
}

TEST_F(DataTest, UnrecognisedFormEndsTheProgram) {
  struct Case {
    bool output;
    std::string message;
  };
  const Case cases[] = {
      {false, " ts_in1: Unrecognized form = ?     \r\n"},
      {true, " ts_out1: form not BINARY or ASCII, form = ?     \r\n"},
  };
  for (const Case& c : cases) {
    const auto r = mttest::run_child(
        [&] {
          open_ascii({"  1.0"}, tslib::kFormatFree, 1);
          field::assign(tsinfo.form, tslib::kFormAsk);
          prtlvl.iprint = -1;
          tslib::TsValues v{};
          if (c.output) ts_out1(kUnit, v);
          else ts_in1(kUnit, v);
        },
        "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, c.message);
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
