#include "common/io/errors.h"

#include <array>
#include <utility>

namespace io {

std::string_view error_message(int number) {
  static constexpr std::array<std::pair<int, std::string_view>, 18> kMessages{{
      {kErrPermission, "permission to access file denied, unit %d, file %s"},
      {kErrCannotOverwrite, "cannot overwrite existing file, unit %d, file %s"},
      {kErrRewind, "REWIND error, unit %d, file %s"},
      {kErrBackspace, "BACKSPACE error, unit %d, file %s"},
      {kErrEndOfFile, "end-of-file during read, unit %d, file %s"},
      {kErrFileNotFound, "file not found, unit %d, file %s"},
      {kErrOpenFailure, "open failure, unit %d, file %s"},
      {kErrWrite, "error during write, unit %d, file %s"},
      {kErrRead, "error during read, unit %d, file %s"},
      {kErrNoDevice, "no such device, unit %d, file %s"},
      {kErrFileName, "file name specification error, unit %d, file %s"},
      {kErrKeyword, "keyword value error in OPEN statement, unit %d, file %s"},
      {kErrListSyntax, "list-directed I/O syntax error, unit %d, file %s"},
      {kErrFormatMismatch, "format/variable-type mismatch, unit %d, file %s"},
      {kErrFormatSyntax, "syntax error in format, unit %d, file %s"},
      {kErrConversion, "input conversion error, unit %d, file %s"},
      {kErrRecordOverflow, "output statement overflows record, unit %d, file %s"},
      {kErrTooMuchData, "input statement requires too much data, unit %d, file %s"},
  }};
  for (const auto& [n, text] : kMessages) {
    if (n == number) return text;
  }
  return "input/output error, unit %d, file %s";
}

}  // namespace io
