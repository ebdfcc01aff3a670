#pragma once
// The shared print-level record: one process-wide instance, zero at start.
#include <cstdint>

namespace common {

struct PrintLevelRecord {
  std::int32_t iprint = 0;     // set by every program at start-up
  std::int32_t promptin = 0;   // > 0: unit answers are read from; else console input
  std::int32_t promptout = 0;  // != 0: unit prompt lines go to; else console output
};

}  // namespace common

inline common::PrintLevelRecord prtlvl;
