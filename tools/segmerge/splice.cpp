// One pass over the windows of the splice: open, check against the first, drop the
// records before the window start, copy, and fill the gap to the next window. While a
// window is spliced its input's form is the library's setting; the output's is selected
// for each write to the output.
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/segmerge/segmerge.h"
#include "tslib/counts.h"
#include "tslib/form_selection.h"
#include "tslib/info_line.h"
#include "tslib/same_file.h"
#include "tslib/time_units.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/usable_input.h"

namespace segmerge {
namespace {

// One fixed-layout line, so that a long file name does not break it.
constexpr io::Item kThreeTexts[] = {io::lay::A(), io::lay::A(), io::lay::A()};

// Baseline differences from the first window, added to channels 1 to 3 of a later one.
using BaselineShift = std::array<float, 3>;

void comment(std::initializer_list<std::string_view> parts) {
  tslib::write_comment_record(kOutput, parts);
}

void write_new_comments(const Splice& sp) {
  comment({"# time series file from segmerge"});
  comment({"# date: ", field::view(sp.date)});
  comment({"#"});
  comment({"# Files spliced together:"});
  for (int k = 0; k < sp.count; ++k) {
    const SpliceEntry& e = sp.entries[k];
    comment({"# ", field::view(e.window), "  ", field::view(e.stime), "-", field::view(e.etime)});
  }
  comment({"#"});
  comment({"# Following comment block from first file..."});
  comment({"#"});
}

void start_lines(const SpliceEntry& e) {
  io::FreeWriter(6) << "window starttime :" << field::view(e.stime);
  io::FreeWriter(6) << "data   starttime :" << field::view(tsinfo.STARTTIME);
}

// Seconds from the data start to the window start, and the records before the window
// start (their count cut toward zero in float), as the 32-bit counts that hold them.
struct StartOffset {
  std::int32_t nsec = 0;
  std::int32_t drop = 0;
};

StartOffset start_offset(const Splice& sp, std::string_view file, std::int64_t seconds) {
  StartOffset o;
  o.nsec = count_or_end(file, "seconds from the data start to the window start",
                        static_cast<double>(seconds));
  if (o.nsec > 0)
    o.drop = count_or_end(file, "records to drop before the window start",
                          std::trunc(sp.sampling.samples_in<float>(static_cast<float>(o.nsec))));
  return o;
}

// Records before the window start are dropped; data starting after it move the window
// start. Returns false when a later window's data end during the drop.
bool align_start(const Splice& sp, SpliceEntry& e, std::string_view file, bool first,
                 bool progress) {
  const StartOffset o =
      start_offset(sp, file, tdiff(field::view(tsinfo.STARTTIME), field::view(e.stime)));
  if (prtlvl.iprint > 0 && progress) {
    io::FreeWriter(6) << "starttime: " << field::view(tsinfo.STARTTIME);
    io::FreeWriter(6) << "stime(if): " << field::view(e.stime);
    io::FreeWriter(6) << "nsec     :" << o.nsec;
  }
  if (o.nsec > 0) {
    io::FreeWriter(6) << "Points to be dropped from start: " << o.drop;
    start_lines(e);
    tslib::TsValues rec{};
    for (std::int32_t k = 0; k < o.drop; ++k) {
      ts_in1(kInput, rec);
      if (rec[0] == eofmark) {
        if (!first) return false;
        break;  // the copy that follows finds the end at once
      }
    }
  } else if (o.nsec < 0) {
    io::FreeWriter(6) << "Data start > window start";
    start_lines(e);
    io::FreeWriter(6) << "Window start reset";
    e.stime = tsinfo.STARTTIME;
  }
  return true;
}

void check_against_first(const Splice& sp) {
  if (tsinfo.DELTA_T != sp.sampling.delta_t) {
    io::FreeWriter(6) << "FATAL ERROR: digitizing rate different from first"
                      << " file";
    io::FreeWriter(6) << "   delta1 =" << sp.sampling.delta_t << "   delta =" << tsinfo.DELTA_T;
    io::fail_run({}, kErrorCondition);
  }
  if (tslib::time_units_of(field::view(tsinfo.T_UNITS)) != sp.sampling.units) {
    io::FreeWriter(6) << "FATAL ERROR: time units different from first"
                      << " file";
    io::FreeWriter(6) << "   tunits1 =" << tslib::units_text(sp.sampling.units)
                      << "   tunits =" << field::view(tsinfo.T_UNITS);
    io::fail_run({}, kErrorCondition);
  }
  check_channel_count(sp.nchan1, tsinfo.NCHAN);
}

// Opens the window's file. A name typed at ts_open's own question may be the output
// file, which is being written: it is refused and a name asked for again.
void open_input(const Splice& sp, const SpliceEntry& e, std::array<char, 40>& indat) {
  std::array<char, 8> window = e.window;
  bool ask = false;
  for (;;) {
    ts_open(kInput, window, indat, ask, false, tslib::TsAccess::input);
    if (!tslib::same_file(field::trimmed(indat), field::trimmed(sp.outfile))) return;
    io::close(kInput);
    io::FixedWriter(6, kThreeTexts)
        << " Input file " << field::trimmed(indat) << " is the output file: give another";
    tslib::ask_form_at_open();
    ask = true;
  }
}

// The window's file as opened: its name and its form.
struct WindowFile {
  std::array<char, 40> name{};
  tslib::FileForm form{};
};

// Opens the window's file and reads its info block. A file the splice cannot take ends
// the run, and the failing end cuts back what the output holds of earlier windows and
// gaps.
WindowFile open_window(const Splice& sp, const SpliceEntry& e) {
  tslib::ask_form_at_open();
  io::FreeWriter(6) << "Opening input file for window " << field::view(e.window);
  WindowFile file;
  file.name.fill(' ');
  open_input(sp, e, file.name);
  io::FreeWriter(6) << "Opened data file =>" << field::view(file.name);
  tslib::read_info_afresh(kInput);
  if (!tslib::usable_input(field::trimmed(file.name))) io::fail_run({}, kErrorCondition);
  file.form = tslib::current_form();
  return file;
}

// The first file's values that every later file is held against.
void take_first_values(Splice& sp) {
  const std::optional<tslib::Sampling> sampling = tslib::sampling_of(tsinfo);
  if (!sampling) {
    // The gaps and the window line could not be reckoned.
    io::FreeWriter(6) << "FATAL ERROR: time units of first file not recognised: "
                      << field::view(tsinfo.T_UNITS);
    io::fail_run({}, kErrorCondition);
  }
  sp.sampling = *sampling;
  sp.base1 = tsinfo.BASELINE_;
  sp.nchan1 = tsinfo.NCHAN;
}

// The record of the splice at which a window's first record lands: the samples from
// the splice start to the window's start, to the nearest whole sample.
std::int32_t landing_record(const Splice& sp, std::int64_t seconds, const SpliceEntry& e) {
  const double records = std::round(sp.sampling.samples_in<double>(static_cast<double>(seconds)));
  return count_or_end(field::trimmed(sp.outfile),
                      "records before window " + std::string(field::view(e.window)), records);
}

// The counts the splice can reckon before it writes anything: the first window's drop,
// the record at which each later window lands and the duration by the database times.
// One that does not fit ends the run while the output is still as it was. (The same
// counts are reckoned again where they are used, with tdiff's lines.)
void check_counts_ahead(const Splice& sp, const SpliceEntry& first, std::string_view file) {
  const std::int64_t offset =
      timelib::seconds_between(field::view(tsinfo.STARTTIME), field::view(first.stime));
  start_offset(sp, file, offset);
  // Data starting after the window start move the splice start there.
  const std::string_view start =
      offset < 0 ? field::view(tsinfo.STARTTIME) : field::view(first.stime);
  for (int i = 1; i < sp.count; ++i)
    landing_record(sp, timelib::seconds_between(start, field::view(sp.entries[i].stime)),
                   sp.entries[i]);
  const std::string_view end = field::view(sp.entries[sp.count - 1].etime);
  count_or_end(field::trimmed(sp.outfile), "duration in seconds",
               static_cast<double>(timelib::seconds_between(start, end)));
}

// The new comment block, then the first file's comment block (ts_copycomm rewinds the
// input itself).
void write_first_comments(Splice& sp, const tslib::FileForm& in) {
  write_new_comments(sp);
  ts_copycomm(kInput, field::view(in.form), kOutput, tslib::kFormBinary);
  // The copy leaves the input after its ">INFO_START:" line: the info block read again
  // puts it back at its first data record (and shows ts_rdinfo's summary again at print
  // level 1 and above).
  tslib::read_info_afresh(kInput);
  field::assign(tsinfo.WINDOW,
                std::string(field::view(tsinfo.STATION)).append(field::view(sp.outrun)));
}

// The first window gives the output its comment and info blocks, then its records.
void start_output(Splice& sp, SpliceEntry& e, const WindowFile& in) {
  const std::string_view file = field::trimmed(in.name);
  take_first_values(sp);
  check_counts_ahead(sp, e, file);
  write_first_comments(sp, in.form);
  align_start(sp, e, file, true, false);
  tsinfo.STARTTIME = e.stime;
  tsinfo.ENDTIME = sp.entries[sp.count - 1].etime;
  {
    const tslib::FormSelection output(tslib::kBinaryFile);
    ts_wrtinfo(kOutput);
  }
  align_start(sp, e, file, true, true);  // the data now start at the window start
}

// A later window, checked against the first and moved to its window start; returns its
// baseline differences.
BaselineShift join_window(const Splice& sp, SpliceEntry& e, const WindowFile& in) {
  check_against_first(sp);
  BaselineShift diff{};
  for (int j = 0; j < 3; ++j) {
    diff[j] = tsinfo.BASELINE_[j] - sp.base1[j];
    io::FreeWriter(6) << "Channel: " << std::int32_t{j + 1} << "  Baseline difference =" << diff[j];
  }
  if (!align_start(sp, e, field::trimmed(in.name), false, true)) {
    io::FreeWriter(6) << "EOF found before all drop points read in";
    io::fail_run({});
  }
  return diff;
}

// Copies the window's records to its end, a later window's moved by its baseline
// differences (the first window's are left exactly as read, negative zeros included).
void copy_records(Splice& sp, SpliceEntry& e, const std::optional<BaselineShift>& shift) {
  const std::string_view outfile = field::trimmed(sp.outfile);
  tslib::TsValues rec{};
  for (;;) {
    ts_in1(kInput, rec);
    if (rec[0] == eofmark) break;
    // A splice holds at most as many records as a 32-bit count.
    const std::int32_t total =
        tslib::count_after(outfile, "records of the splice", sp.total, kErrorCondition);
    ++e.points;
    if (shift)
      for (int j = 0; j < 3; ++j) rec[j] += (*shift)[j];
    const tslib::FormSelection output(tslib::kBinaryFile);
    ts_out1(kOutput, rec);
    sp.total = total;
  }
}

// The missing-data records that put the next window's first record at its start:
// where it lands, less the records already written. Reckoned from the splice start
// rather than from the seconds the records cover, so that no rounding to whole seconds
// builds up from window to window.
std::int32_t records_before(const Splice& sp, const SpliceEntry& e, const SpliceEntry& next) {
  const std::int32_t landing =
      landing_record(sp, tdiff(field::view(sp.entries[0].stime), field::view(next.stime)), next);
  return count_or_end(field::trimmed(sp.outfile),
                      "point gap after window " + std::string(field::view(e.window)),
                      static_cast<double>(std::int64_t{landing} - sp.total));
}

void fill_gap(Splice& sp, int i) {
  SpliceEntry& e = sp.entries[i];
  const SpliceEntry& next = sp.entries[i + 1];
  const std::string_view outfile = field::trimmed(sp.outfile);
  io::FreeWriter(6) << "No. of points written:" << sp.total;
  // The time of the last record written, to the nearest second.
  const std::int32_t secs =
      count_or_end(outfile, "seconds the records cover",
                   std::round(sp.sampling.seconds_in<double>(static_cast<double>(sp.total) - 1.0)));
  io::FreeWriter(6) << "No. of secs total    :" << secs;
  const timelib::Timestr thistime = nowtim(field::view(sp.entries[0].stime), 0, 0, 0, secs);
  io::FreeWriter(6) << "Thistime based on pts:" << field::view(thistime);
  io::FreeWriter(6) << "End of previous data :" << field::view(e.etime);
  io::FreeWriter(6) << "Start of next data   :" << field::view(next.stime);
  if (tdiff(field::view(thistime), field::view(e.etime)) != 0)
    io::FreeWriter(6) << "Setting current end to that determined by points";
  const std::int32_t gapsec =
      count_or_end(outfile, "gap seconds after window " + std::string(field::view(e.window)),
                   static_cast<double>(tdiff(field::view(thistime), field::view(next.stime))));
  const std::int32_t gap = records_before(sp, e, next);
  io::FreeWriter(6) << "Time (seconds) and point gap =" << gapsec << gap;
  tslib::TsValues rec{};
  rec.fill(tsinfo.MIS_DATA);
  const tslib::FormSelection output(tslib::kBinaryFile);
  for (std::int32_t k = 0; k < gap; ++k) {
    ts_out1(kOutput, rec);
    ++sp.total;
  }
  e.gap = gap;
}

}  // namespace

void splice_windows(Splice& sp) {
  for (int i = 0; i < sp.count; ++i) {
    SpliceEntry& e = sp.entries[i];
    e.points = 0;
    const WindowFile in = open_window(sp, e);
    std::optional<BaselineShift> shift;
    if (i == 0) start_output(sp, e, in);
    else shift = join_window(sp, e, in);
    copy_records(sp, e, shift);
    io::close(kInput);
    if (i + 1 < sp.count) fill_gap(sp, i);
  }
}

}  // namespace segmerge
