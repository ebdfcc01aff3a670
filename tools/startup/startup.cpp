// The start-up sequence shared by the tools.
#include "tools/startup/startup.h"

#include <string_view>

#include "common/banner.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/prompt.h"

namespace tools {

void ask_print_level() { iinput("Give print level (-1/0/1/2/3)", prtlvl.iprint); }

void print_startup_echo(std::string_view date, std::string_view endian) {
  io::FreeWriter(6) << "Program start at: " << date;
  io::FreeWriter(6) << "Machine endian  : " << endian;
  io::FreeWriter(6) << "UNIX setting    : " << false;
}

Startup tool_startup(const StartupSpec& spec) {
  Startup st;
  st.date.fill(' ');
  st.endian.fill(' ');
  if (spec.take_date) datetext(st.date);
  if (spec.take_byte_order) chkend(st.endian);
  read_command_line(spec.help_line);
  if (!spec.ask_only_at_level_zero || prtlvl.iprint == 0) ask_print_level();
  if (spec.echo && prtlvl.iprint > 0)
    print_startup_echo(std::string_view(st.date.data(), st.date.size()),
                       std::string_view(st.endian.data(), st.endian.size()));
  banner(spec.banner, spec.name);
  return st;
}

}  // namespace tools
