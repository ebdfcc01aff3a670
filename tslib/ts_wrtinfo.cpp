// ts_wrtinfo: the info block of an output ts file, from the shared info record.
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

using tslib::HeaderLine;
using tslib::channel_key;
using tslib::text_of;

void ts_wrtinfo(int outd) {
  const TsInfoRecord& ti = tsinfo;
  if (prtlvl.iprint >= 2) {
    io::FreeWriter(6) << "ts_wrtinfo: entered";
    io::FreeWriter(6) << "outd     = " << std::int32_t{outd};
    io::FreeWriter(6) << "form     = " << text_of(ti.form);
    io::FreeWriter(6) << "format   = " << text_of(ti.format);
  }

  const bool binary = tslib::equals(ti.form, tslib::kFormBinary);
  HeaderLine line;
  const auto put = [&] { tslib::write_header_line(outd, line, binary); };
  const auto bare = [&](std::string_view key) {
    tslib::info_line(line, key);
    put();
  };
  const auto text = [&](std::string_view key, std::string_view v) {
    tslib::info_text(line, key, v);
    put();
  };
  const auto integer = [&](std::string_view key, std::int32_t v) {
    tslib::info_int(line, key, v);
    put();
  };
  const auto real = [&](std::string_view key, float v) {
    tslib::info_float(line, key, v);
    put();
  };

  bare("INFO_START");
  text("STATION", text_of(ti.STATION));
  integer("INSTRUMENT", ti.INSTRUMENT);
  text("WINDOW", text_of(ti.WINDOW));
  real("LATITUDE", ti.LATITUDE);
  real("LONGITUDE", ti.LONGITUDE);
  real("ELEVATION", ti.ELEVATION);
  real("UTM_ORIGIN", ti.UTM_ORIGIN);
  integer("UTM_NORTH", ti.UTM_NORTH);
  integer("UTM_EAST", ti.UTM_EAST);
  text("COORD_SYS", text_of(ti.COORD_SYS));
  real("DECLIN", ti.DECLIN);
  if (binary) {
    text("FORM", "BINARY");
    text("FORMAT", "UNFORMATTED");
    text("ENDIAN", "Big");
    text("BIN_FORM", "IEEE");
  } else {
    text("FORM", "ASCII");
    text("FORMAT", text_of(ti.format));
  }
  integer("SEQ_REC", ti.SEQ_REC);
  integer("NCHAN", ti.NCHAN);

  // The record holds 5 channels and 3 baselines: never read beyond them. A channel 4
  // or 5 named H... gets no baseline line, as there is no baseline to write.
  const int nchan = ti.NCHAN < tslib::kMaxChannels ? ti.NCHAN : tslib::kMaxChannels;
  for (int i = 1; i <= nchan; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    text(channel_key("CHAN_", i), text_of(ti.CHAN_[k]));
    integer(channel_key("SENSOR_", i), ti.SENSOR_[k]);
    real(channel_key("AZIM_", i), ti.AZIM_[k]);
    text(channel_key("UNITS_", i), text_of(ti.UNITS_[k]));
    real(channel_key("GAIN_", i), ti.GAIN_[k]);
    if (ti.CHAN_[k][0] == 'H' && i <= tslib::kMaxBaselines)
      real(channel_key("BASELINE_", i), ti.BASELINE_[k]);
  }

  text("STARTTIME", text_of(ti.STARTTIME));
  text("ENDTIME", text_of(ti.ENDTIME));
  text("T_UNITS", text_of(ti.T_UNITS));
  real("DELTA_T", ti.DELTA_T);
  real("MIS_DATA", ti.MIS_DATA);
  bare("INFO_END");

  if (prtlvl.iprint >= 1) io::FreeWriter(6) << "ts_wrtinfo: exiting";
}
