#pragma once
// The sample reader: calibrated channel values of the raw file, one record per call,
// in the output order Hx, Hy, Hz, Ex, Ey, with the housekeeping values of the last stamp.
#include <array>
#include <cstdint>
#include <span>

#include "rawcv/gethardware.h"
#include "rawcv/rawhdr.h"
#include "rawcv/slots.h"

namespace rawcv {

// What input1d keeps from call to call, zero before the first call. The run's owner
// (the converter's state) holds it and hands it to every call.
struct Input1dState {
  std::int32_t calls = 0;                           // calls so far; 0 before the first
  bool ended = false;                               // end of data or read error met: no more reads
  std::int32_t irec = 0;                            // next data record to read
  std::int32_t nstamp = 0;                          // stamp records read
  std::array<std::int16_t, kRawMaxRecords> ibuf{};  // last data record
  std::array<std::int16_t, kStampValues> stamp{};   // last stamp record
  float fscale = 0.0f;                              // full scale as a float
  Slots<float, kRawMaxChannel> calg;                // header factor per channel
  Slots<std::int32_t, 5> mpchan;                    // channel feeding each output position
  Slots<float, 5> cal;                              // final factor per output position
  CalTable hw;                                      // this routine's hardware table
  std::int32_t gap = 0;                             // samples missing before the data block
};

// What a run asks of the sample reader: the start of the data wanted, field by field,
// and the seconds from it to the end wanted.
struct SampleRequest {
  std::int32_t yy = 0, mo = 0, dd = 0, hh = 0, mi = 0, ss = 0;  // requested start
  std::int32_t dursec = 0;                                      // duration, s
};

}  // namespace rawcv

// One output sample. The first call sets up the calibration (dialogue at print level
// >= 1, hardware lookup on rawhdr.hwunit when that unit is open), skips to the
// requested start and checks the requested duration. dat holds nchan + 6 values:
// 1..nchan the calibrated samples, nchan+4..nchan+6 Ti, Th, Bt (from the second stamp
// on). status: 0 after the first call, -1 on end of data, read error or unusable
// request. A channel table that does not feed every output position once ends the
// program.
void input1d(rawcv::Input1dState& st, std::int32_t unit, std::int32_t instr, std::span<float> dat,
             std::int32_t& status, const rawcv::SampleRequest& request, std::int32_t& next);
