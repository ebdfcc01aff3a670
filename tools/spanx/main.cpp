// spanx: counts the data records of a ts file, works out the time of its last sample,
// shows the window's line of the windows database and, when the user agrees, appends
// it to the database.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/spanx/pause.h"
#include "tools/startup/startup.h"
#include "tslib/append_window_line.h"
#include "tslib/counts.h"
#include "tslib/form_selection.h"
#include "tslib/getwindow.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/same_file.h"
#include "tslib/time_units.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/usable_input.h"

namespace spanx {
namespace {

constexpr int kInput = 4;
constexpr int kWindows = 7;

// The spanx window line: columns 1-54 of every window line, two blanks, the rate in Hz.
constexpr auto kWindowLine = tslib::winrec_with(std::array{io::lay::X(2), io::lay::G(16, 7)});
static_assert(io::valid_layout(kWindowLine));
constexpr std::array<io::Item, 2> kEofLine{io::lay::A(), io::lay::I(10)};

void write_window_line(int unit, const timelib::Timestr& start, const timelib::Timestr& end,
                       const tslib::Sampling& rate) {
  io::FixedWriter(unit, kWindowLine)
      << std::string_view(tsinfo.WINDOW.data(), 8) << tsinfo.INSTRUMENT << tsinfo.NCHAN
      << field::view(start) << field::view(end) << rate.rate_hz();
}

void show_record(std::string_view label, std::int32_t n, const tslib::TsValues& x) {
  io::FreeWriter(6) << label << n << std::span<const float>(x);
}

// The ts file measured: the window and the file name, as the answer to the data-file
// question gave them.
struct Input {
  std::array<char, 8> window{};
  std::array<char, 80> file{};
};

// Opens the ts file and reads its info block, leaving the file at its first data
// record.
Input open_input() {
  tslib::ask_form_at_open();
  Input in;
  field::assign(in.window, "vbd027a1");
  in.file.fill(' ');
  ts_open(kInput, in.window, in.file, true, false, tslib::TsAccess::input);
  if (prtlvl.iprint >= 2) io::FreeWriter(6) << "Opened TS file";
  tslib::read_info_afresh(kInput);
  if (prtlvl.iprint >= 2) io::FreeWriter(6) << "Read in INFO block";
  // Counting one record as one sample would give an end time SEQ_REC times too early.
  if (!tslib::usable_input(field::trimmed(in.file))) io::fail_run({});
  return in;
}

// The file's sampling given by its rate in Hz (a period's rate rounded to a float, which
// the window line shows and the end time is worked from); time units other than s and
// Hz end the run.
tslib::Sampling sampling_rate() {
  const std::optional<tslib::Sampling> sampling = tslib::known_sampling(tsinfo);
  if (!sampling) io::fail_run({});
  const tslib::Sampling rate = sampling->as_rate();
  if (prtlvl.iprint > 0) {
    io::FreeWriter(6) << "Time units =" << field::view(tsinfo.T_UNITS)
                      << "   delta (Hz) =" << rate.rate_hz();
    io::FreeWriter(6) << "Reading data...";
  }
  return rate;
}

// Reads the data records to the end of the file and returns how many there are. A
// count beyond 32 bits ends the run before the window line is shown.
std::int32_t count_records(const Input& in) {
  const std::string_view file = field::trimmed(in.file);
  tslib::TsValues x{};
  std::int32_t n = 0;
  while (x[0] != eofmark) {
    n = tslib::count_after(file, "data records", n);
    ts_in1(kInput, x);
    if (prtlvl.iprint >= 3) {
      show_record("n, data =", n, x);
      if (n % 100 == 0) pause();
    }
    if (prtlvl.iprint > 0 && n % 25000 == 0) {
      io::FreeWriter(6) << "Read in...." << n;
      show_record("n, data =", n, x);
    }
  }
  const std::int32_t nent = n - 1;
  if (prtlvl.iprint >= 0) io::FixedWriter(6, kEofLine) << "EOF found; nent =" << nent;
  if (prtlvl.iprint > 0) show_record("data =", n, x);
  return nent;
}

// The time of the last of `nent` samples: the seconds from the first, worked in double
// and cut toward zero, after the start; seconds beyond 32 bits end the run before the
// window line is shown.
timelib::Timestr last_sample_time(const Input& in, const timelib::Timestr& start, std::int32_t nent,
                                  const tslib::Sampling& rate) {
  const std::int32_t secs =
      tslib::count_or_fail(field::trimmed(in.file), "seconds from the first to the last sample",
                           std::trunc(rate.seconds_in<double>(static_cast<double>(nent) - 1.0)));
  return nowtim(field::view(start), 0, 0, 0, secs);
}

// Appends the window line to "windows." + prj when the user agrees, never to the
// measured file itself (a database that is a link to it).
void offer_append(std::string_view prj, std::string_view input, const timelib::Timestr& start,
                  const timelib::Timestr& end, const tslib::Sampling& rate) {
  // The name in its field of 11 characters, as the question shows it.
  const std::array<char, 11> name = tslib::windows_database_field(prj);
  const std::string_view dbname = field::view(name);
  bool append = true;
  linput("Append results to " + std::string(dbname) + " ?", append);
  if (!append) return;
  if (tslib::same_file(dbname, input)) tslib::end_at_output(dbname, input);

  const io::Result opened = io::open(
      kWindows, dbname,
      io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::text, .append = true},
      io::Takes::errors);
  if (!opened.ok()) {
    io::FreeWriter(6) << std::string("spanx: unable to open ").append(dbname);
    io::fail_run({});
  }
  const auto write = [&](int unit) { write_window_line(unit, start, end, rate); };
  if (!tslib::append_window_line(kWindows, write, io::Takes::errors).ok() ||
      !io::close(kWindows, io::Takes::errors).ok()) {
    io::FreeWriter(6) << "spanx: error" << 0 << std::string(" writing to ").append(dbname);
    io::fail_run({});
  }
}

}  // namespace
}  // namespace spanx

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  tools::tool_startup(tools::kSpanx);

  const spanx::Input in = spanx::open_input();
  const timelib::Timestr start = tsinfo.STARTTIME;
  const tslib::Sampling rate = spanx::sampling_rate();
  const std::int32_t nent = spanx::count_records(in);
  const timelib::Timestr end = spanx::last_sample_time(in, start, nent, rate);

  io::FreeWriter(6) << " ";
  spanx::write_window_line(6, start, end, rate);
  io::FreeWriter(6) << " ";
  spanx::offer_append(std::string_view(in.window.data(), 3), field::trimmed(in.file), start, end,
                      rate);
  io::end_program(io::Outcome::success);
}
