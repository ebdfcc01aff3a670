// ts_rdinfo: reads the info block of an open ts file into the shared info record.
#include <algorithm>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/timelib.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace {

using tslib::HeaderLine;
using tslib::text_of;
using namespace io::lay;

constexpr std::array<io::Item, 1> kText{A()};
constexpr std::array<io::Item, 2> kMissingDefault{
    Lit("ts_rdinfo: MIS_DAT not read in: set to default value: "), G(20, 10)};
constexpr std::array<io::Item, 5> kBadChannel{
    Lit("ts_rdinfo: channel number outside 1 to "), I(1), Lit(" in keyword "), A(),
    Lit(" - line ignored")};
constexpr std::array<io::Item, 2> kEcho{Lit("line>"), A()};
constexpr std::array<io::Item, 2> kUnknownKey{Lit("ts_rdinfo: Ignored/Unknown keyword: "), A()};

void fixed_line(std::string_view text) {
  io::FixedWriter w(6, kText);
  w << text;
  w.end();
}

void echo_line(std::string_view text) {
  io::FixedWriter w(6, kEcho);
  w << text;
  w.end();
}

[[noreturn]] void abort_read(std::string_view text) {
  fixed_line(text);
  io::end_program(io::Outcome::failure);
}

struct Flags {
  bool seq_rec = false;
  bool mis_data = false;
  bool format = false;
};

// One key line of the block, tested against the keys in their fixed order.
class KeyLine {
 public:
  KeyLine(const HeaderLine& line, Flags& flags) : line_(line), flags_(flags) {}

  // Reads and stores the line's value; true when it was the INFO_END line.
  bool apply();

 private:
  bool whole(std::string_view key) const {
    const std::string_view k = tslib::key_of(line_);
    return k.substr(0, key.size()) == key &&
           std::all_of(k.begin() + static_cast<std::ptrdiff_t>(key.size()), k.end(),
                       [](char c) { return c == ' '; });
  }
  bool prefix(std::string_view letters) const {
    return tslib::key_of(line_).substr(0, letters.size()) == letters;
  }
  std::string_view value_text() const {
    const auto v = tslib::value_field(line_);
    return {v.data(), v.size()};
  }
  // A number in the free layout from the value field; a null value keeps `v`.
  template <typename T>
  void number(T& v) const {
    auto r = io::FreeReader::from_field(value_text(), io::Takes::neither);
    r >> v;
    r.finish();
  }
  void word(std::span<char> target) const {
    std::array<char, tslib::kValueLength> source;
    std::copy_n(value_text().begin(), source.size(), source.begin());
    std::int32_t position = 0;
    getword(source, target, position);
  }
  void columns(std::span<char> target) const {
    std::copy_n(value_text().begin(), target.size(), target.begin());
  }
  // The channel number from the key's digit column; 0 when the line is to be passed
  // over (a comma, a slash, or a number outside 1..limit).
  int channel(std::size_t column, int limit) const;
  void time(std::span<char, 19> field, bool start) const;

  const HeaderLine& line_;
  Flags& flags_;
};

int KeyLine::channel(std::size_t column, int limit) const {
  const char c = line_[column - 1];
  std::int32_t n = 0;
  if (c != ',' && c != '/') {
    // A blank or any other character that is no number ends the program here.
    auto r = io::FreeReader::from_field(std::string_view(&line_[column - 1], 1), io::Takes::neither);
    r >> n;
    r.finish();
  }
  if (n < 1 || n > limit) {
    io::FixedWriter w(6, kBadChannel);
    w << std::int32_t{limit} << tslib::trimmed(tslib::key_of(line_));
    w.end();
    return 0;
  }
  return n;
}

void KeyLine::time(std::span<char, 19> field, bool start) const {
  columns(field);
  const std::string_view t(field.data(), field.size());
  if (prtlvl.iprint >= 2)
    io::FreeWriter(6) << (start ? "Starttime read in >" : "Endtime read in >") << tslib::trimmed(field);
  if (t.substr(0, 2) != "19" && t.substr(0, 2) != "20") {
    io::FreeWriter(6) << (start ? "Start time in v4 format...converting"
                                : "End time in v4 format...converting");
    shortdate(field);
    if (prtlvl.iprint >= 2)
      io::FreeWriter(6) << (start ? "Converted starttime >" : "Converted endtime >") << t;
  }
}

