#pragma once
// The free-layout fuzz targets' transfer: up to eight variables of the kinds that the
// choice bits name (three bits each), so that one input tries every kind and mix.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "common/edit/free.h"

namespace fuzz {

// with_string: the eighth kind is a text variable; otherwise it reads nothing, which
// leaves the rest of the record to be passed over.
inline void read_chosen_items(io::FreeReader& r, std::uint32_t choice, bool with_string) {
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
      default:
        if (with_string) r >> word;
        break;
    }
  }
}

}  // namespace fuzz
