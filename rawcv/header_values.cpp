// The values the converter takes from the raw header: its echo, the four-digit year,
// the sampling-rate index and drop count, the values of the header blocks, the site
// position, the block start and the channel count.
#include <cstdint>
#include <span>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "rawcv/driver.h"
#include "rawcv/ll2utm.h"
#include "rawcv/rawhdr.h"
#include "rawcv/site.h"

namespace rawcv {

namespace {

using io::FreeWriter;

constexpr io::Item kPlain[] = {io::lay::A()};

int iprint() { return prtlvl.iprint; }

void echo_header() {
  const rawcv::RawHeader& h = rawhdr;
  io::FixedWriter(6, kPlain) << "Header read in...";
  FreeWriter(6) << "prjcod =" << field::view(h.prjcod);
  FreeWriter(6) << "runnum =" << field::view(h.runnum);
  FreeWriter(6) << "sitdes =" << field::view(h.sitdes);
  FreeWriter(6) << "latdir =" << field::view(h.latdir);
  FreeWriter(6) << "lngdir =" << field::view(h.lngdir);
  FreeWriter(6) << "azdir  =" << field::view(h.azdir);
  FreeWriter(6) << "smpin1 =" << field::view(h.smpin1);
  FreeWriter(6) << "smpin2 =" << field::view(h.smpin2);
  FreeWriter(6) << "smprt1 =" << h.smprt1;
  FreeWriter(6) << "smprt2 =" << h.smprt2;
  FreeWriter(6) << "baseln =" << std::span<const std::int32_t>(h.baseln.v);
  FreeWriter(6) << "filtp1 =" << h.filtp1;
  FreeWriter(6) << "filtp2 =" << h.filtp2;
  FreeWriter(6) << "nchan  =" << h.nchan;
  FreeWriter(6) << "delta  =" << h.delta;
  FreeWriter(6) << "byy    =" << h.byy;
  FreeWriter(6) << "bmm    =" << h.bmm;
  FreeWriter(6) << "bdd    =" << h.bdd;
  FreeWriter(6) << "bmin   =" << h.bmin;
  FreeWriter(6) << "bss    =" << h.bss;
}

struct RateIndex {
  float rate;  // smprt1, compared exactly
  std::int32_t srindex;
};
constexpr RateIndex kHzRates[] = {{12.0f, 1}, {4.0f, 2}, {1.0f, 3}};
constexpr RateIndex kSecRates[] = {{1.0f, 3}, {5.0f, 4}, {30.0f, 5}};

// The index of rate among the unit's rates; an unknown rate ends the program.
std::int32_t rate_index(std::span<const RateIndex> rates, float rate, std::string_view unknown) {
  for (const RateIndex& r : rates)
    if (rate == r.rate) return r.srindex;
  FreeWriter(6) << unknown << rate;
  io::fail_run({});
}

void sampling_rate_index(ConverterState& s) {
  const std::string_view unit = field::view(rawhdr.smpin1);
  const float rate = rawhdr.smprt1;
  if (unit.substr(0, 2) == "Hz" || unit.substr(0, 2) == "hz") {
    s.srindex = rate_index(kHzRates, rate, "Unknown \"Hz\" sampling rate: smprt1 =");
  } else if (unit.substr(0, 3) == "sec") {
    s.srindex = rate_index(kSecRates, rate, "Unknown \"sec\" sampling rate: smprt1 =");
  } else {
    FreeWriter(6) << "Unknown sampling type =" << unit;
    io::fail_run({});
  }
  s.drop = s.droptable[static_cast<std::size_t>(s.srindex - 1)];
  if (iprint() > 0) FreeWriter(6) << "No of points to drop =" << s.drop;
}

void block_values(ConverterState& s) {
  const rawcv::RawHeader& h = rawhdr;
  s.box = h.hdr77(1);
  s.magnetometer = h.hdr77(2);
  s.ex_length = static_cast<float>(h.hdr32(1));
  s.ey_length = static_cast<float>(h.hdr32(2));
  s.ex_azimuth = h.hdr50(3);
  s.ey_azimuth = h.hdr50(4);
  s.hx_azimuth = h.hdr50(5);
  for (int n = 1; n <= 3; ++n)
    s.baselines[static_cast<std::size_t>(n - 1)] = static_cast<float>(h.baseln(n)) * 2.56f;
}

void coordinates(ConverterState& s) {
  const Coordinates c = header_coordinates(rawhdr);
  s.latitude = c.latitude;
  s.longitude = c.longitude;
  s.lat_text = c.lattext;
  s.lon_text = c.lontext;
  if (iprint() > 0) {
    FreeWriter(6) << "Latitude  =" << s.latitude;
    FreeWriter(6) << "Longitude =" << s.longitude;
  }
  s.utm_cm = 999.0f;
  ll2utm(s.latitude, s.longitude, s.utm_cm, s.utm_north, s.utm_east);
  if (iprint() > 0) {
    FreeWriter(6) << "UTM-North =" << s.utm_north;
    FreeWriter(6) << "UTM-East  =" << s.utm_east;
  }
}

}  // namespace

void take_header_values(ConverterState& s) {
  if (iprint() > 0) echo_header();
  if (rawhdr.byy < 100) rawhdr.byy += 1900;
  sampling_rate_index(s);
  block_values(s);
  coordinates(s);
}

void take_block_start(ConverterState& s) {
  rawcv::RawHeader& h = rawhdr;
  h.bss = 0;
  date(1, s.stime, h.byy, h.bmm, h.bdd, h.bhh, h.bmin, h.bss);
  if (iprint() >= 2) FreeWriter(6) << "block start time=" << field::view(s.stime);
}

void check_channel_count() {
  if (rawhdr.nchan == 5) {
    if (iprint() > 0) FreeWriter(6) << "5 channels found";
  } else if (rawhdr.nchan != 3) {
    FreeWriter(6) << "Wierd number of channels; not 3 or 5 -- "
                  << "don''t know what to do now!";
    io::fail_run({});
  }
  if (iprint() > 0) FreeWriter(6) << "Sampling rate in Hz =" << rawhdr.delta;
}

}  // namespace rawcv
