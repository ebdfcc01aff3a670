#include "common/probes.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "common/edit/free.h"
#include "common/printlevel.h"
#include "common/text_field.h"

namespace {

// The process's own argument list, read once from the platform.
class CommandLine {
 public:
  static const CommandLine& get() {
    static const CommandLine line;
    return line;
  }
  std::size_t count() const { return args_.size(); }
  std::string_view at(std::size_t i) const { return args_[i]; }

 private:
  CommandLine() {
    if (std::FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
      char buf[4096];
      std::size_t got;
      while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes_.append(buf, got);
      std::fclose(f);
    }
    // Arguments are NUL-terminated, one after the other.
    std::size_t start = 0;
    while (start < bytes_.size()) {
      std::size_t end = bytes_.find('\0', start);
      if (end == std::string::npos) end = bytes_.size();
      args_.emplace_back(bytes_.data() + start, end - start);
      start = end + 1;
    }
  }
  std::string bytes_;
  std::vector<std::string_view> args_;
};

}  // namespace

void chkend(std::span<char> e) {
  constexpr bool little = std::endian::native == std::endian::little;
  if (prtlvl.iprint > 0)
    io::FreeWriter(6) << (little ? "chkend: machine is Little-Endian"
                                 : "chkend: machine is Big-Endian");
  constexpr std::string_view word = little ? "Little" : "Big   ";
  std::copy_n(word.begin(), std::min(word.size(), e.size()), e.begin());
}

void dirsep(std::span<char> sep) {
  if (!sep.empty()) sep[0] = kDirSeparator;
  if (prtlvl.iprint >= 3)
    io::FreeWriter(6) << "dirsep: directory seperator set to >"
                      << std::string_view(&kDirSeparator, 1);
}

std::int32_t ncmdarg() {
  const std::size_t n = CommandLine::get().count();
  return n == 0 ? 0 : static_cast<std::int32_t>(n - 1);
}

void cmdarg(std::int32_t i, std::span<char> arg) {
  const CommandLine& line = CommandLine::get();
  if (i >= 0 && static_cast<std::size_t>(i) < line.count())
    field::assign(arg, line.at(static_cast<std::size_t>(i)));
  else field::assign(arg, {});
}

void getdir(std::span<char> dir) {
  char buf[261];
  if (::getcwd(buf, sizeof buf) != nullptr) {
    const std::string_view path(buf);
    if (!path.empty() && path.size() <= 260) {
      field::assign(dir, path);
      return;
    }
  }
  field::assign(dir, "?");
}

void datetext(std::span<char> text) {
  static constexpr std::string_view days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::string_view months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  char buf[64] = "??? ??? ?? ??:??:?? ????";
  if (::localtime_r(&now, &t) != nullptr) {
    std::snprintf(buf, sizeof buf, "%.3s %.3s %2d %02d:%02d:%02d %04d",
                  days[static_cast<unsigned>(t.tm_wday) % 7].data(),
                  months[static_cast<unsigned>(t.tm_mon) % 12].data(), t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec, t.tm_year + 1900);
  }
  field::assign(text, std::string_view(buf).substr(0, 24));
}

void precflag(bool& flag) { flag = true; }
