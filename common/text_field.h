#pragma once
// Fixed-length text fields: the blank-padded character arrays that records, file
// headers and answers are held in. One vocabulary for every room: view a field, trim
// its trailing blanks, assign to it with blank padding, compare it.
#include <cstddef>
#include <span>
#include <string_view>
#include <type_traits>

namespace field {

// The whole field (all its characters, blanks and NULs included).
constexpr std::string_view view(std::span<const char> f) { return {f.data(), f.size()}; }

// The text without its trailing blanks. A NUL counts as content, as it does in a file.
constexpr std::string_view trimmed(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? text.substr(0, 0) : text.substr(0, last + 1);
}
template <typename Field>
requires(!std::is_convertible_v<const Field&, std::string_view>) constexpr std::string_view
    trimmed(const Field& f) {
  return trimmed(view(f));
}

// Stores `text` into the field, cut to its width or padded with blanks.
constexpr void assign(std::span<char> f, std::string_view text) {
  for (std::size_t i = 0; i < f.size(); ++i) f[i] = i < text.size() ? text[i] : ' ';
}

// True when the field holds exactly `value` (same length, byte for byte).
constexpr bool equals(std::span<const char> f, std::string_view value) { return view(f) == value; }

}  // namespace field
