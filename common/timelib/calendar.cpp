// Gregorian calendar: leap years, day of the year and back.
#include <algorithm>

#include "common/timelib.h"

namespace {

// Month lengths: common year, leap year.
constexpr std::int32_t kMonthLength[12][2] = {{31, 31}, {28, 29}, {31, 31}, {30, 30},
                                              {31, 31}, {30, 30}, {31, 31}, {31, 31},
                                              {30, 30}, {31, 31}, {30, 30}, {31, 31}};

}  // namespace

namespace timelib {

bool leap_year(std::int32_t year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

std::int32_t year_length(std::int32_t year) { return leap_year(year) ? 366 : 365; }

}  // namespace timelib

std::int32_t dayno(std::int32_t year, std::int32_t month, std::int32_t day) {
  const int leap = timelib::leap_year(year) ? 1 : 0;
  // A month beyond 12 (read from a broken time) counts the whole year, no further.
  const std::int32_t full_months = std::clamp(month - 1, 0, 12);
  std::int32_t doy = day;
  for (std::int32_t m = 0; m < full_months; ++m) doy += kMonthLength[m][leap];
  return doy;
}

void daymon(std::int32_t& year, std::int32_t doy, std::int32_t& month, std::int32_t& day) {
  if (doy > timelib::year_length(year)) {
    doy -= timelib::year_length(year);
    ++year;
  }
  const int leap = timelib::leap_year(year) ? 1 : 0;
  std::int32_t m = 1;
  while (m < 12 && doy > kMonthLength[m - 1][leap]) {
    doy -= kMonthLength[m - 1][leap];
    ++m;
  }
  month = m;
  day = doy;
}
