// ts_in1: reads one data record of a ts file into the caller's value array.
#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "tslib/data_record.h"
#include "tslib/data_values.h"
#include "tslib/ts.h"

namespace tslib {
namespace {
constexpr std::array<io::Item, 1> kText{io::lay::A()};
}  // namespace
}  // namespace tslib

void ts_in1(int ind, tslib::TsValues& values) {
  const tslib::TsInfoRecord& ti = tsinfo;
  if (prtlvl.iprint >= 5) {
    io::FreeWriter(6) << "ts_in1 entered:";
    io::FreeWriter(6) << "ind    = " << std::int32_t{ind};
    io::FreeWriter(6) << "form   = " << field::view(ti.form);
    io::FreeWriter(6) << "format = " << field::view(ti.format);
  }
  const std::span<float> v(values.data(), tslib::record_values());

  tslib::RecordForm form;
  if (!tslib::tsinfo_records(ind, form)) {
    io::FreeWriter(6) << "ts_in1: Unrecognized form = " << field::view(ti.form);
    io::fail_run({});
  }

  if (tslib::read_data_record(ind, v, form, io::Takes::end).end_of_file()) {
    io::FixedWriter w(6, tslib::kText);
    w << "ts_in1: EOF reached";
    w.end();
    values[0] = eofmark;
    return;
  }
  if (prtlvl.iprint >= 30) io::FreeWriter(6) << "ts_in1: " << std::span<const float>(v);
}
