// Other forms of a time: the v4 time, and the packed number yyyymmddhhmmss.
#include "common/text_field.h"
#include "common/timelib.h"
#include "common/timelib/digits.h"

void shortdate(std::span<char> s) {
  std::array<char, 12> v4;
  field::assign(v4, field::view(s));
  const timelib::Timestr t = {'2', '0',   v4[0], v4[1], '-',   v4[2], v4[3], '-',    v4[4], v4[5],
                              ' ', v4[6], v4[7], ':',   v4[8], v4[9], ':',   v4[10], v4[11]};
  timelib::copy_into(s, field::view(t));
}

std::int64_t tpack(std::string_view t) {
  const timelib::TimeFields f = date(t);
  return (
      ((((std::int64_t{f.year} * 100 + f.month) * 100 + f.day) * 100 + f.hour) * 100 + f.minute) *
          100 +
      f.second);
}

void tunpack(std::span<char> out, std::int64_t i) {
  std::array<char, 14> d;
  timelib::put_digits(d, i);
  const timelib::Timestr t = {d[0], d[1], d[2], d[3], '-',   d[4],  d[5], '-',   d[6], d[7],
                              ' ',  d[8], d[9], ':',  d[10], d[11], ':',  d[12], d[13]};
  timelib::copy_into(out, field::view(t));
}
