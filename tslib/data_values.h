#pragma once
// What the data routines share: the number of values a record moves.
#include <algorithm>
#include <cstddef>
#include <span>

#include "tslib/ts.h"

namespace tslib {

// NCHAN clamped to the value array: a negative count moves nothing, and no call moves
// more than 5 values whatever the info block said.
inline std::size_t record_values() {
  return static_cast<std::size_t>(std::clamp<std::int32_t>(tsinfo.NCHAN, 0, kMaxChannels));
}

}  // namespace tslib
