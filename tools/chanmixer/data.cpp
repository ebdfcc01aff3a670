// The data: both inputs moved to the event start, then one output record per input
// pair, values near each input's marker turned into the suite's marker, the output's.
#include <array>
#include <span>
#include <string_view>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/chanmixer/chanmixer.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"

namespace chanmixer {
namespace {

// The count of records to skip was reckoned with the event (ask_event).
void skip_to_event(const Mix& mx, const Input& in, std::string_view which) {
  if (tdiff(field::view(in.stime), field::view(mx.evstart)) > 0) {
    std::int32_t nskip = in.nskip;
    io::FreeWriter(6) << "Skipping" << nskip << "  data for " << which;
    const tslib::FormSelection input(in.form, in.nchan);
    ts_skip(in.unit, nskip);
  } else {
    io::FreeWriter(6) << "No data skipping for " << which;
  }
}

// Reads one record of the input; false at its end. At print level 3 the values are
// shown as read, before those near the input's marker become the output's marker.
bool read(const Input& in, tslib::TsValues& values, std::string_view echo) {
  const tslib::FormSelection input(in.form, in.nchan);
  ts_in1(in.unit, values);
  if (values[0] == eofmark) return false;
  if (prtlvl.iprint >= 3)
    io::FreeWriter(6) << echo << std::span<const float>(values).first(in.nchan);
  for (int j = 0; j < in.nchan; ++j)
    if (values[j] > in.low && values[j] < in.high) values[j] = tslib::kMissingData;
  return true;
}

// An input that ends before the event does: the records written so far are kept,
// closed whole, and the run ends as a failure.
[[noreturn]] void end_of_input(std::string_view line) {
  io::FreeWriter(6) << line;
  io::close(kOutput);
  io::fail_run({});
}

}  // namespace

void position_inputs(const Mix& mx) {
  skip_to_event(mx, mx.in1, "File 1");
  skip_to_event(mx, mx.in2, "File 2");
}

void mix_records(const Mix& mx) {
  // Where each output value comes from: input record (0 first, 1 second) and index.
  struct Pick {
    int record;
    int index;
  };
  std::array<Pick, kMaxOut> picks{};
  for (int i = 0; i < mx.nout; ++i) {
    const Source s = source_of(mx.chmap[i]);
    picks[i] = {s.file == 1 ? 0 : 1, s.channel - 1};
  }
  std::array<tslib::TsValues, 2> dat{};
  tslib::TsValues out{};
  for (std::int32_t r = 0; r < mx.nrec; ++r) {
    if (!read(mx.in1, dat[0], "Input dat1  =>")) end_of_input("EOF of File 1");
    if (!read(mx.in2, dat[1], "Input dat2 =>")) end_of_input("EOF on File 2");
    for (int i = 0; i < mx.nout; ++i) out[i] = dat[picks[i].record][picks[i].index];
    const tslib::FormSelection output(tslib::kBinaryFile, mx.nout);
    ts_out1(kOutput, out);
  }
  io::FreeWriter(6) << " Number of points written: " << mx.nrec;
}

}  // namespace chanmixer
