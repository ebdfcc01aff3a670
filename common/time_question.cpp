// The time question: asked until chktim accepts the answer.
#include "common/time_question.h"

#include <cstdint>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"

namespace {

constexpr io::Item kHeading[] = {io::lay::A(), io::lay::A()};

void echo(std::string_view label, const timelib::Timestr& answer, const timelib::TimeFields& f) {
  io::FreeWriter(6) << label << field::view(answer);
  io::FreeWriter(6) << " yy, mm, dd, hh, min =>" << f.year << f.month << f.day << f.hour << f.minute
                    << f.second;
}

}  // namespace

timelib::Timestr timelib::ask_time(const timelib::TimeQuestion& question, const timelib::Timestr& first_default) {
  timelib::Timestr answer = first_default;
  for (;;) {
    if (!question.heading.empty() && prtlvl.iprint >= 0)
      io::FixedWriter(6, kHeading) << question.heading << "yyyy-mm-dd hh:mm:ss";
    if (!question.offer_refused) answer = first_default;
    cinput(question.prompt, answer);
    const timelib::TimeFields f = date(field::view(answer));
    if (!question.echo.empty() && prtlvl.iprint >= 2) echo(question.echo, answer, f);
    std::int32_t ierr = 0;
    chktim(f.year, f.month, f.day, f.hour, f.minute, f.second, ierr);
    if (ierr == 0) {
      date(f, answer);
      return answer;
    }
  }
}
