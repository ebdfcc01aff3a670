#include "tools/spanx/pause.h"

#include <array>
#include <cstdlib>
#include <string>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/units.h"
#include "common/text_field.h"
#include "tslib/tsinfo.h"

namespace spanx {
namespace {
constexpr std::array<io::Item, 1> kLine{io::lay::A()};
}  // namespace

void pause() {
  for (;;) {
    io::FreeWriter(6) << "Paused: type a command to run it, or press Enter to continue";
    std::array<char, 256> answer;
    io::FixedReader(5, kLine, io::Takes::neither) >> std::span<char>(answer);
    const std::string_view command = field::trimmed(answer);
    if (command.empty()) return;
    io::flush_all();  // the command's output must follow what was written before it
    const int status = std::system(std::string(command).c_str());
    (void)status;  // the command's own outcome is the user's to read on the console
  }
}

}  // namespace spanx
