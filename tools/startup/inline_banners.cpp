// The inline banners of the splicer (S) and of the cutter and header dumper (W).
#include <array>
#include <string_view>

#include "common/banner.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "tools/startup/startup.h"

namespace tools {
namespace {

// Lines 9 to 14 of the long banner: where the tools expect to be run.
constexpr std::array<std::string_view, 6> kWhereRun = {
    "It is assumed that this program is being run from",
    "the database directory of the project ",
    "(e.g. /local/mt/varl/abx)  ",
    "and that all data files reside in subdirectories",
    "with the respective station names ",
    "(e.g. /local/mt/varl/abx/abx001 abx002 etc.)",
};

void line(std::string_view text) { io::FreeWriter(6) << text; }

void head(std::string_view title, std::string_view build_date) {
  line(" ");
  line(title);
  line(" ");
  io::FreeWriter(6) << "           version = " << ::kVersion;
  io::FreeWriter(6) << "build date = " << build_date;
  line(" ");
  for (std::string_view text : kWhereRun) line(text);
  line(" ");
}

}  // namespace

void print_banner_cutter() {
  if (prtlvl.iprint <= 0) return;
  head(" >>>>>>>>>>>>> wincutter <<<<<<<<<<<<<<<<<", kCutterBuildDate);
  line("windows and hardware database files are required");
  line("(e.g. windows.abx & hardware.abx) ");
  line(" ");
}

void print_banner_splicer() {
  if (prtlvl.iprint <= 0) return;
  head(" >>>>>>>>>>>>>>> segmerge <<<<<<<<<<<<<<<<<<<", kSplicerBuildDate);
  line("windows database file is required");
  line("(e.g. windows.abx)");
  line(" ");
  line("NOTE: ONLY THE TIMES IN THE WINDOWS FILE ARE SPLICED");
  line(" ");
}

}  // namespace tools
