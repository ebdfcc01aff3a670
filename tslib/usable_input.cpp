// Refusal of info blocks the tools cannot work on.
#include "tslib/usable_input.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/text_field.h"
#include "tslib/time_units.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/window_times.h"

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

bool usable_seq_rec(std::string_view file) {
  if (tsinfo.SEQ_REC > 1) {
    refuse(file, "SEQ_REC", std::to_string(tsinfo.SEQ_REC));
    io::FreeWriter(6) << "Such a window must be converted with one sample per record";
    return false;
  }
  if (tsinfo.SEQ_REC < 1) {
    refuse(file, "SEQ_REC", std::to_string(tsinfo.SEQ_REC), ": a record holds at least one sample");
    return false;
  }
  return true;
}

bool usable_delta_t(std::string_view file) {
  const float delta = tsinfo.DELTA_T;
  if (!(std::isfinite(delta) && delta > 0.0f)) {
    refuse(file, "DELTA_T", shortest(delta), ": it must be a number above 0");
    return false;
  }
  // The tools turn a period into a rate and a rate into a period.
  if (!std::isfinite(in_other_unit(delta))) {
    refuse(file, "DELTA_T", shortest(delta), ": too small to invert");
    return false;
  }
  // The tools count samples and seconds in 32 bits: a span of one second, or of one
  // sample, must give a count that fits.
  const std::optional<Sampling> sampling = sampling_of(tsinfo);
  if (!sampling) return true;
  constexpr double kMaxCount = std::numeric_limits<std::int32_t>::max();
  if (sampling->rate_hz() > kMaxCount) {
    refuse(file, "DELTA_T", shortest(delta), ": more samples a second than a count holds");
    return false;
  }
  if (sampling->seconds_per_sample() > kMaxCount) {
    refuse(file, "DELTA_T", shortest(delta), ": more seconds a sample than a count holds");
    return false;
  }
  return true;
}

}  // namespace

void read_info_afresh(int unit) {
  tsinfo.NCHAN = 0;
  tsinfo.DELTA_T = 0.0f;
  field::assign(tsinfo.T_UNITS, "");
  field::assign(tsinfo.STARTTIME, "");
  ts_rdinfo(unit);
}

bool usable_input(std::string_view file) {
  if (!usable_seq_rec(file)) return false;
  if (tsinfo.NCHAN < 1 || tsinfo.NCHAN > kMaxChannels) {
    refuse(file, "NCHAN", std::to_string(tsinfo.NCHAN), ": a ts file holds 1 to 5 channels");
    return false;
  }
  if (!usable_delta_t(file)) return false;
  // Every count of records is reckoned from the start, and the windows database
  // records it: it must be a time a lookup takes.
  const std::string_view start = field::view(tsinfo.STARTTIME);
  const std::string_view fault = time_fault(start);
  if (!fault.empty()) {
    refuse(file, "STARTTIME", ">" + std::string(start) + "<", std::string(": it ").append(fault));
    return false;
  }
  return true;
}

}  // namespace tslib