bool KeyLine::apply() {
  TsInfoRecord& ti = tsinfo;
  const auto at = [](int n) { return static_cast<std::size_t>(n - 1); };
  if (whole("INFO_START")) {
  } else if (whole("STATION")) {
    word(ti.STATION);
  } else if (whole("INSTRUMENT")) {
    number(ti.INSTRUMENT);
  } else if (whole("WINDOW")) {
    word(ti.WINDOW);
  } else if (whole("LATITUDE")) {
    number(ti.LATITUDE);
  } else if (whole("LONGITUDE")) {
    number(ti.LONGITUDE);
  } else if (whole("ELEVATION")) {
    number(ti.ELEVATION);
  } else if (whole("UTM_ORIGIN")) {
    number(ti.UTM_ORIGIN);
  } else if (whole("UTM_ZONE")) {
    number(ti.UTM_ZONE);
  } else if (whole("UTM_NORTH")) {
    number(ti.UTM_NORTH);
  } else if (whole("UTM_EAST")) {
    number(ti.UTM_EAST);
  } else if (whole("COORD_SYS")) {
    columns(ti.COORD_SYS);
  } else if (whole("DECLIN")) {
    number(ti.DECLIN);
  } else if (whole("FORM")) {
    std::array<char, 6> form_in;
    word(form_in);
    if (form_in != ti.form) {
      io::FreeWriter(6) << "ts_rdinfo: Incompatible form specified in file:";
      io::FreeWriter(6) << "           form = " << text_of(ti.form) << "form_in = " << text_of(form_in);
      io::FreeWriter(6) << "Correct and rerun";
      io::end_program(io::Outcome::failure);
    }
  } else if (whole("FORMAT")) {
    word(ti.format);
    flags_.format = true;
    if (tslib::equals(ti.form, tslib::kFormBinary) &&
        !tslib::equals(ti.format, tslib::kFormatUnformatted)) {
      io::FreeWriter(6) << "ts_rdinfo: Incorrect format specified for BINARY file";
      io::FreeWriter(6) << "           format = " << text_of(ti.format);
      io::FreeWriter(6) << "           reset to UNFORMATTED";
      tslib::set_text(ti.format, tslib::kFormatUnformatted);
    }
  } else if (whole("FORM_TYPE")) {
    word(ti.FORM_TYPE);
  } else if (whole("FORM_LEN")) {
    number(ti.FORM_LEN);
  } else if (whole("ENDIAN")) {
    word(ti.ENDIAN);
  } else if (whole("BIN_FORM")) {
    word(ti.BIN_FORM);
  } else if (whole("SEQ_REC")) {
    number(ti.SEQ_REC);
    flags_.seq_rec = true;
  } else if (whole("NCHAN")) {
    number(ti.NCHAN);
  } else if (prefix("CHAN")) {
    if (const int n = channel(7, tslib::kMaxChannels)) word(ti.CHAN_[at(n)]);
  } else if (prefix("SENSOR")) {
    if (const int n = channel(9, tslib::kMaxChannels)) number(ti.SENSOR_[at(n)]);
  } else if (prefix("AZIM")) {
    if (const int n = channel(7, tslib::kMaxChannels)) number(ti.AZIM_[at(n)]);
  } else if (prefix("UNITS")) {
    if (const int n = channel(8, tslib::kMaxChannels)) word(ti.UNITS_[at(n)]);
  } else if (whole("DELTA_T")) {
    number(ti.DELTA_T);
  } else if (whole("T_UNITS")) {
    word(ti.T_UNITS);
  } else if (whole("ORDER")) {
    word(ti.ORDER);
  } else if (prefix("GAIN")) {
    if (const int n = channel(7, tslib::kMaxChannels)) {
      float& gain = ti.GAIN_[at(n)];
      number(gain);
      if (gain != 1.0f)
        io::FreeWriter(6) << "ts_rdinfo: gain to be applied to channel" << std::int32_t{n}
                          << "   of" << gain;
    }
  } else if (prefix("BASELINE")) {
    if (const int n = channel(11, tslib::kMaxBaselines)) number(ti.BASELINE_[at(n)]);
  } else if (whole("STARTTIME")) {
    time(ti.STARTTIME, true);
  } else if (whole("ENDTIME")) {
    time(ti.ENDTIME, false);
  } else if (prefix("MIS_DATA")) {
    number(ti.MIS_DATA);
    flags_.mis_data = true;
  } else if (prefix("INFO_END")) {
    return true;
  } else {
    fixed_line(" ");
    io::FixedWriter w(6, kUnknownKey);
    w << tslib::key_of(line_);
    w.end();
    fixed_line(" ");
  }
  return false;
}

void apply_defaults(const Flags& flags) {
  TsInfoRecord& ti = tsinfo;
  if (!flags.seq_rec) {
    fixed_line("ts_rdinfo: SEQ_REC not read in: set to default = 1");
    ti.SEQ_REC = 1;
  }
  if (!flags.mis_data) {
    io::FixedWriter w(6, kMissingDefault);
    w << tslib::kDefaultMissing;
    w.end();
    ti.MIS_DATA = tslib::kDefaultMissing;
  }
  if (!flags.format && tslib::equals(ti.form, tslib::kFormAscii)) {
    fixed_line("ts_rdinfo: FORMAT not read in: set to FREE");
    tslib::set_text(ti.format, tslib::kFormatFree);
  }
}

