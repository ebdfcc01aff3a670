#pragma once
// Names of a project's files in its database directory, from the project code (the
// first three characters of a window name).
#include <string>
#include <string_view>

#include "common/text_field.h"

namespace tslib {

// "windows." followed by the project code, without trailing blanks.
inline std::string windows_database_name(std::string_view prj) {
  return std::string("windows.").append(field::trimmed(prj.substr(0, 3)));
}

}  // namespace tslib
