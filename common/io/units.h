#pragma once
// Units: small integers naming open connections. Units 0, 5 and 6 are standard
// error, standard input and standard output and are always available.
#include <cstdint>
#include <string_view>
#include <utility>

#include "common/io/outcome.h"

namespace io {

enum class OpenStatus { old_file, new_file, unknown };
enum class Form {
  text,    // lines written with CR LF, read up to LF
  binary,  // framed records: 4-byte length, data, 4-byte length
  stream,  // bytes as stored (read side: little-endian values)
};

struct OpenSpec {
  OpenStatus status = OpenStatus::unknown;
  Form form = Form::text;
  bool append = false;     // position at the end of the file
  bool big_endian = true;  // numbers (and length words) of BINARY records
  // The program only reads the file: one that may not be written is opened for
  // reading. Otherwise such a file is error 9 at the open.
  bool reads_only = false;
  // A file the run writes whole (a ts or aux file). When the run ends with a failure
  // or an error report while the unit is still open, what was written to it is cut
  // back to nothing: a fragment must never pass for a short window. A file not
  // written yet stays as it was; a device is never cut; an interrupt cuts nothing.
  bool output = false;

  // An existing file that the program only reads.
  static constexpr OpenSpec to_read(Form form) {
    return {.status = OpenStatus::old_file, .form = form, .reads_only = true};
  }
};

// Opens a file on a unit (closing whatever the unit held). Returns kDone or the
// error number (9, 10, 29, 30, 42, 43) when errors are taken back; otherwise a
// failure ends the program through the error report.
Result open(int unit, std::string_view name, const OpenSpec& spec, Takes takes);

bool exists(std::string_view name);
bool is_open(int unit);

void close(int unit);  // not open: nothing happens
// The same, taking back a failure to write out the buffer (error 38) when takes says so.
Result close(int unit, Takes takes);
void rewind(int unit);     // not open: nothing happens; failure: error 20
void backspace(int unit);  // back to the start of the record before the position; failure: 23
// Records ended by writes on an open unit since its open (text lines with their line
// end, BINARY records): the difference across a transfer is the records it wrote.
std::int64_t records_written(int unit);

// Writes out what is buffered on one unit: an open file, or standard output (6) or
// standard error (0). A failure is error 38 and ends the program with the error report,
// which cuts back the outputs still open.
void write_out(int unit);
// Writes out everything buffered on every unit (before console reads, at the end).
void flush_all();

// The two halves of append_whole (below): from hold_writes on, what is written to the
// open file `unit` stays buffered; write_held writes it with one write.
void hold_writes(int unit);
Result write_held(int unit, Takes takes);

// Appends the records that write(unit) writes to the file open for appending on
// `unit` with one write, so that another program's append never comes between them
// and a failed append leaves the file as it was: a write that fails or is short is
// undone, the file cut back to where that write began, provided it still ends where
// the write left it (nothing was appended since). Returns kDone, or error 38 when
// errors are taken back; otherwise a failure ends the program with the error report.
// A program end while write(unit) runs drops what it wrote.
template <class Write>
Result append_whole(int unit, Write&& write, Takes takes) {
  hold_writes(unit);
  std::forward<Write>(write)(unit);
  return write_held(unit, takes);
}
// Closes every unit (program end).
void close_all();

}  // namespace io
