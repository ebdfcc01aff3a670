// input1d: calibrated samples of the raw file, one record per call; the first call
// sets up the calibration and skips to the requested start.
#include "rawcv/input1d.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/strings.h"
#include "common/text_field.h"
#include "rawcv/logger_samples.h"
#include "tslib/counts.h"

using rawcv::Input1dState;
using rawcv::kRawMaxRecords;
using rawcv::logger_samples;
using rawcv::SampleRequest;
using rawcv::Slots;

namespace {

constexpr int kConsole = 6;
using namespace io::lay;

constexpr std::array kText{A()};
constexpr std::array kThreeTexts{A(), A(), A()};
constexpr std::array kIndentText{X(4), A()};
constexpr std::array kIndentIntText{X(4), A(), I(4), A()};
constexpr std::array kIndentInt{X(4), A(), I(4)};
constexpr std::array kIndentReal{X(4), A(), F(10, 1)};
constexpr std::array kWideIndentText{X(10), A()};
constexpr std::array kIndentTwoTexts{X(4), A(), A()};
constexpr std::array kChannelLine{A(), I(2), A(), A(), A(), I(2), A(), P(1), E(10, 3)};
constexpr std::array kFactorLine{X(1), I(1), X(13), A(2), X(8),     I(2), X(13),   I(3),
                                 X(8), I(2), X(1),  P(1), E(10, 3), X(6), E(10, 3)};
constexpr std::array kTimeLine{A(), I(8), I(5), Rep(5, I(3))};
constexpr std::array kTextInt6{A(), I(6)};
constexpr std::array kTextInt8{A(), I(8)};
constexpr std::array kRecordEcho{X(1), I(5), Rep(kRawMaxRecords, I(7))};
static_assert(io::valid_layout(kChannelLine) && io::valid_layout(kFactorLine) &&
              io::valid_layout(kTimeLine) && io::valid_layout(kRecordEcho) &&
              io::valid_layout(kIndentIntText) && io::valid_layout(kIndentReal));

// IEEE quotient, also for a zero divisor (infinite, or NaN for 0/0).
double quotient(double n, double d) {
  if (d != 0.0) return n / d;
  if (n == 0.0 || std::isnan(n)) return std::numeric_limits<double>::quiet_NaN();
  const bool negative = std::signbit(n) != std::signbit(d);
  return negative ? -std::numeric_limits<double>::infinity()
                  : std::numeric_limits<double>::infinity();
}

// A product of header integers, formed in 32 bits as the logger software does
// (wrapping instead of overflowing).
std::int32_t product32(std::int32_t a, std::int32_t b, std::int32_t c) {
  const auto ab =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ab) * static_cast<std::uint32_t>(c));
}

constexpr std::array<std::string_view, 6> kPositionNames{"", "HX", "HY", "HZ", "EX", "EY"};

// Output position of a component code (upper case), 0 for none.
int position_of(std::string_view code) {
  if (code == "HX" || code == "GX") return 1;
  if (code == "HY" || code == "GY") return 2;
  if (code == "HZ" || code == "GZ") return 3;
  if (code == "EX") return 4;
  if (code == "EY") return 5;
  return 0;
}

// The start of the lines that refuse a channel table.
constexpr std::string_view kTableError = "input1d: ERROR: ";

void warn_not_finite(std::int32_t channel) {
  io::FixedWriter(kConsole, kThreeTexts) << "input1d: WARNING: calibration factor of channel "
                                         << std::to_string(channel) << " is not finite";
}

// Left-justified, upper-cased two-character code.
std::array<char, 2> upper_code(const std::array<char, 2>& stored) {
  std::array<char, 2> c = stored;
  SHIFTUP(std::span<char>(c));
  return c;
}

