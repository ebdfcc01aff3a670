// ts_in1: reads one data record of a ts file into the caller's value array.
#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/free.h"
#include "common/end.h"
#include "common/io/binary.h"
#include "common/printlevel.h"
#include "tslib/data_values.h"
#include "tslib/ts.h"

namespace {
constexpr std::array<io::Item, 1> kText{io::lay::A()};
}  // namespace

void ts_in1(int ind, TsValues& values) {
  const TsInfoRecord& ti = tsinfo;
  if (prtlvl.iprint >= 5) {
    io::FreeWriter(6) << "ts_in1 entered:";
    io::FreeWriter(6) << "ind    = " << std::int32_t{ind};
    io::FreeWriter(6) << "form   = " << tslib::text_of(ti.form);
    io::FreeWriter(6) << "format = " << tslib::text_of(ti.format);
  }
  const std::span<float> v(values.data(), tslib::record_values());

  io::Result result;
  if (tslib::equals(ti.form, tslib::kFormBinary)) {
    io::BinaryReader r(ind, io::Takes::end);
    if (r.finish().ok()) r >> v;
    result = r.finish();
  } else if (tslib::equals(ti.form, tslib::kFormAscii)) {
    if (tslib::equals(ti.format, tslib::kFormatFree)) {
      io::FreeReader r(ind, io::Takes::end);
      r >> v;
      result = r.finish();
    } else {
      io::FixedReader r(ind, io::format_layout(tslib::text_of(ti.format), ind), io::Takes::end);
      r >> v;
      result = r.finish();
    }
  } else {
    io::FreeWriter(6) << "ts_in1: Unrecognized form = " << tslib::text_of(ti.form);
    io::end_program(io::Outcome::failure);
  }

  if (result.end_of_file()) {
    io::FixedWriter w(6, kText);
    w << "ts_in1: EOF reached";
    w.end();
    values[0] = eofmark;
    return;
  }
  if (prtlvl.iprint >= 30) io::FreeWriter(6) << "ts_in1: " << std::span<const float>(v);
}
