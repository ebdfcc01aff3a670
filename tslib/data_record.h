#pragma once
// Moving one data record between a unit and an array of floats, in whichever of the
// three forms the file's records take: BINARY, the free layout, or a format text.
// ts_in1, ts_out1, wincutter's copy and rawcv's record writes all go through here.
// The BINARY side is inline: it runs once per sample, where a call more shows.
#include <cstdint>
#include <span>
#include <string_view>

#include "common/edit/layout.h"
#include "common/io/binary.h"
#include "common/io/outcome.h"
#include "common/text_field.h"
#include "tslib/tsinfo.h"

namespace tslib {

// How the data records of one file are laid. A format text is parsed already: callers
// that move many records settle the form once, or once per call as they must.
struct RecordForm {
  enum class Kind : std::uint8_t { binary, free, format };
  Kind kind = Kind::binary;
  io::Layout layout{};  // the format text's items (Kind::format only)
};

inline constexpr RecordForm kBinaryRecords{};

// The form of a text file whose FORMAT field holds `format`: "FREE" blank-padded to any
// width is the free layout; anything else is a format text, whose syntax error ends the
// program with the report on `unit`.
RecordForm text_records(std::string_view format, int unit);

// The form of the file `tsinfo` describes (its `form` and `format`); false when `form` is
// neither "BINARY" nor "ASCII ".
inline bool tsinfo_records(int unit, RecordForm& form) {
  if (field::equals(tsinfo.form, kFormBinary)) {
    form = kBinaryRecords;
    return true;
  }
  if (!field::equals(tsinfo.form, kFormAscii)) return false;
  form = text_records(field::view(tsinfo.format), unit);
  return true;
}

// The text forms, out of line: their editing costs far more than the call.
io::Result read_text_record(int unit, std::span<float> values, const RecordForm& form,
                            io::Takes takes);
void write_text_record(int unit, std::span<const float> values, const RecordForm& form);

// Reads one record into `values`. BINARY: the record's first values.size() floats (the
// rest of the record is passed over; fewer is an error). Text: the values over as many
// lines as the layout takes. Outcomes not in `takes` end the program.
[[gnu::always_inline]] inline io::Result read_data_record(int unit, std::span<float> values,
                                                          const RecordForm& form, io::Takes takes) {
  if (form.kind != RecordForm::Kind::binary) return read_text_record(unit, values, form, takes);
  io::BinaryReader r(unit, takes);
  if (r.finish().ok()) r >> values;
  return r.finish();
}

// Writes `values` as one record: one BINARY record of all of them, or the lines of the
// free layout or the format text.
[[gnu::always_inline]] inline void write_data_record(int unit, std::span<const float> values,
                                                     const RecordForm& form) {
  if (form.kind != RecordForm::Kind::binary) return write_text_record(unit, values, form);
  io::BinaryWriter w(unit);
  w << values;
  w.end();
}

}  // namespace tslib
