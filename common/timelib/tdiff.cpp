// tdiff: the seconds between two times, and the routines built on it.
#include "common/edit/free.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "common/timelib/digits.h"

namespace {

// Whole calendar days from the date of a to the date of b.
std::int64_t days_between(const timelib::TimeFields& a, const timelib::TimeFields& b) {
  if (a.year == b.year) return dayno(b.year, b.month, b.day) - dayno(a.year, a.month, a.day);
  const bool forward = a.year < b.year;
  const timelib::TimeFields& early = forward ? a : b;
  const timelib::TimeFields& late = forward ? b : a;
  std::int64_t days = timelib::year_length(early.year) - dayno(early.year, early.month, early.day);
  for (std::int32_t y = early.year + 1; y < late.year; ++y) days += timelib::year_length(y);
  days += dayno(late.year, late.month, late.day);
  return forward ? days : -days;
}

// Fields are not normalised first: an hour of 24 or a second of 60 counts as such.
std::int64_t seconds_apart(const timelib::TimeFields& a, const timelib::TimeFields& b) {
  return days_between(a, b) * 86400 + std::int64_t{b.hour - a.hour} * 3600 +
         std::int64_t{b.minute - a.minute} * 60 + (b.second - a.second);
}

}  // namespace

namespace timelib {

std::int64_t seconds_between(std::string_view t1, std::string_view t2) {
  TimeFields a, b;
  read_time_fields(t1, a, io::Takes::neither);
  read_time_fields(t2, b, io::Takes::neither);
  return seconds_apart(a, b);
}

}  // namespace timelib

std::int64_t tdiff(std::string_view t1, std::string_view t2) {
  const timelib::TimeFields a = date(t1);
  const timelib::TimeFields b = date(t2);
  if (a.year != b.year && b.year != a.year + 1) {
    io::FreeWriter(6) << "tdiff: ERROR: years differ by more than 1!";
    io::FreeWriter(6) << " year1=" << a.year;
    io::FreeWriter(6) << " year2=" << b.year;
  }
  return seconds_apart(a, b);
}

void secsplit(std::int32_t secs, std::int32_t& days, std::int32_t& hours, std::int32_t& minutes,
              std::int32_t& seconds) {
  days = secs / 86400;
  const std::int32_t r = secs - 86400 * days;
  hours = r / 3600;
  minutes = (r % 3600) / 60;
  seconds = (r % 3600) % 60;
}

void tdifstr(std::string_view t1, std::string_view t2, std::span<char> out) {
  const std::int64_t secs = tdiff(t1, t2);
  const std::int64_t days = secs / 86400;
  const std::int64_t hours = secs / 3600 - 24 * days;
  const std::int64_t minutes = secs / 60 - 60 * (secs / 3600);
  const std::int64_t seconds = secs - 60 * (secs / 60);
  std::array<char, 13> d;
  constexpr std::string_view zero = "0000-00:00:00";
  std::copy(zero.begin(), zero.end(), d.begin());
  const std::span<char> s(d);
  timelib::put_digits(s.subspan(0, 4), days);
  timelib::put_digits(s.subspan(5, 2), hours);
  timelib::put_digits(s.subspan(8, 2), minutes);
  timelib::put_digits(s.subspan(11, 2), seconds);
  timelib::copy_into(out, field::view(d));
}
