#pragma once
// The time library: 19-character time strings "yyyy-mm-dd hh:mm:ss" (timestr), their
// six integer fields, differences and offsets in seconds, field checks, the old
// 12-character v4 times "yymmddhhmmss" and 13-character durations "dddd-hh:mm:ss".
// All day arithmetic follows the Gregorian calendar. Echo lines go to the console at
// the print levels given with each routine.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/io/outcome.h"
#include "common/text_field.h"

namespace timelib {

using Timestr = std::array<char, 19>;

struct TimeFields {
  std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const TimeFields&, const TimeFields&) = default;
};

}  // namespace timelib

// conv == 1: the six fields are written into cdate(1:19), with asterisks for a field
// that does not fit its columns; any other conv: cdate is read into the six fields
// (a column that holds no integer ends the program with the conversion error report).
// Echo lines at print level 3 and above.
void date(std::int32_t conv, std::span<char> cdate, std::int32_t& year, std::int32_t& month,
          std::int32_t& day, std::int32_t& hour, std::int32_t& minute, std::int32_t& second);
// The same two directions for callers holding a TimeFields or a read-only text.
timelib::TimeFields date(std::string_view cdate);
void date(const timelib::TimeFields& fields, std::span<char> cdate);

// Day of the year of a date (January 1 is day 1).
std::int32_t dayno(std::int32_t year, std::int32_t month, std::int32_t day);
// Day of the year to month and day; a doy beyond the year's length moves into the
// next year once (year is advanced).
void daymon(std::int32_t& year, std::int32_t doy, std::int32_t& month, std::int32_t& day);

// Seconds from t1 to t2, negative when t2 is earlier: exact, in 64 bits, so that no
// difference wraps (a caller that keeps a 32-bit count checks that it fits). Says so on
// the console when the years are neither equal nor consecutive.
std::int64_t tdiff(std::string_view t1, std::string_view t2);

// reftim plus the offset, reckoned in 64 bits (no offset wraps). Echo lines at print
// level 10 and above.
timelib::Timestr nowtim(std::string_view reftim, std::int32_t dday, std::int32_t dhour,
                        std::int32_t dmin, std::int32_t dsec);

// ierr = 0, or 1 with one console line per field out of range (hour, minute and
// second may be 24, 60 and 60).
void chktim(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
            std::int32_t minute, std::int32_t second, std::int32_t& ierr);

// The v4 time in s(1:12) becomes a timestr in s(1:19) (century 20). A field shorter
// than 19 characters receives what fits.
void shortdate(std::span<char> s);

// 0 for a plausible time (hours 0-23, minutes and seconds 0-59), else 1 and a message.
std::int32_t DATCHK(std::string_view t);

// The difference t2 - t1 as "dddd-hh:mm:ss" in out(1:13); asterisks where a value
// does not fit (a negative difference).
void tdifstr(std::string_view t1, std::string_view t2, std::span<char> out);

void secsplit(std::int32_t secs, std::int32_t& days, std::int32_t& hours, std::int32_t& minutes,
              std::int32_t& seconds);

// The fields as the decimal number yyyymmddhhmmss, and back into a timestr.
std::int64_t tpack(std::string_view t);
void tunpack(std::span<char> out, std::int64_t i);

// The library's helpers, beside its routines.
namespace timelib {

// The six numeric columns of a timestr as date reads them, without its echo lines;
// outcomes not in `takes` end the program with the error report.
io::Result read_time_fields(std::string_view cdate, TimeFields& fields, io::Takes takes);
// The time as date writes its six fields: separators '-', ' ' and ':' whatever the text
// had between its number columns.
Timestr library_form(std::string_view cdate);

bool leap_year(std::int32_t year);
std::int32_t year_length(std::int32_t year);

// The seconds of tdiff without its year lines or date's echo lines: for the checks a
// caller makes besides the differences it reports.
std::int64_t seconds_between(std::string_view t1, std::string_view t2);

// True when chktim takes every field: year 0-3000, month 1-12, day 1-31, hour 0-24,
// minute and second 0-60.
bool chktim_accepts(const TimeFields& f);

}  // namespace timelib
