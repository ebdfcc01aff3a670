// segmerge: splices consecutive recording windows of one station into one BINARY ts
// file, filling the gaps between them with the missing-data marker, and records the
// spliced window in the windows database.
#include "common/io/end.h"
#include "tools/segmerge/segmerge.h"
#include "tools/startup/startup.h"

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  const tools::Startup st = tools::tool_startup(tools::kSegmerge);
  // The run's state, about 3 KB, lives on main's stack for the whole run.
  segmerge::Splice sp;
  sp.date = st.date;
  segmerge::read_window_list(sp);
  segmerge::open_output(sp);
  segmerge::splice_windows(sp);
  segmerge::report(sp);
  segmerge::close_output();
  segmerge::append_window_line(sp);
  io::end_program(io::Outcome::success, "Done.");
}
