#include <gtest/gtest.h>

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

constexpr int kUnit = 10;

std::string s(std::span<const char> f) { return {f.data(), f.size()}; }

class RdinfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tsinfo = tslib::TsInfoRecord{};
    prtlvl.iprint = 0;
  }
  void TearDown() override { io::close(kUnit); }

  // Writes the file and opens it as ts_open would leave it.
  void open(const std::string& bytes, bool binary) {
    const auto path = dir_ / (binary ? "w.ts" : "a.ts");
    mttest::write_file(path, bytes);
    field::assign(tsinfo.form, binary ? tslib::kFormBinary : tslib::kFormAscii);
    if (binary) field::assign(tsinfo.format, tslib::kFormatUnformatted);
    io::OpenSpec spec;
    spec.status = io::OpenStatus::old_file;
    spec.form = binary ? io::Form::binary : io::Form::text;
    io::open(kUnit, path.string(), spec, io::Takes::neither);
  }
  // Runs ts_rdinfo on the file in a child process, at a print level.
  mttest::ChildResult run(const std::string& bytes, bool binary, int iprint = 0) {
    return mttest::run_child(
        [&] {
          open(bytes, binary);
          prtlvl.iprint = iprint;
          ts_rdinfo(kUnit);
        },
        "");
  }
  std::string next_text_line() {
    tslib::HeaderLine l;
    EXPECT_TRUE(tslib::read_header_line(kUnit, l, false, io::Takes::end).ok());
    return tstest::pad(field::trimmed(l), 80).substr(0, 80);
  }

  mttest::TempDir dir_;
};

const std::vector<std::string> kFullBlock{
    info("INFO_START"),
    info("STATION", "kvt1011"),  // cut to 6
    info("INSTRUMENT", "         77"),
    info("WINDOW", "kvt101a1 spliced window"),
    info("LATITUDE", "   52.50000"),
    info("LONGITUDE", "-7.25"),
    info("ELEVATION", "120.0"),
    info("UTM_ORIGIN", "-9.0"),
    info("UTM_ZONE", "29"),
    info("UTM_NORTH", "5000000"),
    info("UTM_EAST", "-1235"),
    info("COORD_SYS", "  MAGNETIC north x"),
    info("DECLIN", "-4.5"),
    info("FORM", "ASCII"),
    info("FORMAT", "(5F12.4)"),
    info("FORM_TYPE", "plain,more"),
    info("FORM_LEN", "12"),
    info("ENDIAN", "Big"),
    info("BIN_FORM", "IEEE"),
    info("SEQ_REC", "1"),
    info("NCHAN", "5 channels"),
    info("CHAN_1", "HX"),
    info("SENSOR_1", "301"),
    info("AZIM_1", "10.0"),
    info("UNITS_1", "nT"),
    info("GAIN_1", "1.0"),
    info("BASELINE_1", "25.6"),
    info("CHAN_5", "EY"),
    info("SENSOR_5", "77"),
    info("AZIM_5", "100"),
    info("UNITS_5", "mV/km"),
    info("BASELINE_3", "-5.12"),
    info("DELTA_T", "0.5"),
    info("T_UNITS", "s"),
    info("ORDER", "HXHYHZ"),
    info("STARTTIME", "2004-03-08 18:03:3025"),
    info("ENDTIME", "2004-03-09 00:00:00"),
    info("MIS_DATA", "  9999.0"),
    info("INFO_END"),
};

