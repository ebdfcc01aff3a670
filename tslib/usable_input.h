#pragma once
// Whether the tools can work on the info block last read (tsinfo): one sample per
// data record (a file with several would lose all but the first of each record), a
// channel count the value arrays hold, a DELTA_T that 32-bit counts of samples and
// seconds can be worked out from, and a STARTTIME that is a time.
#include <string_view>

namespace tslib {

// ts_rdinfo on the unit, after clearing the values usable_input requires (NCHAN,
// DELTA_T, T_UNITS and STARTTIME: 0 and blanks), so that a block that lacks one of them
// is refused rather than given the value of the file read before it. The other fields
// keep what they held, as ts_rdinfo leaves them.
void read_info_afresh(int unit);

// True when SEQ_REC is 1 (ts_rdinfo's default for a block without one), NCHAN is 1 to 5, DELTA_T is
// a number above 0 whose reciprocal is a number too and, in the units of T_UNITS, neither one
// second holds more samples nor one sample lasts more seconds than a 32-bit count holds, and
// STARTTIME is a complete "yyyy-mm-dd hh:mm:ss" whose fields read as integers in chktim's ranges.
// Otherwise one console line names the file and the value it cannot take (for a
// SEQ_REC above 1 a second line says how the window must be converted), and the result
// is false. Time units other than s and Hz are left to the caller's refusal.
bool usable_input(std::string_view file);

}  // namespace tslib
