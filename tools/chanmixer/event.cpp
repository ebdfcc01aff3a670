// The event: its start and end, its duration and the number of output records.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/time_question.h"
#include "common/timelib.h"
#include "tools/chanmixer/chanmixer.h"
#include "tslib/counts.h"

namespace chanmixer {
namespace {

constexpr io::Item kDuration[] = {io::lay::A(),     io::lay::I(4, 4),  io::lay::Lit("/"),
                                  io::lay::I(2, 2), io::lay::Lit("/"), io::lay::I(2, 2)};

// An event time: the question line, then the answer on the prompt " "; the echo shows
// the answer as typed, and a question asked again offers the first default.
timelib::Timestr ask_event_time(std::string_view heading, std::string_view echo,
                                const timelib::Timestr& dflt) {
  return timelib::ask_time(
      {.prompt = " ", .heading = heading, .echo = echo, .offer_refused = false}, dflt);
}

// The seconds between two times: tdiff where the comparison prints its year lines,
// seconds_between for the checks besides.
using Seconds = std::int64_t (*)(std::string_view, std::string_view);

// The records of both inputs are positioned by their windows' database times: the
// event lies within the later start and the earlier end.
const timelib::Timestr& later_start(const Mix& mx, Seconds seconds = tdiff) {
  return seconds(field::view(mx.in1.stime), field::view(mx.in2.stime)) > 0 ? mx.in2.stime
                                                                           : mx.in1.stime;
}

const timelib::Timestr& earlier_end(const Mix& mx, Seconds seconds = tdiff) {
  return seconds(field::view(mx.in1.etime), field::view(mx.in2.etime)) >= 0 ? mx.in1.etime
                                                                            : mx.in2.etime;
}

std::string span_of(const Input& in) {
  return std::string(field::view(in.window)) + " (" + std::string(field::view(in.stime)) + "-" +
         std::string(field::view(in.etime)) + ")";
}

// An event start before a window's start would pair that window's first records with
// the other window's records of later times: it is moved to the later start. One after
// the common span would give records of neither window: it is asked again.
void ask_start(Mix& mx) {
  const timelib::Timestr& limit = later_start(mx);
  const timelib::Timestr span_end =
      timelib::library_form(field::view(earlier_end(mx, timelib::seconds_between)));
  for (;;) {
    mx.evstart = ask_event_time("Give the required event start time >", "stime=", limit);
    if (tdiff(field::view(mx.evstart), field::view(limit)) > 0) {
      mx.evstart = timelib::library_form(field::view(limit));
      io::FreeWriter(6) << "Event start moved to the later window start: " +
                               std::string(field::view(mx.evstart));
      return;
    }
    if (timelib::seconds_between(field::view(mx.evstart), field::view(span_end)) >= 0) return;
    io::FreeWriter(6) << "Event start is after the end of the common span " +
                             std::string(field::view(span_end)) + ": try again";
  }
}

void ask_end(Mix& mx) {
  for (;;) {
    mx.evend = ask_event_time("Give the required event end   time >", "etime=", earlier_end(mx));
    if (tdiff(field::view(mx.evstart), field::view(mx.evend)) >= 0) return;
    io::FreeWriter(6) << "Event end is before the event start " +
                             std::string(field::view(mx.evstart)) + ": try again";
  }
}

// A count of records, cut toward zero, as the 32-bit value that holds it; one beyond
// ends the run.
std::int32_t records(const Input& in, std::string_view what, float count) {
  return tslib::count_or_fail(field::trimmed(in.file), what, std::trunc(count));
}

// The records before the event start, reckoned now so that a count beyond 32 bits ends
// the run before the output is opened. Both files have the same rate: the second
// file's sampling, which the output's info block has, serves for both, cut toward zero
// in float.
void count_skips(Mix& mx) {
  for (Input* in : {&mx.in1, &mx.in2}) {
    const std::int64_t s =
        timelib::seconds_between(field::view(in->stime), field::view(mx.evstart));
    in->nskip = s > 0 ? records(*in, "records to skip",
                                mx.in2.sampling.samples_in<float>(static_cast<float>(s)))
                      : 0;
  }
}

}  // namespace

void require_common_span(const Mix& mx) {
  if (tdiff(field::view(later_start(mx)), field::view(earlier_end(mx))) >= 0) return;
  // One line however long: both spans belong in it.
  io::fail_run({" FATAL ERROR: windows ", span_of(mx.in1), " and ", span_of(mx.in2),
                " have no common span"});
}

void ask_event(Mix& mx) {
  ask_start(mx);
  ask_end(mx);

  const std::int64_t d = tdiff(field::view(mx.evstart), field::view(mx.evend));
  // An event of the years the time fields allow has fewer days than a 32-bit count
  // holds; four digits show it, or asterisks.
  const auto days = static_cast<std::int32_t>(d / 86400);
  const auto hours = static_cast<std::int32_t>((d - std::int64_t{days} * 86400) / 3600);
  const auto minutes = static_cast<std::int32_t>((d - (d / 3600) * 3600) / 60);
  if (prtlvl.iprint >= 0)
    io::FixedWriter(6, kDuration) << "Duration (dddd/hh/mm) : " << days << hours << minutes;
  // The seconds times the second file's rate in Hz, in float, cut toward zero.
  mx.nrec = records(mx.in2, "records requested",
                    mx.in2.sampling.as_rate().samples_in<float>(static_cast<float>(d)));
  io::FreeWriter(6) << "Total number of data requested:" << mx.nrec;
  count_skips(mx);

  io::FreeWriter(6) << "Co-ordinates of acquisition ==>";
  for (const Input* in : {&mx.in1, &mx.in2}) {
    const std::string_view label = in == &mx.in1 ? "File 1: Channel:" : "File 2: Channel:";
    for (std::int32_t j = 1; j <= in->nchan; ++j)
      io::FreeWriter(6) << label << j << "   azimuth =" << in->info.AZIM_[j - 1];
  }
}

}  // namespace chanmixer
