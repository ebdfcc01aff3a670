// The output header: the combiner's comment records, both inputs' comment blocks and
// the info block built from both inputs.
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/banner.h"
#include "common/edit/fixed.h"
#include "common/text_field.h"
#include "tools/chanmixer/chanmixer.h"
#include "tslib/form_selection.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/usable_input.h"

namespace chanmixer {
namespace {

constexpr io::Item kCountRecord[] = {io::lay::A(), io::lay::I(12)};
constexpr io::Item kCodesRecord[] = {io::lay::A(), io::Item{io::Ed::I, kMaxOut, 3}};

void comment(std::initializer_list<std::string_view> parts) {
  tslib::write_comment_record(kOutput, parts);
}

void copy_comments(const Input& in, std::string_view label) {
  comment({"#"});
  comment({"#", std::string(50, '-')});
  comment({label, field::view(in.window)});
  // ts_copycomm rewinds the input itself.
  ts_copycomm(in.unit, field::view(in.form.form), kOutput, tslib::kFormBinary);
}

void build_info(const Mix& mx) {
  const tslib::TsInfoRecord& first = mx.in1.info;
  tsinfo.STATION = mx.outstation;
  field::assign(tsinfo.WINDOW, field::view(mx.outwindow));
  tsinfo.LATITUDE = first.LATITUDE;
  tsinfo.LONGITUDE = first.LONGITUDE;
  tsinfo.ELEVATION = first.ELEVATION;
  tsinfo.DECLIN = first.DECLIN;
  // The station co-ordinates all follow the first file.
  tsinfo.UTM_ORIGIN = first.UTM_ORIGIN;
  tsinfo.UTM_NORTH = first.UTM_NORTH;
  tsinfo.UTM_EAST = first.UTM_EAST;
  tsinfo.STARTTIME = mx.evstart;
  tsinfo.ENDTIME = mx.evend;
  tsinfo.INSTRUMENT = mx.in1.instrument + 900;
  tsinfo.NCHAN = mx.nout;
  for (int i = 0; i < mx.nout; ++i) {
    const Source s = source_of(mx.chmap[i]);
    const tslib::TsInfoRecord& src = s.file == 1 ? mx.in1.info : mx.in2.info;
    const int c = s.channel - 1;
    tsinfo.CHAN_[i] = src.CHAN_[c];
    tsinfo.AZIM_[i] = src.AZIM_[c];
    tsinfo.GAIN_[i] = src.GAIN_[c];
    tsinfo.UNITS_[i] = src.UNITS_[c];
    tsinfo.SENSOR_[i] = src.SENSOR_[c];
    // Source channels 4 and 5 carry no baseline.
    if (i < tslib::kMaxBaselines)
      tsinfo.BASELINE_[i] = c < tslib::kMaxBaselines ? src.BASELINE_[c] : 0.0f;
  }
  // The suite's own marker, whatever the inputs' markers: their values near their own
  // markers become it.
  tsinfo.MIS_DATA = tslib::kMissingData;
}

}  // namespace

void write_header(Mix& mx) {
  comment({"# chanmixer: ", common::kVersion});
  comment({"# date: ", field::view(mx.date)});
  comment({"#"});
  comment({"# File 1: ", field::view(mx.in1.window)});
  comment({"# File 2: ", field::view(mx.in2.window)});
  comment({"#"});
  tslib::HeaderLine line;
  io::FixedWriter::to_field(line, kCountRecord) << "# No. of channels in output file: " << mx.nout;
  tslib::write_comment_line(kOutput, line, true);
  {
    io::FixedWriter w = io::FixedWriter::to_field(line, kCodesRecord);
    w << "# Chosen from file: ";
    for (int i = 0; i < mx.nout; ++i) w << mx.chmap[i];
    w.end();
  }
  tslib::write_comment_line(kOutput, line, true);
  copy_comments(mx.in1, "# Comment block from File 1: ");
  copy_comments(mx.in2, "# Comment block from File 2: ");

  // The copies leave each input after its ">INFO_START:" line: the info blocks read
  // again put both back at their first data record (and show ts_rdinfo's summary again
  // at print level 1 and above). The shared record then holds the second file's info,
  // which gives every field the combiner does not set itself.
  for (const Input* in : {&mx.in1, &mx.in2}) {
    const tslib::FormSelection input(in->form);
    tslib::read_info_afresh(in->unit);
  }
  build_info(mx);
  const tslib::FormSelection output(tslib::kBinaryFile);
  ts_wrtinfo(kOutput);
}

}  // namespace chanmixer
