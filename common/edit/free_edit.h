#pragma once
// Field texts of the free layout shared by the writer and the field entries. Internal
// to common/edit.
#include <cstdint>
#include <span>

namespace io::detail {

inline constexpr int kIntWidth = 12;    // 32-bit integer
inline constexpr int kShortWidth = 7;   // 16-bit integer
inline constexpr int kBoolWidth = 2;    // a blank and T or F
inline constexpr int kFloatWidth = 15;  // 32-bit float

// value right-justified in all of out (asterisks when it does not fit); returns out's size.
int free_int_text(std::int64_t value, std::span<char> out);

}  // namespace io::detail
