// The sample reader: calibration factors, positioning at the requested start,
// housekeeping values, the end of the data and refused channel tables.
#include "rawcv/input1d.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "rawcv/rawhdr.h"
#include "support/child.h"
#include "support/rawgen.h"
#include "support/run_program.h"

namespace {

using rawcv::Input1dState;
using rawcv::SampleRequest;

constexpr int kRaw = 4;
constexpr int kHardware = 2;

// A request on the day of the test blocks, which start at 2004-07-20 10:05:00.
constexpr SampleRequest on_block_day(int hh, int mi, int ss, int dursec) {
  return {.yy = 2004, .mo = 7, .dd = 20, .hh = hh, .mi = mi, .ss = ss, .dursec = dursec};
}
constexpr SampleRequest kFromBlockStart = on_block_day(10, 5, 0, 3600);

// Channels 1 to 5 carry EX, EY, hx, HY, GZ: mpchan = 3, 4, 5, 1, 2.
rawgen::Description mixed_five(float smprt = 4.0f, std::string unit = "Hz") {
  rawgen::Description d;
  d.group1 = rawgen::Group{0, smprt, unit, {{1, "EX", 2}, {2, "EY", 1}, {3, "hx", 1}}};
  d.group2 = rawgen::Group{0, smprt, unit, {{4, "HY", 2}, {5, "GZ", 4}}};
  d.hdr32 = {100, 50, 45, 0, 0};
  d.hdr50 = {10, 0, 0, 90, 0};
  d.full_scale = 10000;
  d.hour = 10;
  d.minute = 5;
  d.records = 50;
  d.sample = [](std::int32_t r, int c) { return static_cast<std::int16_t>(c * 100 + r); };
  return d;
}

// The shared records cleared, a raw file of the case's own and calls of input1d on it.
template <class Base>
class Input1dFixture : public Base {
 protected:
  void SetUp() override {
    rawhdr = rawcv::RawHeader{};
    rawhdr.hwunit = kHardware;
    reader_ = Input1dState{};
    prtlvl = common::PrintLevelRecord{};
  }
  void TearDown() override {
    io::close(kRaw);
    io::close(kHardware);
  }
  void open(const rawgen::Description& d) {
    const std::string path = (dir_ / "abc101a1.1mp").string();
    rawgen::write(path, d);
    ASSERT_EQ(rdhead(kRaw, path, next_), 0);
  }
  std::int32_t call(std::span<float> dat, const SampleRequest& q = kFromBlockStart) {
    input1d(reader_, kRaw, rawhdr.hdr77(1), dat, status_, q, next_);
    return status_;
  }
  mttest::TempDir dir_;
  Input1dState reader_{};
  std::int32_t next_ = 0;
  std::int32_t status_ = 99;
};

using Input1d = Input1dFixture<::testing::Test>;

// A case's name as its test's name.
template <class Case>
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

TEST_F(Input1d, FactorsFromTheHeaderWithoutHardwareDatabase) {
  rawgen::Description d = mixed_five();
  d.sample = [](std::int32_t r, int c) {
    if (r == 1 && c == 3) return std::int16_t{123};  // HX, 123 nT
    if (r == 1 && c == 1) return std::int16_t{3};    // EX: -15 mV/km
    return static_cast<std::int16_t>(c * 100 + r);
  };
  open(d);
  std::array<float, 11> dat{};
  EXPECT_EQ(call(dat), 0);
  const Input1dState& s = reader_;
  EXPECT_EQ(s.mpchan.v, (std::array<std::int32_t, 5>{3, 4, 5, 1, 2}));
  EXPECT_FLOAT_EQ(s.calg(1), 5.0f);     // 10000 / (10 * 100 * 2)
  EXPECT_FLOAT_EQ(s.calg(2), 20.0f);    // 10000 / (10 * 50 * 1)
  EXPECT_FLOAT_EQ(s.calg(3), 1.0f);     // 10000 / (1 * 10000.0), code written hx
  EXPECT_FLOAT_EQ(s.calg(4), 0.5f);     // 10000 / (2 * 10000.0)
  EXPECT_FLOAT_EQ(s.calg(5), 0.0025f);  // 1 / (4 * 100)
  EXPECT_EQ(s.cal.v, (std::array<float, 5>{1.0f, 0.5f, 0.0025f, -5.0f, -20.0f}));
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(rawhdr.mapcmp(k), k);
  EXPECT_FLOAT_EQ(dat[0], 123.0f);
  EXPECT_FLOAT_EQ(dat[1], 401.0f * 0.5f);
  EXPECT_FLOAT_EQ(dat[2], 501.0f * 0.0025f);
  EXPECT_FLOAT_EQ(dat[3], -15.0f);
  EXPECT_FLOAT_EQ(dat[4], 201.0f * -20.0f);
  EXPECT_EQ(call(dat), 0);  // next record
  EXPECT_FLOAT_EQ(dat[0], 302.0f);
}

TEST_F(Input1d, HardwareFactorsScaleTheirSlots) {
  mttest::write_file(
      dir_ / "hardware.tst",
      "  7\nH 9 9 9\nD 9 9 9\nN 9 9 9\nE 9 9 9\nZ 9 9 9\n"
      " 12\nZ 10.0 0.2 0\nH 2.0 0.2 0\nE 4.0 0.2 30000\nD 3.0 0.2 0\nN 0.5 0.2 30000\n");
  ASSERT_TRUE(io::open(kHardware, (dir_ / "hardware.tst").string(),
                       {io::OpenStatus::old_file, io::Form::text}, io::Takes::neither)
                  .ok());
  open(mixed_five());
  std::array<float, 11> dat{};
  ASSERT_EQ(call(dat), 0);
  const std::array<float, 5> expected{2.0f, 1.5f, 0.025f, -2.5f, -80.0f};
  for (int j = 1; j <= 5; ++j) EXPECT_FLOAT_EQ(reader_.cal(j), expected[std::size_t(j - 1)]) << j;
}

TEST_F(Input1d, ThreeChannels) {
  rawgen::Description d = rawgen::three_channels(4.0f);
  d.group1->channels = {{1, "GX", 2}, {2, "gy", 5}, {3, "HZ", 1}};
  d.hour = 10;
  d.minute = 5;
  d.records = 5;
  d.full_scale = 20000;
  open(d);
  std::array<float, 9> dat{};
  ASSERT_EQ(call(dat), 0);
  EXPECT_EQ(reader_.mpchan.v, (std::array<std::int32_t, 5>{1, 2, 3, 0, 0}));
  EXPECT_FLOAT_EQ(reader_.cal(1), 0.0005f);  // 1 / (2 * 1000)
  EXPECT_FLOAT_EQ(reader_.cal(2), 0.0002f);
  EXPECT_FLOAT_EQ(reader_.cal(3), 2.0f);  // 20000 / 10000
}

struct PositionCase {
  const char* name;
  float smprt;
  const char* unit;
  SampleRequest q;
  std::int32_t first_record;  // record returned by the first call
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class Input1dPositioning : public Input1dFixture<::testing::TestWithParam<PositionCase>> {};

TEST_P(Input1dPositioning, FirstCallReturnsTheRecordAtTheRequestedStart) {
  const PositionCase& c = GetParam();
  rawgen::Description d = mixed_five(c.smprt, c.unit);
  d.records = 400;
  open(d);
  std::array<float, 11> dat{};
  ASSERT_EQ(call(dat, c.q), 0);
  EXPECT_FLOAT_EQ(dat[0], static_cast<float>(300 + c.first_record));  // HX, factor 1
  EXPECT_EQ(reader_.irec, c.first_record + 1);
  EXPECT_EQ(reader_.gap, 0);
}

INSTANTIATE_TEST_SUITE_P(Requests, Input1dPositioning,
                         ::testing::Values(PositionCase{"FourHzOneMinuteIn", 4.0f, "Hz",
                                                        on_block_day(10, 6, 0, 3600), 241},
                                           PositionCase{"ThirtySecondsFortyFiveSecondsIn", 30.0f,
                                                        "sec", on_block_day(10, 5, 45, 3600), 2},
                                           PositionCase{"AtTheBlockStart", 4.0f, "Hz",
                                                        kFromBlockStart, 1},
                                           PositionCase{"TwelveHzTenSecondsIn", 12.0f, "hz",
                                                        on_block_day(10, 5, 10, 60), 121}),
                         case_name<PositionCase>);

struct UnusableCase {
  const char* name;
  float smprt;
  const char* unit;
  SampleRequest q;
  std::vector<std::string> lines;  // each somewhere on the console
  std::int32_t gap;                // samples missing before the data block
};

void PrintTo(const UnusableCase& c, std::ostream* os) { *os << c.name; }

class Input1dUnusableRequest : public Input1dFixture<::testing::TestWithParam<UnusableCase>> {};

TEST_P(Input1dUnusableRequest, StatusMinusOneWithItsMessageAndGap) {
  const UnusableCase& c = GetParam();
  open(mixed_five(c.smprt, c.unit));
  const auto r = mttest::run_child(
      [&] {
        std::array<float, 11> dat{};
        const int first = call(dat, c.q);
        const int second = call(dat, c.q);
        std::fprintf(stderr, "%d %d gap=%d", first, second, reader_.gap);
      },
      "");
  for (const std::string& l : c.lines) EXPECT_NE(r.out.find(l), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "-1 -1 gap=" + std::to_string(c.gap));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Input1dUnusableRequest,
    ::testing::Values(
        UnusableCase{
            "StartBeforeTheData",
            4.0f,
            "Hz",
            on_block_day(10, 4, 0, 3600),
            {"input1d1: ERROR: requested start timepreceeds first data entry in data block.",
             " The gap size is ", "240"},
            240},
        UnusableCase{"TwentySecondsAtThirtySecondSampling",
                     30.0f,
                     "sec",
                     on_block_day(10, 5, 0, 20),
                     {" input1d1: Total number of data entries requested is 0!!"},
                     0},
        UnusableCase{
            "EndBeforeTheStart", 4.0f, "Hz", on_block_day(10, 5, 0, -5), {"requested is 0!!"}, 0},
        UnusableCase{"StartBeyondTheData",
                     4.0f,
                     "Hz",
                     on_block_day(11, 0, 0, 60),
                     {"input1d: EOF encountered when searching for requested start time."},
                     0}),
    case_name<UnusableCase>);

TEST_F(Input1d, HousekeepingFromTheSecondStamp) {
  rawgen::Description d = mixed_five(4.0f);  // minute 5: next = 60 * 5 * 4 + 1 = 1201
  d.records = 1300;
  d.stamp = [](int n) {
    if (n == 1) return std::array<std::int16_t, 6>{0, 0, 0, 1, 1, 1};
    return std::array<std::int16_t, 6>{0, 0, 0, 2500, 3000, -6000};
  };
  open(d);
  ASSERT_EQ(next_, 1201);
  std::array<float, 11> dat{};
  dat.fill(7.0f);
  for (int r = 1; r <= 1200; ++r) {
    ASSERT_EQ(call(dat), 0);
    ASSERT_EQ(dat[8], 7.0f) << r;  // untouched until the second stamp
  }
  ASSERT_EQ(call(dat), 0);
  EXPECT_EQ(next_, 1201 + 2400);
  EXPECT_FLOAT_EQ(dat[8], -250.0f);
  EXPECT_FLOAT_EQ(dat[9], -300.0f);
  EXPECT_FLOAT_EQ(dat[10], 120.0f);
  EXPECT_EQ(dat[5], 7.0f);  // positions nchan+1 to nchan+3 are not written
}

TEST_F(Input1d, EndOfData) {
  rawgen::Description d = mixed_five();
  d.records = 3;
  open(d);
  const auto r = mttest::run_child(
      [&] {
        std::array<float, 11> dat{};
        for (int i = 0; i < 6; ++i) std::fprintf(stderr, "%d ", call(dat));
        std::fprintf(stderr, "open=%d", int(io::is_open(kRaw)));
      },
      "");
  EXPECT_EQ(r.err, "0 0 0 -1 -1 -1 open=0");
  EXPECT_EQ(r.out, "");  // no message at the end of the data
  EXPECT_EQ(r.status, 0);
}

TEST_F(Input1d, NonFiniteFactorWarnsAndGoesOn) {
  rawgen::Description d = mixed_five();
  d.group1->channels[2].gain = 0;  // hx, raw channel 3
  d.hdr50[0] = 0;                  // itgain 0: both E factors
  open(d);
  const auto r = mttest::run_child(
      [&] {
        std::array<float, 11> dat{};
        const int st = call(dat);
        std::fprintf(stderr, "%d %d %d %g", st, int(std::isinf(dat[0])), int(std::isinf(dat[3])),
                     double(dat[2]));
      },
      "");
  EXPECT_NE(r.out.find("input1d: WARNING: calibration factor of channel 3 is not finite"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("input1d: WARNING: calibration factor of channel 1 is not finite"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("input1d: WARNING: calibration factor of channel 2 is not finite"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.err, "0 1 1 1.2525");
  EXPECT_EQ(r.status, 0);
}

struct RefusedCase {
  const char* name;
  std::vector<rawgen::Channel> channels;
  std::string message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class Input1dRefusedTable : public Input1dFixture<::testing::TestWithParam<RefusedCase>> {};

TEST_P(Input1dRefusedTable, EndsTheProgramWithItsLine) {
  const RefusedCase& c = GetParam();
  rawgen::Description d = rawgen::three_channels();
  d.group1->channels = c.channels;
  d.records = 3;
  open(d);
  const auto r = mttest::run_child(
      [&] {
        std::array<float, 19> dat{};
        call(dat);
        std::fprintf(stderr, "returned");
      },
      "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
  EXPECT_EQ(r.err.find("returned"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Input1dRefusedTable,
    ::testing::Values(
        RefusedCase{"TwoHx",
                    {{1, "HX", 1}, {2, "GX", 1}, {3, "HZ", 1}, {4, "EX", 1}, {5, "EY", 1}},
                    "input1d: ERROR: two channels for the component HX"},
        RefusedCase{"FiveChannelsWithoutEy",
                    {{1, "HX", 1}, {2, "HY", 1}, {3, "HZ", 1}, {4, "EX", 1}, {5, "EX", 1}},
                    "input1d: ERROR: two channels for the component EX"},
        RefusedCase{"ThreeChannelsWithAnEChannel",
                    {{1, "HX", 1}, {2, "HY", 1}, {3, "EX", 1}},
                    "input1d: ERROR: an electric channel in a 3-channel table: EX"},
        RefusedCase{"FourChannels",
                    {{1, "HX", 1}, {2, "HY", 1}, {3, "HZ", 1}, {4, "EX", 1}},
                    "input1d: ERROR: number of channels not 3 or 5: 4"},
        RefusedCase{"UnknownCode",
                    {{1, "HX", 1}, {2, "QQ", 1}, {3, "HZ", 1}},
                    " input1d: ERROR: Unknown channel identifier: acomp=\"QQ\""}),
    case_name<RefusedCase>);

TEST_F(Input1d, DialogueCorrectsTheConstants) {
  prtlvl.iprint = 1;
  open(mixed_five());
  const auto r = mttest::run_child(
      [&] {
        std::array<float, 11> dat{};
        const int st = call(dat);
        std::fprintf(stderr, "%d %d %d %d %g %g", st, rawhdr.lenex, rawhdr.leney, rawhdr.itgain,
                     double(rawhdr.magfac), double(reader_.cal(4)));
      },
      "F\n200\n\n\n5000\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "0 200 50 10 5000 -2.5");  // EX: 10000 / (10 * 200 * 2)
  for (const char* line :
       {" The default calibration and converstion values  are:\r\n",
        "     Values from DIGDUMP are in digitizer units.\r\n",
        "     Telluric line lengths are: Ex = 100 m.\r\n",
        "                                Ey =  50 m.\r\n",
        "     Instrument telluric gain is =   10\r\n",
        "     Magnetometer conversion factor is   10000.0\r\n",
        "           That is: 10 mV = 1 nT\r\n",
        "     Electric fields are multiplied by -1 to convert from potentials to fields.\r\n",
        "VARL channel  3 (hx) assigned VARLCASB channel  3 with calg factor = 2.000E+00\r\n",
        " j comp(mapcmp(j)) mapcmp(j) gain(mapcmp(j)) mpchan(j)     cal(j) calg(mpchan(j))\r\n",
        " 4             HY         4               2         1 -2.500E+00       2.500E+00\r\n",
        "input1d1: Requested start time:stsec/yy/mm/dd/hh/min/ss   17402700 2004  7 20 10  5  "
        "0\r\n",
        "input1d1: Seconds between requested and data block start time: ns=     0\r\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

}  // namespace
