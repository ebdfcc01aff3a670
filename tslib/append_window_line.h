#pragma once
// The one way a window's line goes into the windows database (rawcv, segmerge, spanx).
#include <utility>

#include "common/io/outcome.h"
#include "common/io/units.h"

namespace tslib {

// Appends the window line that write(unit) writes (one record, or a few for a long
// segmerge line) to the windows database open for appending on `unit`: whole, with
// one write, or not at all (io::append_whole). The console is written out first: one
// that cannot be written ends the run with error 38 before the line goes in, so that a
// run whose report was lost never records its window.
template <class Write>
io::Result append_window_line(int unit, Write&& write, io::Takes takes) {
  io::write_out(6);
  return io::append_whole(unit, std::forward<Write>(write), takes);
}

}  // namespace tslib
