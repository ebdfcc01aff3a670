#pragma once
// The converter's main routine and the state it owns: the answers, names and derived
// values that the header writers and the conversion loop are handed, and the sample
// reader's state. The raw header record `rawhdr` (rawcv/rawhdr.h) is the one
// process-wide record of the converter.
#include <array>
#include <cstdint>
#include <string_view>

#include "common/text_field.h"
#include "rawcv/gethardware.h"
#include "rawcv/input1d.h"

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

// Text fields are blank-padded, without terminator (common/text_field.h).
struct ConverterState {
  std::array<char, 24> run_date{};          // local date-time text at start
  std::array<char, 6> endian{};             // byte-order word from chkend
  std::array<char, 5> version{};            // acquisition-code version as answered
  bool old = false;                         // the acquisition code counts as old
  std::array<std::int32_t, 5> droptable{};  // samples to drop, by srindex
  bool verify = false;                      // read every data record back
  std::array<char, 8> window{};
  std::array<char, 6> station{};
  std::array<char, 3> prj{};  // project code
  std::array<char, 40> raw_name{};
  std::array<char, 40> ts_name{};
  std::array<char, 40> aux_name{};
  std::array<char, 40> db_name{};  // the project database being opened
  std::int32_t srindex = 0;        // sampling-rate index 1..5
  std::int32_t drop = 0;           // samples dropped before the first written
  float latitude = 0.0f, longitude = 0.0f;
  std::array<char, 11> lat_text{}, lon_text{};
  float utm_cm = 0.0f, utm_north = 0.0f, utm_east = 0.0f;
  std::array<float, 3> baselines{};  // baseln times 2.56
  std::int32_t box = 0;              // logger box (instrument) number
  std::int32_t magnetometer = 0;
  float ex_length = 0.0f, ey_length = 0.0f;  // m
  std::int32_t ex_azimuth = 0, ey_azimuth = 0, hx_azimuth = 0;
  std::array<char, 1> form_answer{};  // "f" or "u"
  bool ascii = false;
  std::array<char, 20> format_text{};  // FORMAT of ASCII data records
  std::int32_t seq_rec = 1;            // samples per BINARY record
  CalTable caltable{};                 // from the hardware database, or the defaults
  float elevation = 0.0f;
  std::int32_t declination = 0;
  std::array<char, 19> stime{};  // block start, then the requested start
  std::array<char, 19> etime{};
  SampleRequest request{};  // the fields of stime, and tlen: the seconds from stime to etime
  std::int32_t ndata = 0;   // samples requested
  std::int32_t next = 0;    // data record that the next stamp follows
  Input1dState reader{};    // the sample reader's state from call to call
};

// The whole run: dialogue, header blocks, conversion, window record, program end.
[[noreturn]] void run_converter();

// Values taken from the raw header (rawcv/header_values.cpp), in the order the
// dialogue needs them. Each ends the program on a header it cannot go on from.
void take_header_values(ConverterState& s);  // echo, year, rate index, blocks' values, position
void take_block_start(ConverterState& s);    // the block start into stime
void check_channel_count();
// Ends the run before any output is opened when the ts or the aux file is the same file
// as the raw file, a project database or the other output (rawcv/output_check.cpp).
void refuse_outputs_over_inputs(const ConverterState& s);

// Header writers and the loop, in the order the driver calls them.
void write_comment_blocks(const ConverterState& s);
void write_filter_block(const ConverterState& s);
void write_info_blocks(const ConverterState& s);
[[noreturn]] void convert_and_finish(ConverterState& s);

// The window line for the windows database (64 characters) from the state and the
// actual end of the data.
std::array<char, 64> window_line(const ConverterState& s, std::string_view actual_end);
// Appends the window line to the windows database on unit 2 and ends the program.
[[noreturn]] void append_window_record(ConverterState& s, std::string_view actual_end);

}  // namespace rawcv
