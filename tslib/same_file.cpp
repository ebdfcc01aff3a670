// Two names of one file, through links and for files not created yet.
#include "tslib/same_file.h"

#include <filesystem>
#include <system_error>

namespace tslib {
namespace {

namespace fs = std::filesystem;

// As many links as the platform follows before it gives up on a loop.
constexpr int kMaxLinks = 40;

// Where an open that creates `name` puts the file: its final symbolic links followed
// even when they dangle, the directories above resolved to an absolute path.
fs::path creation_target(fs::path name) {
  std::error_code ec;
  for (int hop = 0; hop < kMaxLinks && fs::is_symlink(fs::symlink_status(name, ec)); ++hop) {
    const fs::path target = fs::read_symlink(name, ec);
    if (ec) break;
    name = target.is_absolute() ? target : name.parent_path() / target;
  }
  // Absolute first: a relative name none of whose directories exists stays relative.
  const fs::path absolute = fs::absolute(name, ec);
  const fs::path resolved = fs::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : resolved;
}

}  // namespace

bool same_file(std::string_view a, std::string_view b) {
  // A name holding NUL opens nothing.
  if (a.find('\0') != std::string_view::npos || b.find('\0') != std::string_view::npos)
    return false;
  const fs::path pa(a);
  const fs::path pb(b);
  std::error_code ec;
  const fs::file_status sa = fs::status(pa, ec);
  const fs::file_status sb = fs::status(pb, ec);
  if (fs::exists(sa) && fs::exists(sb))
    return fs::is_regular_file(sa) && fs::equivalent(pa, pb, ec);
  if (fs::exists(sa) || fs::exists(sb)) return false;
  return creation_target(pa) == creation_target(pb);
}

}  // namespace tslib
