// ts_copycomm: copies the comment block of one ts file to another, between forms.
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

bool known_form(std::string_view form) { return form == kFormBinary || form == kFormAscii; }

}  // namespace
}  // namespace tslib

void ts_copycomm(int ind, std::string_view inform, int outd, std::string_view outform) {
  if (prtlvl.iprint >= 2) {
    io::FreeWriter(6) << "ts_copycomm: entered";
    io::FreeWriter(6) << "ind     = " << std::int32_t{ind};
    io::FreeWriter(6) << "inform  = " << inform;
    io::FreeWriter(6) << "outd    = " << std::int32_t{outd};
    io::FreeWriter(6) << "outform = " << outform;
  }
  // Both forms are checked before the input is touched.
  if (!tslib::known_form(inform)) {
    io::FreeWriter(6) << "ts_copycomm: inform not BINARY or ASCII "
                      << "inform =" << inform;
    io::fail_run({});
  }
  if (!tslib::known_form(outform)) {
    io::FreeWriter(6) << "ts_copycomm: outform not BINARY or ASCII "
                      << "outform =" << outform;
    io::fail_run({});
  }
  const bool in_binary = inform == tslib::kFormBinary;
  const bool out_binary = outform == tslib::kFormBinary;

  io::rewind(ind);
  tslib::HeaderLine line;
  for (;;) {
    if (tslib::read_header_line(ind, line, in_binary, io::Takes::end).end_of_file()) {
      io::FreeWriter(6) << "ts_copycomm: no comment block found in file";
      return;
    }
    if (prtlvl.iprint >= 40) io::FreeWriter(6) << "line>" << field::trimmed(line);
    if (line[0] != '#') {
      if (prtlvl.iprint >= 2) io::FreeWriter(6) << "ts_copycomm: exiting";
      return;
    }
    tslib::write_comment_line(outd, line, out_binary);
  }
}
