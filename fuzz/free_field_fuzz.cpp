// Fuzz target: the free-layout reader on a text field. Input: one byte choosing the
// kinds of the eight variables read, then the field. Read once taking errors back,
// once with every failure ending the program.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/edit/free.h"
#include "fuzz/fuzz_support.h"

namespace {

void read_items(io::FreeReader& r, std::uint32_t choice) {
  std::int32_t i32 = 0;
  std::int16_t i16 = 0;
  bool b = false;
  float f = 0.0f;
  double d = 0.0;
  std::array<char, 9> text{};
  std::array<float, 3> floats{};
  std::string word(4, ' ');
  for (int k = 0; k < 8; ++k) {
    switch ((choice >> (3 * k)) & 7u) {
      case 0: r >> i32; break;
      case 1: r >> i16; break;
      case 2: r >> b; break;
      case 3: r >> f; break;
      case 4: r >> d; break;
      case 5: r >> std::span<char>(text); break;
      case 6: r >> std::span<float>(floats); break;
      default: r >> word; break;
    }
  }
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
