#pragma once
// The string routines: left-justification (TRUNC), left-justification with upper-casing
// (SHIFTUP), and the pause (waitent). Text fields are fixed-length and blank-padded; a
// blank is the character 32 (tabs and NUL are non-blank).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Left-justifies the field in place; n receives the position (1-based) of its last
// non-blank character, 0 for a blank field or one of length 0. At print level 2 and
// above two echo lines go to console output.
void TRUNC(std::span<char> line, std::int32_t& n);

// Left-justifies the field and translates its characters through common::shiftup_table
// (a-z to A-Z; codes 129 to 255 to NUL). A blank field, or one whose first character
// is NUL, is left unchanged. Returns the field's length without its trailing blanks as
// it leaves (TRUNC's count; 0 for a blank field). Echo lines at print levels 30 and 50
// and above.
std::int32_t SHIFTUP(std::span<char> string);

namespace common {

// SHIFTUP's translation table, code in to code out.
constexpr std::array<unsigned char, 256> make_shiftup_table() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    if (c >= 'a' && c <= 'z') t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    else if (c <= 128) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    else t[static_cast<std::size_t>(c)] = 0;
  }
  return t;
}
inline constexpr std::array<unsigned char, 256> shiftup_table = make_shiftup_table();

}  // namespace common

// Writes the message followed by " .....press <ENT> to continue" as one free-layout
// line on console output (at every print level) and waits for one line of console
// input; end of input ends the program with error 24.
void waitent(std::string_view message);