TEST_F(RdinfoTest, AsciiFileEveryKeyKind) {
  std::vector<std::string> lines{"# comment", "", "some other text", "#F Filter block begin"};
  lines.insert(lines.end(), kFullBlock.begin(), kFullBlock.end());
  lines.push_back("   1.0 2.0 3.0 4.0 5.0");
  open(tstest::text_lines(lines), false);
  ts_rdinfo(kUnit);

  const tslib::TsInfoRecord& t = tsinfo;
  EXPECT_EQ(s(t.STATION), "kvt101");
  EXPECT_EQ(t.INSTRUMENT, 77);
  EXPECT_EQ(s(t.WINDOW), pad("kvt101a1", 20));
  EXPECT_EQ(t.LATITUDE, 52.5f);
  EXPECT_EQ(t.LONGITUDE, -7.25f);
  EXPECT_EQ(t.ELEVATION, 120.0f);
  EXPECT_EQ(t.UTM_ORIGIN, -9.0f);
  EXPECT_EQ(t.UTM_ZONE, 29);
  EXPECT_EQ(t.UTM_NORTH, 5000000);
  EXPECT_EQ(t.UTM_EAST, -1235);
  EXPECT_EQ(s(t.COORD_SYS), "  MAGNETIC north ");  // columns 13-29 as they stand
  EXPECT_EQ(t.DECLIN, -4.5f);
  EXPECT_EQ(s(t.format), pad("(5F12.4)", 15));
  EXPECT_EQ(s(t.FORM_TYPE), pad("plain", 15));
  EXPECT_EQ(t.FORM_LEN, 12);
  EXPECT_EQ(s(t.ENDIAN), "Big   ");
  EXPECT_EQ(s(t.BIN_FORM), "IEEE");
  EXPECT_EQ(t.SEQ_REC, 1);
  EXPECT_EQ(t.NCHAN, 5);
  EXPECT_EQ(s(t.CHAN_[0]), "HX");
  EXPECT_EQ(t.SENSOR_[0], 301);
  EXPECT_EQ(t.AZIM_[0], 10.0f);
  EXPECT_EQ(s(t.UNITS_[0]), pad("nT", 10));
  EXPECT_EQ(t.GAIN_[0], 1.0f);
  EXPECT_EQ(t.BASELINE_[0], 25.6f);
  EXPECT_EQ(s(t.CHAN_[4]), "EY");
  EXPECT_EQ(t.SENSOR_[4], 77);
  EXPECT_EQ(t.AZIM_[4], 100.0f);
  EXPECT_EQ(s(t.UNITS_[4]), pad("mV/km", 10));
  EXPECT_EQ(t.BASELINE_[2], -5.12f);
  EXPECT_EQ(t.DELTA_T, 0.5f);
  EXPECT_EQ(s(t.T_UNITS), "s    ");
  EXPECT_EQ(s(t.ORDER), pad("HXHYHZ", 10));
  EXPECT_EQ(s(t.STARTTIME), "2004-03-08 18:03:30");
  EXPECT_EQ(s(t.ENDTIME), "2004-03-09 00:00:00");
  EXPECT_EQ(t.MIS_DATA, 9999.0f);
  // Channels the block did not name keep the zeros of program start.
  EXPECT_EQ(t.CHAN_[1][0], '\0');
  EXPECT_EQ(next_text_line(), pad("   1.0 2.0 3.0 4.0 5.0", 80));  // the first data record
}

TEST_F(RdinfoTest, DefaultsAndTheirLines) {
  const std::vector<std::string> block{info("INFO_START"), info("NCHAN", "3"), info("INFO_END")};
  open(tstest::text_lines(block), false);
  tsinfo.MIS_DATA = 5.0f;
  ts_rdinfo(kUnit);
  EXPECT_EQ(tsinfo.SEQ_REC, 1);
  EXPECT_EQ(tstest::bits_of(tsinfo.MIS_DATA), 0x749DC5AEu);
  EXPECT_EQ(s(tsinfo.format), "FREE           ");

  const auto r = run(tstest::text_lines(block), false, -1);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "ts_rdinfo: SEQ_REC not read in: set to default = 1\r\n"
            "ts_rdinfo: MIS_DAT not read in: set to default value:     0.1000000033E+33\r\n"
            "ts_rdinfo: FORMAT not read in: set to FREE\r\n");
  // A BINARY file without FORMAT keeps UNFORMATTED and says nothing about it.
  const auto b = run(tstest::binary_lines(block), true, -1);
  EXPECT_EQ(b.out.find("FORMAT not read"), std::string::npos);
}

