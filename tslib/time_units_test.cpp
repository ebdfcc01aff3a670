// The time units: which T_UNITS name a unit, and the counts of samples and seconds in
// each unit, precision and rounding, as the tools work them out.
#include "tslib/time_units.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/text_field.h"
#include "support/child.h"
#include "tslib/counts.h"

namespace {

using tslib::Sampling;
using tslib::TimeUnits;

constexpr TimeUnits kHz = TimeUnits::hz;
constexpr TimeUnits kSeconds = TimeUnits::seconds;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(TimeUnits, OnlyTheTwoExactFieldsNameAUnit) {
  EXPECT_EQ(tslib::time_units_of("Hz   "), kHz);
  EXPECT_EQ(tslib::time_units_of("s    "), kSeconds);
  EXPECT_EQ(tslib::units_text(kHz), "Hz   ");
  EXPECT_EQ(tslib::units_text(kSeconds), "s    ");
  using namespace std::string_view_literals;
  for (std::string_view other :
       {"Hz"sv, "s"sv, "hz   "sv, "S    "sv, "sec  "sv, " Hz  "sv, "     "sv, "\0\0\0\0\0"sv})
    EXPECT_EQ(tslib::time_units_of(other), std::nullopt) << "[" << other << "]";
}

TEST(TimeUnits, SamplingOfAnInfoRecordTakesItsDeltaT) {
  tslib::TsInfoRecord info{};
  info.DELTA_T = 0.25f;
  field::assign(info.T_UNITS, "s");
  ASSERT_TRUE(tslib::sampling_of(info).has_value());
  EXPECT_EQ(tslib::sampling_of(info)->delta_t, 0.25f);
  EXPECT_EQ(tslib::sampling_of(info)->units, kSeconds);
  field::assign(info.T_UNITS, "min");
  EXPECT_EQ(tslib::sampling_of(info), std::nullopt);
}

TEST(TimeUnits, OtherUnitsAreRefusedOnTheConsole) {
  const mttest::ChildResult r = mttest::run_child([] {
    tslib::TsInfoRecord info{};
    field::assign(info.T_UNITS, "Hz");
    if (tslib::known_sampling(info)) io::FreeWriter(6) << "known";
    field::assign(info.T_UNITS, "sec");
    if (!tslib::known_sampling(info)) io::FreeWriter(6) << "refused";
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            " known\r\n"
            " Time units not recognised >sec  \r\n"
            " only \"s\" or \"Hz\" permitted\r\n"
            " refused\r\n");
}

TEST(TimeUnits, RateAndPeriodOfBothUnits) {
  // A value turned into the other unit is 1 / DELTA_T rounded to a float: 1 / 5 s is the
  // float nearest 0.2 (bit pattern 0x3E4CCCCD), slightly above it.
  EXPECT_EQ((Sampling{12.0f, kHz}.rate_hz()), 12.0f);
  EXPECT_EQ((Sampling{12.0f, kHz}.seconds_per_sample()), 1.0f / 12.0f);
  EXPECT_EQ((Sampling{5.0f, kSeconds}.seconds_per_sample()), 5.0f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(Sampling{5.0f, kSeconds}.rate_hz()), 0x3E4CCCCDu);
  // One sample a second in either unit is the same rate.
  EXPECT_EQ((Sampling{1.0f, kSeconds}.rate_hz()), (Sampling{1.0f, kHz}.rate_hz()));
  EXPECT_EQ((Sampling{5.0f, kSeconds}.as_rate().units), kHz);
  EXPECT_EQ((Sampling{4.0f, kHz}.as_period().delta_t), 0.25f);
}

enum class Count { samples, seconds };
enum class Given { as_is, rate, period };  // the sampling as read, or turned into a rate or period
enum class Precision { single, twice };
enum class Rounding { cut, nearest };

struct CountCase {
  const char* name;
  Sampling sampling;
  Given given;
  Count count;
  Precision precision;
  Rounding rounding;
  std::int32_t from;  // seconds for Count::samples, samples for Count::seconds
  std::int32_t expected;
};

std::int32_t work_out(const CountCase& c) {
  const Sampling s = c.given == Given::rate     ? c.sampling.as_rate()
                     : c.given == Given::period ? c.sampling.as_period()
                                                : c.sampling;
  const double value =
      c.precision == Precision::single
          ? (c.count == Count::samples ? s.samples_in<float>(c.from) : s.seconds_in<float>(c.from))
          : (c.count == Count::samples ? s.samples_in<double>(c.from)
                                       : s.seconds_in<double>(c.from));
  return c.rounding == Rounding::cut ? tslib::cut_to_int32(value) : tslib::nearest_int32(value);
}

TEST(TimeUnits, CountsInEachUnitPrecisionAndRounding) {
  using enum Count;
  using enum Given;
  using enum Precision;
  using enum Rounding;
  // DELTA_T 1/12 s as a float is 1/12 x (1 + 2.98E-8): 3600 s hold 43199.9987 samples.
  // Rounded to a float (its spacing there is 1/256) that is 43200; cut in double, 43199.
  const Sampling twelfth{1.0f / 12.0f, kSeconds};
  const Sampling twelve_hz{12.0f, kHz};
  const Sampling four_hz{4.0f, kHz};
  const Sampling five_s{5.0f, kSeconds};
  const Sampling thirty_s{30.0f, kSeconds};
  const Sampling seven_s{7.0f, kSeconds};
  const std::vector<CountCase> cases = {
      // Samples in a span: seconds times a rate, divided by a period.
      {"an hour at 12 Hz", twelve_hz, as_is, samples, single, cut, 3600, 43200},
      {"30 s at 4 Hz", four_hz, as_is, samples, single, cut, 30, 120},
      {"30 s at 4 Hz, double", four_hz, as_is, samples, twice, nearest, 30, 120},
      {"an hour at 1/12 s in float", twelfth, as_is, samples, single, cut, 3600, 43200},
      {"an hour at 1/12 s in double, cut", twelfth, as_is, samples, twice, cut, 3600, 43199},
      {"an hour at 1/12 s in double, nearest", twelfth, as_is, samples, twice, nearest, 3600,
       43200},
      {"an hour at 1/12 s by its rate", twelfth, rate, samples, single, cut, 3600, 43200},
      {"an hour at 5 s", five_s, as_is, samples, single, cut, 3600, 720},
      {"an hour at 30 s", thirty_s, as_is, samples, single, cut, 3600, 120},
      {"a minute at 7 s, cut", seven_s, as_is, samples, single, cut, 60, 8},
      {"a minute at 7 s, nearest", seven_s, as_is, samples, twice, nearest, 60, 9},
      {"10 s before the start at 5 s", five_s, as_is, samples, single, cut, -10, -2},
      {"-11 s at 4 Hz, nearest", four_hz, as_is, samples, twice, nearest, -11, -44},
      {"-7 s at 5 s, cut toward zero", five_s, as_is, samples, twice, cut, -7, -1},
      {"-7 s at 5 s, nearest", five_s, as_is, samples, twice, nearest, -7, -1},
      {"-8 s at 5 s, nearest", five_s, as_is, samples, twice, nearest, -8, -2},
      {"the longest span at 12 Hz", twelve_hz, as_is, samples, single, cut, kMax, kMax},
      {"the longest span at 12 Hz, double", twelve_hz, as_is, samples, twice, nearest, kMax, kMax},
      {"the longest span back at 12 Hz", twelve_hz, as_is, samples, twice, cut, kMin, kMin},
      {"the longest span at 30 s", thirty_s, as_is, samples, twice, cut, kMax, 71582788},
      // Seconds that samples span: samples divided by a rate, times a period.
      {"43200 samples at 12 Hz", twelve_hz, as_is, seconds, twice, nearest, 43200, 3600},
      {"24 samples at 12 Hz", twelve_hz, as_is, seconds, twice, cut, 24, 2},
      {"43200 samples at 1/12 s", twelfth, as_is, seconds, twice, nearest, 43200, 3600},
      {"720 samples at 5 s", five_s, as_is, seconds, twice, nearest, 720, 3600},
      // By the rate of a period: 720 / 0.2000000030 is 3599.99995, cut to 3599; 119 at
      // 30 s: 119 / 0.03333333507 is 3569.9998, cut to 119 x 30 - 1.
      {"720 samples by the rate of 5 s", five_s, rate, seconds, twice, cut, 720, 3599},
      {"720 samples by the rate of 5 s, nearest", five_s, rate, seconds, twice, nearest, 720, 3600},
      {"119 samples by the rate of 30 s", thirty_s, rate, seconds, twice, cut, 119, 3569},
      // No record: -1 sample; -1 / 0.2000000030 is -4.99999993, cut toward zero.
      {"-1 sample at 12 Hz", twelve_hz, rate, seconds, twice, cut, -1, 0},
      {"-1 sample at 1 s", Sampling{1.0f, kSeconds}, rate, seconds, twice, cut, -1, -1},
      {"-1 sample by the rate of 5 s", five_s, rate, seconds, twice, cut, -1, -4},
      // By the period of a rate: 43201 x (1/12 as a float) is 3600.0834.
      {"43201 samples by the period of 12 Hz", twelve_hz, period, seconds, twice, nearest, 43201,
       3600},
      {"43207 samples by the period of 12 Hz", twelve_hz, period, seconds, twice, nearest, 43207,
       3601},
      {"the most samples at 30 s", thirty_s, as_is, seconds, twice, cut, kMax, kMax},
      {"the most samples back at 30 s", thirty_s, as_is, seconds, single, nearest, kMin, kMin},
  };
  for (const CountCase& c : cases) EXPECT_EQ(work_out(c), c.expected) << c.name;
}

}  // namespace
