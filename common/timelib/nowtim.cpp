// nowtim: a time plus an offset of days, hours, minutes and seconds.
#include <limits>

#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/timelib.h"
#include "common/timelib/digits.h"

namespace {

using timelib::floor_div;

// The result's distance in whole days from the reference date, and its clock time.
struct DaysAndClock {
  std::int64_t day = 0;
  std::int32_t hour = 0, min = 0, sec = 0;
};

void echo_offset(std::string_view reftim, std::int32_t dday, std::int32_t dhour, std::int32_t dmin,
                 std::int32_t dsec) {
  io::FreeWriter(6) << "nowtim: entered with :";
  io::FreeWriter(6) << "reftim =" << reftim;
  io::FreeWriter(6) << "dday   =" << dday;
  io::FreeWriter(6) << "dhour  =" << dhour;
  io::FreeWriter(6) << "dmin   =" << dmin;
  io::FreeWriter(6) << "dsec   =" << dsec;
}

void echo_reference(const timelib::TimeFields& ref) {
  io::FreeWriter(6) << "nowtim: return from date with :";
  io::FreeWriter(6) << "refyy  =" << ref.year;
  io::FreeWriter(6) << "refmm  =" << ref.month;
  io::FreeWriter(6) << "refdd  =" << ref.day;
  io::FreeWriter(6) << "refhh  =" << ref.hour;
  io::FreeWriter(6) << "refmin =" << ref.minute;
  io::FreeWriter(6) << "refss  =" << ref.second;
}

// The echo has a 32-bit integer item; a total beyond it is shown in words.
void echo_total(std::int64_t total) {
  using Limits = std::numeric_limits<std::int32_t>;
  if (total >= Limits::min() && total <= Limits::max())
    io::FreeWriter(6) << "nowtim: total sec =" << static_cast<std::int32_t>(total);
  else io::FreeWriter(6) << "nowtim: total sec = beyond a 32-bit count";
}

void echo_split(const DaysAndClock& t) {
  io::FreeWriter(6) << "nowtim: calculated times :";
  io::FreeWriter(6) << "day  =" << static_cast<std::int32_t>(t.day);
  io::FreeWriter(6) << "hour =" << t.hour;
  io::FreeWriter(6) << "min  =" << t.min;
  io::FreeWriter(6) << "sec  =" << t.sec;
}

// Seconds from the start of the reference day, split with floor division so that every
// part lies in its range also for a negative count; dday whole days added.
DaysAndClock split_seconds(std::int64_t total, std::int32_t dday) {
  const std::int64_t m = floor_div(total, 60);
  const std::int64_t h = floor_div(m, 60);
  DaysAndClock t;
  t.sec = static_cast<std::int32_t>(total - 60 * m);
  t.min = static_cast<std::int32_t>(m - 60 * h);
  t.hour = static_cast<std::int32_t>(h - 24 * floor_div(h, 24));
  t.day = dday + floor_div(h, 24);
  return t;
}

// The year, month and day `day` days after the reference date. With no days to move,
// a month above 12 that the reference carries goes into the year.
void move_date(timelib::TimeFields& out, const timelib::TimeFields& ref, std::int64_t day) {
  if (day == 0) {
    if (out.month > 12) {
      const std::int32_t carry = (out.month - 1) / 12;
      out.year += carry;
      out.month -= 12 * carry;
    }
    return;
  }
  std::int64_t doy = dayno(ref.year, ref.month, ref.day) + day;
  while (doy > timelib::year_length(out.year)) {
    doy -= timelib::year_length(out.year);
    ++out.year;
  }
  while (doy < 1) {
    --out.year;
    doy += timelib::year_length(out.year);
  }
  daymon(out.year, static_cast<std::int32_t>(doy), out.month, out.day);
}

}  // namespace

timelib::Timestr nowtim(std::string_view reftim, std::int32_t dday, std::int32_t dhour,
                        std::int32_t dmin, std::int32_t dsec) {
  const bool echo = prtlvl.iprint >= 10;
  if (echo) echo_offset(reftim, dday, dhour, dmin, dsec);
  const timelib::TimeFields ref = date(reftim);
  if (echo) echo_reference(ref);
  // Seconds from the start of reftim's day: in 64 bits, since an offset near the 32-bit
  // limit added to the time of day would wrap into the past.
  const std::int64_t total = (std::int64_t{dhour} + ref.hour) * 3600 + ref.second +
                             (std::int64_t{ref.minute} + dmin) * 60 + dsec;
  if (prtlvl.iprint >= 50) echo_total(total);
  const DaysAndClock t = split_seconds(total, dday);
  if (echo) echo_split(t);
  timelib::TimeFields out{ref.year, ref.month, ref.day, t.hour, t.min, t.sec};
  move_date(out, ref, t.day);
  timelib::Timestr result;
  date(out, result);
  return result;
}
