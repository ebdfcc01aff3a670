#pragma once
// The times a ts file or a window line of the windows database gives, checked before a
// tool reckons records from them.
#include <string_view>

namespace tslib {

// What is wrong with a time: "is blank", "is incomplete" (it ends in blanks before its
// 19th column), "is unreadable" (a number column holds no integer) or "is out of range"
// (a field chktim does not take); empty for a complete "yyyy-mm-dd hh:mm:ss" whose six
// fields read as integers in chktim's ranges. Prints nothing.
std::string_view time_fault(std::string_view t);

// True when both times pass time_fault. Otherwise, for each bad time, a console line
// names the window, the time and what is wrong (chktim adds its own line per field out
// of range), and the result is false.
bool window_times_usable(std::string_view window, std::string_view stime, std::string_view etime);

}  // namespace tslib
