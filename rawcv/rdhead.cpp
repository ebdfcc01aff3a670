// rdhead: opens a raw logger file and reads its header, channel table and baselines.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/binary.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/strings.h"
#include "common/text_field.h"
#include "rawcv/logger_samples.h"
#include "rawcv/rawhdr.h"
#include "tslib/counts.h"

using rawcv::kRawMaxChannel;
using rawcv::kRawMaxRecords;
using rawcv::Slots;

namespace {

constexpr int kConsole = 6;

void pause() { waitent("Continue"); }

// A header rawhdr cannot hold: the line names what and the value (in the columns of a
// 32-bit integer), and the run ends.
[[noreturn]] void refuse(std::string_view what, std::int32_t value) {
  io::FreeWriter(kConsole) << what << value;
  io::fail_run({});
}

// The file name without its leading and trailing blanks.
std::string_view bare_name(std::string_view fname) {
  const std::string_view name = field::trimmed(fname);
  return name.substr(std::min(name.find_first_not_of(' '), name.size()));
}

constexpr std::array kStartTimeLayout{io::lay::A(), io::lay::A(), io::lay::I(4),
                                      io::lay::Rep(5, io::lay::I(3))};
constexpr std::array kTitleLayout{io::lay::X(2), io::lay::A()};
constexpr std::array kLabelIntLayout{io::lay::X(1), io::lay::A(), io::lay::I(5)};
constexpr std::array kDeltaLayout{io::lay::X(1), io::lay::A(), io::lay::F(8, 3)};
constexpr std::array kBaselineLayout{io::lay::X(1), io::lay::A(), io::lay::Rep(3, io::lay::I(10))};
constexpr std::array kTextLayout{io::lay::A()};
constexpr std::array kSlotLayout{io::lay::A(4), io::lay::I(7), io::lay::I(6)};
static_assert(io::valid_layout(kStartTimeLayout) && io::valid_layout(kLabelIntLayout) &&
              io::valid_layout(kDeltaLayout) && io::valid_layout(kBaselineLayout) &&
              io::valid_layout(kSlotLayout) && io::valid_layout(kTitleLayout));

// One channel group: its header and count channel records; c runs on over groups.
void read_group(int unit, std::int16_t count, std::int16_t& filtp, float& smprt,
                std::array<char, 4>& smpin, rawcv::RawHeader& h, int& c) {
  io::ByteReader(unit, io::Takes::neither) >> filtp >> smprt >> std::span<char>(smpin);
  for (int r = 0; r < count; ++r) {
    std::int16_t number = 0;
    std::array<char, 4> code{};
    std::int16_t gain = 0;
    io::ByteReader(unit, io::Takes::neither) >> number >> std::span<char>(code) >> gain;
    if (h.iprint >= 3)
      io::FreeWriter(kConsole) << "Channel number, component &  gain =>" << number
                               << field::view(code) << gain;
    if (!Slots<int, kRawMaxChannel>::in_range(number)) {
      refuse("rdhead: ERROR: raw channel number outside 1 to 16 in the channel table:", number);
    }
    ++c;
    h.mapcmp(c) = number;
    h.comp(number) = {code[0], code[1]};
    h.gain(number) = gain;
  }
}

// Samples per second from the group-1 sampling value and unit.
float samples_per_second(const rawcv::RawHeader& h) {
  if (h.smpin1[0] == 'H' || h.smpin1[0] == 'h') return h.smprt1;
  if (h.smprt1 == 0.0f) return std::numeric_limits<float>::infinity();
  return 1.0f / h.smprt1;
}

// Data record of the first 10-minute boundary of the clock after the block start: the
// record after the samples of the minutes up to that boundary.
std::int32_t first_boundary_record(std::int32_t bmin, float delta) {
  if (!(delta > 0.0f)) return 0;  // no usable sampling value; the driver stops on it
  const std::int32_t minutes = 10 - bmin % 10;
  return tslib::saturate_int32(std::int64_t{rawcv::logger_samples(60 * minutes, delta)} + 1);
}

// Opens the raw file to read as a byte stream; when it cannot be opened, the line
// naming it.
bool open_raw_file(std::int32_t unit, std::string_view fname) {
  const std::string_view name = bare_name(fname);
  if (io::open(unit, name, io::OpenSpec::to_read(io::Form::stream), io::Takes::errors).ok())
    return true;
  std::string shown(fname);
  std::int32_t n = 0;
  TRUNC(std::span<char>(shown), n);
  io::FreeWriter(kConsole) << "rdhead: Error reading old file "
                           << std::string_view(shown).substr(0, static_cast<std::size_t>(n))
                           << " File likely does NOT EXIST";
  return false;
}

// A line tracing the reading, then the pause (print level 3 and above).
void trace(const rawcv::RawHeader& h, std::string_view text, std::string_view value) {
  if (h.iprint < 3) return;
  io::FreeWriter(kConsole) << text << value;
  pause();
}

// The fixed header, bytes 0 to 106, in its three parts; the file ending inside it is
// an error report.
void read_fixed_header(std::int32_t unit, rawcv::RawHeader& h) {
  io::ByteReader(unit, io::Takes::neither) >> std::span<char>(h.prjcod) >>
      std::span<char>(h.runnum) >> h.hdr10 >> std::span<char>(h.sitdes) >>
      std::span<std::int16_t>(h.hdr32.v);
  trace(h, "rdhead: first line read in from file: prjcod=", field::view(h.prjcod));
  io::ByteReader(unit, io::Takes::neither) >> std::span<char>(h.latdir) >>
      std::span<std::int16_t>(h.hdr43.v) >> std::span<char>(h.lngdir);
  trace(h, "rdhead: second line read in from file: latdir=", field::view(h.latdir));
  io::ByteReader(unit, io::Takes::neither) >> std::span<std::int16_t>(h.hdr50.v) >>
      std::span<char>(h.azdir) >> std::span<std::int16_t>(h.hdr77.v);
  trace(h, "rdhead: third line read in from file: azdir=", field::view(h.azdir));
}

// The fixed header as read, one free-layout line per part, then the pause.
void dump_header(const rawcv::RawHeader& h) {
  io::FreeWriter(kConsole) << " Dump of header information from rdhedd:";
  {
    io::FreeWriter w(kConsole);
    w << field::view(h.prjcod) << field::view(h.runnum) << h.hdr10 << field::view(h.sitdes);
    for (std::int16_t v : h.hdr32.v) w << v;
  }
  {
    io::FreeWriter w(kConsole);
    w << field::view(h.latdir);
    for (std::int16_t v : h.hdr43.v) w << v;
    w << field::view(h.lngdir);
  }
  {
    io::FreeWriter w(kConsole);
    for (std::int16_t v : h.hdr50.v) w << v;
    w << field::view(h.azdir);
    for (std::int16_t v : h.hdr77.v) w << v;
  }
  pause();
}

// The values the fixed header gives (block start, telluric gain, line lengths), and
// the channel slots cleared but for the housekeeping channels 11 to 16.
void take_fixed_values(rawcv::RawHeader& h) {
  h.byy = h.hdr77(6);
  h.itgain = h.hdr50(1);
  h.lenex = h.hdr32(1);
  h.leney = h.hdr32(2);
  for (int i = 1; i <= kRawMaxChannel; ++i) {
    h.comp(i) = {' ', ' '};
    h.gain(i) = 0;
  }
  constexpr std::array<std::string_view, 6> kHousekeeping{"A1", "A2", "A3", "Ti", "Th", "Bt"};
  for (int i = 0; i < 6; ++i) h.comp(11 + i) = {kHousekeeping[i][0], kHousekeeping[i][1]};
  h.bss = 0;
  h.bmm = h.hdr77(5);
  h.bdd = h.hdr77(4);
  h.bhh = h.hdr77(7);
  h.bmin = h.hdr77(8);
}

void show_block_start(const rawcv::RawHeader& h) {
  io::FixedWriter(kConsole, kStartTimeLayout)
      << "Data start time: year/month/day/"
      << "hour/min/sec=" << h.byy << h.bmm << h.bdd << h.bhh << h.bmin << h.bss;
  pause();
}

// The channel table: the groups the header counts, then nchan and the slots of the
// housekeeping channels after the channel records.
void read_channel_table(std::int32_t unit, rawcv::RawHeader& h) {
  const std::int16_t count1 = h.hdr77(14);
  const std::int16_t count2 = h.hdr77(15);
  const int records = (count1 > 0 ? count1 : 0) + (count2 > 0 ? count2 : 0);
  if (records > kRawMaxRecords) {
    refuse("rdhead: ERROR: more than 13 channel records in the channel table:", records);
  }
  int c = 0;
  if (count1 > 0) read_group(unit, count1, h.filtp1, h.smprt1, h.smpin1, h, c);
  if (count2 > 0) read_group(unit, count2, h.filtp2, h.smprt2, h.smpin2, h, c);
  h.nchan = c;
  for (int i = 1; i <= 6; ++i) h.mapcmp(c + i) = 10 + i;
}

// The three baselines; false when the file ends or fails inside them.
bool read_baselines(std::int32_t unit, rawcv::RawHeader& h) {
  io::ByteReader baselines(unit, io::Takes::both);
  baselines >> h.baseln(1) >> h.baseln(2) >> h.baseln(3);
  return baselines.finish().ok();
}

void dump_selected_header(const rawcv::RawHeader& h) {
  io::FixedWriter(kConsole, kTitleLayout) << "Dump of selected header information:";
  const std::array<std::pair<std::string_view, std::int32_t>, 8> rows{{{"byy    = ", h.byy},
                                                                       {"bmm    = ", h.bmm},
                                                                       {"bdd    = ", h.bdd},
                                                                       {"bhh    = ", h.bhh},
                                                                       {"bmin   = ", h.bmin},
                                                                       {"itgain = ", h.itgain},
                                                                       {"lenex  = ", h.lenex},
                                                                       {"leney  = ", h.leney}}};
  for (const auto& [label, value] : rows)
    io::FixedWriter(kConsole, kLabelIntLayout) << label << value;
  io::FixedWriter(kConsole, kDeltaLayout) << "delta  = " << h.delta;
  io::FixedWriter(kConsole, kBaselineLayout)
      << "baselines = " << h.baseln(1) << h.baseln(2) << h.baseln(3);
  io::FixedWriter(kConsole, kLabelIntLayout) << "nchan = " << h.nchan;
  io::FixedWriter(kConsole, kTextLayout) << " COMP  MAPCMP  GAIN";
  for (int i = 1; i <= kRawMaxChannel; ++i)
    io::FixedWriter(kConsole, kSlotLayout) << field::view(h.comp(i)) << h.mapcmp(i) << h.gain(i);
}

}  // namespace

std::int32_t rdhead(std::int32_t unit, std::string_view fname, std::int32_t& next) {
  rawcv::RawHeader& h = rawhdr;
  h.magfac = 10000.0f;
  if (h.iprint >= 3) {
    io::FreeWriter(kConsole) << "rdhead: ifdef DOS used";
    pause();
  }
  if (!open_raw_file(unit, fname)) return 1;
  trace(h, "rdhead: file opened: ", fname);

  read_fixed_header(unit, h);
  if (h.iprint >= 2) dump_header(h);
  take_fixed_values(h);
  if (h.iprint >= 1) show_block_start(h);
  if (h.bmm < 1 || h.bmm > 12) {
    refuse("rdhead: ERROR: start month outside 1 to 12 in the header:", h.bmm);
  }

  read_channel_table(unit, h);
  h.delta = samples_per_second(h);
  next = first_boundary_record(h.bmin, h.delta);

  if (!read_baselines(unit, h)) {
    io::FreeWriter(kConsole) << "End of File or Error found during read!";
    return 0;
  }
  if (h.iprint >= 2) dump_selected_header(h);
  return 0;
}
