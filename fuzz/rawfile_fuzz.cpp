// Fuzz target: rdhead and readdt on an arbitrary raw logger file. Input: one byte
// (print level 0 to 3), then the file. After the header, data records are read
// until the end of data or a read error (a bounded number, as a record may be empty).
#include <array>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "rawcv/rawhdr.h"

namespace {

constexpr int kUnit = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  if (size < 1) return 0;
  const std::string name = fuzz::write_file("fuzz.1mp", std::span(data + 1, size - 1));
  rawhdr = rawcv::RawHeader{};
  rawhdr.iprint = data[0] & 3;

  fuzz::guarded([&] {
    std::int32_t next = 0;
    if (rdhead(kUnit, name, next) != 0) std::abort();  // the file exists
    std::int32_t irec = 1;
    std::int32_t nstamp = 0;
    std::array<std::int16_t, rawcv::kRawMaxRecords> ibuf{};
    std::array<std::int16_t, rawcv::kStampValues> stamp{};
    const std::size_t limit = size + 4;
    for (std::size_t n = 0; n < limit; ++n) {
      if (readdt(kUnit, irec, nstamp, rawhdr.delta, rawhdr.nchan, ibuf, stamp, next) != 0) break;
    }
  });
  return 0;
}
