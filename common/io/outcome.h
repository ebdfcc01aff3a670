#pragma once
// Outcomes of transfers and opens, and which of them a caller takes back.
#include <string_view>

namespace io {

// Which outcomes the caller of a transfer handles itself. An outcome it does not
// take back ends the program through the error report. End of file is never taken
// back through the error route alone: `errors` still ends the program at end of file.
enum class Takes { neither, errors, end, both };

// 0 done, -1 end of file, a positive number an error number (see errors.h).
struct Result {
  int code = 0;
  constexpr bool ok() const { return code == 0; }
  constexpr bool end_of_file() const { return code == -1; }
  constexpr bool error() const { return code > 0; }
  friend constexpr bool operator==(Result, Result) = default;
};

inline constexpr Result kDone{0};
inline constexpr Result kEnd{-1};

constexpr bool takes_errors(Takes t) { return t == Takes::errors || t == Takes::both; }
constexpr bool takes_end(Takes t) { return t == Takes::end || t == Takes::both; }

// The one place where an outcome meets the caller's policy: done and the outcomes the
// caller takes back are returned; any other ends the program with the error report
// (number 24 for end of file) on the unit as reported and its file.
Result settle(Result outcome, Takes takes, int report_unit, std::string_view file);

}  // namespace io