void show_constants(rawcv::RawHeader& h) {
  io::FixedWriter(kConsole, kText) << " The default calibration and converstion values  are:";
  io::FixedWriter(kConsole, kIndentText) << " Values from DIGDUMP are in digitizer units.";
  io::FixedWriter(kConsole, kIndentText) << " NO gains have been removed.";
  io::FixedWriter(kConsole, kIndentIntText)
      << " Telluric line lengths are: Ex =" << h.lenex << " m.";
  io::FixedWriter(kConsole, kIndentIntText)
      << "                            Ey =" << h.leney << " m.";
  io::FixedWriter(kConsole, kIndentInt) << " Instrument telluric gain is = " << h.itgain;
  io::FixedWriter(kConsole, kIndentReal) << " Magnetometer conversion factor is" << h.magfac;
  io::FixedWriter(kConsole, kWideIndentText) << " That is: 10 mV = 1 nT";
  io::FixedWriter(kConsole, kIndentTwoTexts) << " Electric fields are multiplied by -1 to "
                                             << "convert from potentials to fields.";
  io::FixedWriter(kConsole, kIndentTwoTexts) << " The project hardware file fine tunes the "
                                             << " gains and contains filter constants.";
  bool correct = true;
  linput(" Are these factors correct?", correct);
  if (!correct) {
    iinput(" Give Ex line length in meters", h.lenex);
    iinput(" Give Ey line length in meters", h.leney);
    iinput(" Give instrument telluric gain", h.itgain);
    rinput(" Give magnetometer conversion factor", h.magfac);
  }
}

// The hardware calibration factors of the instrument. Without the database (the driver
// used its defaults) every factor is 1.0.
void look_up_hardware(const rawcv::RawHeader& h, std::int32_t instr, Input1dState& st) {
  if (io::is_open(h.hwunit)) {
    io::rewind(h.hwunit);
    gethardware(h.hwunit, instr, h.nchan, st.hw);
  } else {
    for (int s = 1; s <= 5; ++s) st.hw.calfac(s) = 1.0f;
  }
}

// The header factor of raw channel k, whose component code (upper case) is `code`.
double header_factor(const rawcv::RawHeader& h, float fscale, std::string_view code,
                     std::int32_t k) {
  const double g = static_cast<double>(h.gain(k));
  const double fs = fscale;
  if (code[0] == 'H') return quotient(fs, g * h.magfac);
  if (code == "EX") return quotient(fs, product32(h.itgain, h.lenex, h.gain(k)));
  if (code == "EY") return quotient(fs, product32(h.itgain, h.leney, h.gain(k)));
  if (code == "GZ") return quotient(1.0, g * 100.0);
  return quotient(1.0, g * 1000.0);  // GX, GY
}

// Header factor of each channel and the output position it feeds; a table that does
// not feed every position of its channel count once ends the program.
void channel_factors(rawcv::RawHeader& h, Input1dState& st, std::int32_t iprint) {
  if (h.nchan != 3 && h.nchan != 5)
    io::fail_run({kTableError, "number of channels not 3 or 5: ", std::to_string(h.nchan)});
  st.mpchan = {};
  for (std::int32_t k = 1; k <= h.nchan; ++k) {
    const std::array<char, 2> acomp = upper_code(h.comp(k));
    const std::string_view code(acomp.data(), 2);
    const int j = position_of(code);
    if (j == 0) {
      io::FreeWriter(kConsole) << "input1d: ERROR: Unknown channel identifier: "
                               << "acomp=\"" << code << "\"";
      io::fail_run({});
    }
    st.calg(k) = static_cast<float>(header_factor(h, st.fscale, code, k));
    if (st.mpchan(j) != 0)
      io::fail_run({kTableError, "two channels for the component ", kPositionNames[j]});
    if (j > 3 && h.nchan == 3)
      io::fail_run({kTableError, "an electric channel in a 3-channel table: ", code});
    st.mpchan(j) = k;
    h.mapcmp(k) = k;
    if (iprint >= 1)
      io::FixedWriter(kConsole, kChannelLine)
          << "VARL channel " << k << " (" << field::view(h.comp(k))
          << ") assigned VARLCASB channel " << k << " with calg factor =" << st.calg(k);
  }
  for (int j = 1; j <= h.nchan; ++j)
    if (st.mpchan(j) == 0)
      io::fail_run({kTableError, "no channel for the component ", kPositionNames[j]});
}

