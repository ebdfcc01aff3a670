// chanmixer: builds one BINARY ts file from chosen channels of two ts files over a
// common time span, the event.
#include "common/io/end.h"
#include "common/io/units.h"
#include "tools/chanmixer/chanmixer.h"
#include "tools/startup/startup.h"

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  const tools::Startup st = tools::tool_startup(tools::kChanmixer);
  // The run's state, about 1 KB (two copies of an info record), lives on main's stack.
  chanmixer::Mix mx;
  mx.date = st.date;
  chanmixer::ask_windows(mx);
  chanmixer::open_inputs(mx);
  chanmixer::look_up_windows(mx);
  chanmixer::require_common_span(mx);
  chanmixer::ask_event(mx);
  chanmixer::ask_channel_map(mx);
  // Opened after the last question: a run whose answers run out leaves an existing
  // output as it was and creates none.
  chanmixer::open_output(mx);
  chanmixer::write_header(mx);
  chanmixer::position_inputs(mx);
  chanmixer::mix_records(mx);
  // Written out before "Done.": an output that cannot be written out whole, or a
  // console that cannot take the report, gets the error report instead.
  io::write_out(6);
  io::close(chanmixer::kOutput);
  io::end_program(io::Outcome::success, "Done.");
}
