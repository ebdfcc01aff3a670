#pragma once
// The raw logger file ".1mp": the shared raw header record `rawhdr` and the routines
// that read the file (rdhead, readdt, mpclose) and count seconds of the year (yrsec).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "rawcv/slots.h"

namespace rawcv {

inline constexpr int kRawMaxChannel = 16;  // raw channel numbers 1..16
inline constexpr int kRawMaxRecords = 13;  // channel records in all (mapcmp has 19 slots)
inline constexpr int kStampValues = 6;     // values of a housekeeping stamp record

// Text fields are held as stored in the file, blank-padded, without terminator
// (common/text_field.h).
struct RawHeader {
  float smprt1 = 0.0f, smprt2 = 0.0f;  // sampling values of groups 1 and 2
  Slots<std::int32_t, 3> baseln;       // magnetometer baselines
  std::int16_t hdr10 = 0;
  Slots<std::int16_t, 5> hdr32;   // Ex, Ey line length; latitude d, m, s
  Slots<std::int16_t, 3> hdr43;   // longitude d, m, s
  Slots<std::int16_t, 5> hdr50;   // telluric gain, -, Ex, Ey, Hx azimuth
  Slots<std::int16_t, 15> hdr77;  // box, magnetometer, -, day, month, year, hour,
                                  // minute, 4 x -, full scale, group counts
  std::int16_t filtp1 = 0, filtp2 = 0;
  std::array<char, 3> prjcod{};
  std::array<char, 7> runnum{};
  std::array<char, 20> sitdes{};
  std::array<char, 1> latdir{}, lngdir{};
  std::array<char, 17> azdir{};
  std::array<char, 4> smpin1{}, smpin2{};
  std::int32_t byy = 0, bmm = 0, bdd = 0, bhh = 0, bmin = 0, bss = 0;  // block start
  std::int32_t itgain = 0, lenex = 0, leney = 0;
  float magfac = 0.0f;                  // magnetometer conversion factor
  Slots<std::int32_t, 16> gain;         // gain per raw channel number
  Slots<std::array<char, 2>, 16> comp;  // component code per raw channel number
  Slots<std::int32_t, 19> mapcmp;       // raw channel number of each channel record
  std::int32_t hwunit = 0;              // unit of the hardware database
  float delta = 0.0f;                   // samples per second
  std::int32_t iprint = 0;              // copy of the print level
  std::int32_t nchan = 0;               // channel records read
};

}  // namespace rawcv

// The one process-wide raw header, zero at program start.
inline rawcv::RawHeader rawhdr;

// Opens fname (trailing blanks ignored) on unit as an existing byte stream and reads
// the header, channel table and baselines into rawhdr; sets next. Returns 1 when the
// file cannot be opened (rawhdr and next untouched), else 0 (also when the baselines
// are missing). A file that rawhdr cannot hold (channel number outside 1..16, more
// than 13 channel records, start month outside 1..12) ends the program with failure.
std::int32_t rdhead(std::int32_t unit, std::string_view fname, std::int32_t& next);

// Reads data record irec (nchan samples into ibuf) and, after record 1 and after
// record `next`, the stamp record; moves next 10 minutes on (rate samples/s).
// Returns 0 read, 1 read error (counters unchanged), 2 end of data (unit closed).
std::int32_t readdt(std::int32_t unit, std::int32_t& irec, std::int32_t& nstamp, float rate,
                    std::int32_t nchan, std::span<std::int16_t> ibuf,
                    std::array<std::int16_t, rawcv::kStampValues>& stamp, std::int32_t& next);

// Closes the raw file's unit.
void mpclose(std::int32_t unit);

// Seconds from January 1 00:00:00 of yy to the time given (every 4th year leap).
// A month outside 1..12 is clamped to the table (the header's month is checked by
// rdhead; requested months by chktim).
std::int32_t yrsec(std::int32_t yy, std::int32_t mo, std::int32_t dd, std::int32_t hh,
                   std::int32_t mi, std::int32_t ss);
