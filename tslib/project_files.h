#pragma once
// Names of a project's files in its database directory: the windows database, from the
// project code (the first three characters of a window name), and a window's files in
// its station's directory.
#include <array>
#include <string>
#include <string_view>

#include "common/probes.h"
#include "common/text_field.h"

namespace tslib {

// "windows." followed by the project code, without trailing blanks.
inline std::string windows_database_name(std::string_view prj) {
  return std::string("windows.").append(field::trimmed(prj.substr(0, 3)));
}

// The same name as a field of 11 characters: "windows." and the code's three characters
// as they stand, a blank included (a code of two letters). The tools' lines show it so.
inline std::array<char, 11> windows_database_field(std::string_view prj) {
  std::array<char, 11> name;
  field::assign(name, windows_database_name(prj));
  return name;
}

// A file in a window's station directory: the station (the window's first 6
// characters), the directory separator, the file's name.
inline std::string in_station_directory(std::string_view window, std::string_view file) {
  std::string name(window.substr(0, 6));
  name += common::kDirSeparator;
  return name.append(file);
}

// A window's file: in the station directory, the window (its first 8 characters) and
// the extension (".ts", ".aux", ".1mp").
inline std::string window_file_name(std::string_view window, std::string_view extension) {
  return in_station_directory(window, std::string(window.substr(0, 8)).append(extension));
}

}  // namespace tslib
