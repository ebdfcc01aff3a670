// Fuzz target: ts_rdinfo on an arbitrary file, then the first data records. Input:
// one byte (bit 0: BINARY or ASCII; bits 1-3: print level 0 to 5), then the file.
#include <cstdint>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "fuzz/fuzz_support.h"
#include "tslib/ts.h"

namespace {

constexpr int kUnit = 10;
constexpr int kDataRecords = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  if (size < 1) return 0;
  const bool binary = (data[0] & 1u) != 0;
  const int level = (data[0] >> 1) & 7;
  const std::string name = fuzz::write_file("fuzz.ts", std::span(data + 1, size - 1));

  tsinfo = tslib::TsInfoRecord{};
  prtlvl = common::PrintLevelRecord{};
  prtlvl.iprint = level > 5 ? 5 : level;
  io::OpenSpec spec{io::OpenStatus::old_file, binary ? io::Form::binary : io::Form::text};
  field::assign(tsinfo.form, binary ? tslib::kFormBinary : tslib::kFormAscii);
  if (binary) field::assign(tsinfo.format, tslib::kFormatUnformatted);

  fuzz::guarded([&] {
    io::open(kUnit, name, spec, io::Takes::neither);
    ts_rdinfo(kUnit);
    // Data records in the free layout or BINARY; format texts have their own target
    // (each distinct text would stay in the layout cache).
    if (!binary && !field::equals(tsinfo.format, tslib::kFormatFree)) return;
    tslib::TsValues values{};
    for (int n = 0; n < kDataRecords && values[0] != eofmark; ++n) ts_in1(kUnit, values);
  });
  return 0;
}
