// getwindow: looks a window up in the windows database.
#include "tslib/getwindow.h"

#include <algorithm>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tslib/info_line.h"
#include "tslib/tsinfo.h"

namespace tslib {
namespace {

using namespace io::lay;

constexpr std::size_t kWindowNameLength = 8;
constexpr std::size_t kV3DashColumn = 26;

// Instrument in columns 10-12, channel count in column 14 (both layouts).
constexpr std::array<io::Item, 4> kNumbers{X(9), I(3), X(1), I(1)};
constexpr std::array<io::Item, 1> kText{A()};
constexpr std::array<io::Item, 10> kFound{Lit(" window="),    A(8), Lit("  instrument="), I(3),
                                          Lit("  channels="), I(1), Lit("   Times="),     A(19),
                                          Lit("-"),           A(19)};
static_assert(io::valid_layout(kNumbers) && io::valid_layout(kFound));

void fixed_line(std::string_view text) {
  io::FixedWriter w(6, kText);
  w << text;
  w.end();
}

// Columns first..first+count-1 of the line into the start of a time field.
void take_columns(const HeaderLine& line, std::size_t first, std::size_t count,
                  std::span<char, 19> out) {
  std::copy_n(line.begin() + static_cast<std::ptrdiff_t>(first - 1), count, out.begin());
}

// The first window line named `name` from where the database stands; false at its end
// (the lines with '#' or a blank in column 1 are passed over).
bool find_line(int unit, std::string_view name, HeaderLine& line) {
  while (read_header_line(unit, line, false, io::Takes::end).ok()) {
    if (line[0] == '#' || line[0] == ' ') continue;
    if (std::string_view(line.data(), kWindowNameLength) == name) return true;
  }
  return false;
}

// The start and end times of a found line; a version 3.x line's become timestr with
// seconds 00 and century 20, after the notice line.
void take_times(const HeaderLine& line, std::span<char, 19> stime, std::span<char, 19> etime) {
  if (line[kV3DashColumn - 1] != '-') {
    take_columns(line, 16, 19, stime);
    take_columns(line, 36, 19, etime);
    return;
  }
  // Version 3.x: yymmddhhmm in columns 16-25 and 27-36.
  take_columns(line, 16, 10, stime);
  take_columns(line, 27, 10, etime);
  stime[10] = stime[11] = '0';
  etime[10] = etime[11] = '0';
  shortdate(stime);
  shortdate(etime);
  fixed_line("getwindow: window in windows file is version 3.x");
}

}  // namespace
}  // namespace tslib

void getwindow(int unit, std::string_view window, std::int32_t& instrument, std::int32_t& nchan,
               std::span<char, 19> stime, std::span<char, 19> etime) {
  // The lookup name: the first 8 characters of `window`, blank-padded.
  std::array<char, tslib::kWindowNameLength> name;
  field::assign(name, window);
  const std::string_view name_text = field::view(name);

  if (prtlvl.iprint >= 1) io::FreeWriter(6) << "getwindow: entered with window =>" << name_text;
  io::rewind(unit);

  // An 8-blank name is not looked for.
  tslib::HeaderLine line;
  if (name_text == std::string_view("        ") || !tslib::find_line(unit, name_text, line)) {
    tslib::fixed_line("getwindow: ERROR: cannot find window in file");
    instrument = -999;
    return;
  }

  std::int32_t inst = 0;
  std::int32_t count = 0;
  {
    auto r = io::FixedReader::from_field(std::string_view(line.data(), line.size()),
                                         tslib::kNumbers, io::Takes::neither);
    r >> inst >> count;
    r.finish();
  }
  instrument = inst;
  nchan = count;
  tslib::take_times(line, stime, etime);
  if (prtlvl.iprint >= 1) {
    io::FreeWriter(6) << "getwindow: window found =>";
    io::FixedWriter w(6, tslib::kFound);
    w << name_text << instrument << nchan << std::string_view(stime.data(), stime.size())
      << std::string_view(etime.data(), etime.size());
    w.end();
  }
}
