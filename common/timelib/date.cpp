// date: a timestr to its six fields and back.
#include <algorithm>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "common/timelib/digits.h"

namespace {

using namespace io::lay;
// The numeric columns of a timestr; the separator columns are skipped unread.
constexpr io::Item kTimestrFields[] = {I(4), X(1), I(2), X(1), I(2), X(1),
                                       I(2), X(1), I(2), X(1), I(2)};
static_assert(io::valid_layout(kTimestrFields));

void echo_read(std::int32_t conv, std::string_view cdate) {
  if (prtlvl.iprint < 3) return;
  io::FreeWriter(6) << "date: conv = " << conv;
  io::FreeWriter(6) << "     cdate=" << cdate.substr(0, 19);
}

void echo_done() {
  if (prtlvl.iprint >= 3) io::FreeWriter(6) << "date: conversion successful";
}

}  // namespace

namespace timelib {

io::Result read_time_fields(std::string_view cdate, TimeFields& f, io::Takes takes) {
  auto reader = io::FixedReader::from_field(cdate, kTimestrFields, takes);
  reader >> f.year >> f.month >> f.day >> f.hour >> f.minute >> f.second;
  return reader.finish();
}

}  // namespace timelib

timelib::TimeFields date(std::string_view cdate) {
  echo_read(0, cdate);
  timelib::TimeFields f;
  timelib::read_time_fields(cdate, f, io::Takes::neither);
  echo_done();
  return f;
}

void date(const timelib::TimeFields& f, std::span<char> cdate) {
  if (prtlvl.iprint >= 3) {
    io::FreeWriter(6) << "date: conv = " << std::int32_t{1};
    io::FreeWriter(6) << "     yymmhhddmmss=" << f.year << f.month << f.day << f.hour << f.minute
                      << f.second;
  }
  timelib::Timestr t;
  constexpr std::string_view zero = "0000-00-00 00:00:00";
  std::copy(zero.begin(), zero.end(), t.begin());
  const std::span<char> s(t);
  timelib::put_digits(s.subspan(0, 4), f.year);
  timelib::put_digits(s.subspan(5, 2), f.month);
  timelib::put_digits(s.subspan(8, 2), f.day);
  timelib::put_digits(s.subspan(11, 2), f.hour);
  timelib::put_digits(s.subspan(14, 2), f.minute);
  timelib::put_digits(s.subspan(17, 2), f.second);
  timelib::copy_into(cdate, field::view(t));
  echo_done();
}

namespace timelib {

Timestr library_form(std::string_view cdate) {
  Timestr out{};
  date(date(cdate), out);
  return out;
}

}  // namespace timelib

void date(std::int32_t conv, std::span<char> cdate, std::int32_t& year, std::int32_t& month,
          std::int32_t& day, std::int32_t& hour, std::int32_t& minute, std::int32_t& second) {
  if (conv == 1) {
    date(timelib::TimeFields{year, month, day, hour, minute, second}, cdate);
    return;
  }
  const std::string_view text = field::view(cdate);
  echo_read(conv, text);
  timelib::TimeFields f;
  timelib::read_time_fields(text, f, io::Takes::neither);
  year = f.year;
  month = f.month;
  day = f.day;
  hour = f.hour;
  minute = f.minute;
  second = f.second;
  echo_done();
}
