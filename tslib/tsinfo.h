#pragma once
// The shared info record `tsinfo`: the info block of one ts file (the file last read
// by ts_rdinfo, or the file about to be written by ts_wrtinfo), plus the two settings
// `form` and `format` that every library call on a ts file works by.
//
// One process-wide instance. At program start every number is 0 and every text field
// holds NUL characters (not blanks). Text fields are fixed-length, blank-padded once a
// value is stored (use field::assign). Channel arrays are indexed from 0: channel n
// (1..5) is element n - 1; baselines exist for channels 1 to 3 only.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/text_field.h"

namespace tslib {

inline constexpr int kMaxChannels = 5;   // channels of a ts file (NCHAN 1..5)
inline constexpr int kMaxBaselines = 3;  // BASELINE_1 .. BASELINE_3

// The exact 6-character values of `form`.
inline constexpr std::string_view kFormBinary = "BINARY";
inline constexpr std::string_view kFormAscii = "ASCII ";
inline constexpr std::string_view kFormAsk = "?     ";  // makes ts_open ask the user

// The exact 15-character values of `format` the library knows.
inline constexpr std::string_view kFormatFree = "FREE           ";
inline constexpr std::string_view kFormatUnformatted = "UNFORMATTED    ";

// The missing-data marker, the float nearest to 1.0E+32 (bit pattern 0x749DC5AE): the
// marker taken for a file without MIS_DATA, and the one every writer of the suite marks
// missing values with (the converter's files and the samples no record filled, the
// combiner's output), whatever marker its inputs had.
inline constexpr float kMissingData = 1.0E+32f;

struct TsInfoRecord {
  // site
  std::array<char, 6> STATION{};
  std::array<char, 20> WINDOW{};
  // times (timestr "yyyy-mm-dd hh:mm:ss")
  std::array<char, 19> STARTTIME{};
  std::array<char, 19> ENDTIME{};
  // orientation
  std::array<float, kMaxChannels> AZIM_{};
  float DECLIN = 0.0f;
  std::array<char, 17> COORD_SYS{};
  // channels
  std::int32_t NCHAN = 0;
  float DELTA_T = 0.0f;
  std::array<float, kMaxChannels> GAIN_{};
  std::array<float, kMaxBaselines> BASELINE_{};
  float MIS_DATA = 0.0f;
  std::array<char, 5> T_UNITS{};
  std::array<std::array<char, 2>, kMaxChannels> CHAN_{};
  std::array<char, 10> ORDER{};
  std::array<std::array<char, 10>, kMaxChannels> UNITS_{};
  // sensors
  std::int32_t INSTRUMENT = 0;
  std::array<std::int32_t, kMaxChannels> SENSOR_{};
  // location
  float LATITUDE = 0.0f;
  float LONGITUDE = 0.0f;
  float ELEVATION = 0.0f;
  float UTM_ORIGIN = 0.0f;
  std::int32_t UTM_ZONE = 0;
  std::int32_t UTM_NORTH = 0;
  std::int32_t UTM_EAST = 0;
  // file form
  std::int32_t FORM_LEN = 0;
  std::int32_t SEQ_REC = 0;
  // Form of the file the next library call works on: "ASCII ", "BINARY", or "?     "
  // (ts_open asks). One setting for all open files: a caller with two ts files open
  // selects a file's (and its `format`, and NCHAN where they differ) for the calls on
  // that file, with tslib::FormSelection (tslib/form_selection.h).
  std::array<char, 6> form{};
  // FORMAT in use: "FREE", a format text, or "UNFORMATTED", blank-padded to 15.
  std::array<char, 15> format{};
  std::array<char, 15> FORM_TYPE{};
  std::array<char, 6> ENDIAN{};
  std::array<char, 4> BIN_FORM{};
};

}  // namespace tslib

// The one process-wide instance (defined in tsinfo.cpp).
extern tslib::TsInfoRecord tsinfo;
