// The info blocks of the ts file (unit 10) and the aux file (unit 11), with the
// declination question when the azimuths are magnetic.
#include <array>
#include <string_view>

#include "common/prompt.h"
#include "common/text_field.h"
#include "rawcv/driver.h"
#include "rawcv/rawhdr.h"
#include "tslib/counts.h"
#include "tslib/info_line.h"
#include "tslib/tsinfo.h"

namespace rawcv {

namespace {

using tslib::InfoWriter;

struct ChannelText {
  std::string_view name;
  std::string_view units;
};
constexpr std::array<ChannelText, 5> kTsChannels = {
    {{"HX", "nT"}, {"HY", "nT"}, {"HZ", "nT"}, {"EX", "mV/km"}, {"EY", "mV/km"}}};
constexpr std::array<ChannelText, 3> kAuxChannels = {{{"Ti", "degC"}, {"Th", "degC"}, {"Bt", "V"}}};

// The 21-character time values: the timestr and two more characters.
std::array<char, 21> time_value(const std::array<char, 19>& t, std::string_view tail) {
  std::array<char, 21> v{};
  for (std::size_t i = 0; i < 19; ++i) v[i] = t[i];
  v[19] = tail[0];
  v[20] = tail[1];
  return v;
}

// STATION to UTM_EAST, the same in both files.
void write_site_keys(InfoWriter& w, const ConverterState& s) {
  w.bare("INFO_START");
  w.text("STATION", field::view(s.station));
  w.integer("INSTRUMENT", s.box);
  w.text("WINDOW", field::view(s.window));
  w.real("LATITUDE", s.latitude);
  w.real("LONGITUDE", s.longitude);
  w.real("ELEVATION", s.elevation);
  w.real("UTM_ORIGIN", s.utm_cm);
  w.integer("UTM_NORTH", tslib::nearest_int32(s.utm_north));
  w.integer("UTM_EAST", tslib::nearest_int32(s.utm_east));
}

// FORM to SEQ_REC, the same in both files.
void write_form_keys(InfoWriter& w, const ConverterState& s) {
  if (s.ascii) {
    w.text("FORM", "ASCII");
    w.text("FORMAT", field::view(s.format_text));
  } else {
    w.text("FORM", "BINARY");
    w.text("FORMAT", "UNFORMATTED");
    w.text("ENDIAN", "Big");
    w.text("BIN_FORM", "IEEE");
  }
  w.integer("SEQ_REC", s.seq_rec);
}

// STARTTIME to INFO_END; delta_t differs between the files.
void write_time_keys(InfoWriter& w, const ConverterState& s, float delta_t) {
  w.text("STARTTIME", field::view(time_value(s.stime, s.srindex == 5 ? "25" : "00")));
  w.text("ENDTIME", field::view(time_value(s.etime, "00")));
  w.text("T_UNITS", "s");
  w.real("DELTA_T", delta_t);
  w.real("MIS_DATA", tslib::kMissingData);
  w.bare("INFO_END");
}

bool magnetic_azimuths() {
  return field::view(rawhdr.azdir).find("MAGNETIC") != std::string_view::npos;
}

void write_ts_info(const ConverterState& s) {
  InfoWriter w(kTsUnit, !s.ascii);
  write_site_keys(w, s);
  w.text("COORD_SYS", field::view(rawhdr.azdir));
  if (magnetic_azimuths()) {
    float declin = static_cast<float>(s.declination);
    rinput("Give declination [default is site value]", declin);
    w.real("DECLIN", declin);
  }
  write_form_keys(w, s);
  const int nchan = rawhdr.nchan == 5 ? 5 : 3;
  w.integer("NCHAN", nchan);
  const std::array<float, 5> azimuth = {
      static_cast<float>(s.hx_azimuth), static_cast<float>(s.hx_azimuth + 90), 0.0f,
      static_cast<float>(s.ex_azimuth), static_cast<float>(s.ey_azimuth)};
  for (int ch = 1; ch <= nchan; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    w.text(tslib::channel_key("CHAN_", ch), kTsChannels[i].name);
    w.integer(tslib::channel_key("SENSOR_", ch), ch <= 3 ? s.magnetometer : s.box);
    if (ch <= 3) w.real(tslib::channel_key("BASELINE_", ch), s.baselines[i]);
    w.real(tslib::channel_key("AZIM_", ch), azimuth[i]);
    w.text(tslib::channel_key("UNITS_", ch), kTsChannels[i].units);
    w.text(tslib::channel_key("GAIN_", ch), "1.0");
  }
  write_time_keys(w, s, 1.0f / rawhdr.delta);
}

void write_aux_info(const ConverterState& s) {
  InfoWriter w(kAuxUnit, !s.ascii);
  write_site_keys(w, s);
  write_form_keys(w, s);
  w.integer("NCHAN", 3);
  for (int ch = 1; ch <= 3; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    w.text(tslib::channel_key("CHAN_", ch), kAuxChannels[i].name);
    w.text(tslib::channel_key("UNITS_", ch), kAuxChannels[i].units);
    w.text(tslib::channel_key("GAIN_", ch), "1.0");
  }
  write_time_keys(w, s, 600.0f);
}

}  // namespace

void write_info_blocks(const ConverterState& s) {
  write_ts_info(s);
  write_aux_info(s);
}

}  // namespace rawcv
