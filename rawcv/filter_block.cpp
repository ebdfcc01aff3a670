// The filter block of the ts file: the "#F" lines after its comment block, with one
// row per channel of calibration factor, low-pass and high-pass period.
#include <array>
#include <string_view>

#include "rawcv/comment_line.h"
#include "rawcv/driver.h"
#include "rawcv/gethardware.h"
#include "rawcv/rawhdr.h"

namespace rawcv {

namespace {

constexpr std::string_view kHead[] = {
    "#F Filter block begin",
    "#F",
    "#F Filters applied to VaRL/QXLN data are:",
    "#F 1: Analogue anti-alias six-pole Bessel low-pass",
    "#F    filters on each channel with -3 dB point at nominally 5 Hz.",
    "#F    -calibrated values given below",
    "#F",
    "#F 2: Digital anti-alias multi-stage Chebyshev FIR filters",
    "#F    with final stage at 2xsampling rate",
    "#F",
    "#F 1: Analogue single-pole Butterworth high-pass filters on the",
    "#F    telluric channels only with -3 dB point at nominally 30,000 s",
    "#F    -calibrated values given below",
    "#F",
    "#F Chan     Calib    Low-pass   High-pass (s)",
};

// Hardware slot of each data channel HX, HY, HZ, EX, EY.
constexpr std::array<int, 5> kSlotOfChannel = {1, 2, 5, 3, 4};

}  // namespace

void write_filter_block(const ConverterState& s) {
  const bool ascii = s.ascii;
  const CalTable& caltable = s.caltable;
  CommentLine line;
  auto put = [&](std::string_view text) { line.clear().text(text).write(kTsUnit, ascii); };
  for (std::string_view text : kHead) put(text);
  const int rows = rawhdr.nchan == 5 ? 5 : 3;
  for (int row = 1; row <= rows; ++row) {
    const int slot = kSlotOfChannel[static_cast<std::size_t>(row - 1)];
    line.clear().text("#F ").integer(row, 2);
    line.fixed(caltable.calfac(slot), 12, 2).fixed(caltable.lowpass(slot), 12, 2);
    line.fixed(caltable.highpass(slot), 12, 2).write(kTsUnit, ascii);
  }
  put("#F");
  if (ascii) {
    put("#F In the specprocr code, these filter responses");
    put("#F are removed using lprespa and hpresp");
  } else {
    put("#F In the specprocr code, these filter responses are");
    put("#F removed using lprespa and hpresp");
  }
  put("#F");
  put("#F Filter block end");
}

}  // namespace rawcv
