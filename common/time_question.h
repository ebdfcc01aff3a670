#pragma once
// The time question of the dialogues: a time asked for until its six fields are in
// range, and kept as the time library writes them.
#include <string_view>

#include "common/timelib.h"

namespace timelib {

// How a time question is put, beside its default.
struct TimeQuestion {
  std::string_view prompt;  // the prompt routine's text
  // When not empty: before every asking, at print level 0 and above, a line of this
  // text followed by "yyyy-mm-dd hh:mm:ss".
  std::string_view heading = {};
  // When not empty: after every answer, at print level 2 and above, a line of this
  // label with the answer as typed, and a line of its six fields.
  std::string_view echo = {};
  // An answer refused is the default when the question comes again; otherwise the
  // first default is, every time.
  bool offer_refused = true;
};

// Asks until chktim accepts the six fields of the answer (it names each one out of
// range), and returns the answer as the time library writes the fields: the separator
// columns of an answer may hold any character, while headers and the windows database
// are read by column and compared as texts. An answer whose number columns hold no
// number ends the program with the conversion error report.
Timestr ask_time(const TimeQuestion& question, const Timestr& first_default);

}  // namespace timelib
