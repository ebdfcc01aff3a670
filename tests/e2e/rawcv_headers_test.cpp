// rawcv end to end: the comment, filter and info blocks of the ts and aux files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_field.h"
#include "support/rawcv_project.h"
#include "support/run_date.h"

namespace rawcv_e2e {
namespace {

const std::string kRawName = pad("kvt101/kvt101a1.1mp", 40);

// Comment lines that follow the date line, as Table order gives them.
std::vector<std::string> ascii_ts_comments(const std::string& version, const std::string& drop) {
  return {
      "#",
      "# machine endian: Little",
      "# UNIX set      :  F",
      "#",
      "# input file: " + kRawName,
      "#",
      "# site description: " + pad("test site", 20),
      "#",
      "# Latitude   :045:00:00 N",
      "# Longitude  :075:30:00 W",
      "#",
      "# VaRL acquisition code : " + pad(version, 5),
      "# VaRL box     number  :    7",
      "# Magnetometer number  :    3",
      "#",
      "# Ex line length:     100.00",
      "# Ey line length:     100.00",
      "#",
      "# Azimuths relative to: " + pad("GEOGRAPHIC", 17),
      "# Ex azimuth;   0",
      "# Ey azimuth;  90",
      "# Hx azimuth;   0",
      "# Hy azimuth;  90",
      "#",
      "# FIRST " + drop + " POINTS DROPPED FROM .1mp FILE TO ",
      "# ACCOUNT FOR FILTER SETTLING",
      "#",
  };
}

std::vector<std::string> filter_block(const std::vector<std::string>& rows, bool ascii) {
  std::vector<std::string> v = {
      "#F Filter block begin",
      "#F",
      "#F Filters applied to VaRL/QXLN data are:",
      "#F 1: Analogue anti-alias six-pole Bessel low-pass",
      "#F    filters on each channel with -3 dB point at nominally 5 Hz.",
      "#F    -calibrated values given below",
      "#F",
      "#F 2: Digital anti-alias multi-stage Chebyshev FIR filters",
      "#F    with final stage at 2xsampling rate",
      "#F",
      "#F 1: Analogue single-pole Butterworth high-pass filters on the",
      "#F    telluric channels only with -3 dB point at nominally 30,000 s",
      "#F    -calibrated values given below",
      "#F",
      "#F Chan     Calib    Low-pass   High-pass (s)",
  };
  v.insert(v.end(), rows.begin(), rows.end());
  v.push_back("#F");
  if (ascii) {
    v.push_back("#F In the specprocr code, these filter responses");
    v.push_back("#F are removed using lprespa and hpresp");
  } else {
    v.push_back("#F In the specprocr code, these filter responses are");
    v.push_back("#F removed using lprespa and hpresp");
  }
  v.push_back("#F");
  v.push_back("#F Filter block end");
  return v;
}

const std::vector<std::string> kRows5 = {
    "#F  1        1.00        0.10        0.00", "#F  2        1.00        0.20        0.00",
    "#F  3        1.00        0.50        0.00", "#F  4        1.00        0.30    30000.00",
    "#F  5        1.00        0.40    31000.00",
};

// The records of a BINARY header as text, trailing blanks removed after checking
// that every record is 80 bytes.
std::vector<std::string> binary_header(const std::string& bytes, std::size_t count) {
  std::vector<std::string> out;
  for (const std::string& r : records_of(bytes)) {
    if (out.size() == count) break;
    EXPECT_EQ(r.size(), 80u) << r;
    out.emplace_back(field::trimmed(r));
  }
  return out;
}

void expect_lines(const std::vector<std::string>& got, std::size_t from,
                  const std::vector<std::string>& want) {
  ASSERT_GE(got.size(), from + want.size());
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_EQ(got[from + i], want[i]) << "line " << from + i + 1;
}

TEST(RawcvHeaders, AsciiBlocksOfAnOldAcquisitionCode) {
  Project p;
  p.raw(window_description());
  Answers a;
  a.version = "";  // the default 10.2 counts as old: 17 samples dropped at 12 Hz
  a.form = "f";
  a.seq_or_format = "";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;

  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  ASSERT_GE(ts.size(), 2u);
  EXPECT_EQ(ts[0], "# time series file from rawcv");
  EXPECT_TRUE(tstest::is_date_line(ts[1])) << ts[1];
  EXPECT_EQ(ts[1].size(), 32u);
  expect_lines(ts, 2, ascii_ts_comments("10.2", "17"));
  expect_lines(ts, 29, filter_block(kRows5, true));
  EXPECT_EQ(ts[29 + 25], info("INFO_START"));

  const auto aux = lines_of(p.file("kvt101/kvt101a1.aux"), LineEnd::crlf);
  ASSERT_GE(aux.size(), 2u);
  EXPECT_EQ(aux[0], "# auxiliary time series file from rawcv");
  EXPECT_EQ(aux[1], ts[1]);
  expect_lines(aux, 2,
               {"#",
                "# machine endian: Little",
                "# UNIX set      :  F",
                "#",
                "# input file =" + kRawName,
                "#",
                "# site description: " + pad("test site", 20),
                "#",
                "# Latitude   :045:00:00 N",
                "# Longitude  :075:30:00 W",
                "#",
                "# VaRL         number :    7",
                "#",
                "# Channel 1: VaRL internal temperature",
                "# Channel 2: Magnetometer temperature",
                "# Channel 3: Battery voltage",
                "#",
                "# FIRST 17 POINTS DROPPED FROM .1mp FILE TO ACCOUNT FOR FILTER SETTLING",
                "#",
                info("INFO_START")});
}

TEST(RawcvHeaders, AsciiBlocksOfANewAcquisitionCode) {
  Project p;
  p.raw(window_description());
  Answers a;
  a.version = "10.11";
  a.form = "f";
  a.seq_or_format = "";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  expect_lines(ts, 2, ascii_ts_comments("10.11", " 0"));
  EXPECT_EQ(ts[29], "#F Filter block begin");
  const auto aux = lines_of(p.file("kvt101/kvt101a1.aux"), LineEnd::crlf);
  expect_lines(aux, 15,
               {"# Channel 1: VaRL internal temperature", "# Channel 2: Magnetometer temperature",
                "# Channel 3: Battery voltage", "#", info("INFO_START")});
}

std::vector<std::string> binary_ts_comments(const std::string& version) {
  return {"# time series file from rawcv",
          "#",
          "# input file: kvt101/kvt101a1.1mp",
          "#",
          "# Machine endian: Little",
          "# UNIX set      : F",
          "#",
          "# site description: test site",
          "#",
          "# Latitude   :045:00:00 N",
          "# Longitude  :075:30:00 W",
          "#",
          "# VaRL acquisition code : " + version,
          "# VaRL box     number   :    7",
          "# Magnetometer number   :    3",
          "#",
          "# Ex line length (m):     100.00",
          "# Ey line length (m):     100.00",
          "#",
          "# Azimuths relative to: GEOGRAPHIC",
          "# Ex azimuth;   0",
          "# Ey azimuth;  90",
          "# Hx azimuth;   0",
          "# Hy azimuth;  90"};
}

std::vector<std::string> binary_aux_comments(const std::string& version) {
  return {"# auxiliary time series file from rawcv",
          "#",
          "# input file: kvt101/kvt101a1.1mp",
          "#",
          "# Machine endian: Little",
          "# UNIX set      : F",
          "#",
          "# site description: test site",
          "#",
          "# Latitude   :045:00:00 N",
          "# Longitude  :075:30:00 W",
          "#",
          "# VaRL acquisition code : " + version,
          "# VaRL box     number   :    7",
          "#",
          "# Channel 1: VaRL internal temperature",
          "# Channel 2: Magnetometer temperature",
          "# Channel 3: Battery voltage"};
}

// Drops the date line (index 1) after checking its form.
std::vector<std::string> without_date(std::vector<std::string> v) {
  EXPECT_GE(v.size(), 2u);
  if (v.size() < 2) return v;
  EXPECT_TRUE(tstest::is_date_line(v[1])) << v[1];
  EXPECT_EQ(v[1].size(), 32u);
  v.erase(v.begin() + 1);
  return v;
}

TEST(RawcvHeaders, BinaryBlocksOfANewAcquisitionCode) {
  Project p;
  p.raw(window_description());
  Answers a;
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto ts = without_date(binary_header(p.file("kvt101/kvt101a1.ts"), 60));
  expect_lines(ts, 0, binary_ts_comments("10.11"));
  expect_lines(ts, 24, filter_block(kRows5, false));
  const auto aux = without_date(binary_header(p.file("kvt101/kvt101a1.aux"), 20));
  expect_lines(aux, 0, binary_aux_comments("10.11"));
  EXPECT_EQ(aux[18], ">INFO_START:");
}

TEST(RawcvHeaders, BinaryBlocksOfAnOldAcquisitionCode) {
  Project p;
  p.raw(window_description());
  Answers a;
  a.version = "10.2";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  auto want_ts = binary_ts_comments("10.2");
  for (const char* l : {"#", "# FIRST 17 POINTS DROPPED FROM .1mp FILE TO",
                        "# ACCOUNT FOR FILTER SETTLING", "#", "#F Filter block begin"})
    want_ts.push_back(l);
  const auto ts = without_date(binary_header(p.file("kvt101/kvt101a1.ts"), 30));
  expect_lines(ts, 0, want_ts);
  auto want_aux = binary_aux_comments("10.2");
  for (const char* l : {"#", "# FIRST 17 POINTS DROPPED FROM .1mp FILE TO",
                        "# ACCOUNT FOR FILTER SETTLING", "#", ">INFO_START:"})
    want_aux.push_back(l);
  const auto aux = without_date(binary_header(p.file("kvt101/kvt101a1.aux"), 24));
  expect_lines(aux, 0, want_aux);
}

TEST(RawcvHeaders, FilterRowsOfAThreeChannelLogger) {
  Project p;
  mttest::write_file(p.dir / "hardware.kvt",
                     "  7\r\nH 1.0 0.1 0.0\r\nD 1.0 0.2 0.0\r\nZ 1.0 0.5 0.0\r\n");
  p.raw(window_description(12.0f, "Hz", 3));
  Answers a;
  a.form = "f";
  a.seq_or_format = "";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  // The comment block keeps its Ex and Ey lines.
  EXPECT_EQ(ts[17], "# Ex line length:     100.00");
  expect_lines(ts, 29,
               filter_block({"#F  1        1.00        0.10        0.00",
                             "#F  2        1.00        0.20        0.00",
                             "#F  3        1.00        0.50        0.00"},
                            true));
}

TEST(RawcvHeaders, FilterRowsWithoutAHardwareDatabase) {
  Project p;
  std::filesystem::remove(p.dir / "hardware.kvt");
  p.raw(window_description());
  Answers a;
  a.form = "f";
  a.seq_or_format = "";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Error opening HARDWARE file: iostat =29 - default values used\r\n"),
            std::string::npos)
      << r.out;
  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  expect_lines(
      ts, 29,
      filter_block(
          {"#F  1        1.00        0.20        0.00", "#F  2        1.00        0.20        0.00",
           "#F  3        1.00        0.20        0.00", "#F  4        1.00        0.20    30000.00",
           "#F  5        1.00        0.20    30000.00"},
          true));
}

TEST(RawcvHeaders, MissingInstrumentAsksForTheDefaultsTwice) {
  Project p;
  mttest::write_file(p.dir / "hardware.kvt", "  9\r\nH 2.0 0.1 0.0\r\n");
  p.raw(window_description(12.0f, "Hz", 3));
  Answers a;
  a.form = "f";
  a.seq_or_format = "";
  a.after_form = {"N"};  // the driver's table: no defaults
  a.tail = {"Y"};        // input1d's table
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(count_of(r.out, "Use default VaRL settings"), 2) << r.out;
  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  EXPECT_EQ(ts[29 + 15], "#F  1        1.00        0.00        0.00");
}

// The info block as Table order gives it, for the standard 12 Hz window.
std::vector<std::string> ts_info(bool binary, const std::string& seq_rec,
                                 const std::vector<std::string>& declin) {
  std::vector<std::string> v = {
      info("INFO_START"),
      info("STATION", "kvt101"),
      info("INSTRUMENT", "           7"),
      info("WINDOW", "kvt101a1"),
      info("LATITUDE", "   45.00000    "),
      info("LONGITUDE", "  -75.50000    "),
      info("ELEVATION", "   250.0000    "),
      info("UTM_ORIGIN", "  -75.00000    "),
  };
  // UTM_NORTH and UTM_EAST are checked apart (projection arithmetic).
  v.push_back("UTM");
  v.push_back("UTM");
  v.push_back(info("COORD_SYS", pad("GEOGRAPHIC", 17)));
  v.insert(v.end(), declin.begin(), declin.end());
  if (binary) {
    v.push_back(info("FORM", "BINARY"));
    v.push_back(info("FORMAT", "UNFORMATTED"));
    v.push_back(info("ENDIAN", "Big"));
    v.push_back(info("BIN_FORM", "IEEE"));
  } else {
    v.push_back(info("FORM", "ASCII"));
    v.push_back(info("FORMAT", pad("FREE", 20)));
  }
  v.push_back(info("SEQ_REC", seq_rec));
  v.push_back(info("NCHAN", "           5"));
  const std::vector<std::vector<std::string>> groups = {
      {"HX", "           3", "   2560.000    ", "  0.0000000E+00", "nT"},
      {"HY", "           3", "  -5120.000    ", "   90.00000    ", "nT"},
      {"HZ", "           3", "   7680.000    ", "  0.0000000E+00", "nT"},
      {"EX", "           7", "", "  0.0000000E+00", "mV/km"},
      {"EY", "           7", "", "   90.00000    ", "mV/km"},
  };
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    v.push_back(info("CHAN_" + n, groups[i][0]));
    v.push_back(info("SENSOR_" + n, groups[i][1]));
    if (!groups[i][2].empty()) v.push_back(info("BASELINE_" + n, groups[i][2]));
    v.push_back(info("AZIM_" + n, groups[i][3]));
    v.push_back(info("UNITS_" + n, groups[i][4]));
    v.push_back(info("GAIN_" + n, "1.0"));
  }
  v.push_back(info("STARTTIME", "2004-07-20 13:17:0000"));
  v.push_back(info("ENDTIME", "2004-07-20 13:47:0000"));
  v.push_back(info("T_UNITS", "s"));
  v.push_back(info("DELTA_T", "  8.3333336E-02"));
  v.push_back(info("MIS_DATA", "  1.0000000E+32"));
  v.push_back(info("INFO_END"));
  return v;
}

