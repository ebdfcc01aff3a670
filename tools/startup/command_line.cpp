// The tools' command line: help, or the print level from each argument's first two
// characters.
#include <array>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/text_field.h"
#include "tools/startup/startup.h"

namespace tools {
namespace {
constexpr io::Item kLevelField[] = {io::lay::I(2)};
}

void read_command_line(std::string_view help_line) {
  const int n = ncmdarg();
  for (int i = 1; i <= n; ++i) {
    std::array<char, 10> arg;
    cmdarg(i, arg);
    const std::string_view text = field::view(arg);
    if (text.find('h') != std::string_view::npos) {
      io::FreeWriter(6) << "Permitted options:-";
      io::FreeWriter(6) << help_line;
      io::end_program(io::Outcome::success);
    }
    // Characters 3 to 10 are not read: "-10" sets -1.
    auto reader = io::FixedReader::from_field(text.substr(0, 2), kLevelField, io::Takes::neither);
    reader >> prtlvl.iprint;
    reader.finish();
  }
}

}  // namespace tools
