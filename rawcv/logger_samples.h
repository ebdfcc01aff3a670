#pragma once
// The logger's count of the samples in a span of seconds, as its acquisition code works
// it out in whole numbers; the sample reader and the raw header reader both count so.
#include <cstdint>

namespace rawcv {

// seconds x trunc(delta) when delta (samples per second) is 1.0 or more, else seconds
// div nint(1.0 / delta); both forms give the same count at 1.0. 0 when delta is not a
// usable rate (zero, negative or not a number); a count beyond 32 bits stops at the limit.
std::int32_t logger_samples(std::int32_t seconds, float delta);

}  // namespace rawcv