void final_factors(const rawcv::RawHeader& h, Input1dState& st, std::int32_t iprint) {
  const Slots<float, 5>& a = st.hw.calfac;
  auto times = [](float x, float y) { return static_cast<float>(double{x} * double{y}); };
  st.cal = {};
  st.cal(1) = times(a(1), st.calg(st.mpchan(1)));
  st.cal(2) = times(a(2), st.calg(st.mpchan(2)));
  st.cal(3) = times(a(5), st.calg(st.mpchan(3)));
  if (h.nchan == 5) {
    st.cal(4) = -times(a(3), st.calg(st.mpchan(4)));
    st.cal(5) = -times(a(4), st.calg(st.mpchan(5)));
  }
  for (int j = 1; j <= h.nchan; ++j)
    if (!std::isfinite(st.cal(j))) warn_not_finite(st.mpchan(j));

  if (iprint >= 1) {
    io::FixedWriter(kConsole, kText)
        << " j comp(mapcmp(j)) mapcmp(j) gain(mapcmp(j)) mpchan(j)     cal(j) calg(mpchan(j))";
    for (int j = 1; j <= h.nchan; ++j) {
      const std::int32_t m = h.mapcmp(j);
      io::FixedWriter(kConsole, kFactorLine) << j << field::view(h.comp(m)) << m << h.gain(m)
                                             << st.mpchan(j) << st.cal(j) << st.calg(st.mpchan(j));
    }
  }
}

// The final factor of each output position, from the header and the hardware factors.
void calibrate(rawcv::RawHeader& h, Input1dState& st, std::int32_t iprint) {
  st.fscale = static_cast<float>(h.hdr77(13));
  channel_factors(h, st, iprint);
  final_factors(h, st, iprint);
}

// True when the requested duration holds at least one sample; else its message.
bool samples_requested(std::int32_t dursec, float delta, std::int32_t iprint) {
  const std::int32_t total = logger_samples(dursec, delta);
  if (total <= 0) {
    io::FreeWriter(kConsole) << "input1d1: Total number of data entries"
                             << " requested is 0!!";
    return false;
  }
  if (iprint >= 1)
    io::FreeWriter(kConsole) << "input1d1: Total number of entries requested =" << total;
  return true;
}

// Seconds from the block start to the requested start.
std::int32_t seconds_to_start(const rawcv::RawHeader& h, const SampleRequest& q,
                              std::int32_t iprint) {
  const std::int32_t stsec = yrsec(q.yy, q.mo, q.dd, q.hh, q.mi, q.ss);
  if (iprint >= 1)
    io::FixedWriter(kConsole, kTimeLine)
        << "input1d1: Requested start time:stsec/yy/mm/dd/hh/min/ss   " << stsec << q.yy << q.mo
        << q.dd << q.hh << q.mi << q.ss;
  const std::int32_t bstsec = yrsec(h.byy, h.bmm, h.bdd, h.bhh, h.bmin, h.bss);
  if (iprint >= 1)
    io::FixedWriter(kConsole, kTimeLine)
        << "input1d1: Data start time: bstsec/byy/bmm/bdd/bhh/bmin/bss " << bstsec << h.byy << h.bmm
        << h.bdd << h.bhh << h.bmin << h.bss;
  const std::int32_t ns = tslib::saturate_int32(std::int64_t{stsec} - bstsec);
  if (iprint >= 1)
    io::FixedWriter(kConsole, kTextInt6)
        << "input1d1: Seconds between requested and data block start time: ns=" << ns;
  return ns;
}

// The next data record of the raw file, and the stamp record after it.
std::int32_t read_record(std::int32_t unit, Input1dState& st, std::int32_t& next) {
  const rawcv::RawHeader& h = rawhdr;
  return readdt(unit, st.irec, st.nstamp, h.delta, h.nchan, std::span<std::int16_t>(st.ibuf),
                st.stamp, next);
}

