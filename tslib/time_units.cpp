// The time units of T_UNITS, and the refusal of any other.
#include "tslib/time_units.h"

#include "common/edit/free.h"
#include "common/text_field.h"

namespace tslib {

std::optional<TimeUnits> time_units_of(std::string_view t_units) {
  if (t_units == kUnitsHz) return TimeUnits::hz;
  if (t_units == kUnitsSeconds) return TimeUnits::seconds;
  return std::nullopt;
}

std::optional<Sampling> sampling_of(const TsInfoRecord& info) {
  const std::optional<TimeUnits> units = time_units_of(field::view(info.T_UNITS));
  if (!units) return std::nullopt;
  return Sampling{info.DELTA_T, *units};
}

std::optional<Sampling> known_sampling(const TsInfoRecord& info) {
  const std::optional<Sampling> sampling = sampling_of(info);
  if (!sampling) {
    io::FreeWriter(6) << "Time units not recognised >" << field::view(info.T_UNITS);
    io::FreeWriter(6) << "only \"s\" or \"Hz\" permitted";
  }
  return sampling;
}

}  // namespace tslib
