// Fuzz target: gethardware on an arbitrary hardware database. Input: one byte for the
// instrument (255: -1, no search), one byte for the channel count (bits 0-2) and the
// print level (bits 3-4), then the database. The not-found question meets end of input.
#include <cstdint>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "fuzz/fuzz_support.h"
#include "rawcv/gethardware.h"

namespace {

constexpr int kUnit = 2;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  if (size < 2) return 0;
  const std::int32_t instr = data[0] == 255 ? -1 : data[0];
  const std::int32_t nchan = data[1] & 7;
  const std::string name = fuzz::write_file("hardware.fzz", std::span(data + 2, size - 2));
  prtlvl = common::PrintLevelRecord{};
  prtlvl.iprint = (data[1] >> 3) & 3;

  fuzz::guarded([&] {
    io::open(kUnit, name, {io::OpenStatus::old_file, io::Form::text}, io::Takes::neither);
    rawcv::CalTable table{};
    gethardware(kUnit, instr, nchan, table);
  });
  return 0;
}
