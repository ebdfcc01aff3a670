// The text side of the data record pair, and the form of a text file's records.
#include "tslib/data_record.h"

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/free.h"
#include "common/text_field.h"

namespace tslib {

RecordForm text_records(std::string_view format, int unit) {
  if (field::trimmed(format) == "FREE") return {RecordForm::Kind::free};
  return {RecordForm::Kind::format, io::format_layout(format, unit)};
}

io::Result read_text_record(int unit, std::span<float> values, const RecordForm& form,
                            io::Takes takes) {
  if (form.kind == RecordForm::Kind::free) {
    io::FreeReader r(unit, takes);
    r >> values;
    return r.finish();
  }
  io::FixedReader r(unit, form.layout, takes);
  r >> values;
  return r.finish();
}

void write_text_record(int unit, std::span<const float> values, const RecordForm& form) {
  if (form.kind == RecordForm::Kind::free) {
    io::FreeWriter w(unit);
    w << values;
    w.end();
    return;
  }
  io::FixedWriter w(unit, form.layout);
  w << values;
  w.end();
}

}  // namespace tslib