void expect_info(const std::vector<std::string>& got, std::size_t from,
                 const std::vector<std::string>& want) {
  ASSERT_GE(got.size(), from + want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    const std::string& g = got[from + i];
    ASSERT_EQ(g.size(), 80u) << g;
    if (want[i] == "UTM") {
      EXPECT_TRUE(g.rfind(">UTM_", 0) == 0) << g;
      continue;
    }
    EXPECT_EQ(g, want[i]) << "info line " << i + 1;
  }
}

// Value of an integer info line.
long info_int(const std::string& line) { return std::stol(line.substr(12)); }

TEST(RawcvHeaders, AsciiInfoBlocksWithoutMagneticAzimuths) {
  Project p;
  p.raw(window_description());
  Answers a;
  a.form = "f";
  a.seq_or_format = "";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("Give declination"), std::string::npos);
  const auto ts = lines_of(p.file("kvt101/kvt101a1.ts"), LineEnd::crlf);
  const std::size_t start = find_line(ts, info("INFO_START"));
  expect_info(ts, start, ts_info(false, "           1", {}));
  // Latitude 45.0, longitude -75.5: northing near 4982854 m, easting near 460591 m.
  EXPECT_EQ(ts[start + 8].substr(0, 12), ">UTM_NORTH :");
  EXPECT_NEAR(info_int(ts[start + 8]), 4982854, 3);
  EXPECT_EQ(ts[start + 9].substr(0, 12), ">UTM_EAST  :");
  EXPECT_NEAR(info_int(ts[start + 9]), 460591, 3);

  const auto aux = lines_of(p.file("kvt101/kvt101a1.aux"), LineEnd::crlf);
  const std::size_t as = find_line(aux, info("INFO_START"));
  ASSERT_LT(as, aux.size());
  std::vector<std::string> want(ts.begin() + long(start), ts.begin() + long(start) + 10);
  for (const std::string& l :
       {info("FORM", "ASCII"), info("FORMAT", pad("FREE", 20)), info("SEQ_REC", "           1"),
        info("NCHAN", "           3"), info("CHAN_1", "Ti"), info("UNITS_1", "degC"),
        info("GAIN_1", "1.0"), info("CHAN_2", "Th"), info("UNITS_2", "degC"), info("GAIN_2", "1.0"),
        info("CHAN_3", "Bt"), info("UNITS_3", "V"), info("GAIN_3", "1.0"),
        info("STARTTIME", "2004-07-20 13:17:0000"), info("ENDTIME", "2004-07-20 13:47:0000"),
        info("T_UNITS", "s"), info("DELTA_T", "   600.0000    "),
        info("MIS_DATA", "  1.0000000E+32"), info("INFO_END")})
    want.push_back(l);
  expect_info(aux, as, want);
}

