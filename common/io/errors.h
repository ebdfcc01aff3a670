#pragma once
// Error numbers of the record I/O layer and their message texts.
#include <string_view>

namespace io {

enum ErrorNumber : int {
  kErrPermission = 9,
  kErrCannotOverwrite = 10,
  kErrRewind = 20,
  kErrBackspace = 23,
  kErrEndOfFile = 24,
  kErrFileNotFound = 29,
  kErrOpenFailure = 30,
  kErrWrite = 38,
  kErrRead = 39,
  kErrNoDevice = 42,
  kErrFileName = 43,
  kErrKeyword = 45,
  kErrFormatSyntaxInfo = 58,  // number of the "info" line before error 62
  kErrListSyntax = 59,
  kErrFormatMismatch = 61,
  kErrFormatSyntax = 62,
  kErrConversion = 64,
  kErrRecordOverflow = 66,
  kErrTooMuchData = 67,
};

// The message text with its "unit %d, file %s" tail, e.g.
// "file not found, unit %d, file %s" for 29. Unknown numbers give a generic text.
std::string_view error_message(int number);

}  // namespace io