// Reads past the records of the ns seconds before the requested start. False, after
// its message, when the request precedes the data or the data end before the start.
bool skip_to_start(std::int32_t unit, std::int32_t ns, std::int32_t& next, Input1dState& st,
                   std::int32_t iprint) {
  const float delta = rawhdr.delta;
  if (ns < 0) {
    io::FixedWriter(kConsole, kText)
        << "input1d1: ERROR: requested start timepreceeds first data entry in data block.";
    st.gap = tslib::saturate_int32(-std::int64_t{logger_samples(ns, delta)});
    io::FreeWriter(kConsole) << " The gap size is " << st.gap;
    return false;
  }
  if (ns == 0) return true;
  const std::int32_t n = logger_samples(ns, delta);
  if (iprint >= 1)
    io::FixedWriter(kConsole, kTextInt8) << "input1d: Number of data entries to skip: " << n;
  for (std::int32_t i = 0; i < n; ++i) {
    if (read_record(unit, st, next) != 0) {
      io::FixedWriter(kConsole, kText)
          << "input1d: EOF encountered when searching for requested start time.";
      return false;
    }
  }
  return true;
}

// First call: calibration and positioning at the requested start. False when the
// request cannot be served.
bool set_up(std::int32_t unit, std::int32_t instr, const SampleRequest& request, std::int32_t& next,
            Input1dState& st) {
  rawcv::RawHeader& h = rawhdr;
  const std::int32_t iprint = prtlvl.iprint;
  st.irec = 1;
  st.gap = 0;
  if (iprint >= 1) show_constants(h);
  look_up_hardware(h, instr, st);
  calibrate(h, st, iprint);
  if (!samples_requested(request.dursec, h.delta, iprint)) return false;
  return skip_to_start(unit, seconds_to_start(h, request, iprint), next, st, iprint);
}

// The record just read as one output sample: the calibrated channels in the output
// order and, from the second stamp on, the housekeeping values.
void put_sample(const Input1dState& st, std::size_t nchan, std::span<float> dat) {
  const std::size_t room = dat.size();
  for (std::size_t j = 1; j <= nchan && j <= 5 && j - 1 < room; ++j) {
    const int pos = static_cast<int>(j);
    const std::int16_t raw = st.ibuf[static_cast<std::size_t>(st.mpchan(pos) - 1)];
    dat[j - 1] = static_cast<float>(static_cast<double>(raw) * static_cast<double>(st.cal(pos)));
  }
  if (st.nstamp != 1 && nchan + 6 <= room) {
    const double fs = st.fscale;
    dat[nchan + 3] = static_cast<float>(-(static_cast<double>(st.stamp[3]) * fs / 100000.0));
    dat[nchan + 4] = static_cast<float>(-(static_cast<double>(st.stamp[4]) * fs / 100000.0));
    dat[nchan + 5] = static_cast<float>(-(static_cast<double>(st.stamp[5]) * fs * 2.0 / 1000000.0));
  }
}

}  // namespace

void input1d(Input1dState& st, std::int32_t unit, std::int32_t instr, std::span<float> dat,
             std::int32_t& status, const SampleRequest& request, std::int32_t& next) {
  if (st.calls++ == 0) {
    status = 0;
    if (!set_up(unit, instr, request, next, st)) {
      st.ended = true;
      status = -1;
      return;
    }
  }
  // After the end of data the unit is closed; after a failed request nothing follows.
  if (st.ended) {
    status = -1;
    return;
  }

  const std::int32_t r = read_record(unit, st, next);
  if (r != 0) {
    if (r == 1)
      io::FixedWriter(kConsole, kTextInt6)
          << "input1d: Data read error occurred at line:" << st.irec;
    st.ended = true;
    status = -1;
    return;
  }

  const auto nchan = static_cast<std::size_t>(rawhdr.nchan);
  if (prtlvl.iprint >= 3) {
    io::FixedWriter echo(kConsole, kRecordEcho);
    echo << st.irec;
    for (std::size_t i = 0; i < nchan; ++i) echo << st.ibuf[i];
  }
  put_sample(st, nchan, dat);
}