TEST(RawcvHeaders, BinaryInfoBlockAsksTheDeclinationForMagneticAzimuths) {
  struct Case {
    std::string answer;
    std::string declin;
  };
  for (const Case& c : {Case{"", "   12.00000    "}, Case{"-3.5", "  -3.500000    "}}) {
    Project p;
    auto d = window_description();
    d.azdir = "MAGNETIC NORTH";
    p.raw(d);
    Answers a;
    a.tail = {c.answer};
    auto r = p.run(a.list());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(count_of(r.out, "Give declination [default is site value]  [default: 12.000 ] >"), 1)
        << r.out;
    auto recs = records_of(p.file("kvt101/kvt101a1.ts"));
    std::vector<std::string> ts(recs.begin(), recs.end());
    const std::size_t start = find_line(ts, info("INFO_START"));
    auto want = ts_info(true, "           1", {info("DECLIN", c.declin)});
    want[10] = info("COORD_SYS", pad("MAGNETIC NORTH", 17));
    expect_info(ts, start, want);
    // The aux file has neither COORD_SYS nor DECLIN.
    const std::string aux = p.file("kvt101/kvt101a1.aux");
    EXPECT_EQ(aux.find(">COORD_SYS:"), std::string::npos);
    EXPECT_EQ(aux.find(">DECLIN"), std::string::npos);
    EXPECT_NE(aux.find(info("ENDIAN", "Big")), std::string::npos);
  }
}

