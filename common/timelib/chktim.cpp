// chktim and DATCHK: range checks of time fields.
#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/timelib.h"

namespace {

using namespace io::lay;
constexpr io::Item kYearLine[] = {A(), I(4, 4), Lit("  Try again.")};
constexpr io::Item kFieldLine[] = {A(), I(3), Lit("  Try again.")};
static_assert(io::valid_layout(kYearLine) && io::valid_layout(kFieldLine));

void check(std::int32_t value, std::int32_t low, std::int32_t high, std::string_view text,
           io::Layout layout, std::int32_t& ierr) {
  if (value >= low && value <= high) return;
  io::FixedWriter(6, layout) << text << value;
  ierr = 1;
}

}  // namespace

void chktim(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
            std::int32_t minute, std::int32_t second, std::int32_t& ierr) {
  ierr = 0;
  check(year, 0, 3000, " Invalid year:", kYearLine, ierr);
  check(month, 1, 12, " Invalid month:", kFieldLine, ierr);
  check(day, 1, 31, " Invalid day:", kFieldLine, ierr);
  check(hour, 0, 24, " Invalid hour:", kFieldLine, ierr);
  check(minute, 0, 60, " Invalid minute:", kFieldLine, ierr);
  check(second, 0, 60, " Invalid second:", kFieldLine, ierr);
}

std::int32_t DATCHK(std::string_view t) {
  const TimeFields f = date(t);
  const bool good = f.year >= 0 && f.year <= 3000 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
                    f.day <= 31 && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
                    f.second >= 0 && f.second <= 59;
  if (good) return 0;
  io::FreeWriter(6) << " Erroneous time given to DATCHK, time=" << t;
  return 1;
}