TEST_F(RdinfoTest, BinaryFormatWarningThenReadsNormally) {
  const std::vector<std::string> block{info("INFO_START"),          info("FORM", "BINARY"),
                                       info("FORMAT", "(5E14.6)"),  info("SEQ_REC", "1"),
                                       info("MIS_DATA", "1.0E+32"), info("INFO_END")};
  const std::string bytes = tstest::binary_lines(block) + tstest::float_record({1, 2, 3});
  open(bytes, true);
  ts_rdinfo(kUnit);
  EXPECT_EQ(s(tsinfo.format), "UNFORMATTED    ");
  io::close(kUnit);
  const auto r = run(bytes, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            " ts_rdinfo: Incorrect format specified for BINARY file\r\n"
            "            format = (5E14.6)       \r\n"
            "            reset to UNFORMATTED\r\n");
}

TEST_F(RdinfoTest, V4TimesAreConverted) {
  const std::vector<std::string> block{
      info("INFO_START"),   info("STARTTIME", "040308180330"), info("ENDTIME", "991231235959"),
      info("SEQ_REC", "1"), info("MIS_DATA", "1.0"),           info("FORMAT", "FREE"),
      info("INFO_END")};
  open(tstest::text_lines(block), false);
  ts_rdinfo(kUnit);
  EXPECT_EQ(s(tsinfo.STARTTIME), "2004-03-08 18:03:30");
  EXPECT_EQ(s(tsinfo.ENDTIME), "2099-12-31 23:59:59");
  io::close(kUnit);
  const auto r = run(tstest::text_lines(block), false, -1);
  EXPECT_EQ(r.out,
            " Start time in v4 format...converting\r\n"
            " End time in v4 format...converting\r\n");
}

TEST_F(RdinfoTest, GainUnknownKeyAndMissingStart) {
  const std::vector<std::string> block{
      info("STATION", "kvt101"), info("GAIN_2", "2.0"),  info("FOO", "x"), info("SEQ_REC", "1"),
      info("MIS_DATA", "1.0"),   info("FORMAT", "FREE"), info("INFO_END")};
  const auto r = run(tstest::text_lines(block), false, -1);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            " ts_rdinfo: Info block does not begin with INFO_START\r\n"
            " ts_rdinfo: gain to be applied to channel           2    of   2.000000    \r\n"
            " \r\n"
            "ts_rdinfo: Ignored/Unknown keyword: FOO       \r\n"
            " \r\n");
  open(tstest::text_lines(block), false);
  ts_rdinfo(kUnit);
  EXPECT_EQ(s(tsinfo.STATION), "kvt101");
  EXPECT_EQ(tsinfo.GAIN_[1], 2.0f);
}

TEST_F(RdinfoTest, ChannelDigitOutsideTheArraysIsPassedOver) {
  const std::vector<std::string> block{info("INFO_START"),        info("CHAN_1", "HX"),
                                       info("CHAN_7", "QQ"),      info("CHAN_,", "RR"),
                                       info("BASELINE_4", "9.0"), info("GAIN_0", "3.0"),
                                       info("SEQ_REC", "1"),      info("MIS_DATA", "1.0"),
                                       info("FORMAT", "FREE"),    info("INFO_END")};
  open(tstest::text_lines(block), false);
  ts_rdinfo(kUnit);
  EXPECT_EQ(s(tsinfo.CHAN_[0]), "HX");
  for (std::size_t k = 1; k < 5; ++k) EXPECT_EQ(tsinfo.CHAN_[k][0], '\0');
  for (float b : tsinfo.BASELINE_) EXPECT_EQ(b, 0.0f);
  for (float g : tsinfo.GAIN_) EXPECT_EQ(g, 0.0f);
  io::close(kUnit);
  const auto r = run(tstest::text_lines(block), false, -1);
  EXPECT_EQ(r.status, 0);
  // one line per ignored key
  EXPECT_EQ(tstest::lines_of(r.out, tstest::LineEnd::crlf).size(), 4u) << r.out;
  EXPECT_NE(r.out.find("CHAN_,"), std::string::npos);
  EXPECT_NE(r.out.find("CHAN_7"), std::string::npos);
  EXPECT_NE(r.out.find("BASELINE_4"), std::string::npos);
}

