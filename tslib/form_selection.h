#pragma once
// Which file the library's calls work on. ts_in1, ts_out1, ts_skip, ts_rdinfo and
// ts_wrtinfo take a file's form from `tsinfo.form` and `tsinfo.format` (and the values a
// record holds from NCHAN), one setting for all open files.
//
// The one convention of every tool: the setting is the form of the input that ts_open
// and ts_rdinfo settled last. A call on any other file selects that file's form in a
// scope that holds calls on that file only: each write (or run of writes) to an output
// selects BINARY, and a tool with two inputs selects each input's form, and its NCHAN,
// at each call on it.
//
//     const tslib::FileForm input = tslib::current_form();   // after ts_open, ts_rdinfo
//     ...
//     {
//       const tslib::FormSelection output(tslib::kBinaryFile);
//       ts_out1(kOutput, values);
//     }                                                     // the input's form again
#include <array>
#include <cstdint>
#include <string_view>

#include "common/text_field.h"
#include "tslib/tsinfo.h"

namespace tslib {

// One file's `form` ("BINARY" or "ASCII ") and `format` ("UNFORMATTED", "FREE" or a
// format text), as `tsinfo` holds them.
struct FileForm {
  std::array<char, 6> form{};
  std::array<char, 15> format{};

  bool binary() const { return field::equals(form, kFormBinary); }
};

constexpr FileForm file_form(std::string_view form, std::string_view format) {
  FileForm f;
  field::assign(f.form, form);
  field::assign(f.format, format);
  return f;
}

// BINARY records: the form of every file the tools write.
inline constexpr FileForm kBinaryFile = file_form(kFormBinary, kFormatUnformatted);

// The form the library's calls work by now: after ts_open and ts_rdinfo of a file, that
// file's.
inline FileForm current_form() { return {tsinfo.form, tsinfo.format}; }

// Makes the next ts_open ask "Are data in BINARY (b) or ASCII (a)" and take the answer
// as the form; the format is left for ts_open and ts_rdinfo to settle.
inline void ask_form_at_open() { field::assign(tsinfo.form, kFormAsk); }

// Selects a file's form, and with the second constructor its channel count, for the
// library's calls while the selection lives; when it ends, what was there before is put
// back, even what a ts_open or ts_rdinfo inside it settled. Selections nest. It copies
// the two fields in and back, no more: cheap enough for one per data record.
class [[nodiscard]] FormSelection {
 public:
  explicit FormSelection(const FileForm& selected) : saved_{tsinfo.form, tsinfo.format} {
    tsinfo.form = selected.form;
    tsinfo.format = selected.format;
  }
  FormSelection(const FileForm& selected, std::int32_t nchan) : FormSelection(selected) {
    saved_nchan_ = tsinfo.NCHAN;
    selects_nchan_ = true;
    tsinfo.NCHAN = nchan;
  }
  ~FormSelection() {
    tsinfo.form = saved_.form;
    tsinfo.format = saved_.format;
    if (selects_nchan_) tsinfo.NCHAN = saved_nchan_;
  }
  FormSelection(const FormSelection&) = delete;
  FormSelection& operator=(const FormSelection&) = delete;

 private:
  FileForm saved_;
  std::int32_t saved_nchan_ = 0;
  bool selects_nchan_ = false;
};

}  // namespace tslib
