// Checks of the times of a ts file and of a window line.
#include "tslib/window_times.h"

#include <cstdint>
#include <string>

#include "common/edit/free.h"
#include "common/text_field.h"
#include "common/timelib.h"

namespace tslib {
namespace {

constexpr std::string_view kOutOfRange = "is out of range";

bool usable(std::string_view window, std::string_view which, std::string_view t) {
  const std::string_view what = time_fault(t);
  if (what.empty()) return true;
  if (what == kOutOfRange) {
    // chktim names each field out of range.
    timelib::TimeFields f;
    timelib::read_time_fields(t, f, io::Takes::neither);
    std::int32_t ierr = 0;
    chktim(f.year, f.month, f.day, f.hour, f.minute, f.second, ierr);
  }
  // One text, so that the line stays whole (it keeps within 80 columns).
  io::FreeWriter(6) << "FATAL ERROR: window " + std::string(window.substr(0, 8)) + " " +
                           std::string(which) + " >" + std::string(t) + "< " + std::string(what);
  return false;
}

}  // namespace

std::string_view time_fault(std::string_view t) {
  const std::string_view used = field::trimmed(t);
  if (used.empty()) return "is blank";
  // A line cut short inside its time columns leaves the last ones blank.
  if (used.size() < t.size()) return "is incomplete";
  timelib::TimeFields f;
  if (!timelib::read_time_fields(t, f, io::Takes::errors).ok()) return "is unreadable";
  return timelib::chktim_accepts(f) ? std::string_view{} : kOutOfRange;
}

bool window_times_usable(std::string_view window, std::string_view stime, std::string_view etime) {
  const bool start_ok = usable(window, "start time", stime);
  const bool end_ok = usable(window, "end time", etime);
  return start_ok && end_ok;
}

}  // namespace tslib
