// Fuzz target: the free-layout reader on a text file. Input: three bytes choosing the
// kinds of the eight variables of each transfer, then the file. Transfers run until
// the file ends (at most 64), taking errors back; then once more from the start with
// every failure ending the program.
#include <array>
#include <cstdint>
#include <string>

#include "common/edit/free.h"
#include "common/io/units.h"
#include "fuzz/free_items.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int kUnit = 10;

io::Result transfer(io::Takes takes, std::uint32_t choice) {
  io::FreeReader r(kUnit, takes);
  fuzz::read_chosen_items(r, choice, false);
  return r.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  if (size < 3) return 0;
  const std::uint32_t choice = data[0] | (data[1] << 8) | (data[2] << 16);
  const std::string name = fuzz::write_file("free.txt", std::span(data + 3, size - 3));
  fuzz::guarded([&] {
    io::open(kUnit, name, {io::OpenStatus::old_file, io::Form::text}, io::Takes::neither);
    for (int n = 0; n < 64; ++n)
      if (transfer(io::Takes::both, choice).end_of_file()) break;
    io::rewind(kUnit);
    for (int n = 0; n < 64; ++n) transfer(io::Takes::neither, choice);
  });
  return 0;
}
