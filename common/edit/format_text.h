#pragma once
// Format texts typed at run time, such as "(5E14.6)", turned into fixed layouts.
#include <cstddef>
#include <string_view>
#include <vector>

#include "common/edit/layout.h"

namespace io {

// The layout of a format text. Each distinct text is parsed once and kept, so a text
// applied to every data record costs one lookup per record. A syntax error writes the
// info line (58) "format syntax error at or near <rest of the text>" and ends the
// program with error 62 reported on `unit` (the unit the transfer was for; for a text
// field kInternalUnit of internal_file.h).
Layout format_layout(std::string_view text, int unit);

// Parses without ending the program: returns false and the offset of the error. The
// literals of the items point into `text`, which must outlive them.
struct FormatError {
  std::size_t offset = 0;
};
bool parse_format(std::string_view text, std::vector<Item>& items, FormatError& error);

}  // namespace io
