// Site position, UTM projection and the site lookup.
#include "rawcv/site.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "rawcv/ll2utm.h"
#include "support/child.h"
#include "support/run_program.h"

namespace {

using rawcv::Coordinates;
using rawcv::header_coordinates;
using rawcv::site_lookup;
using rawcv::SiteValues;

TEST(Ll2utm, ClarkeTransverseMercator) {
  // Expected values worked out from the series by hand (independent float64 script).
  struct Case {
    float lat, lon, cm, northing, easting;
  };
  const std::vector<Case> cases{
      {45.0f, -75.5f, -75.0f, 4982854.5f, 460591.1875f},
      {-30.0f, 140.2f, 141.0f, -3318874.5f, 422838.75f},
      {0.0f, -75.0f, -75.0f, 0.0f, 500000.0f},
      {0.0f, 3.0f, 3.0f, 0.0f, 500000.0f},
  };
  for (const Case& c : cases) {
    float cm = 999.0f, n = -1.0f, e = -1.0f;
    ll2utm(c.lat, c.lon, cm, n, e);
    EXPECT_EQ(cm, c.cm) << c.lat << " " << c.lon;
    EXPECT_NEAR(n, c.northing, 0.5f) << c.lat << " " << c.lon;
    EXPECT_NEAR(e, c.easting, 0.2f) << c.lat << " " << c.lon;
  }
}

TEST(Ll2utm, CentralMeridian) {
  struct Case {
    float lon, cm;
  };
  const std::vector<Case> cases{{0.0f, -3.0f},  {6.0f, 9.0f},     {-6.0f, -9.0f},   {3.5f, 3.0f},
                                {-0.5f, -3.0f}, {180.0f, 183.0f}, {179.0f, 177.0f}, {11.99f, 9.0f}};
  for (const Case& c : cases) {
    float cm = 999.0f, n = 0.0f, e = 0.0f;
    ll2utm(10.0f, c.lon, cm, n, e);
    EXPECT_EQ(cm, c.cm) << c.lon;
  }
  float cm = 12.5f, n = 0.0f, e = 0.0f;  // a given meridian is used unchanged
  ll2utm(0.0f, 12.5f, cm, n, e);
  EXPECT_EQ(cm, 12.5f);
  EXPECT_EQ(e, 500000.0f);
}

TEST(Coordinates, DegreesAndTexts) {
  struct Case {
    std::int16_t d, m, s;
    char letter;
    float value;
    std::string text;
  };
  const std::vector<Case> cases{
      {45, 7, 30, 'S', -45.125f, "045:07:30 S"},
      {45, 7, 30, 's', 45.125f, "045:07:30 s"},
      {5, 0, 0, 'N', 5.0f, "005:00:00 N"},
      {1234, 5, 6, 'N', 1234.085f, "***:05:06 N"},
  };
  for (const Case& c : cases) {
    rawcv::RawHeader h;
    h.hdr32 = {{0, 0, c.d, c.m, c.s}};
    h.latdir = {c.letter};
    h.hdr43 = {{c.d, c.m, c.s}};
    h.lngdir = {c.letter == 'S' ? 'W' : c.letter};
    const Coordinates co = header_coordinates(h);
    EXPECT_FLOAT_EQ(co.latitude, c.value) << c.text;
    EXPECT_EQ(std::string(co.lattext.data(), 11), c.text);
    EXPECT_FLOAT_EQ(co.longitude, c.value) << c.text;
  }
}

std::string site_line(const std::string& site, const std::string& tail71to80) {
  std::string l = site;
  l.resize(71, ' ');
  return l + tail71to80;
}

TEST(SiteLookup, ValuesAndFailures) {
  struct Case {
    const char* name;
    bool file;
    std::string content;
    float elevation;
    int declination;
    std::vector<std::string> lines;
  };
  const std::string decl = "Declination will be calculated or entered by user";
  const std::string elev = "Elevation incorrect in ts file";
  const std::vector<Case> cases{
      {"found",
       true,
       site_line("100", "1234 -12") + "\n" + site_line("101", " 250  14") + "\n" +
           site_line("101", " 999  99") + "\n",
       250.0f,
       14,
       {}},
      {"missing file",
       false,
       "",
       0.0f,
       0,
       {"Project site file not found: abcsite.flt", elev, decl}},
      {"empty file",
       true,
       "",
       0.0f,
       0,
       {"Site not found in project site file: abcsite.flt", elev, decl}},
      {"no line for the site",
       true,
       site_line("100", "  10  1") + "\n",
       0.0f,
       0,
       {"Site not found in project site file: abcsite.flt", elev, decl}},
      {"75 columns", true, site_line("101", "  -5") + "\n", -5.0f, 0, {decl}},
      {"letters in the elevation", true, site_line("101", "abcd  3") + "\n", 0.0f, 0, {elev, decl}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mttest::TempDir dir;
    if (c.file) mttest::write_file(dir / "abcsite.flt", c.content);
    const auto r = mttest::run_child(
        [&] {
          if (chdir(dir.str().c_str()) != 0) return;
          const SiteValues v = site_lookup("abc", "abc101");
          std::fprintf(stderr, "%g %d open=%d", double(v.elevation), v.declination,
                       int(io::is_open(1)));
        },
        "");
    EXPECT_EQ(r.err, std::to_string(static_cast<int>(c.elevation)) + " " +
                         std::to_string(c.declination) + " open=0");
    for (const std::string& l : c.lines) EXPECT_NE(r.out.find(l), std::string::npos) << r.out;
    if (c.lines.empty()) {
      EXPECT_EQ(r.out, "");
    }
    if (c.name == std::string("75 columns")) {
      EXPECT_EQ(r.out.find(elev), std::string::npos);
    }
  }
}

}  // namespace
