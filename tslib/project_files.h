#pragma once
// Names of a project's files in its database directory: the windows database, from the
// project code (the first three characters of a window name), and a window's files in
// its station's directory.
#include <string>
#include <string_view>

#include "common/probes.h"
#include "common/text_field.h"

namespace tslib {

// "windows." followed by the project code, without trailing blanks.
inline std::string windows_database_name(std::string_view prj) {
  return std::string("windows.").append(field::trimmed(prj.substr(0, 3)));
}

// A window's file: the station (the window's first 6 characters), the directory
// separator, the window (its first 8 characters) and the extension (".ts", ".aux",
// ".1mp").
inline std::string window_file_name(std::string_view window, std::string_view extension) {
  std::string name(window.substr(0, 6));
  name += kDirSeparator;
  name.append(window.substr(0, 8)).append(extension);
  return name;
}

}  // namespace tslib
