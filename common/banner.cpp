#include "common/banner.h"

#include <array>
#include <span>
#include <string>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/text_field.h"

namespace {

using Lines = std::span<const std::string_view>;

// Where the programs expect to be run: the tools' wording, then the converter's.
constexpr std::string_view kWhereRun[] = {
    "It is assumed that this program is being run from",
    "the database directory of the project ",
    "(e.g. /local/mt/varl/abx)  ",
    "and that all data files reside in subdirectories",
    "with the respective station names ",
    "(e.g. /local/mt/varl/abx/abx001 abx002 etc.)",
};
constexpr std::string_view kConverterWhereRun[] = {
    " It is assumed that this program is being run from",
    " the database directory of the project ",
    " (e.g. .../abx)  ",
    " and that all data files reside in subdirectories",
    " with the respective station names ",
    " (e.g. .../abx/abx001 abx002 etc.)",
};

constexpr std::string_view kBothDatabases[] = {
    " ",
    "windows and hardware database files are required",
    "(e.g. windows.abx & hardware.abx) ",
    " ",
};
constexpr std::string_view kConverterDatabases[] = {
    " ",
    " windows and hardware database files are required",
    " (e.g. windows.abx & hardware.abx) ",
    " ",
};
constexpr std::string_view kWindowsDatabase[] = {
    " ",
    "windows database file is required",
    "(e.g. windows.abx)",
    " ",
    "NOTE: ONLY THE TIMES IN THE WINDOWS FILE ARE SPLICED",
    " ",
};

struct BannerText {
  std::string_view before_name;  // the title line: these, the name, after_name
  std::string_view name;         // empty: the caller's name
  std::string_view after_name;
  std::string_view build_date;  // 40 characters, blank-padded
  int lowest_level;             // shown from this print level up
  bool precision;               // the precision line; the short form below lowest_level
  Lines where_run;
  Lines closing;
};

constexpr std::string_view kNarrowIn = " >>>>>>>>>>>>> ";
constexpr std::string_view kNarrowOut = " <<<<<<<<<<<<<<<<<";
constexpr std::string_view kWideIn = " >>>>>>>>>>>>>>> ";
constexpr std::string_view kWideOut = " <<<<<<<<<<<<<<<<<<<";

// In the order of BannerKind.
constexpr std::array<BannerText, 4> kBanners = {{
    {kNarrowIn, "", kNarrowOut, "Mon Mar 8 18:03:30 GMT 2004             ", 1, true, kWhereRun,
     kBothDatabases},
    {kWideIn, "segmerge", kWideOut, "Wed Jul 21 09:41:05 EDT 2004            ", 1, false, kWhereRun,
     kWindowsDatabase},
    {kNarrowIn, "wincutter", kNarrowOut, "Tue Jul 20 13:17:22 EDT 2004            ", 1, false,
     kWhereRun, kBothDatabases},
    {kWideIn, "rawcv", kWideOut, "Tue Jul 20 13:17:22 EDT 2004            ", 0, false,
     kConverterWhereRun, kConverterDatabases},
}};
static_assert([] {
  for (const BannerText& b : kBanners)
    if (b.build_date.size() != 40) return false;
  return true;
}());

constexpr io::Item kShortBanner[] = {io::lay::A(), io::lay::Lit(": ver="),
                                     io::lay::A(), io::lay::Lit("   "),
                                     io::lay::A(), io::lay::Lit(" precision")};
static_assert(io::valid_layout(kShortBanner));

void line(std::string_view text) { io::FreeWriter(6) << text; }

void long_banner(const BannerText& b, std::string_view name, bool single) {
  std::string title(b.before_name);
  title += name;
  title += b.after_name;
  line(" ");
  line(title);
  line(" ");
  io::FreeWriter(6) << "           version = " << common::kVersion;
  io::FreeWriter(6) << "build date = " << b.build_date;
  line(" ");
  if (b.precision) {
    line(single ? "        SINGLE PRECISION version" : "        DOUBLE PRECISION version");
    line(" ");
  }
  for (std::string_view text : b.where_run) line(text);
  for (std::string_view text : b.closing) line(text);
}

void short_banner(std::string_view name, bool single) {
  line(" ");
  io::FixedWriter(6, kShortBanner) << name << common::kVersion << (single ? "SINGLE" : "DOUBLE");
  line(" ");
}

}  // namespace

void banner(common::BannerKind kind, std::string_view name) {
  const BannerText& b = kBanners[static_cast<std::size_t>(kind)];
  const std::string_view shown = b.name.empty() ? field::trimmed(name) : b.name;
  bool single = false;
  if (b.precision) precflag(single);
  if (prtlvl.iprint >= b.lowest_level) {
    long_banner(b, shown, single);
  } else if (b.precision) {
    short_banner(shown, single);
  }
}
