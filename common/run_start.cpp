#include "common/run_start.h"

#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/prompt.h"

namespace common {

void ask_print_level() { iinput("Give print level (-1/0/1/2/3)", prtlvl.iprint); }

void startup_echo(std::string_view date, std::string_view endian) {
  if (prtlvl.iprint <= 0) return;
  io::FreeWriter(6) << "Program start at: " << date;
  io::FreeWriter(6) << "Machine endian  : " << endian;
  io::FreeWriter(6) << "UNIX setting    : " << false;
}

}  // namespace common
