// The event: its start and end, its duration and the number of output records.
#include <cmath>
#include <string>
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

constexpr io::Item kOneText[] = {io::lay::A()};
constexpr io::Item kTwoTexts[] = {io::lay::A(), io::lay::A()};
constexpr io::Item kDuration[] = {io::lay::A(),     io::lay::I(4, 4), io::lay::Lit("/"),
                                  io::lay::I(2, 2), io::lay::Lit("/"), io::lay::I(2, 2)};

// The time as the time library writes its six fields.
Timestr library_form(const Timestr& t) {
  Timestr out{};
  date(date(field::view(t)), out);
  return out;
}

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

// The records of both inputs are positioned by their windows' database times: the
// event lies within the later start and the earlier end.
const Timestr& later_start(const Mix& mx) {
  return tdiff(field::view(mx.in1.stime), field::view(mx.in2.stime)) > 0 ? mx.in2.stime
                                                                         : mx.in1.stime;
}

const Timestr& earlier_end(const Mix& mx) {
  return tdiff(field::view(mx.in1.etime), field::view(mx.in2.etime)) >= 0 ? mx.in1.etime
                                                                          : mx.in2.etime;
}

std::string span_of(const Input& in) {
  return std::string(field::view(in.window)) + " (" + std::string(field::view(in.stime)) + "-" +
         std::string(field::view(in.etime)) + ")";
}

// An event start before a window's start would pair that window's first records with
// the other window's records of later times.
void ask_start(Mix& mx) {
  const Timestr& limit = later_start(mx);
  ask_time("Give the required event start time >", "stime=", limit, mx.evstart);
  if (tdiff(field::view(mx.evstart), field::view(limit)) <= 0) return;
  mx.evstart = library_form(limit);
  io::FreeWriter(6) << "Event start moved to the later window start: " +
                           std::string(field::view(mx.evstart));
}

void ask_end(Mix& mx) {
  for (;;) {
    ask_time("Give the required event end   time >", "etime=", earlier_end(mx), mx.evend);
    if (tdiff(field::view(mx.evstart), field::view(mx.evend)) >= 0) return;
    io::FreeWriter(6) << "Event end is before the event start " +
                             std::string(field::view(mx.evstart)) + ": try again";
  }
}

}  // namespace

void require_common_span(const Mix& mx) {
  if (tdiff(field::view(later_start(mx)), field::view(earlier_end(mx))) >= 0) return;
  // One line however long: both spans belong in it.
  io::FixedWriter(6, kOneText) << " FATAL ERROR: windows " + span_of(mx.in1) + " and " +
                                      span_of(mx.in2) + " have no common span";
  fail();
}

void ask_event(Mix& mx) {
  ask_start(mx);
  ask_end(mx);

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
