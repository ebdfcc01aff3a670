// ts_out1: writes one data record of a ts file from the caller's value array.
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/text_field.h"
#include "tslib/data_record.h"
#include "tslib/data_values.h"
#include "tslib/ts.h"

void ts_out1(int outd, const tslib::TsValues& values) {
  const std::span<const float> v(values.data(), tslib::record_values());
  tslib::RecordForm form;
  if (!tslib::tsinfo_records(outd, form)) {
    io::FreeWriter(6) << "ts_out1: form not BINARY or ASCII, form = " << field::view(tsinfo.form);
    io::fail_run({});
  }
  tslib::write_data_record(outd, v, form);
}
