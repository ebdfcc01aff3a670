#pragma once
// The start-up banners of the six programs, from one table.
#include <string_view>

namespace common {

// The version text of the whole system.
inline constexpr std::string_view kVersion = "v5.1";

enum class BannerKind {
  library,    // banner(name): long above print level 0, short otherwise (chanmixer, spanx)
  splicer,    // segmerge's, only above print level 0
  cutter,     // wincutter's (hdrdmp shows it too), only above print level 0
  converter,  // rawcv's, at print level 0 and above
};

}  // namespace common

// The banner of that kind; name is used by the library banner only, trailing blanks
// not shown.
void banner(common::BannerKind kind, std::string_view name = {});

// The library banner under the program's name.
inline void banner(std::string_view name) { banner(common::BannerKind::library, name); }
