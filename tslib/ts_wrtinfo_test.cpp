#include <gtest/gtest.h>

#include <cstring>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "support/child.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "tslib/ts.h"

namespace {

using tstest::info;

void fill_record() {
  tsinfo = tslib::TsInfoRecord{};
  tslib::TsInfoRecord& t = tsinfo;
  field::assign(t.STATION, "kvt101");
  field::assign(t.WINDOW, "kvt101a1");
  t.INSTRUMENT = 77;
  t.LATITUDE = 52.5f;
  t.LONGITUDE = -7.25f;
  t.ELEVATION = 0.0f;
  t.UTM_ORIGIN = -9.0f;
  t.UTM_NORTH = 5000000;
  t.UTM_EAST = -1235;
  field::assign(t.COORD_SYS, "MAGNETIC");
  t.DECLIN = -4.5f;
  t.SEQ_REC = 1;
  t.NCHAN = 5;
  const char* names[] = {"HX", "hy", "HZ", "HE", "EY"};
  const char* units[] = {"nT", "nT", "nT", "mV/km", "mV/km"};
  for (std::size_t k = 0; k < 5; ++k) {
    field::assign(t.CHAN_[k], names[k]);
    field::assign(t.UNITS_[k], units[k]);
    t.SENSOR_[k] = 301 + static_cast<int>(k);
    t.AZIM_[k] = (k % 2) ? 90.0f : 0.0f;
    t.GAIN_[k] = 1.0f;
  }
  t.BASELINE_ = {25.6f, -5.0f, 0.5f};
  field::assign(t.STARTTIME, "2004-03-08 18:03:30");
  field::assign(t.ENDTIME, "2004-03-09 00:00:00");
  field::assign(t.T_UNITS, "s");
  t.DELTA_T = 0.5f;
  t.MIS_DATA = 1.0E+32f;
  field::assign(t.format, "FREE");
  // Fields the writer never writes.
  t.UTM_ZONE = 29;
  field::assign(t.ENDIAN, "Little");
}

std::vector<std::string> expected_block(bool binary) {
  std::vector<std::string> l{
      info("INFO_START"),
      info("STATION", "kvt101"),
      info("INSTRUMENT", "          77"),
      info("WINDOW", "kvt101a1"),
      info("LATITUDE", "   52.50000"),
      info("LONGITUDE", "  -7.250000"),
      info("ELEVATION", "  0.0000000E+00"),
      info("UTM_ORIGIN", "  -9.000000"),
      info("UTM_NORTH", "     5000000"),
      info("UTM_EAST", "       -1235"),
      info("COORD_SYS", "MAGNETIC"),
      info("DECLIN", "  -4.500000"),
  };
  if (binary) {
    l.push_back(info("FORM", "BINARY"));
    l.push_back(info("FORMAT", "UNFORMATTED"));
    l.push_back(info("ENDIAN", "Big"));
    l.push_back(info("BIN_FORM", "IEEE"));
  } else {
    l.push_back(info("FORM", "ASCII"));
    l.push_back(info("FORMAT", "FREE"));
  }
  l.push_back(info("SEQ_REC", "           1"));
  l.push_back(info("NCHAN", "           5"));
  const char* names[] = {"HX", "hy", "HZ", "HE", "EY"};
  const char* units[] = {"nT", "nT", "nT", "mV/km", "mV/km"};
  const char* sensors[] = {"         301", "         302", "         303", "         304",
                           "         305"};
  const char* azim[] = {"  0.0000000E+00", "   90.00000"};
  const char* baselines[] = {"   25.60000", "  -5.000000", "  0.5000000"};
  for (int k = 0; k < 5; ++k) {
    const std::string n = std::to_string(k + 1);
    l.push_back(info("CHAN_" + n, names[k]));
    l.push_back(info("SENSOR_" + n, sensors[k]));
    l.push_back(info("AZIM_" + n, azim[k % 2]));
    l.push_back(info("UNITS_" + n, units[k]));
    l.push_back(info("GAIN_" + n, "   1.000000"));
    // Lower-case h, and H beyond channel 3: no baseline line.
    if (k == 0 || k == 2) l.push_back(info("BASELINE_" + n, baselines[k]));
  }
  l.push_back(info("STARTTIME", "2004-03-08 18:03:30"));
  l.push_back(info("ENDTIME", "2004-03-09 00:00:00"));
  l.push_back(info("T_UNITS", "s"));
  l.push_back(info("DELTA_T", "  0.5000000"));
  l.push_back(info("MIS_DATA", "  1.0000000E+32"));
  l.push_back(info("INFO_END"));
  return l;
}

class WrtinfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fill_record();
    prtlvl.iprint = 0;
  }
  std::string write(bool binary) {
    field::assign(tsinfo.form, binary ? tslib::kFormBinary : tslib::kFormAscii);
    io::OpenSpec spec;
    spec.form = binary ? io::Form::binary : io::Form::text;
    const auto path = dir_ / "out.ts";
    io::open(20, path.string(), spec, io::Takes::neither);
    ts_wrtinfo(20);
    io::close(20);
    return mttest::read_file(path);
  }
  mttest::TempDir dir_;
};

TEST_F(WrtinfoTest, BinaryBlockOf80ByteRecords) {
  const std::string bytes = write(true);
  const auto records = tstest::records_of(bytes);
  EXPECT_EQ(records, expected_block(true));
  std::string framed;
  for (const auto& r : records) framed += tstest::record(r);
  EXPECT_EQ(framed, bytes);  // nothing but whole records
}

TEST_F(WrtinfoTest, AsciiBlockOfFull80CharacterLines) {
  EXPECT_EQ(write(false), tstest::text_lines(expected_block(false)));
}

TEST_F(WrtinfoTest, OtherFormWritesAsciiAndRecordIsUnchanged) {
  tsinfo.form = {'?', ' ', ' ', ' ', ' ', ' '};
  const tslib::TsInfoRecord before = tsinfo;
  io::open(21, (dir_ / "q.ts").string(), io::OpenSpec{}, io::Takes::neither);
  ts_wrtinfo(21);
  io::close(21);
  EXPECT_EQ(mttest::read_file(dir_ / "q.ts"), tstest::text_lines(expected_block(false)));
  EXPECT_EQ(std::memcmp(&before, &tsinfo, sizeof before), 0);
}

TEST_F(WrtinfoTest, NoChannelLinesForZeroChannelsAndMessages) {
  tsinfo.NCHAN = 0;
  const std::string text = write(false);
  EXPECT_EQ(text.find(">CHAN_"), std::string::npos);
  const auto r = mttest::run_child(
      [&] {
        prtlvl.iprint = 2;
        write(false);
      },
      "");
  EXPECT_EQ(r.out,
            " ts_wrtinfo: entered\r\n"
            " outd     =           20\r\n"
            " form     = ASCII \r\n"
            " format   = FREE           \r\n"
            " ts_wrtinfo: exiting\r\n");
}

}  // namespace
