// The refusal of a count beyond the 32-bit range.
#include "tslib/counts.h"

#include <array>
#include <charconv>
#include <string>

#include "common/edit/fixed.h"

namespace tslib {
namespace {

// A whole number as its digits; a value too far out for them (or not a number) in the
// shortest text that reads back as it.
std::string value_text(double value) {
  std::array<char, 32> digits{};
  char* const first = digits.data();
  char* const last = first + digits.size();
  const bool whole = std::isfinite(value) && std::fabs(value) < 9.0e18;
  const auto [end, ec] = whole ? std::to_chars(first, last, static_cast<std::int64_t>(value))
                               : std::to_chars(first, last, value);
  return std::string(first, end);
}

}  // namespace

std::optional<std::int32_t> fitting_count(std::string_view file, std::string_view what,
                                          double value) {
  using Limits = std::numeric_limits<std::int32_t>;
  if (value >= Limits::min() && value <= Limits::max()) return static_cast<std::int32_t>(value);
  std::string line = " FATAL ERROR: ";
  line.append(file).append(": ").append(what).append(" ").append(value_text(value));
  line.append(" does not fit a 32-bit count");
  // One line however long the file's name: the free layout would break it at 80 columns.
  constexpr io::Item kLine[] = {io::lay::A()};
  io::FixedWriter(6, kLine) << line;
  return std::nullopt;
}

}  // namespace tslib
