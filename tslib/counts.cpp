// The refusal of a count beyond the 32-bit range.
#include "tslib/counts.h"

#include <array>
#include <charconv>
#include <string>

#include "common/edit/fixed.h"
#include "common/io/end.h"

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

// " FATAL ERROR: <file>: <what> <value> does not fit a 32-bit count"
std::string refusal(std::string_view file, std::string_view what, double value) {
  std::string line = " FATAL ERROR: ";
  line.append(file).append(": ").append(what).append(" ").append(value_text(value));
  return line.append(" does not fit a 32-bit count");
}

bool fits(double value) {
  using Limits = std::numeric_limits<std::int32_t>;
  return value >= Limits::min() && value <= Limits::max();
}

}  // namespace

std::optional<std::int32_t> fitting_count(std::string_view file, std::string_view what,
                                          double value) {
  if (fits(value)) return static_cast<std::int32_t>(value);
  // One line however long the file's name: the free layout would break it at 80 columns.
  constexpr io::Item kLine[] = {io::lay::A()};
  io::FixedWriter(6, kLine) << refusal(file, what, value);
  return std::nullopt;
}

std::int32_t count_or_fail(std::string_view file, std::string_view what, double value,
                           std::string_view final_message) {
  if (fits(value)) return static_cast<std::int32_t>(value);
  io::fail_run({refusal(file, what, value)}, final_message);
}

}  // namespace tslib