TEST_F(RdinfoTest, ProgramEnds) {
  struct Case {
    const char* what;
    std::string bytes;
    bool binary;
    std::string out_part;
    bool error_report;  // the io layer's report instead of the library's line
    int status = 1;     // the library's own ends fail with 1, a report with its number
  };
  const std::string ascii_start = info("INFO_START") + "\r\n";
  const Case cases[] = {
      {"comment only", "# only a comment\r\n", false,
       "ts_rdinfo: no info block found in file - aborting\r\n", false},
      {"empty", "", false, "ts_rdinfo: no info block found in file - aborting\r\n", false},
      {"eof in block", ascii_start + info("NCHAN", "3") + "\r\n", false,
       "ts_rdinfo: EOF still reading in info block - aborting\r\n", false},
      {"form differs", ascii_start + info("FORM", "BINARY") + "\r\n", false,
       " ts_rdinfo: Incompatible form specified in file:\r\n"
       "            form = ASCII form_in = BINARY\r\n"
       " Correct and rerun\r\n",
       false},
      {"lower-case form", ascii_start + info("FORM", "ascii") + "\r\n", false, "Incompatible form",
       false},
      {"CHANNELS", ascii_start + info("CHANNELS", "5") + "\r\n", false, "", true,
       59},  // digit E, read in the free layout
      {"blank number", ascii_start + info("NCHAN", "") + "\r\n", false, "", true, 24},
      {"word for a number", ascii_start + info("DELTA_T", "abc") + "\r\n", false, "", true, 59},
      {"short binary before block", tstest::record("# short"), true, "", true, 67},
  };
  for (const Case& c : cases) {
    const auto r = run(c.bytes, c.binary, -1);
    EXPECT_EQ(r.status, c.status) << c.what;
    if (c.error_report) {
      EXPECT_NE(r.err.find("severe"), std::string::npos) << c.what << ": " << r.err;
    } else {
      EXPECT_NE(r.out.find(c.out_part), std::string::npos) << c.what << ": " << r.out;
    }
  }
}

TEST_F(RdinfoTest, BinaryBlockWithoutEndStepsBackToTheFirstRecord) {
  const std::vector<std::string> block{info("INFO_START"), info("NCHAN", "5"), info("SEQ_REC", "1"),
                                       info("MIS_DATA", "1.0")};
  const std::string bytes = tstest::binary_lines(block) + tstest::float_record({1, 2, 3, 4, 5}) +
                            tstest::float_record({6, 7, 8, 9, 10});
  open(bytes, true);
  ts_rdinfo(kUnit);
  tslib::TsValues v{};
  ts_in1(kUnit, v);
  EXPECT_EQ(v, (tslib::TsValues{1, 2, 3, 4, 5}));
  io::close(kUnit);
  const auto r = run(bytes, true, 2);
  EXPECT_NE(r.out.find("ts_rdinfo: exiting after one backspace\r\n"), std::string::npos) << r.out;
}

TEST_F(RdinfoTest, AsciiBlockWithoutEndKeepsTheFirstDataLine) {
  const std::vector<std::string> lines{
      info("INFO_START"),     info("NCHAN", "2"), info("SEQ_REC", "1"), info("MIS_DATA", "1.0"),
      info("FORMAT", "FREE"), "  1.5  2.5",       "  3.5  4.5"};
  open(tstest::text_lines(lines), false);
  ts_rdinfo(kUnit);
  tslib::TsValues v{};
  ts_in1(kUnit, v);
  EXPECT_EQ(v[0], 1.5f);
  EXPECT_EQ(v[1], 2.5f);
}

