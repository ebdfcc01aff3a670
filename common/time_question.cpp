// The time question: asked until chktim accepts the answer.
#include "common/time_question.h"

#include <cstdint>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"

namespace timelib {
namespace {

constexpr io::Item kHeading[] = {io::lay::A(), io::lay::A()};

void echo(std::string_view label, const Timestr& answer, const TimeFields& f) {
  io::FreeWriter(6) << label << field::view(answer);
  io::FreeWriter(6) << " yy, mm, dd, hh, min =>" << f.year << f.month << f.day << f.hour << f.minute
                    << f.second;
}

}  // namespace

Timestr ask_time(const TimeQuestion& question, const Timestr& first_default) {
  Timestr answer = first_default;
  for (;;) {
    if (!question.heading.empty() && prtlvl.iprint >= 0)
      io::FixedWriter(6, kHeading) << question.heading << "yyyy-mm-dd hh:mm:ss";
    if (!question.offer_refused) answer = first_default;
    cinput(question.prompt, answer);
    const TimeFields f = date(field::view(answer));
    if (!question.echo.empty() && prtlvl.iprint >= 2) echo(question.echo, answer, f);
    std::int32_t ierr = 0;
    chktim(f.year, f.month, f.day, f.hour, f.minute, f.second, ierr);
    if (ierr == 0) {
      date(f, answer);
      return answer;
    }
  }
}

}  // namespace timelib
