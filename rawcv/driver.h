#pragma once
// The converter's main routine: its dialogue and the process-wide record of the
// answers, names and derived values that the header writers and the conversion loop
// read. The raw header record `rawhdr` (rawcv/rawhdr.h) and the calibration table
// `caltable` (rawcv/gethardware.h) are the other shared records.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace rawcv {

// Units of the converter.
inline constexpr int kSiteUnit = 1;
inline constexpr int kHardwareUnit = 2;  // later the windows database
inline constexpr int kWindowsUnit = 2;
inline constexpr int kRawUnit = 4;
inline constexpr int kTsUnit = 10;
inline constexpr int kAuxUnit = 11;

inline constexpr int kMaxSeqRec = 60;  // samples per BINARY data record
inline constexpr int kDatSize = 16;    // values of one sample from input1d

template <std::size_t N>
using Text = std::array<char, N>;

template <std::size_t N>
constexpr std::string_view view(const Text<N>& t) {
  return std::string_view(t.data(), N);
}

// Stores text into a fixed field, cut or blank-padded.
template <std::size_t N>
constexpr void store(Text<N>& field, std::string_view text) {
  for (std::size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : ' ';
}

struct ConverterState {
  Text<24> run_date{};                 // local date-time text at start
  Text<6> endian{};                    // byte-order word from chkend
  Text<1> sep{};                       // directory separator
  Text<5> version{};                   // acquisition-code version as answered
  bool old = false;                    // the acquisition code counts as old
  std::array<std::int32_t, 5> droptable{};  // samples to drop, by srindex
  bool verify = false;                 // read every data record back
  Text<8> window{};
  Text<6> station{};
  Text<3> prj{};                       // project code
  Text<40> raw_name{};
  Text<40> ts_name{};
  Text<40> aux_name{};
  Text<40> db_name{};                  // the project database being opened
  std::int32_t srindex = 0;            // sampling-rate index 1..5
  std::int32_t drop = 0;               // samples dropped before the first written
  float latitude = 0.0f, longitude = 0.0f;
  Text<11> lat_text{}, lon_text{};
  float utm_cm = 0.0f, utm_north = 0.0f, utm_east = 0.0f;
  std::array<float, 3> baselines{};    // baseln times 2.56
  std::int32_t box = 0;                // logger box (instrument) number
  std::int32_t magnetometer = 0;
  float ex_length = 0.0f, ey_length = 0.0f;  // m
  std::int32_t ex_azimuth = 0, ey_azimuth = 0, hx_azimuth = 0;
  Text<1> form_answer{};               // "f" or "u"
  bool ascii = false;
  Text<20> format_text{};              // FORMAT of ASCII data records
  std::int32_t seq_rec = 1;            // samples per BINARY record
  float elevation = 0.0f;
  std::int32_t declination = 0;
  Text<19> stime{};                    // block start, then the requested start
  Text<19> etime{};
  std::array<std::int32_t, 6> start{};  // yy, mm, dd, hh, mi, ss of the requested start
  std::int32_t tlen = 0;               // seconds from stime to etime
  std::int32_t ndata = 0;              // samples requested
  std::int32_t next = 0;               // data record that the next stamp follows
};

// The one process-wide record, zero at program start.
inline ConverterState cvstate;

inline constexpr std::string_view kFreeFormat = "FREE                ";  // 20 characters

// True when the ASCII format text is the free layout (exact, case included).
inline bool free_format() { return view(cvstate.format_text) == kFreeFormat; }

// The whole run: dialogue, header blocks, conversion, window record, program end.
[[noreturn]] void run_converter();

// Header writers and the loop, in the order the driver calls them.
void write_comment_blocks();
void write_filter_block();
void write_info_blocks();
[[noreturn]] void convert_and_finish();

// The window line for the windows database (64 characters) from the state record
// and the actual end of the data.
std::array<char, 64> window_line(std::string_view actual_end);
// Appends the window line to the windows database on unit 2 and ends the program.
[[noreturn]] void append_window_record(std::string_view actual_end);

}  // namespace rawcv
