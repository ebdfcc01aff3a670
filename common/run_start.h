#pragma once
// The beginning that the converter and the tools share: the print-level question and
// the start-up echo of the run's date and the byte order.
#include <string_view>

namespace common {

// "Give print level (-1/0/1/2/3)" with the current level as default; the answer is
// the print level.
void ask_print_level();

// Above print level 0, three free-layout lines, each a text and a value:
// "Program start at: " date, "Machine endian  : " endian, "UNIX setting    : " F.
void startup_echo(std::string_view date, std::string_view endian);

}  // namespace common
