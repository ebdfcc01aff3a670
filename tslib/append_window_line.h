#pragma once
// The one way a window's line goes into the windows database (rawcv, segmerge, spanx).
#include <utility>

#include "common/io/outcome.h"
#include "common/io/units.h"

namespace tslib {

// Appends the window line that write(unit) writes (one record, or a few for a long
// segmerge line) to the windows database open for appending on `unit`: whole, with
// one write, or not at all (io::append_whole).
template <class Write>
io::Result append_window_line(int unit, Write&& write, io::Takes takes) {
  return io::append_whole(unit, std::forward<Write>(write), takes);
}

}  // namespace tslib