TEST(RawcvHeaders, LowerCaseMagneticAsksNothing) {
  Project p;
  auto d = window_description();
  d.azdir = "magnetic";
  p.raw(d);
  Answers a;
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("Give declination"), std::string::npos);
  EXPECT_EQ(p.file("kvt101/kvt101a1.ts").find(">DECLIN"), std::string::npos);
}

TEST(RawcvHeaders, StartTimeEndsIn25AtThirtySecondSampling) {
  Project p;
  p.raw(window_description(30.0f, "sec", 5, 200));
  Answers a;
  a.start = "2004-07-20 13:17:00";
  a.end = "2004-07-20 13:27:00";
  auto r = p.run(a.list());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const std::string ts = p.file("kvt101/kvt101a1.ts");
  EXPECT_NE(ts.find(info("STARTTIME", "2004-07-20 13:17:0025")), std::string::npos);
  EXPECT_NE(ts.find(info("ENDTIME", "2004-07-20 13:27:0000")), std::string::npos);
  const std::string aux = p.file("kvt101/kvt101a1.aux");
  EXPECT_NE(aux.find(info("STARTTIME", "2004-07-20 13:17:0025")), std::string::npos);
  EXPECT_NE(aux.find(info("DELTA_T", "   600.0000    ")), std::string::npos);
}

}  // namespace
}  // namespace rawcv_e2e
