// The window line appended to the project windows database at the end of a run.
#include <array>
#include <span>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "rawcv/driver.h"
#include "rawcv/rawhdr.h"
#include "tslib/append_window_line.h"
#include "tslib/getwindow.h"
#include "tslib/project_files.h"

namespace rawcv {

namespace {

using namespace io::lay;

// Columns 1-54 as every writer of the database has them, then a blank and the
// sampling rate in samples per second.
constexpr auto kWindowLine = tslib::winrec_with(std::array{X(1), F(9, 6)});
constexpr io::Item kText[] = {A()};
constexpr io::Item kOpenedOld[] = {A(), A(), A(), A()};
constexpr io::Item kOpenedNew[] = {A(), A(), A()};

bool open_windows_database(std::string_view name, io::OpenStatus status) {
  io::OpenSpec spec;
  spec.status = status;
  spec.form = io::Form::text;
  spec.append = true;  // the line goes behind the last one, never glued to it
  return io::open(kWindowsUnit, name, spec, io::Takes::errors).ok();
}

}  // namespace

std::array<char, 64> window_line(const ConverterState& s, std::string_view actual_end) {
  std::array<char, 64> line;
  line.fill(' ');
  auto w = io::FixedWriter::to_field(line, kWindowLine);
  w << field::view(s.window) << s.box << rawhdr.nchan << field::view(s.stime) << actual_end
    << rawhdr.delta;
  w.end();
  return line;
}

void append_window_record(ConverterState& s, std::string_view actual_end) {
  field::assign(s.db_name, tslib::windows_database_name(field::view(s.prj)));
  const std::string_view name = field::trimmed(s.db_name);
  const std::array<char, 64> line = window_line(s, actual_end);
  const std::string_view text(line.data(), line.size());
  if (open_windows_database(name, io::OpenStatus::old_file)) {
    if (prtlvl.iprint >= 0) {
      io::FixedWriter(6, kOpenedOld)
          << "Opened old project windows." << field::view(s.prj) << " file to "
          << "add window info:";
      io::FixedWriter(6, kText) << text;
    }
  } else if (open_windows_database(name, io::OpenStatus::new_file)) {
    if (prtlvl.iprint >= 0) {
      io::FixedWriter(6, kOpenedNew)
          << "Opened new project windows." << field::view(s.prj) << " file to add window info:";
      io::FixedWriter(6, kText) << text;
    }
  } else {
    io::fail_run({}, "Error writing window information to windows file....");
  }
  tslib::append_window_line(
      kWindowsUnit, [text](int unit) { io::FixedWriter(unit, kText) << text; }, io::Takes::neither);
  io::close(kWindowsUnit);
  io::end_program(io::Outcome::success);
}

}  // namespace rawcv
