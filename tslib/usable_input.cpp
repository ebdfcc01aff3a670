// Refusal of info blocks the tools cannot work on.
#include "tslib/usable_input.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "tslib/time_units.h"
#include "tslib/tsinfo.h"

namespace tslib {
namespace {

// The shortest text that reads back as the value: "0", "-2.5", "nan", "inf".
std::string shortest(float value) {
  std::array<char, 32> digits{};
  const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  return std::string(digits.data(), end);
}

// One line however long the file's name: the free layout would break it at 80 columns.
void refuse(std::string_view file, std::string_view key, const std::string& value,
            std::string_view why = {}) {
  constexpr io::Item kLine[] = {io::lay::A()};
  std::string line = " FATAL ERROR: ";
  line.append(file).append(" has ").append(key).append(" ").append(value).append(why);
  io::FixedWriter(6, kLine) << line;
}

}  // namespace

bool usable_input(std::string_view file) {
  if (tsinfo.SEQ_REC > 1) {
    refuse(file, "SEQ_REC", std::to_string(tsinfo.SEQ_REC));
    io::FreeWriter(6) << "Such a window must be converted with one sample per record";
    return false;
  }
  if (tsinfo.NCHAN < 1 || tsinfo.NCHAN > kMaxChannels) {
    refuse(file, "NCHAN", std::to_string(tsinfo.NCHAN), ": a ts file holds 1 to 5 channels");
    return false;
  }
  if (!(std::isfinite(tsinfo.DELTA_T) && tsinfo.DELTA_T > 0.0f)) {
    refuse(file, "DELTA_T", shortest(tsinfo.DELTA_T), ": it must be a number above 0");
    return false;
  }
  // The tools turn a period into a rate and a rate into a period.
  if (!std::isfinite(in_other_unit(tsinfo.DELTA_T))) {
    refuse(file, "DELTA_T", shortest(tsinfo.DELTA_T), ": too small to invert");
    return false;
  }
  return true;
}

}  // namespace tslib
