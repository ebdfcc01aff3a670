// nowtim: a time plus an offset of days, hours, minutes and seconds.
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/timelib.h"
#include "common/timelib/digits.h"

Timestr nowtim(std::string_view reftim, std::int32_t dday, std::int32_t dhour,
               std::int32_t dmin, std::int32_t dsec) {
  using timelib::floor_div;
  const bool echo = prtlvl.iprint >= 10;
  if (echo) {
    io::FreeWriter(6) << "nowtim: entered with :";
    io::FreeWriter(6) << "reftim =" << reftim;
    io::FreeWriter(6) << "dday   =" << dday;
    io::FreeWriter(6) << "dhour  =" << dhour;
    io::FreeWriter(6) << "dmin   =" << dmin;
    io::FreeWriter(6) << "dsec   =" << dsec;
  }
  const TimeFields ref = date(reftim);
  if (echo) {
    io::FreeWriter(6) << "nowtim: return from date with :";
    io::FreeWriter(6) << "refyy  =" << ref.year;
    io::FreeWriter(6) << "refmm  =" << ref.month;
    io::FreeWriter(6) << "refdd  =" << ref.day;
    io::FreeWriter(6) << "refhh  =" << ref.hour;
    io::FreeWriter(6) << "refmin =" << ref.minute;
    io::FreeWriter(6) << "refss  =" << ref.second;
  }
  // Seconds from the start of reftim's day, a 32-bit count as the callers keep it.
  const auto total = static_cast<std::int32_t>(
      (std::int64_t{dhour} + ref.hour) * 3600 + ref.second +
      (std::int64_t{ref.minute} + dmin) * 60 + dsec);
  if (prtlvl.iprint >= 50) io::FreeWriter(6) << "nowtim: total sec =" << total;

  const std::int64_t m = floor_div(total, 60);
  const auto sec = static_cast<std::int32_t>(total - 60 * m);
  const std::int64_t h = floor_div(m, 60);
  const auto min = static_cast<std::int32_t>(m - 60 * h);
  const auto hour = static_cast<std::int32_t>(h - 24 * floor_div(h, 24));
  const std::int64_t day = dday + floor_div(h, 24);
  if (echo) {
    io::FreeWriter(6) << "nowtim: calculated times :";
    io::FreeWriter(6) << "day  =" << static_cast<std::int32_t>(day);
    io::FreeWriter(6) << "hour =" << hour;
    io::FreeWriter(6) << "min  =" << min;
    io::FreeWriter(6) << "sec  =" << sec;
  }

  TimeFields out{ref.year, ref.month, ref.day, hour, min, sec};
  if (day != 0) {
    std::int64_t doy = dayno(ref.year, ref.month, ref.day) + day;
    while (doy > year_length(out.year)) {
      doy -= year_length(out.year);
      ++out.year;
    }
    while (doy < 1) {
      --out.year;
      doy += year_length(out.year);
    }
    daymon(out.year, static_cast<std::int32_t>(doy), out.month, out.day);
  } else if (out.month > 12) {
    const std::int32_t carry = (out.month - 1) / 12;
    out.year += carry;
    out.month -= 12 * carry;
  }
  Timestr result;
  date(out, result);
  return result;
}
