// The scoped selection of a file's form: what it selects, what it puts back, and the
// records of two files written each in its own form.
#include "tslib/form_selection.h"

#include <gtest/gtest.h>

#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/ts.h"

namespace {

const tslib::FileForm kFreeText = tslib::file_form(tslib::kFormAscii, tslib::kFormatFree);

std::string form() { return std::string(field::view(tsinfo.form)); }
std::string format() { return std::string(field::view(tsinfo.format)); }

class FormSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tsinfo = tslib::TsInfoRecord{};
    prtlvl.iprint = 0;
  }
};

TEST_F(FormSelectionTest, PutsBackWhatWasThereAndNests) {
  tsinfo.NCHAN = 3;
  const std::string nothing(6, '\0');
  {
    const tslib::FormSelection output(tslib::kBinaryFile);
    EXPECT_EQ(form(), "BINARY");
    EXPECT_EQ(format(), "UNFORMATTED    ");
    {
      const tslib::FormSelection input(kFreeText, 5);
      EXPECT_EQ(form(), "ASCII ");
      EXPECT_EQ(format(), "FREE           ");
      EXPECT_EQ(tsinfo.NCHAN, 5);
    }
    EXPECT_EQ(form(), "BINARY");
    EXPECT_EQ(format(), "UNFORMATTED    ");
    EXPECT_EQ(tsinfo.NCHAN, 3);
  }
  // The fields as at program start: NUL characters.
  EXPECT_EQ(form(), nothing);
  EXPECT_EQ(format(), std::string(15, '\0'));
  EXPECT_EQ(tsinfo.NCHAN, 3);
}

TEST_F(FormSelectionTest, PutsBackEvenWhatACallInsideSettled) {
  field::assign(tsinfo.form, tslib::kFormAscii);
  field::assign(tsinfo.format, "(3F8.2)");
  tsinfo.NCHAN = 3;
  {
    // As a ts_rdinfo inside would: another format and channel count.
    const tslib::FormSelection s(tslib::kBinaryFile);
    field::assign(tsinfo.format, "FREE");
    tsinfo.NCHAN = 4;
  }
  EXPECT_EQ(form(), "ASCII ");
  EXPECT_EQ(format(), "(3F8.2)        ");
  EXPECT_EQ(tsinfo.NCHAN, 4) << "a selection of the form alone leaves NCHAN to the calls";
  {
    const tslib::FormSelection s(tslib::kBinaryFile, 2);
    tsinfo.NCHAN = 1;
  }
  EXPECT_EQ(tsinfo.NCHAN, 4);
}

TEST_F(FormSelectionTest, EachFileGetsItsRecordsInItsOwnForm) {
  // An ASCII file of 3 channels is the setting; a BINARY file of 2 channels is written
  // between two of its records.
  constexpr int kText = 10;
  constexpr int kBinary = 11;
  mttest::TempDir dir;
  const auto text_path = dir / "text.ts";
  const auto binary_path = dir / "binary.ts";
  io::open(kText, text_path.string(), io::OpenSpec{.form = io::Form::text, .output = true},
           io::Takes::neither);
  io::open(kBinary, binary_path.string(), io::OpenSpec{.form = io::Form::binary, .output = true},
           io::Takes::neither);
  const tslib::FormSelection text(kFreeText, 3);
  ts_out1(kText, tslib::TsValues{1, 2, 3, 4, 5});
  {
    const tslib::FormSelection binary(tslib::kBinaryFile, 2);
    ts_out1(kBinary, tslib::TsValues{1.5f, -2.25f, 9, 9, 9});
  }
  ts_out1(kText, tslib::TsValues{6, 7, 8, 9, 10});
  io::close(kText);
  io::close(kBinary);
  EXPECT_EQ(mttest::read_file(text_path),
            "   1.000000       2.000000       3.000000    \r\n"
            "   6.000000       7.000000       8.000000    \r\n");
  EXPECT_EQ(mttest::read_file(binary_path), tstest::float_record({1.5f, -2.25f}));
}

}  // namespace
