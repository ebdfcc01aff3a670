// The window list of the splice: station, first window, further windows, each looked
// up in the windows database.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/segmerge/segmerge.h"
#include "tslib/counts.h"
#include "tslib/getwindow.h"
#include "tslib/project_files.h"
#include "tslib/tsinfo.h"
#include "tslib/window_times.h"

namespace segmerge {

std::int32_t count_or_end(std::string_view file, std::string_view what, double value) {
  return tslib::count_or_fail(file, what, value, kErrorCondition);
}

namespace {

void set_window(SpliceEntry& e, const std::array<char, 6>& station) {
  std::copy(station.begin(), station.end(), e.window.begin());
  std::copy(e.run.begin(), e.run.end(), e.window.begin() + 6);
}

void show_times(std::string_view label, const SpliceEntry& e) {
  io::FreeWriter(6) << label << field::view(e.window) << " " << field::view(e.stime) << "-"
                    << field::view(e.etime);
}

// Looks the entry up; false (after getwindow's message) when the database lacks it.
bool look_up(SpliceEntry& e, std::int32_t& instrument, std::int32_t& nchan) {
  field::assign(e.stime, "");
  field::assign(e.etime, "");
  getwindow(kWindowsList, field::view(e.window), instrument, nchan, e.stime, e.etime);
  if (instrument == -999) return false;
  // Records are counted from these times: a line without usable ones is fatal, and so
  // is one whose window ends before it starts.
  if (!tslib::window_times_usable(field::view(e.window), field::view(e.stime),
                                  field::view(e.etime)))
    io::fail_run({}, kErrorCondition);
  if (timelib::seconds_between(field::view(e.stime), field::view(e.etime)) < 0) {
    io::FreeWriter(6) << "FATAL ERROR: window " + std::string(field::view(e.window)) +
                             " end time >" + std::string(field::view(e.etime)) +
                             "< is before its start";
    io::fail_run({}, kErrorCondition);
  }
  return true;
}

void channel_count_failure(std::int32_t nchan1, std::int32_t nchan) {
  io::FreeWriter(6) << "FATAL ERROR: Different number of channels in this "
                    << "file from first";
  io::FreeWriter(6) << "  nchan1 =" << nchan1 << "    nchan =" << nchan;
  io::fail_run({}, kErrorCondition);
}

void ask_station(Splice& sp) {
  field::assign(tsinfo.STATION, "kvt105");
  cinput("Give station name", tsinfo.STATION);
  sp.station = tsinfo.STATION;
  std::copy_n(sp.station.begin(), 3, sp.prj.begin());
}

void open_windows_database(const Splice& sp) {
  const std::string_view prj = field::view(sp.prj);
  if (io::open(kWindowsList, tslib::windows_database_name(prj),
               io::OpenSpec::to_read(io::Form::text), io::Takes::errors)
          .ok())
    return;
  io::FreeWriter(6) << "FATAL ERROR: cannot open windows file > "
                    << field::view(tslib::windows_database_field(prj));
  io::FreeWriter(6) << "This file must exist and contain windows information"
                    << " for each file to be spliced";
  io::fail_run({}, kErrorCondition);
}

// The first window, looked up in the windows database, which is opened once the first
// window is answered.
void ask_first_window(Splice& sp) {
  SpliceEntry& first = sp.entries[0];
  field::assign(first.run, "a1");
  cinput("Give first window", first.run);
  set_window(first, sp.station);
  open_windows_database(sp);
  // A window the database lacks would be spliced with undefined times: ask again.
  while (!look_up(first, sp.instr1, sp.nchan1)) {
    cinput("Give first window", first.run);
    set_window(first, sp.station);
  }
  if (prtlvl.iprint > 0) show_times("Window file start and end times: ", first);
}

// A further window must agree with the first in its channel count and start no earlier
// than the window before it ends; another instrument is only reported.
void check_next(const Splice& sp, const SpliceEntry& next, std::int32_t instrument) {
  if (instrument != sp.instr1) {
    io::FreeWriter(6) << "Different instrument number from first file";
    io::FreeWriter(6) << "  instr1 =" << sp.instr1 << "   instr =" << instrument;
    io::FreeWriter(6) << "Check datafiles...";
    io::FreeWriter(6) << "Program continuing...";
  }
  if (tsinfo.NCHAN != sp.nchan1) channel_count_failure(sp.nchan1, tsinfo.NCHAN);
  const SpliceEntry& prev = sp.entries[sp.count - 1];
  if (field::view(next.stime) < field::view(prev.etime)) {
    io::FreeWriter(6) << "FATAL ERROR: start time of this file is BEFORE end "
                      << "of previous file";
    io::FreeWriter(6) << "  stime(nf) =" << field::view(next.stime)
                      << "   etime(nf-1) =" << field::view(prev.etime);
    io::fail_run({}, kErrorCondition);
  }
}

// Further windows until an empty answer; one the database lacks is left out.
void ask_next_windows(Splice& sp) {
  sp.count = 1;
  for (;;) {
    SpliceEntry next;
    field::assign(next.run, "");
    cinput("Give next window (<ENTER> to stop)", next.run);
    if (next.run[0] == ' ') return;
    // The answers after a window left out would land on the wrong questions.
    if (sp.count == kMaxWindows) {
      static_assert(kMaxWindows == 50, "the line names the limit");
      io::FreeWriter(6) << "FATAL ERROR: a splice holds at most 50 windows";
      io::fail_run({}, kErrorCondition);
    }
    set_window(next, sp.station);
    std::int32_t instrument = 0;
    if (!look_up(next, instrument, tsinfo.NCHAN)) continue;
    check_next(sp, next, instrument);
    if (prtlvl.iprint > 0) show_times("Windows file start and end times: ", next);
    sp.entries[sp.count++] = next;
  }
}

}  // namespace

void read_window_list(Splice& sp) {
  ask_station(sp);
  ask_first_window(sp);
  ask_next_windows(sp);
  io::FreeWriter(6) << "No. of files to splice =" << std::int32_t{sp.count};
  io::close(kWindowsList);
}

void check_channel_count(std::int32_t nchan1, std::int32_t nchan) {
  if (nchan != nchan1) channel_count_failure(nchan1, nchan);
}

}  // namespace segmerge
