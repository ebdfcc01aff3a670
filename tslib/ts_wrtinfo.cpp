// ts_wrtinfo: the info block of an output ts file, from the shared info record.
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "tslib/info_keys.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

// A line with the value of the key's field (channel n's for a channel key).
void row(InfoWriter& out, const InfoKey& key, int n = 1) {
  if (key.kind == InfoKind::none) return out.bare(key.key);
  const FieldValue v = key.field.value(tsinfo, static_cast<std::size_t>(n - 1));
  const ChannelKey channel_name(key.key, n);
  const std::string_view name = key.per_channel() ? std::string_view(channel_name) : key.key;
  switch (key.kind) {
    case InfoKind::none: break;
    case InfoKind::word:
    case InfoKind::columns: out.text(name, v.text); break;
    case InfoKind::integer: out.integer(name, v.integer); break;
    case InfoKind::real: out.real(name, v.real); break;
  }
}

// The block's rows in their order, around the FORM rows and the channel groups.
constexpr auto kSiteRows =
    info_keys({"STATION", "INSTRUMENT", "WINDOW", "LATITUDE", "LONGITUDE", "ELEVATION",
               "UTM_ORIGIN", "UTM_NORTH", "UTM_EAST", "COORD_SYS", "DECLIN"});
constexpr auto kCountRows = info_keys({"SEQ_REC", "NCHAN"});
constexpr auto kChannelRows = info_keys({"CHAN_", "SENSOR_", "AZIM_", "UNITS_", "GAIN_"});
constexpr auto kSampleRows = info_keys({"STARTTIME", "ENDTIME", "T_UNITS", "DELTA_T", "MIS_DATA"});

// FORM and FORMAT follow `form`: a BINARY file always gets these constants, and the
// ENDIAN and BIN_FORM fields are never written.
void form_rows(InfoWriter& out, bool binary) {
  if (binary) {
    out.text(info_key("FORM").key, "BINARY");
    out.text(info_key("FORMAT").key, "UNFORMATTED");
    out.text(info_key("ENDIAN").key, "Big");
    out.text(info_key("BIN_FORM").key, "IEEE");
  } else {
    out.text(info_key("FORM").key, "ASCII");
    row(out, info_key("FORMAT"));
  }
}

// The block's lines in their order, from `tsinfo`.
void write_block(InfoWriter& out, bool binary) {
  out.bare(info_key("INFO_START").key);
  for (const InfoKey* key : kSiteRows) row(out, *key);
  form_rows(out, binary);
  for (const InfoKey* key : kCountRows) row(out, *key);

  // The record holds 5 channels and 3 baselines: never read beyond them. A channel 4
  // or 5 named H... gets no baseline line, as there is no baseline to write.
  const int nchan = tsinfo.NCHAN < kMaxChannels ? tsinfo.NCHAN : kMaxChannels;
  for (int i = 1; i <= nchan; ++i) {
    for (const InfoKey* key : kChannelRows) row(out, *key, i);
    if (tsinfo.CHAN_[static_cast<std::size_t>(i - 1)][0] == 'H' && i <= kMaxBaselines)
      row(out, info_key("BASELINE_"), i);
  }

  for (const InfoKey* key : kSampleRows) row(out, *key);
  out.bare(info_key("INFO_END").key);
}

}  // namespace
}  // namespace tslib

void ts_wrtinfo(int outd) {
  const tslib::TsInfoRecord& ti = tsinfo;
  if (prtlvl.iprint >= 2) {
    io::FreeWriter(6) << "ts_wrtinfo: entered";
    io::FreeWriter(6) << "outd     = " << std::int32_t{outd};
    io::FreeWriter(6) << "form     = " << field::view(ti.form);
    io::FreeWriter(6) << "format   = " << field::view(ti.format);
  }

  const bool binary = field::equals(ti.form, tslib::kFormBinary);
  tslib::InfoWriter out(outd, binary);
  tslib::write_block(out, binary);
  if (prtlvl.iprint >= 1) io::FreeWriter(6) << "ts_wrtinfo: exiting";
}
