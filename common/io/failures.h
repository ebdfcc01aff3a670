#pragma once
// How units hand a failed write-out to the program end. Internal to common/io.
#include <string_view>

namespace io::detail {

// A buffer could not be written out. While the program is ending the first such
// failure is kept and decides the exit status; otherwise the program ends at once
// with error 38.
void write_failure(int report_number, std::string_view path);

// True once an end (report, message end, interrupt, normal exit) has begun.
bool ending();

// A read or write on a unit number that was never opened: one line naming the unit
// on standard error, then the program ends with failure status.
[[noreturn]] void unit_not_open(int number);

// The run ends with a failure or an error report: every open output that has been
// written to is cut back to nothing (OpenSpec::output), before anything is written out.
void discard_outputs();

// The exit handler's end for a program that returned from main: writes out and
// closes every unit; a failure there still ends with error 38.
void end_at_exit();

}  // namespace io::detail
