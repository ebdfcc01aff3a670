// ts_skip: passes over data records of a ts file.
#include "common/edit/free.h"
#include "common/io/binary.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

// One record passed over; false at end of file. A BINARY record of any length counts.
bool skip_one(int ind, bool binary) {
  if (binary) {
    io::BinaryReader r(ind, io::Takes::end);
    return !r.finish().end_of_file();
  }
  HeaderLine line;
  return !read_header_line(ind, line, false, io::Takes::end).end_of_file();
}

}  // namespace
}  // namespace tslib

void ts_skip(int ind, std::int32_t& nskip) {
  const tslib::TsInfoRecord& ti = tsinfo;
  const std::int32_t n = nskip;
  if (prtlvl.iprint >= 1) {
    io::FreeWriter(6) << "ts_skip entered with:";
    io::FreeWriter(6) << "ind    =" << std::int32_t{ind};
    io::FreeWriter(6) << "nskip  =" << n;
    io::FreeWriter(6) << "form   =  " << field::view(ti.form);
  }
  const bool binary = field::equals(ti.form, tslib::kFormBinary);
  for (std::int32_t i = 0; i < n; ++i) {
    if (!tslib::skip_one(ind, binary)) {
      io::FreeWriter(6) << "ts_skip: EOF reached: nskip set to -1";
      nskip = -1;
      return;
    }
  }
}