TEST_F(RdinfoTest, EchoesAndSecondCallRereads) {
  const std::vector<std::string> lines{info("INFO_START"), info("SEQ_REC", "1"),
                                       info("MIS_DATA", "1.0"), info("FORMAT", "FREE"),
                                       info("INFO_END")};
  const auto r = run(tstest::text_lines(lines), false, 3);
  EXPECT_NE(r.out.find("line>" + info("INFO_START") + "\r\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" tsrdinfo: INFO_END found\r\n"), std::string::npos);
  EXPECT_NE(r.out.find(" Information block from input file...\r\n"), std::string::npos);

  open(tstest::text_lines(lines), false);
  ts_rdinfo(kUnit);
  ts_rdinfo(kUnit);  // begins with a rewind
  EXPECT_EQ(tsinfo.SEQ_REC, 1);
}

TEST_F(RdinfoTest, SummaryListsBaselinesForFirstThreeChannelsOnly) {
  // An NCHAN above 5 is kept as read; the summary shows the 5 channels the record holds.
  struct Case {
    std::string nchan;
    std::size_t channels;
  };
  for (const Case& c : {Case{"4", 4}, Case{"7", 5}}) {
    std::vector<std::string> lines{info("INFO_START"),     info("NCHAN", c.nchan),
                                   info("SEQ_REC", "1"),   info("MIS_DATA", "1.0"),
                                   info("FORMAT", "FREE"), info("INFO_END")};
    const auto r = run(tstest::text_lines(lines), false, 1);
    EXPECT_EQ(r.status, 0) << c.nchan;
    std::size_t channels = 0, baselines = 0;
    for (const auto& l : tstest::lines_of(r.out, tstest::LineEnd::crlf)) {
      channels += l.rfind(" Channel......:", 0) == 0;
      baselines += l.rfind(" BASELINE:", 0) == 0;
    }
    EXPECT_EQ(channels, c.channels) << c.nchan;
    EXPECT_EQ(baselines, 3u) << c.nchan;
    EXPECT_NE(r.out.find(" NCHAN     :           " + c.nchan + "\r\n"), std::string::npos)
        << c.nchan;
  }
}

TEST_F(RdinfoTest, SummaryShowsTheBlockInItsOwnOrder) {
  const std::vector<std::string> block{info("INFO_START"),
                                       info("STATION", "kvt101"),
                                       info("INSTRUMENT", "77"),
                                       info("WINDOW", "kvt101a1"),
                                       info("LATITUDE", "52.5"),
                                       info("LONGITUDE", "-7.25"),
                                       info("ELEVATION", "0"),
                                       info("UTM_ORIGIN", "-9"),
                                       info("UTM_ZONE", "29"),
                                       info("UTM_NORTH", "5000000"),
                                       info("UTM_EAST", "-1235"),
                                       info("COORD_SYS", "MAGNETIC"),
                                       info("DECLIN", "-4.5"),
                                       info("FORM", "ASCII"),
                                       info("FORMAT", "FREE"),
                                       info("FORM_TYPE", "plain"),
                                       info("FORM_LEN", "12"),
                                       info("ENDIAN", "Big"),
                                       info("BIN_FORM", "IEEE"),
                                       info("SEQ_REC", "1"),
                                       info("NCHAN", "4"),
                                       info("CHAN_1", "HX"),
                                       info("SENSOR_1", "301"),
                                       info("AZIM_1", "0"),
                                       info("UNITS_1", "nT"),
                                       info("GAIN_1", "1"),
                                       info("BASELINE_1", "25.6"),
                                       info("CHAN_2", "HY"),
                                       info("AZIM_2", "90"),
                                       info("UNITS_2", "nT"),
                                       info("GAIN_2", "1"),
                                       info("BASELINE_2", "-5"),
                                       info("CHAN_3", "HZ"),
                                       info("AZIM_3", "0"),
                                       info("UNITS_3", "nT"),
                                       info("GAIN_3", "1"),
                                       info("BASELINE_3", "0.5"),
                                       info("CHAN_4", "EX"),
                                       info("AZIM_4", "-3.25"),
                                       info("UNITS_4", "mV/km"),
                                       info("GAIN_4", "1"),
                                       info("DELTA_T", "0.5"),
                                       info("T_UNITS", "s"),
                                       info("ORDER", "HXHYHZ"),
                                       info("STARTTIME", "2004-03-08 18:03:30"),
                                       info("ENDTIME", "2004-03-09 00:00:00"),
                                       info("MIS_DATA", "1.0E+32"),
                                       info("INFO_END")};
  // Labels and values joined without a blank; integers in 12 columns, floats in 15,
  // texts in their field's width. UTM_ZONE and ORDER are not shown.
  const std::vector<std::string> expected{
      " Information block from input file...",
      " STATION   :kvt101",
      " INSTRUMENT:          77",
      " WINDOW    :kvt101a1            ",
      " LATITUDE  :   52.50000    ",
      " LONGITUDE :  -7.250000    ",
      " ELEVATION :  0.0000000E+00",
      " UTM_ORIGIN:  -9.000000    ",
      " UTM_NORTH :     5000000",
      " UTM_EAST  :       -1235",
      " COORD_SYS :MAGNETIC         ",
      " DECLIN    :  -4.500000    ",
      " FORM      :ASCII ",
      " FORMAT    :FREE           ",
      " FORM_TYPE :plain          ",
      " FORM_LEN  :          12",
      " ENDIAN    :Big   ",
      " BIN_FORM  :IEEE",
      " SEQ_REC   :           1",
      " NCHAN     :           4",
      " Channel......:           1",
      " CHAN    :HX",
      " AZIM    :  0.0000000E+00",
      " GAIN    :   1.000000    ",
      " UNITS   :nT        ",
      " BASELINE:   25.60000    ",
      " Channel......:           2",
      " CHAN    :HY",
      " AZIM    :   90.00000    ",
      " GAIN    :   1.000000    ",
      " UNITS   :nT        ",
      " BASELINE:  -5.000000    ",
      " Channel......:           3",
      " CHAN    :HZ",
      " AZIM    :  0.0000000E+00",
      " GAIN    :   1.000000    ",
      " UNITS   :nT        ",
      " BASELINE:  0.5000000    ",
      " Channel......:           4",
      " CHAN    :EX",
      " AZIM    :  -3.250000    ",
      " GAIN    :   1.000000    ",
      " UNITS   :mV/km     ",
      " STARTTIME :2004-03-08 18:03:30",
      " ENDTIME   :2004-03-09 00:00:00",
      " T_UNITS   :s    ",
      " DELTA_T   :  0.5000000    ",
      " MIS_DATA  :  1.0000000E+32",
  };
  const auto r = run(tstest::text_lines(block), false, 1);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, tstest::text_lines(expected));
}

// Most keys match only as the whole key; the channel keys, MIS_DATA and INFO_END by
// their leading letters, whatever follows them.
TEST_F(RdinfoTest, WholeKeysAndLeadingLetterKeys) {
  const std::vector<std::string> block{
      info("INFO_START"),       info("NCHANS", "3"),     info("STATION1", "abc"),
      info("FORMATS", "(A)"),   info("DELTA_TX", "2"),   info("station", "low"),
      info("NCHAN", "2"),       info("CHAN_2xyz", "HY"), info("SENSOR_2A", "302"),
      info("AZIM_2.0", "45"),   info("UNITS_2 B", "nT"), info("GAIN_2..", "1"),
      info("BASELINE_2", "7"),  info("SEQ_REC", "1"),    info("FORMAT", "FREE"),
      info("MIS_DATA_X", "-9"), info("INFO_ENDED"),      "  1.0  2.0"};
  open(tstest::text_lines(block), false);
  ts_rdinfo(kUnit);
  EXPECT_EQ(tsinfo.NCHAN, 2);
  EXPECT_EQ(tsinfo.STATION[0], '\0');
  EXPECT_EQ(tsinfo.DELTA_T, 0.0f);
  EXPECT_EQ(s(tsinfo.CHAN_[1]), "HY");
  EXPECT_EQ(tsinfo.SENSOR_[1], 302);
  EXPECT_EQ(tsinfo.AZIM_[1], 45.0f);
  EXPECT_EQ(s(tsinfo.UNITS_[1]), pad("nT", 10));
  EXPECT_EQ(tsinfo.GAIN_[1], 1.0f);
  EXPECT_EQ(tsinfo.BASELINE_[1], 7.0f);
  EXPECT_EQ(tsinfo.MIS_DATA, -9.0f);
  EXPECT_EQ(next_text_line(), pad("  1.0  2.0", 80));  // INFO_ENDED closed the block
  io::close(kUnit);

  // The whole-key misses are reported in file order; no default line follows.
  const auto r = run(tstest::text_lines(block), false, -1);
  EXPECT_EQ(r.status, 0);
  std::string expected;
  for (const char* key : {"NCHANS    ", "STATION1  ", "FORMATS   ", "DELTA_TX  ", "station   "})
    expected += " \r\nts_rdinfo: Ignored/Unknown keyword: " + std::string(key) + "\r\n \r\n";
  EXPECT_EQ(r.out, expected);
}

}  // namespace
