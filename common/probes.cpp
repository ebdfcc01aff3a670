#include "common/probes.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "common/edit/free.h"
#include "common/io/command_line.h"
#include "common/printlevel.h"
#include "common/text_field.h"

void chkend(std::span<char> e) {
  constexpr bool little = std::endian::native == std::endian::little;
  if (prtlvl.iprint > 0)
    io::FreeWriter(6) << (little ? "chkend: machine is Little-Endian"
                                 : "chkend: machine is Big-Endian");
  constexpr std::string_view word = little ? "Little" : "Big   ";
  std::copy_n(word.begin(), std::min(word.size(), e.size()), e.begin());
}

void dirsep(std::span<char> sep) {
  if (!sep.empty()) sep[0] = common::kDirSeparator;
  if (prtlvl.iprint >= 3)
    io::FreeWriter(6) << "dirsep: directory seperator set to >"
                      << std::string_view(&common::kDirSeparator, 1);
}

std::int32_t ncmdarg() {
  const std::size_t n = io::argument_count();
  return n == 0 ? 0 : static_cast<std::int32_t>(n - 1);
}

void cmdarg(std::int32_t i, std::span<char> arg) {
  field::assign(arg, i >= 0 ? io::argument(static_cast<std::size_t>(i)) : std::string_view{});
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
