// getword: cuts the first blank- or comma-separated word off a text field.
#include <algorithm>

#include "common/text_field.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

// Strips leading and trailing runs of `sep` from source[0, n); blanks the rest of the
// field. Returns the new n (0 when the text was that separator alone).
std::size_t strip(std::span<char> source, std::size_t n, char sep) {
  const auto text = source.first(n);
  const auto first = std::find_if(text.begin(), text.end(), [sep](char c) { return c != sep; });
  if (first == text.end()) return 0;
  const std::size_t lead = static_cast<std::size_t>(first - text.begin());
  std::size_t last = n;
  while (last > lead && source[last - 1] == sep) --last;
  std::copy(source.begin() + static_cast<std::ptrdiff_t>(lead),
            source.begin() + static_cast<std::ptrdiff_t>(last), source.begin());
  const std::size_t kept = last - lead;
  std::fill(source.begin() + static_cast<std::ptrdiff_t>(kept), source.end(), ' ');
  return kept;
}

}  // namespace
}  // namespace tslib

void getword(std::span<char> source, std::span<char> word, std::int32_t& position) {
  std::size_t n = source.size();
  // Blanks before commas, once each: a blank after a leading comma stays.
  for (char sep : {' ', ','}) {
    n = tslib::strip(source, n, sep);
    if (n == 0) break;
  }
  if (n == 0) {
    std::fill(word.begin(), word.end(), ' ');
    std::fill(source.begin(), source.end(), ' ');
    position = 0;
    return;
  }
  const auto text = source.first(n);
  const auto sep =
      std::find_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == ','; });
  if (sep == text.end()) {
    field::assign(word, field::view(source));
    std::fill(source.begin(), source.end(), ' ');
    position = static_cast<std::int32_t>(n);
    return;
  }
  const std::size_t at = static_cast<std::size_t>(sep - text.begin());  // 0-based
  field::assign(word, field::view(source.first(at)));
  std::copy(source.begin() + static_cast<std::ptrdiff_t>(at + 1),
            source.begin() + static_cast<std::ptrdiff_t>(n), source.begin());
  std::fill(source.begin() + static_cast<std::ptrdiff_t>(n - at - 1), source.end(), ' ');
  position = static_cast<std::int32_t>(at + 1);
}
