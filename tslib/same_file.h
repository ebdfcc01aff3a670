#pragma once
// Whether two file names name one file, so that a program never opens for writing a
// file it is reading.
#include <filesystem>
#include <string_view>
#include <system_error>

namespace tslib {

// The same name, or two names of one existing file (a link, another path to it).
inline bool same_file(std::string_view a, std::string_view b) {
  std::error_code ec;
  return a == b ||
         std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), ec);
}

}  // namespace tslib
