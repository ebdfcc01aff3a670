#pragma once
// The start and end time a window line of the windows database gives, checked before
// a tool reckons records from them.
#include <string_view>

namespace tslib {

// True when both times are complete "yyyy-mm-dd hh:mm:ss" texts whose six fields read
// as integers and lie in the ranges chktim accepts. Otherwise, for each bad time, a
// console line names the window, the time and what is wrong (chktim adds its own line
// per field out of range), and the result is false.
bool window_times_usable(std::string_view window, std::string_view stime, std::string_view etime);

}  // namespace tslib