void write_summary() {
  const TsInfoRecord& ti = tsinfo;
  using W = io::FreeWriter;
  W(6) << "Information block from input file...";
  W(6) << "STATION   :" << text_of(ti.STATION);
  W(6) << "INSTRUMENT:" << ti.INSTRUMENT;
  W(6) << "WINDOW    :" << text_of(ti.WINDOW);
  W(6) << "LATITUDE  :" << ti.LATITUDE;
  W(6) << "LONGITUDE :" << ti.LONGITUDE;
  W(6) << "ELEVATION :" << ti.ELEVATION;
  W(6) << "UTM_ORIGIN:" << ti.UTM_ORIGIN;
  W(6) << "UTM_NORTH :" << ti.UTM_NORTH;
  W(6) << "UTM_EAST  :" << ti.UTM_EAST;
  W(6) << "COORD_SYS :" << text_of(ti.COORD_SYS);
  W(6) << "DECLIN    :" << ti.DECLIN;
  W(6) << "FORM      :" << text_of(ti.form);
  W(6) << "FORMAT    :" << text_of(ti.format);
  W(6) << "FORM_TYPE :" << text_of(ti.FORM_TYPE);
  W(6) << "FORM_LEN  :" << ti.FORM_LEN;
  W(6) << "ENDIAN    :" << text_of(ti.ENDIAN);
  W(6) << "BIN_FORM  :" << text_of(ti.BIN_FORM);
  W(6) << "SEQ_REC   :" << ti.SEQ_REC;
  W(6) << "NCHAN     :" << ti.NCHAN;
  const int nchan = std::min<std::int32_t>(ti.NCHAN, tslib::kMaxChannels);
  for (int n = 1; n <= nchan; ++n) {
    const std::size_t k = static_cast<std::size_t>(n - 1);
    W(6) << "Channel......:" << std::int32_t{n};
    W(6) << "CHAN    :" << text_of(ti.CHAN_[k]);
    W(6) << "AZIM    :" << ti.AZIM_[k];
    W(6) << "GAIN    :" << ti.GAIN_[k];
    W(6) << "UNITS   :" << text_of(ti.UNITS_[k]);
    if (n <= tslib::kMaxBaselines) W(6) << "BASELINE:" << ti.BASELINE_[k];
  }
  W(6) << "STARTTIME :" << text_of(ti.STARTTIME);
  W(6) << "ENDTIME   :" << text_of(ti.ENDTIME);
  W(6) << "T_UNITS   :" << text_of(ti.T_UNITS);
  W(6) << "DELTA_T   :" << ti.DELTA_T;
  W(6) << "MIS_DATA  :" << ti.MIS_DATA;
}

}  // namespace

void ts_rdinfo(int ind) {
  Flags flags;
  const int iprint = prtlvl.iprint;
  if (iprint >= 2) io::FreeWriter(6) << "ts_rdinfo: entered with form =" << text_of(tsinfo.form);
  const bool binary = tslib::equals(tsinfo.form, tslib::kFormBinary);
  const std::string_view no_block = "ts_rdinfo: no info block found in file - aborting";

  io::rewind(ind);
  HeaderLine line;
  if (tslib::read_header_line(ind, line, binary, io::Takes::end).end_of_file()) abort_read(no_block);
  if (iprint == 3) echo_line(text_of(line));
  // Every record before the first '>' record is passed over, whatever it holds.
  while (line[0] != '>') {
    if (tslib::read_header_line(ind, line, binary, io::Takes::end).end_of_file()) abort_read(no_block);
    if (iprint >= 5) echo_line(tslib::trimmed(line));
  }
  if (tslib::key_of(line) != std::string_view("INFO_START"))
    io::FreeWriter(6) << "ts_rdinfo: Info block does not begin with INFO_START";

  for (;;) {
    if (KeyLine(line, flags).apply()) {
      if (iprint >= 3) io::FreeWriter(6) << "tsrdinfo: INFO_END found";
      break;
    }
    const io::Result r = tslib::read_header_line(ind, line, binary, io::Takes::both);
    if (r.end_of_file()) abort_read("ts_rdinfo: EOF still reading in info block - aborting");
    if (r.error()) {
      // A record that is no header record (a short BINARY data record): it is the
      // caller's first data record.
      io::backspace(ind);
      if (iprint >= 2) fixed_line("ts_rdinfo: exiting after one backspace");
      break;
    }
    if (iprint >= 5) echo_line(text_of(line));
    if (line[0] != '>') {
      // The block ended without INFO_END at a data record: step back over it so the
      // caller's first data read gets it.
      io::backspace(ind);
      if (iprint >= 2) fixed_line("ts_rdinfo: exiting");
      break;
    }
  }

  // The value arrays and every caller's data array hold 5 channels.
  if (tsinfo.NCHAN > tslib::kMaxChannels) {
    io::FreeWriter(6) << "ts_rdinfo: NCHAN =" << tsinfo.NCHAN
                      << " exceeds the limit of 5 channels - file refused";
    io::end_program(io::Outcome::failure);
  }
  apply_defaults(flags);
  if (iprint >= 1) write_summary();
}
