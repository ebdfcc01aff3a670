// The event: its start and end, its duration and the number of output records.
#include <cmath>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/time_question.h"
#include "common/timelib.h"
#include "tools/chanmixer/chanmixer.h"

namespace chanmixer {
namespace {

constexpr io::Item kOneText[] = {io::lay::A()};
constexpr io::Item kDuration[] = {io::lay::A(),     io::lay::I(4, 4),  io::lay::Lit("/"),
                                  io::lay::I(2, 2), io::lay::Lit("/"), io::lay::I(2, 2)};

// An event time: the question line, then the answer on the prompt " "; the echo shows
// the answer as typed, and a question asked again offers the first default.
Timestr ask_event_time(std::string_view heading, std::string_view echo, const Timestr& dflt) {
  return ask_time({.prompt = " ", .heading = heading, .echo = echo, .offer_refused = false}, dflt);
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
  mx.evstart = ask_event_time("Give the required event start time >", "stime=", limit);
  if (tdiff(field::view(mx.evstart), field::view(limit)) <= 0) return;
  mx.evstart = library_form(field::view(limit));
  io::FreeWriter(6) << "Event start moved to the later window start: " +
                           std::string(field::view(mx.evstart));
}

void ask_end(Mix& mx) {
  for (;;) {
    mx.evend = ask_event_time("Give the required event end   time >", "etime=", earlier_end(mx));
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
  // The seconds times the second file's rate in Hz, in float.
  const float count = mx.in2.sampling.as_rate().samples_in<float>(d);
  mx.nrec = std::isfinite(count) && std::fabs(count) < 2.0e9f
                ? static_cast<std::int32_t>(count)  // cut toward zero
                : 0;                                // an event too long to count gets no records
  io::FreeWriter(6) << "Total number of data requested:" << mx.nrec;

  io::FreeWriter(6) << "Co-ordinates of acquisition ==>";
  for (const Input* in : {&mx.in1, &mx.in2}) {
    const std::string_view label = in == &mx.in1 ? "File 1: Channel:" : "File 2: Channel:";
    for (std::int32_t j = 1; j <= in->nchan; ++j)
      io::FreeWriter(6) << label << j << "   azimuth =" << in->info.AZIM_[j - 1];
  }
}

}  // namespace chanmixer
