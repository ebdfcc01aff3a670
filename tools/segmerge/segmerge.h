#pragma once
// segmerge: splices consecutive windows of one station into one BINARY ts file.
// The run's state, and the steps main() runs in order.
#include <array>
#include <cstdint>
#include <string_view>

#include "common/timelib.h"
#include "tslib/time_units.h"

namespace segmerge {

inline constexpr int kMaxWindows = 50;

// Units of the run.
inline constexpr int kWindowsList = 3;    // windows database while the list is read
inline constexpr int kInput = 4;          // the input ts file of the moment
inline constexpr int kOutput = 7;         // the output ts file
inline constexpr int kWindowsAppend = 8;  // windows database when the line is appended

// One window of the splice.
struct SpliceEntry {
  std::array<char, 2> run{};
  std::array<char, 8> window{};
  timelib::Timestr stime{};
  timelib::Timestr etime{};
  std::int32_t points = 0;  // data records written from the window
  std::int32_t gap = 0;     // gap records written after it (may be negative)
};

struct Splice {
  std::array<char, 24> date{};  // local date text taken at start-up
  std::array<char, 6> station{};
  std::array<char, 3> prj{};
  std::array<SpliceEntry, kMaxWindows> entries{};
  int count = 0;
  std::int32_t instr1 = 0;
  std::int32_t nchan1 = 0;
  std::array<char, 2> outrun{};
  std::array<char, 8> outwindow{};
  std::array<char, 40> outfile{};
  // From the first file (DELTA_T and T_UNITS); every later file must have the same.
  tslib::Sampling sampling{};
  std::array<float, 3> base1{};
  std::int32_t total = 0;  // records written, data and gaps
};

// The final message of the splice's failing ends (io::fail_run, which cuts back what the
// output holds); a later window whose data end during its drop ends without it.
inline constexpr std::string_view kErrorCondition = "Program terminated with error condition";

// A count the splice derives (already cut or rounded to a whole number) as the 32-bit
// value that holds it; one beyond that range ends the run with a line naming the file
// and the count (tslib::count_or_fail).
std::int32_t count_or_end(std::string_view file, std::string_view what, double value);

// Station, first window and further windows, looked up in the windows database.
void read_window_list(Splice& sp);
// Fails with the channel-count message when nchan differs from nchan1.
void check_channel_count(std::int32_t nchan1, std::int32_t nchan);
// The output window question and the opened output file.
void open_output(Splice& sp);
// Every window in turn: checks, drop, copy, gap.
void splice_windows(Splice& sp);
// The closing report, then, once the output is written out and closed (a failure
// there ends the run with error 38), the window line appended to the windows database.
void report(const Splice& sp);
void close_output();
void append_window_line(const Splice& sp);

}  // namespace segmerge
