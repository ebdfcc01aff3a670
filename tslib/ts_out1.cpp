// ts_out1: writes one data record of a ts file from the caller's value array.
#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/free.h"
#include "common/end.h"
#include "common/io/binary.h"
#include "tslib/data_values.h"
#include "tslib/ts.h"

void ts_out1(int outd, const TsValues& values) {
  const TsInfoRecord& ti = tsinfo;
  const std::span<const float> v(values.data(), tslib::record_values());
  if (tslib::equals(ti.form, tslib::kFormBinary)) {
    io::BinaryWriter w(outd);
    w << v;
    w.end();
  } else if (tslib::equals(ti.form, tslib::kFormAscii)) {
    if (tslib::equals(ti.format, tslib::kFormatFree)) {
      io::FreeWriter w(outd);
      w << v;
      w.end();
    } else {
      io::FixedWriter w(outd, io::format_layout(tslib::text_of(ti.format), outd));
      w << v;
      w.end();
    }
  } else {
    io::FreeWriter(6) << "ts_out1: form not BINARY or ASCII, form = " << tslib::text_of(ti.form);
    io::end_program(io::Outcome::failure);
  }
}
