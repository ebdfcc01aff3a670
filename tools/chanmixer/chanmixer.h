#pragma once
// chanmixer: builds one BINARY ts file from chosen channels of two ts files over a
// common time span (the event). The run's state, and the steps main() runs in order.
#include <array>
#include <cstdint>

#include "common/timelib.h"
#include "tslib/form_selection.h"
#include "tslib/time_units.h"
#include "tslib/tsinfo.h"

namespace chanmixer {

// Units of the run.
inline constexpr int kDatabase = 2;
inline constexpr int kSecond = 3;
inline constexpr int kFirst = 4;
inline constexpr int kOutput = 7;

inline constexpr int kMaxOut = tslib::kMaxChannels;

// One input: its info block as first read and its window in the windows database.
struct Input {
  int unit = 0;
  std::array<char, 8> window{};
  std::array<char, 40> file{};
  tslib::TsInfoRecord info{};
  tslib::FileForm form{};  // the file is read in its own form and format
  tslib::Sampling sampling{};
  std::int32_t instrument = 0;
  std::int32_t nchan = 0;  // channel count from the windows database
  timelib::Timestr stime{};
  timelib::Timestr etime{};
  std::int32_t nskip = 0;  // records before the event start
  float low = 0.0f;        // values strictly between low and high are missing
  float high = 0.0f;
};

struct Mix {
  std::array<char, 24> date{};
  std::array<char, 3> prj{};
  std::array<char, 6> outstation{};
  std::array<char, 8> outwindow{};
  std::array<char, 40> outfile{};
  std::array<char, 40> database{};  // the windows database as opened
  Input in1, in2;
  timelib::Timestr evstart{};
  timelib::Timestr evend{};
  std::int32_t nrec = 0;
  std::int32_t nout = 0;
  std::array<std::int32_t, kMaxOut> chmap{};
};

// The file digit (1: the first file, anything else the second) and the channel
// digit of a mapping code.
struct Source {
  std::int32_t file;
  std::int32_t channel;
};
constexpr Source source_of(std::int32_t code) {
  const std::int32_t f = code / 10;
  return {f, code - 10 * f};
}

void ask_windows(Mix& mx);
void open_inputs(Mix& mx);
void look_up_windows(Mix& mx);
void require_common_span(const Mix& mx);
// The event's start and end, its duration and the records requested, and the records
// each input skips to the event start: a count beyond 32 bits ends the run.
void ask_event(Mix& mx);
void ask_channel_map(Mix& mx);
void open_output(Mix& mx);
void write_header(Mix& mx);
void position_inputs(const Mix& mx);
void mix_records(const Mix& mx);

}  // namespace chanmixer
