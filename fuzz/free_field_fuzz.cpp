// Fuzz target: the free-layout reader on a text field. Input: one byte choosing the
// kinds of the eight variables read, then the field. Read once taking errors back,
// once with every failure ending the program.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/edit/free.h"
#include "fuzz/free_items.h"
#include "fuzz/fuzz_support.h"

namespace {

void read_items(io::FreeReader& r, std::uint32_t choice) {
  fuzz::read_chosen_items(r, choice, true);
  r.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch scratch;
  if (size < 3) return 0;
  const std::uint32_t choice = data[0] | (data[1] << 8) | (data[2] << 16);
  const std::string_view field(reinterpret_cast<const char*>(data) + 3, size - 3);
  fuzz::guarded([&] {
    auto r = io::FreeReader::from_field(field, io::Takes::both);
    read_items(r, choice);
  });
  fuzz::guarded([&] {
    auto r = io::FreeReader::from_field(field, io::Takes::neither);
    read_items(r, choice);
  });
  return 0;
}
