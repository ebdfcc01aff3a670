#pragma once
// Fixed arrays indexed from 1, as the raw header and the calibration tables number
// their fields: hdr77(14) is the group-1 channel count, cal(4) the Ex factor.
#include <array>
#include <cstddef>

namespace rawcv {

template <class T, std::size_t N>
struct Slots {
  std::array<T, N> v{};

  static constexpr int size() { return static_cast<int>(N); }
  // 1-based access; callers check the range where the index comes from a file.
  constexpr T& operator()(int i) { return v[static_cast<std::size_t>(i - 1)]; }
  constexpr const T& operator()(int i) const { return v[static_cast<std::size_t>(i - 1)]; }
  static constexpr bool in_range(int i) { return i >= 1 && i <= static_cast<int>(N); }
};

}  // namespace rawcv
