// logger_samples: whole samples in a span of seconds, the logger's way.
#include "rawcv/logger_samples.h"

#include <cstdint>

#include "tslib/counts.h"

namespace rawcv {

std::int32_t logger_samples(std::int32_t seconds, float delta) {
  if (delta >= 1.0f)
    return tslib::saturate_int32(std::int64_t{seconds} * tslib::cut_to_int32(delta));
  if (!(delta > 0.0f)) return 0;
  // At most one sample per second here: every sample spans one or more whole seconds.
  const std::int32_t seconds_per_sample = tslib::nearest_int32(1.0 / static_cast<double>(delta));
  return seconds / seconds_per_sample;
}

}  // namespace rawcv
