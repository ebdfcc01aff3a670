#pragma once
// The tools read one sample per data record: a file whose records hold several
// (SEQ_REC above 1) would lose all but the first sample of each record.
#include <string_view>

namespace tslib {

// True when the info block last read (tsinfo) gives at most one sample per record.
// Otherwise console lines name the file and its SEQ_REC and say that the window must
// be converted with one sample per record, and the result is false.
bool one_sample_per_record(std::string_view file);

}  // namespace tslib
