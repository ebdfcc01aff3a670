#pragma once
// Whether the tools can work on the info block last read (tsinfo): one sample per
// data record (a file with several would lose all but the first of each record), a
// channel count the value arrays hold, and a DELTA_T that a count of samples can be
// worked out from.
#include <string_view>

namespace tslib {

// True when SEQ_REC is at most 1, NCHAN is 1 to 5 and DELTA_T is a number above 0
// whose reciprocal is a number too.
// Otherwise one console line names the file and the value it cannot take (for
// SEQ_REC a second line says how the window must be converted), and the result is
// false.
bool usable_input(std::string_view file);

}  // namespace tslib
