// The data record pair: how a FORMAT field picks the form, and a record written in each
// form stepped back over and read again (as rawcv's verification does).
#include "tslib/data_record.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/io/units.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"

namespace {

using tslib::RecordForm;

constexpr int kUnit = 10;

TEST(RecordForm, FreeAtAnyFieldWidthAnythingElseIsAFormatText) {
  struct Case {
    std::string text;
    RecordForm::Kind kind;
  };
  const Case cases[] = {
      {"FREE", RecordForm::Kind::free},
      {"FREE           ", RecordForm::Kind::free},       // the 15-character FORMAT field
      {"FREE                ", RecordForm::Kind::free},  // rawcv's 20-character answer
      {"(5E14.6)", RecordForm::Kind::format},
      {"(2F6.2)        ", RecordForm::Kind::format},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RecordForm form = tslib::text_records(c.text, kUnit);
    EXPECT_EQ(form.kind, c.kind);
    EXPECT_EQ(form.layout.empty(), c.kind == RecordForm::Kind::free);
  }
}

class RecordPairTest : public ::testing::Test {
 protected:
  void TearDown() override { io::close(kUnit); }
  void open(io::Form form) {
    io::OpenSpec spec;
    spec.form = form;
    io::open(kUnit, path().string(), spec, io::Takes::neither);
  }
  std::filesystem::path path() const { return dir_.path() / "data.ts"; }
  mttest::TempDir dir_;
};

TEST_F(RecordPairTest, BinaryRecordOfSeveralSamplesReadsBackItsFirst) {
  // Three samples of two channels in one record; the read-back takes the first sample.
  const std::array<float, 6> record{1.5f, -2.25f, 3.0f, 4.0f, 5.0f, 6.0f};
  open(io::Form::binary);
  tslib::write_data_record(kUnit, record, tslib::kBinaryRecords);
  io::backspace(kUnit);
  std::array<float, 2> back{};
  EXPECT_TRUE(tslib::read_data_record(kUnit, back, tslib::kBinaryRecords, io::Takes::end).ok());
  EXPECT_EQ(back, (std::array<float, 2>{1.5f, -2.25f}));
  // The rest of the record was passed over: the next read meets the end.
  back = {7.0f, 7.0f};
  EXPECT_TRUE(
      tslib::read_data_record(kUnit, back, tslib::kBinaryRecords, io::Takes::end).end_of_file());
  EXPECT_EQ(back, (std::array<float, 2>{7.0f, 7.0f}));
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), tstest::float_record({1.5f, -2.25f, 3, 4, 5, 6}));
}

TEST_F(RecordPairTest, FormatTextRecordOverTwoLinesReadsBack) {
  const RecordForm form = tslib::text_records("(2F6.2/F6.2)", kUnit);
  const std::array<float, 3> values{1.5f, -2.25f, 3.0f};
  open(io::Form::text);
  tslib::write_data_record(kUnit, values, form);
  EXPECT_EQ(io::records_written(kUnit), 2);
  io::backspace(kUnit);
  io::backspace(kUnit);
  std::array<float, 3> back{};
  EXPECT_TRUE(tslib::read_data_record(kUnit, back, form, io::Takes::neither).ok());
  EXPECT_EQ(back, values);
  io::close(kUnit);
  EXPECT_EQ(mttest::read_file(path()), "  1.50 -2.25\r\n  3.00\r\n");
}

}  // namespace
