// The start-up sequence shared by the tools.
#include "tools/startup/startup.h"

#include <string_view>

#include "common/banner.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/run_start.h"
#include "common/text_field.h"

namespace tools {

Startup tool_startup(const StartupSpec& spec) {
  Startup st;
  st.date.fill(' ');
  st.endian.fill(' ');
  if (spec.take_date) datetext(st.date);
  if (spec.take_byte_order) chkend(st.endian);
  read_command_line(spec.help_line);
  if (!spec.ask_only_at_level_zero || prtlvl.iprint == 0) common::ask_print_level();
  if (spec.echo) common::startup_echo(field::view(st.date), field::view(st.endian));
  banner(spec.banner, spec.name);
  return st;
}

}  // namespace tools
