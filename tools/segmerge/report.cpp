// The closing report of the splice and its line in the windows database.
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/text_field.h"
#include "tools/segmerge/segmerge.h"
#include "tslib/append_window_line.h"
#include "tslib/getwindow.h"
#include "tslib/project_files.h"
#include "tslib/tsinfo.h"

namespace segmerge {
namespace {

constexpr io::Item kThreeTexts[] = {io::lay::A(), io::lay::A(), io::lay::A()};

// The windows database opened to append the line: the existing one, else a new one.
constexpr io::OpenSpec kAppendTo{
    .status = io::OpenStatus::old_file, .form = io::Form::text, .append = true};
constexpr io::OpenSpec kAppendToNew{
    .status = io::OpenStatus::new_file, .form = io::Form::text, .append = true};

// Columns 1-54, three blanks, the rate in F9.6, " splice: ", then the run codes, ten
// to a line (the group is where the layout starts again for the 11th).
constexpr auto kSpliceLine = tslib::winrec_with(
    std::array{io::lay::X(3), io::lay::F(9, 6), io::lay::Lit(" splice: "), io::lay::Open(10),
               io::lay::A(2), io::lay::Lit(" "), io::lay::Close()});
static_assert(io::valid_layout(kSpliceLine));

void write_line(int unit, const Splice& sp) {
  io::FixedWriter w(unit, kSpliceLine);
  w << field::view(tsinfo.WINDOW).substr(0, 8) << tsinfo.INSTRUMENT << tsinfo.NCHAN
    << field::view(sp.entries[0].stime) << field::view(sp.entries[sp.count - 1].etime)
    << sp.sampling.rate_hz();
  for (int i = 0; i < sp.count; ++i) w << field::view(sp.entries[i].run);
  w.end();
}

}  // namespace

void report(const Splice& sp) {
  io::FreeWriter(6) << "Total number of data (incl. gaps) written out =" << sp.total;
  for (int i = 0; i < sp.count; ++i)
    io::FreeWriter(6) << " File " << std::int32_t{i + 1}
                      << " points and gap =" << sp.entries[i].points << sp.entries[i].gap;
  const std::string_view start = field::view(sp.entries[0].stime);
  const std::string_view end = field::view(sp.entries[sp.count - 1].etime);
  const std::string_view outfile = field::trimmed(sp.outfile);
  io::FreeWriter(6) << "Start and end of data from windows file: " << start << "-" << end;
  io::FreeWriter(6) << "Duration (in s) based on these times = "
                    << count_or_end(outfile, "duration in seconds",
                                    static_cast<double>(tdiff(start, end)));
  // The total times the seconds per sample as a float, to the nearest second.
  const double by_points = sp.sampling.as_period().seconds_in<double>(sp.total);
  io::FreeWriter(6) << "Duration (in s) based on no. points  = "
                    << count_or_end(outfile, "duration in seconds by the records",
                                    std::round(by_points));
}

void append_window_line(const Splice& sp) {
  const std::string name = tslib::windows_database_name(field::view(sp.prj));
  field::assign(tsinfo.WINDOW,
                std::string(field::view(tsinfo.STATION)).append(field::view(sp.outrun)));

  const std::string_view prj = field::view(sp.prj);
  if (io::open(kWindowsAppend, name, kAppendTo, io::Takes::errors).ok()) {
    io::FixedWriter(6, kThreeTexts)
        << "Opened old project windows." << prj << " file to add window info:";
  } else if (io::open(kWindowsAppend, name, kAppendToNew, io::Takes::errors).ok()) {
    io::FixedWriter(6, kThreeTexts)
        << "Opened new project windows." << prj << " file to add window info:";
  } else {
    io::fail_run({}, kErrorCondition);
  }
  write_line(6, sp);
  tslib::append_window_line(
      kWindowsAppend, [&sp](int unit) { write_line(unit, sp); }, io::Takes::neither);
  io::close(kWindowsAppend);
}

}  // namespace segmerge
