#pragma once
// A transfer on a text field of the program (an internal file) has no unit of its own:
// its failures are reported on this pseudo-unit, under the name of its kind.
#include <string_view>

namespace io {

inline constexpr int kInternalUnit = -5;

inline constexpr std::string_view kInternalFormattedRead = "Internal Formatted Read";
inline constexpr std::string_view kInternalFormattedWrite = "Internal Formatted Write";
inline constexpr std::string_view kInternalListDirectedRead = "Internal List-Directed Read";

}  // namespace io
