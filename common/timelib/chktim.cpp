// chktim and DATCHK: range checks of time fields.
#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/timelib.h"

namespace {

using namespace io::lay;
constexpr io::Item kYearLine[] = {A(), I(4, 4), Lit("  Try again.")};
constexpr io::Item kFieldLine[] = {A(), I(3), Lit("  Try again.")};
static_assert(io::valid_layout(kYearLine) && io::valid_layout(kFieldLine));

// One field's accepted range and the line that names a value out of it.
struct FieldRule {
  std::int32_t low, high;
  std::string_view text;
  io::Layout layout;
};
constexpr FieldRule kYear{0, 3000, " Invalid year:", kYearLine};
constexpr FieldRule kMonth{1, 12, " Invalid month:", kFieldLine};
constexpr FieldRule kDay{1, 31, " Invalid day:", kFieldLine};
constexpr FieldRule kHour{0, 24, " Invalid hour:", kFieldLine};
constexpr FieldRule kMinute{0, 60, " Invalid minute:", kFieldLine};
constexpr FieldRule kSecond{0, 60, " Invalid second:", kFieldLine};

bool in_range(std::int32_t value, const FieldRule& rule) {
  return value >= rule.low && value <= rule.high;
}

void check(std::int32_t value, const FieldRule& rule, std::int32_t& ierr) {
  if (in_range(value, rule)) return;
  io::FixedWriter(6, rule.layout) << rule.text << value;
  ierr = 1;
}

}  // namespace

namespace timelib {

bool chktim_accepts(const TimeFields& f) {
  return in_range(f.year, kYear) && in_range(f.month, kMonth) && in_range(f.day, kDay) &&
         in_range(f.hour, kHour) && in_range(f.minute, kMinute) && in_range(f.second, kSecond);
}

}  // namespace timelib

void chktim(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
            std::int32_t minute, std::int32_t second, std::int32_t& ierr) {
  ierr = 0;
  check(year, kYear, ierr);
  check(month, kMonth, ierr);
  check(day, kDay, ierr);
  check(hour, kHour, ierr);
  check(minute, kMinute, ierr);
  check(second, kSecond, ierr);
}

std::int32_t DATCHK(std::string_view t) {
  const timelib::TimeFields f = date(t);
  const bool good = f.year >= 0 && f.year <= 3000 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
                    f.day <= 31 && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
                    f.second >= 0 && f.second <= 59;
  if (good) return 0;
  io::FreeWriter(6) << " Erroneous time given to DATCHK, time=" << t;
  return 1;
}
