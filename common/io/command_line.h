#pragma once
// The command line as the program's main received it: start_program keeps it for the
// argument probes (ncmdarg, cmdarg). Until then there are no arguments at all.
#include <cstddef>
#include <string_view>

namespace io {

void keep_command_line(int argc, char** argv);

// The number of arguments, the program's name (argument 0) included.
std::size_t argument_count();
// Argument i as main received it; empty for an i beyond the last.
std::string_view argument(std::size_t i);

}  // namespace io
