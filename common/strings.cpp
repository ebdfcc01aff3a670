// TRUNC, SHIFTUP and waitent.
#include "common/strings.h"

#include <cstddef>
#include <string_view>

#include "common/edit/free.h"
#include "common/io/outcome.h"
#include "common/io/unit.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"

void TRUNC(std::span<char> line, std::int32_t& n) {
  const std::size_t last = field::trimmed(line).size();
  if (prtlvl.iprint >= 2) {
    io::FreeWriter(6) << "TRUNC: entered with line=" << field::view(line);
    io::FreeWriter(6) << " input length & last non-blank=" << static_cast<std::int32_t>(line.size())
                      << static_cast<std::int32_t>(last);
  }
  if (last == 0) {
    n = 0;
    return;
  }
  std::size_t first = 0;
  while (line[first] == ' ') ++first;  // a non-blank exists at last - 1
  if (first > 0) {
    for (std::size_t k = first; k < line.size(); ++k) line[k - first] = line[k];
    for (std::size_t k = line.size() - first; k < line.size(); ++k) line[k] = ' ';
  }
  n = static_cast<std::int32_t>(last - first);
}

std::int32_t SHIFTUP(std::span<char> string) {
  const bool echo = prtlvl.iprint >= 30;
  if (echo) io::FreeWriter(6) << "SHIFTUP: entered with string=" << field::view(string);
  const auto length = static_cast<std::int32_t>(field::trimmed(string).size());
  if (length == 0 || string[0] == '\0') return length;
  std::int32_t ns = 0;
  TRUNC(string, ns);
  const auto count = static_cast<std::size_t>(ns);
  if (echo)
    io::FreeWriter(6) << "SHIFTUP: after TRUNC, ns, string=" << ns << " "
                      << field::view(string.first(count));
  if (ns == 0) return ns;
  for (std::size_t i = 0; i < count; ++i) {
    const auto code = static_cast<unsigned char>(string[i]);
    string[i] = static_cast<char>(common::shiftup_table[code]);
    if (prtlvl.iprint >= 50)
      io::FreeWriter(6) << "i, ic, string(i:i)=" << static_cast<std::int32_t>(i + 1)
                        << static_cast<std::int32_t>(code) << " "
                        << field::view(string.subspan(i, 1));
  }
  if (echo)
    io::FreeWriter(6) << "SHIFTUP: leaving with string=" << field::view(string.first(count));
  return ns;
}

void waitent(std::string_view message) {
  io::FreeWriter(6) << message << " .....press <ENT> to continue";
  io::Unit& console = io::unit_for(5);
  std::string_view ignored;
  io::settle(console.read_line(ignored), io::Takes::neither, console.report_number(),
             console.path());
}
