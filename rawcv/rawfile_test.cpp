// The raw logger file: header reader, data-record reader, seconds of the year.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "rawcv/rawhdr.h"
#include "support/child.h"
#include "support/rawgen.h"
#include "support/run_program.h"

namespace {

constexpr int kRaw = 4;

std::string code_of(int n) { return std::string(field::view(rawhdr.comp(n))); }

class RawFile : public ::testing::Test {
 protected:
  void SetUp() override {
    rawhdr = rawcv::RawHeader{};
    prtlvl = common::PrintLevelRecord{};
  }
  void TearDown() override { io::close(kRaw); }
  std::string write(const rawgen::Description& d) {
    const std::string path = (dir_ / "abc101a1.1mp").string();
    rawgen::write(path, d);
    return path;
  }
  // rdhead on a fresh header; returns its result.
  std::int32_t open(const rawgen::Description& d, std::int32_t& next) {
    return rdhead(kRaw, write(d), next);
  }
  mttest::TempDir dir_;
};

struct TableCase {
  const char* name;
  rawgen::Description desc;
  int nchan;
  std::vector<int> mapcmp;  // slots 1.. as far as given
  std::vector<std::pair<int, std::string>> comps;
  std::vector<std::pair<int, int>> gains;
  float delta;
  int next;
};

rawgen::Description with_minute(rawgen::Description d, int minute) {
  d.minute = static_cast<std::int16_t>(minute);
  return d;
}

std::vector<TableCase> table_cases() {
  std::vector<TableCase> cases;
  {
    rawgen::Description d = rawgen::five_channels(4.0f);
    d.group1->channels = {{1, "HX", 2}, {2, "HY", 3}, {3, "HZ", 4}};
    d.group2->channels = {{4, "EX", 5}, {5, "EY", 6}};
    cases.push_back({"groups 3+2",
                     d,
                     5,
                     {1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16},
                     {{1, "HX"}, {3, "HZ"}, {5, "EY"}, {11, "A1"}, {16, "Bt"}, {6, "  "}},
                     {{1, 2}, {4, 5}, {5, 6}, {6, 0}},
                     4.0f,
                     721});
  }
  {
    rawgen::Description d = rawgen::three_channels(12.0f);
    d.group1->channels = {{1, "HX", 1}, {2, "HY", 1}, {3, "HZ", 1}, {4, "EX", 7}, {5, "EY", 8}};
    d.group2.reset();
    cases.push_back({"group 5+0 at 12 Hz, minute 17",
                     d,
                     5,
                     {1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16},
                     {{4, "EX"}, {5, "EY"}},
                     {{4, 7}, {5, 8}},
                     12.0f,
                     2161});
  }
  {
    rawgen::Description d = rawgen::five_channels(1.0f);
    d.group1->channels = {{4, "EX", 1}, {5, "EY", 1}, {1, "HX", 9}};
    d.group2->channels = {{2, "hy", 1}, {3, "HZ", 1}};
    cases.push_back({"order 4,5,1,2,3 at 1 Hz, minute 0",
                     with_minute(d, 0),
                     5,
                     {4, 5, 1, 2, 3, 11, 12, 13, 14, 15, 16},
                     {{4, "EX"}, {1, "HX"}, {2, "hy"}},
                     {{1, 9}},
                     1.0f,
                     601});
  }
  {
    rawgen::Description d = rawgen::three_channels(5.0f, "sec");
    d.group1->channels = {{1, "HX", 1}, {2, "HY", 1}, {12, "GZ", 7}};
    cases.push_back({"record 12 replaces A2, 5 s sampling, minute 3",
                     with_minute(d, 3),
                     3,
                     {1, 2, 12, 11, 12, 13, 14, 15, 16},
                     {{11, "A1"}, {12, "GZ"}, {13, "A3"}},
                     {{12, 7}},
                     0.2f,
                     85});
  }
  {
    rawgen::Description d = rawgen::three_channels(30.0f, "sec ");
    cases.push_back({"30 s, block on a boundary",
                     with_minute(d, 20),
                     3,
                     {1, 2, 3, 11},
                     {},
                     {},
                     1.0f / 30.0f,
                     21});
  }
  {
    // Group 1 absent: group 2 starts right after the fixed header.
    rawgen::Description d = rawgen::three_channels(4.0f);
    d.group2 = d.group1;
    d.group1.reset();
    cases.push_back({"group 0+3", d, 3, {1, 2, 3, 11, 12}, {{2, "HY"}}, {}, -1.0f, -1});
  }
  return cases;
}

TEST_F(RawFile, HeaderAndChannelTable) {
  for (TableCase& c : table_cases()) {
    SCOPED_TRACE(c.name);
    rawhdr = rawcv::RawHeader{};
    c.desc.sitdes = "Site by the lake";
    c.desc.baseln = {123456, -7, 42};
    std::int32_t next = -99;
    ASSERT_EQ(open(c.desc, next), 0);
    EXPECT_EQ(rawhdr.nchan, c.nchan);
    for (std::size_t i = 0; i < c.mapcmp.size(); ++i)
      EXPECT_EQ(rawhdr.mapcmp(int(i) + 1), c.mapcmp[i]) << i + 1;
    for (const auto& [n, code] : c.comps) EXPECT_EQ(code_of(n), code) << n;
    for (const auto& [n, g] : c.gains) EXPECT_EQ(rawhdr.gain(n), g) << n;
    if (c.delta > 0.0f) {
      EXPECT_FLOAT_EQ(rawhdr.delta, c.delta);
      EXPECT_EQ(next, c.next);
    }
    // The baselines are found where the table ends.
    EXPECT_EQ(rawhdr.baseln(1), 123456);
    EXPECT_EQ(rawhdr.baseln(2), -7);
    EXPECT_EQ(rawhdr.baseln(3), 42);
    EXPECT_EQ(std::string(field::view(rawhdr.sitdes)), "Site by the lake    ");
    EXPECT_EQ(std::string(field::view(rawhdr.prjcod)), "tst");
    io::close(kRaw);
  }
}

TEST_F(RawFile, HeaderValues) {
  rawgen::Description d = rawgen::five_channels();
  d.year = 99;
  d.month = 2;
  d.day = 28;
  d.hour = 23;
  d.minute = 59;
  d.hdr32 = {150, -80, 45, 7, 30};
  d.hdr50 = {-10, 1, 2, 3, 4};
  d.azdir = "MAGNETIC NORTH";
  d.full_scale = 8192;
  std::int32_t next = 0;
  ASSERT_EQ(open(d, next), 0);
  EXPECT_EQ(rawhdr.byy, 99);  // widened by the driver, not here
  EXPECT_EQ(rawhdr.bmm, 2);
  EXPECT_EQ(rawhdr.bdd, 28);
  EXPECT_EQ(rawhdr.bhh, 23);
  EXPECT_EQ(rawhdr.bmin, 59);
  EXPECT_EQ(rawhdr.bss, 0);
  EXPECT_EQ(rawhdr.itgain, -10);
  EXPECT_EQ(rawhdr.lenex, 150);
  EXPECT_EQ(rawhdr.leney, -80);
  EXPECT_EQ(rawhdr.hdr77(1), 12);
  EXPECT_EQ(rawhdr.hdr77(13), 8192);
  EXPECT_EQ(rawhdr.magfac, 10000.0f);
  EXPECT_EQ(std::string(field::view(rawhdr.azdir)), "MAGNETIC NORTH   ");
  EXPECT_EQ(next, 60 * 1 * 4 + 1);  // minute 59: k = 1
}

TEST_F(RawFile, OpenFailureLeavesEverythingAlone) {
  const auto r = mttest::run_child(
      [] {
        std::int32_t next = 77;
        const std::int32_t result = rdhead(kRaw, "nowhere/abc101a1.1mp                    ", next);
        std::fprintf(stderr, "result=%d next=%d magfac=%g", result, next, double(rawhdr.magfac));
      },
      "");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("rdhead: Error reading old file nowhere/abc101a1.1mp"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("File likely does NOT EXIST"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "result=1 next=77 magfac=10000");
}

TEST_F(RawFile, EndRightAfterTheChannelTable) {
  rawgen::Description d = rawgen::five_channels();
  d.baselines = false;
  const std::string path = write(d);
  const auto r = mttest::run_child(
      [&] {
        std::int32_t next = 0;
        const std::int32_t result = rdhead(kRaw, path, next);
        std::int32_t irec = 1, nstamp = 0;
        std::array<std::int16_t, 13> ibuf{};
        std::array<std::int16_t, 6> stamp{};
        const std::int32_t first =
            readdt(kRaw, irec, nstamp, rawhdr.delta, rawhdr.nchan, ibuf, stamp, next);
        std::fprintf(stderr, "%d %d %d %d open=%d", result, rawhdr.baseln(1), rawhdr.nchan, first,
                     int(io::is_open(kRaw)));
      },
      "");
  EXPECT_NE(r.out.find("End of File or Error found during read!"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "0 0 5 2 open=0");
}

TEST_F(RawFile, EndInsideTheFixedHeaderIsAnErrorReport) {
  rawgen::Description d = rawgen::five_channels();
  d.records = 0;
  d.cut_bytes = 0;
  std::vector<unsigned char> bytes = rawgen::build(d);
  bytes.resize(60);
  const std::string path = (dir_ / "short.1mp").string();
  mttest::write_file(path, std::string(bytes.begin(), bytes.end()));
  const auto r = mttest::run_child(
      [&] {
        std::int32_t next = 0;
        rdhead(kRaw, path, next);
      },
      "");
  EXPECT_EQ(r.status, 24);
  EXPECT_NE(r.err.find("short.1mp"), std::string::npos) << r.err;
}

// Files rawhdr cannot hold are refused with the offending value; the program fails.
TEST_F(RawFile, RefusedHeaders) {
  struct Case {
    const char* name;
    rawgen::Description desc;
    std::string message;
  };
  std::vector<Case> cases;
  {
    rawgen::Description d = rawgen::five_channels();
    d.group2->channels[1].number = 17;
    cases.push_back({"channel 17", d, "raw channel number outside 1 to 16"});
  }
  {
    rawgen::Description d = rawgen::five_channels();
    d.group1->channels[0].number = 0;
    cases.push_back({"channel 0", d, "raw channel number outside 1 to 16"});
  }
  {
    rawgen::Description d = rawgen::five_channels();
    d.group1->channels.resize(8, {1, "HX", 1});
    d.group2->channels.resize(6, {2, "HY", 1});
    cases.push_back({"14 records", d, "more than 13 channel records"});
  }
  {
    rawgen::Description d = rawgen::five_channels();
    d.month = 13;
    cases.push_back({"month 13", d, "start month outside 1 to 12"});
  }
  {
    rawgen::Description d = rawgen::five_channels();
    d.month = 0;
    cases.push_back({"month 0", d, "start month outside 1 to 12"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write(c.desc);
    const auto r = mttest::run_child(
        [&] {
          std::int32_t next = 0;
          rdhead(kRaw, path, next);
        },
        "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
  }
  // The value itself is named.
  rawgen::Description d = rawgen::five_channels();
  d.group2->channels[1].number = 17;
  const std::string path = write(d);
  const auto r = mttest::run_child(
      [&] {
        std::int32_t next = 0;
        rdhead(kRaw, path, next);
      },
      "");
  EXPECT_NE(r.out.find("17"), std::string::npos) << r.out;
}

// Reads every record of the file; returns the records a stamp was read after.
std::vector<std::int32_t> stamps_met(std::int32_t& next, std::int32_t& delivered,
                                     std::int32_t& last) {
  std::vector<std::int32_t> after;
  std::int32_t irec = 1, nstamp = 0;
  std::array<std::int16_t, 13> ibuf{};
  std::array<std::int16_t, 6> stamp{};
  delivered = 0;
  for (;;) {
    const std::int32_t before = nstamp;
    const std::int32_t r =
        readdt(kRaw, irec, nstamp, rawhdr.delta, rawhdr.nchan, ibuf, stamp, next);
    if (r != 0) {
      last = r;
      return after;
    }
    ++delivered;
    // The samples are those of the record, in channel-number order.
    for (int c = 1; c <= rawhdr.nchan; ++c)
      if (ibuf[std::size_t(c - 1)] != static_cast<std::int16_t>(((irec - 1) * 16 + c) % 30000)) {
        ADD_FAILURE() << "record " << irec - 1 << " channel " << c;
        return after;
      }
    if (nstamp != before) {
      after.push_back(irec - 1);
      if (stamp[3] != static_cast<std::int16_t>(100 * nstamp)) ADD_FAILURE() << "stamp " << nstamp;
    }
  }
}

TEST_F(RawFile, StampsFollowTheClock) {
  struct Case {
    const char* name;
    rawgen::Description desc;
    std::vector<std::int32_t> after;
    std::int32_t next_at_end;
  };
  std::vector<Case> cases;
  {
    rawgen::Description d = with_minute(rawgen::five_channels(12.0f), 17);
    d.records = 9400;
    cases.push_back({"12 Hz, minute 17", d, {1, 2161, 9361}, 16561});
  }
  {
    rawgen::Description d = with_minute(rawgen::three_channels(1.0f), 0);
    d.records = 1300;
    cases.push_back({"1 Hz, minute 0", d, {1, 601, 1201}, 1801});
  }
  {
    rawgen::Description d = with_minute(rawgen::three_channels(5.0f, "sec"), 3);
    d.records = 300;
    cases.push_back({"5 s, minute 3", d, {1, 85, 205}, 325});
  }
  {
    rawgen::Description d = with_minute(rawgen::five_channels(30.0f, "sec"), 20);
    d.records = 45;
    cases.push_back({"30 s, minute 20", d, {1, 21, 41}, 61});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t next = 0;
    ASSERT_EQ(open(c.desc, next), 0);
    std::int32_t delivered = 0, last = 0;
    EXPECT_EQ(stamps_met(next, delivered, last), c.after);
    EXPECT_EQ(delivered, c.desc.records);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(next, c.next_at_end);
    EXPECT_FALSE(io::is_open(kRaw));
  }
}

TEST_F(RawFile, RecordsTheFileEndsInsideAreAbsent) {
  struct Case {
    const char* name;
    std::size_t cut;
    std::int32_t delivered;
  };
  // 4 Hz from minute 17: 721 records, a stamp after record 721 (12 bytes), records of 10.
  const std::vector<Case> cases{
      {"inside the last data record", 12 + 3, 720},
      {"right after the record a stamp should follow", 12, 720},
      {"inside the stamp", 5, 720},
      {"whole file", 0, 721},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rawgen::Description d = with_minute(rawgen::five_channels(4.0f), 17);
    d.records = 721;
    d.cut_bytes = c.cut;
    std::int32_t next = 0;
    ASSERT_EQ(open(d, next), 0);
    ASSERT_EQ(next, 721);
    std::int32_t delivered = 0, last = 0;
    stamps_met(next, delivered, last);
    EXPECT_EQ(delivered, c.delivered);
    EXPECT_EQ(last, 2);
    EXPECT_FALSE(io::is_open(kRaw));
  }
}

TEST(Yrsec, SecondsOfTheYear) {
  struct Case {
    int yy, mo, dd, hh, mi, ss;
    std::int32_t secs;
  };
  const std::vector<Case> cases{
      {2004, 1, 1, 0, 0, 0, 0},
      {2004, 3, 1, 0, 0, 0, 5184000},  // February 29
      {1900, 3, 1, 0, 0, 0, 5184000},  // no century rule
      {2003, 3, 1, 0, 0, 0, 5097600},
      {2004, 2, 29, 23, 59, 59, 5183999},
      {2003, 12, 31, 23, 59, 59, 31535999},
      {2004, 7, 20, 13, 17, 5, (182 + 19) * 86400 + 13 * 3600 + 17 * 60 + 5},
      {2004, 0, 2, 0, 0, 0, 86400},         // a month of 1 or less adds no month lengths
      {2004, 13, 1, 0, 0, 0, 366 * 86400},  // never past the table
  };
  for (const Case& c : cases)
    EXPECT_EQ(yrsec(c.yy, c.mo, c.dd, c.hh, c.mi, c.ss), c.secs)
        << c.yy << "-" << c.mo << "-" << c.dd;
}

}  // namespace
