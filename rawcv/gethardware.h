#pragma once
// The project hardware database ("hardware." + project code): per logger box the
// calibration factor and the low-pass and high-pass periods of each channel.
#include <cstdint>
#include <string>
#include <string_view>

#include "rawcv/slots.h"

namespace rawcv {

// "hardware." followed by the project code, without trailing blanks.
std::string hardware_file_name(std::string_view prj);

// Hardware slots: 1 H (Hx), 2 D (Hy), 3 N (Ex), 4 E (Ey), 5 Z (Hz).
struct CalTable {
  Slots<float, 5> calfac;    // calibration factor
  Slots<float, 5> lowpass;   // low-pass period, s
  Slots<float, 5> highpass;  // high-pass period, s
};

}  // namespace rawcv

// Rewinds unit, finds instrument instr (-1: no search) and reads nchan channel lines
// into the slots their letters name. When the instrument is missing (or the unit
// cannot be rewound) asks "Use default VaRL settings" and fills all slots with the
// defaults. An unknown letter ends the program with failure.
void gethardware(std::int32_t unit, std::int32_t instr, std::int32_t nchan, rawcv::CalTable& table);
