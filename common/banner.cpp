#include "common/banner.h"

#include <array>
#include <string>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/probes.h"

namespace {

// The build-date text shown by the long banner: 40 characters, blank-padded.
constexpr std::string_view kBuildDate = "Mon Mar 8 18:03:30 GMT 2004             ";
static_assert(kBuildDate.size() == 40);

constexpr io::Item kShortBanner[] = {io::lay::A(), io::lay::Lit(": ver="), io::lay::A(),
                                     io::lay::Lit("   "), io::lay::A(),
                                     io::lay::Lit(" precision")};
static_assert(io::valid_layout(kShortBanner));

std::string_view trimmed(std::string_view name) {
  const auto last = name.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : name.substr(0, last + 1);
}

void long_banner(std::string_view name, bool single) {
  std::string title = " >>>>>>>>>>>>> ";
  title += name;
  title += " <<<<<<<<<<<<<<<<<";
  io::FreeWriter(6) << " ";
  io::FreeWriter(6) << title;
  io::FreeWriter(6) << " ";
  io::FreeWriter(6) << "           version = " << kVersion;
  io::FreeWriter(6) << "build date = " << kBuildDate;
  io::FreeWriter(6) << " ";
  io::FreeWriter(6) << (single ? "        SINGLE PRECISION version"
                               : "        DOUBLE PRECISION version");
  static constexpr std::array<std::string_view, 11> tail = {
      " ",
      "It is assumed that this program is being run from",
      "the database directory of the project ",
      "(e.g. /local/mt/varl/abx)  ",
      "and that all data files reside in subdirectories",
      "with the respective station names ",
      "(e.g. /local/mt/varl/abx/abx001 abx002 etc.)",
      " ",
      "windows and hardware database files are required",
      "(e.g. windows.abx & hardware.abx) ",
      " ",
  };
  for (std::string_view line : tail) io::FreeWriter(6) << line;
}

}  // namespace

void banner(std::string_view name) {
  const std::string_view shown = trimmed(name);
  bool single = false;
  precflag(single);
  if (prtlvl.iprint > 0) {
    long_banner(shown, single);
    return;
  }
  io::FreeWriter(6) << " ";
  io::FixedWriter(6, kShortBanner) << shown << kVersion << (single ? "SINGLE" : "DOUBLE");
  io::FreeWriter(6) << " ";
}
