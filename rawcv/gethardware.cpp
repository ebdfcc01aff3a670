// gethardware: one instrument's calibration factors and filter periods from the
// project hardware database.
#include "rawcv/gethardware.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"

using rawcv::CalTable;

namespace {

constexpr int kConsole = 6;
constexpr std::array kInstrumentLayout{io::lay::I(3)};
static_assert(io::valid_layout(kInstrumentLayout));

// Slot of a component letter (upper case only), 0 for none.
int slot_of(char letter) {
  switch (letter) {
    case 'H': return 1;
    case 'D': return 2;
    case 'N': return 3;
    case 'E': return 4;
    case 'Z': return 5;
    default: return 0;
  }
}

// Positions the unit after the instrument line of instr; false at the end of the file.
bool find_instrument(std::int32_t unit, std::int32_t instr) {
  for (;;) {
    std::int32_t number = 0;
    io::FixedReader line(unit, kInstrumentLayout, io::Takes::both);
    line >> number;
    const io::Result r = line.finish();
    if (r.end_of_file()) return false;
    if (r.ok() && number == instr) return true;
  }
}

void use_defaults(std::int32_t instr, CalTable& t) {
  io::FreeWriter(kConsole) << "gethardware: ERROR: Cannot locate instrument "
                           << "requested in hardware file, instrument = " << instr;
  char answer = 'Y';
  yin("Use default VaRL settings", answer);
  const bool varl = answer != 'N';
  if (varl) {
    io::FreeWriter(kConsole) << " using VaRL default values ";
    io::FreeWriter(kConsole) << " 0.2 s anti-alias 6-pole Bessel low pass on all channels";
    io::FreeWriter(kConsole) << " 30,000 s 2-pole Butterworth high pass on E channels only";
  } else {
    io::FreeWriter(kConsole) << " using no default values ";
  }
  for (int s = 1; s <= 5; ++s) {
    t.calfac(s) = 1.0f;
    t.lowpass(s) = varl ? 0.2f : 0.0f;
    t.highpass(s) = (varl && (s == 3 || s == 4)) ? 30000.0f : 0.0f;
  }
}

}  // namespace

void gethardware(std::int32_t unit, std::int32_t instr, std::int32_t nchan, CalTable& table) {
  // A unit that is not open cannot be rewound: the instrument is not found.
  if (!io::is_open(unit)) {
    use_defaults(instr, table);
    return;
  }
  io::rewind(unit);
  const std::int32_t iprint = prtlvl.iprint;
  if (iprint >= 2)
    io::FreeWriter(kConsole) << "gethardware: entered with instr=" << instr << "   nchan=" << nchan;

  if (instr != -1 && !find_instrument(unit, instr)) {
    use_defaults(instr, table);
    return;
  }
  if (iprint >= 1) io::FreeWriter(kConsole) << "gethardware: instrument located =" << instr;

  for (std::int32_t i = 0; i < nchan; ++i) {
    std::array<char, 1> letter{' '};
    float a = 0.0f, b = 0.0f, c = 0.0f;
    io::FreeReader(unit, io::Takes::neither) >> std::span<char>(letter) >> a >> b >> c;
    if (iprint >= 2) io::FreeWriter(kConsole) << field::view(letter) << a << b << c;
    const int s = slot_of(letter[0]);
    if (s == 0) {
      io::FreeWriter(kConsole) << "gethardware: ERROR:  Unrecognisable component in "
                               << "hardware file, comp=" << field::view(letter);
      io::fail_run({});
    }
    table.calfac(s) = a;
    table.lowpass(s) = b;
    table.highpass(s) = c;
  }

  if (iprint >= 1) {
    io::FreeWriter(kConsole) << "gethardware: leaving with following calibs & cuts =>";
    for (std::int32_t i = 1; i <= nchan && i <= 5; ++i) {
      const int s = (nchan == 3 && i == 3) ? 5 : i;
      io::FreeWriter(kConsole) << "channel=" << s << table.calfac(s) << table.lowpass(s)
                               << table.highpass(s);
    }
  }
}

namespace rawcv {

std::string hardware_file_name(std::string_view prj) {
  return std::string("hardware.").append(field::trimmed(prj.substr(0, 3)));
}

}  // namespace rawcv
