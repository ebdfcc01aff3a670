#include "common/io/command_line.h"

namespace io {
namespace {

// main's own argc and argv, which last as long as the process.
int g_argc = 0;
char** g_argv = nullptr;

}  // namespace

void keep_command_line(int argc, char** argv) {
  g_argc = argv != nullptr && argc > 0 ? argc : 0;
  g_argv = argv;
}

std::size_t argument_count() { return static_cast<std::size_t>(g_argc); }

std::string_view argument(std::size_t i) {
  if (i >= argument_count() || g_argv[i] == nullptr) return {};
  return g_argv[i];
}

}  // namespace io
