// The event: its start and end, its duration and the number of output records.
#include <cmath>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/chanmixer/chanmixer.h"

namespace chanmixer {
namespace {

constexpr io::Item kTwoTexts[] = {io::lay::A(), io::lay::A()};
constexpr io::Item kDuration[] = {io::lay::A(),     io::lay::I(4, 4), io::lay::Lit("/"),
                                  io::lay::I(2, 2), io::lay::Lit("/"), io::lay::I(2, 2)};

// Asks until every field of the answer is in range; the answer is kept as the time
// library writes its six fields (its separator columns may hold any character, and
// the header is read by column), while the echo shows it as typed.
void ask_time(std::string_view question, std::string_view echo, const Timestr& dflt,
              Timestr& answer) {
  for (;;) {
    if (prtlvl.iprint >= 0) io::FixedWriter(6, kTwoTexts) << question << "yyyy-mm-dd hh:mm:ss";
    answer = dflt;
    cinput(" ", answer);
    const TimeFields f = date(field::view(answer));
    if (prtlvl.iprint >= 2) {
      io::FreeWriter(6) << echo << field::view(answer);
      io::FreeWriter(6) << " yy, mm, dd, hh, min =>" << f.year << f.month << f.day << f.hour
                        << f.minute << f.second;
    }
    std::int32_t ierr = 0;
    chktim(f.year, f.month, f.day, f.hour, f.minute, f.second, ierr);
    if (ierr == 0) {
      date(f, answer);
      return;
    }
  }
}

}  // namespace

void ask_event(Mix& mx) {
  const Timestr& later_start =
      tdiff(field::view(mx.in1.stime), field::view(mx.in2.stime)) > 0 ? mx.in2.stime : mx.in1.stime;
  ask_time("Give the required event start time >", "stime=", later_start, mx.evstart);
  const Timestr& earlier_end =
      tdiff(field::view(mx.in1.etime), field::view(mx.in2.etime)) >= 0 ? mx.in1.etime : mx.in2.etime;
  ask_time("Give the required event end   time >", "etime=", earlier_end, mx.evend);

  const std::int32_t d = tdiff(field::view(mx.evstart), field::view(mx.evend));
  const std::int32_t days = d / 86400;
  const std::int32_t hours = (d - days * 86400) / 3600;
  const std::int32_t minutes = (d - (d / 3600) * 3600) / 60;
  if (prtlvl.iprint >= 0)
    io::FixedWriter(6, kDuration) << "Duration (dddd/hh/mm) : " << days << hours << minutes;
  const float count = static_cast<float>(d) * mx.in2.rate_hz;
  mx.nrec = std::isfinite(count) && std::fabs(count) < 2.0e9f
                ? static_cast<std::int32_t>(count)  // cut toward zero
                : 0;
  io::FreeWriter(6) << "Total number of data requested:" << mx.nrec;

  io::FreeWriter(6) << "Co-ordinates of acquisition ==>";
  for (const Input* in : {&mx.in1, &mx.in2}) {
    const std::string_view label = in == &mx.in1 ? "File 1: Channel:" : "File 2: Channel:";
    for (std::int32_t j = 1; j <= in->nchan; ++j)
      io::FreeWriter(6) << label << j << "   azimuth =" << in->info.AZIM_[j - 1];
  }
}

}  // namespace chanmixer
