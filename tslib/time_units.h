#pragma once
// The time units of a ts file: T_UNITS says whether DELTA_T is a rate ("Hz   ", samples
// per second) or a period ("s    ", seconds per sample). From them come the two counts
// the tools work out: the samples in a span of seconds and the seconds a count of
// samples spans. The tools work these in float or in double and cut them or round them
// to the nearest (tslib/counts.h), each as its files have always had them, so the
// precision is a template argument and the rounding is left to the caller:
//
//     cut_to_int32(sampling.samples_in<float>(seconds))
//     nearest_int32(sampling.seconds_in<double>(samples))
#include <concepts>
#include <cstdint>
#include <optional>
#include <string_view>

#include "tslib/tsinfo.h"

namespace tslib {

enum class TimeUnits : std::uint8_t { hz, seconds };

// The exact 5-character values of T_UNITS.
inline constexpr std::string_view kUnitsHz = "Hz   ";
inline constexpr std::string_view kUnitsSeconds = "s    ";

// The T_UNITS value that names the units.
constexpr std::string_view units_text(TimeUnits units) {
  return units == TimeUnits::hz ? kUnitsHz : kUnitsSeconds;
}

// DELTA_T in the other unit, in float: the period of a rate, the rate of a period.
inline float in_other_unit(float delta_t) { return 1.0f / delta_t; }

// The sampling of one file: its DELTA_T and the unit it is in.
struct Sampling {
  float delta_t = 0.0f;
  TimeUnits units = TimeUnits::hz;

  float rate_hz() const { return units == TimeUnits::hz ? delta_t : in_other_unit(delta_t); }
  float seconds_per_sample() const {
    return units == TimeUnits::seconds ? delta_t : in_other_unit(delta_t);
  }
  // The same sampling given by its rate, or by its period: a value turned into the other
  // unit is rounded to a float first, and the counts below then start from that float.
  Sampling as_rate() const { return {rate_hz(), TimeUnits::hz}; }
  Sampling as_period() const { return {seconds_per_sample(), TimeUnits::seconds}; }

  // The samples in a span of seconds: the seconds times the rate, or divided by the
  // period, worked in Real.
  template <std::floating_point Real>
  Real samples_in(Real seconds) const {
    const Real delta = delta_t;
    return units == TimeUnits::hz ? seconds * delta : seconds / delta;
  }

  // The seconds that a count of samples spans: the count divided by the rate, or times
  // the period, worked in Real.
  template <std::floating_point Real>
  Real seconds_in(Real samples) const {
    const Real delta = delta_t;
    return units == TimeUnits::hz ? samples / delta : samples * delta;
  }
};

// The units T_UNITS names, all 5 characters compared; none for any other text.
std::optional<TimeUnits> time_units_of(std::string_view t_units);

// The sampling an info record gives; none when its T_UNITS is neither unit.
std::optional<Sampling> sampling_of(const TsInfoRecord& info);

// The same, and when there is none, two console lines refuse the units: "Time units not
// recognised >" with the five characters, and "only "s" or "Hz" permitted".
std::optional<Sampling> known_sampling(const TsInfoRecord& info);

}  // namespace tslib
