#pragma once
// The shared beginning of the five tools (segmerge, chanmixer, wincutter, spanx,
// hdrdmp): the local date text, the byte order, the command line (help or print
// level), the print-level question, the start-up echo and the banner. The question
// and the echo are the converter's too (common/run_start.h).
//
// A tool's main calls io::start_program(argc, argv) and then
//     const tools::Startup st = tools::tool_startup(tools::kWincutter);
// The call may end the program (help requested, unreadable argument). On return
// prtlvl.iprint is set and st.date / st.endian hold the texts the tool took.
#include <array>
#include <string_view>

#include "common/banner.h"

namespace tools {

// The help line each tool prints after "Permitted options:-".
inline constexpr std::string_view kHelpLineA = "                    -1  or -2  iprint level";
inline constexpr std::string_view kHelpLineB = "                    -1 -> 3  iprint level";
inline constexpr std::string_view kHelpLineC = "                    -1 -2 etc. iprint level";

// One row per tool of the start-up's table; a step not named in a row is not taken.
struct StartupSpec {
  std::string_view name;                // the tool's name (for the library banner)
  bool take_date = false;               // step 1: the 24-character local date text
  bool take_byte_order = false;         // step 2: chkend
  std::string_view help_line;           // step 3
  bool ask_only_at_level_zero = false;  // step 4: ask only while the level is still 0
  bool echo = false;                    // step 5: start-up echo above print level 0
  common::BannerKind banner;            // step 6
};

inline constexpr StartupSpec kSegmerge{.name = "segmerge",
                                       .take_date = true,
                                       .help_line = kHelpLineA,
                                       .banner = common::BannerKind::splicer};
inline constexpr StartupSpec kChanmixer{.name = "chanmixer",
                                        .take_date = true,
                                        .help_line = kHelpLineA,
                                        .banner = common::BannerKind::library};
inline constexpr StartupSpec kWincutter{
    .name = "wincutter", .help_line = kHelpLineB, .banner = common::BannerKind::cutter};
inline constexpr StartupSpec kSpanx{.name = "spanx",
                                    .take_date = true,
                                    .take_byte_order = true,
                                    .help_line = kHelpLineC,
                                    .ask_only_at_level_zero = true,
                                    .echo = true,
                                    .banner = common::BannerKind::library};
inline constexpr StartupSpec kHdrdmp{
    .name = "hdrdmp", .help_line = kHelpLineB, .banner = common::BannerKind::cutter};

struct Startup {
  std::array<char, 24> date;   // blanks when the tool takes no date text
  std::array<char, 6> endian;  // blanks when the tool takes no byte order
};

// Steps 1 to 6 in order.
Startup tool_startup(const StartupSpec& spec);

// Step 3: examines every command-line argument in order. An argument holding 'h'
// prints "Permitted options:-" and help_line and ends the program (status 0); any
// other sets prtlvl.iprint from its first two characters read as I2 (the last one
// wins); an unreadable one ends the program with the input conversion error report.
void read_command_line(std::string_view help_line);

}  // namespace tools
