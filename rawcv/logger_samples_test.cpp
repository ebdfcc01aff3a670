// The logger's count of samples in a span: whole samples per second from 1 Hz up,
// whole seconds per sample below.
#include "rawcv/logger_samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

TEST(LoggerSamples, LoggerCounting) {
  struct Case {
    std::int32_t seconds;
    float delta;
    std::int32_t samples;
  };
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const std::vector<Case> cases{
      {60, 4.0f, 240},
      {45, 1.0f / 30.0f, 1},
      {20, 1.0f / 30.0f, 0},
      {10, 12.0f, 120},
      {-60, 4.0f, -240},
      {7, 0.2f, 1},
      {100, 0.0f, 0},
      {5, std::nanf(""), 0},
      {600, 1.0f, 600},  // 1 Hz: both forms give the seconds
      {10, 12.5f, 120},  // samples per second cut to a whole number
      {100, -4.0f, 0},   // no usable rate
      {2, kInf, std::numeric_limits<std::int32_t>::max()},
      {-2, kInf, std::numeric_limits<std::int32_t>::min()},
      {1, 1.0e-30f, 0},  // one sample in far more seconds than 32 bits hold
  };
  for (const Case& c : cases)
    EXPECT_EQ(rawcv::logger_samples(c.seconds, c.delta), c.samples) << c.seconds << " " << c.delta;
}

}  // namespace
