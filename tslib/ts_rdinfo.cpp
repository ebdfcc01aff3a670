// ts_rdinfo: reads the info block of an open ts file into the shared info record.
#include <algorithm>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tslib/info_keys.h"
#include "tslib/info_line.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

using namespace io::lay;

constexpr std::array<io::Item, 1> kText{A()};
constexpr std::array<io::Item, 2> kMissingDefault{
    Lit("ts_rdinfo: MIS_DAT not read in: set to default value: "), G(20, 10)};
constexpr std::array<io::Item, 5> kBadChannel{Lit("ts_rdinfo: channel number outside 1 to "), I(1),
                                              Lit(" in keyword "), A(), Lit(" - line ignored")};
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

[[noreturn]] void abort_read(std::string_view text) { io::fail_run({text}); }

struct Flags {
  bool seq_rec = false;
  bool mis_data = false;
  bool format = false;
};

// One key line of the block, read by the first info key that matches it.
class KeyLine {
 public:
  KeyLine(const HeaderLine& line, Flags& flags) : line_(line), flags_(flags) {}

  // Reads and stores the line's value; true when it was the INFO_END line.
  bool apply();

 private:
  std::string_view value_text() const { return field::view(value_field(line_)); }
  // A number in the free layout from the value field; a null value keeps `v`.
  template <typename T>
  void number(T& v) const {
    auto r = io::FreeReader::from_field(value_text(), io::Takes::neither);
    r >> v;
    r.finish();
  }
  void word(std::span<char> target) const {
    std::array<char, kValueLength> source;
    std::copy_n(value_text().begin(), source.size(), source.begin());
    std::int32_t position = 0;
    getword(source, target, position);
  }
  void columns(std::span<char> target) const {
    std::copy_n(value_text().begin(), target.size(), target.begin());
  }
  void store(InfoKind kind, const FieldRef& field) const;
  // The channel number from the key's digit column; 0 when the line is to be passed
  // over (a comma, a slash, or a number outside 1..limit).
  int channel(std::size_t column, int limit) const;
  void compare_form() const;
  void check_binary_format() const;
  void time(std::span<char> field, bool start) const;
  void report_unknown() const;

  const HeaderLine& line_;
  Flags& flags_;
};

void KeyLine::store(InfoKind kind, const FieldRef& field) const {
  switch (kind) {
    case InfoKind::none: break;
    case InfoKind::word: word(field.text); break;
    case InfoKind::integer: number(*field.integer); break;
    case InfoKind::real: number(*field.real); break;
    case InfoKind::columns: columns(field.text); break;
  }
}

int KeyLine::channel(std::size_t column, int limit) const {
  const char c = line_[column - 1];
  std::int32_t n = 0;
  if (c != ',' && c != '/') {
    // A blank or any other character that is no number ends the program here.
    auto r =
        io::FreeReader::from_field(std::string_view(&line_[column - 1], 1), io::Takes::neither);
    r >> n;
    r.finish();
  }
  if (n < 1 || n > limit) {
    io::FixedWriter w(6, kBadChannel);
    w << std::int32_t{limit} << field::trimmed(key_of(line_));
    w.end();
    return 0;
  }
  return n;
}

// FORM is read aside: a file of another form than the one opened ends the program.
void KeyLine::compare_form() const {
  const TsInfoRecord& ti = tsinfo;
  std::array<char, 6> form_in;
  word(form_in);
  if (form_in != ti.form) {
    io::FreeWriter(6) << "ts_rdinfo: Incompatible form specified in file:";
    io::FreeWriter(6) << "           form = " << field::view(ti.form)
                      << "form_in = " << field::view(form_in);
    io::FreeWriter(6) << "Correct and rerun";
    io::fail_run({});
  }
}

void KeyLine::check_binary_format() const {
  TsInfoRecord& ti = tsinfo;
  if (field::equals(ti.form, kFormBinary) && !field::equals(ti.format, kFormatUnformatted)) {
    io::FreeWriter(6) << "ts_rdinfo: Incorrect format specified for BINARY file";
    io::FreeWriter(6) << "           format = " << field::view(ti.format);
    io::FreeWriter(6) << "           reset to UNFORMATTED";
    field::assign(ti.format, kFormatUnformatted);
  }
}

// The time as stored; one in the v4 format (yymmddhhmmss) becomes a timestr.
void KeyLine::time(std::span<char> field, bool start) const {
  const std::string_view t = field::view(field);
  if (prtlvl.iprint >= 2)
    io::FreeWriter(6) << (start ? "Starttime read in >" : "Endtime read in >")
                      << field::trimmed(field);
  if (t.substr(0, 2) != "19" && t.substr(0, 2) != "20") {
    io::FreeWriter(6) << (start ? "Start time in v4 format...converting"
                                : "End time in v4 format...converting");
    shortdate(field);
    if (prtlvl.iprint >= 2)
      io::FreeWriter(6) << (start ? "Converted starttime >" : "Converted endtime >") << t;
  }
}

void KeyLine::report_unknown() const {
  fixed_line(" ");
  io::FixedWriter w(6, kUnknownKey);
  w << key_of(line_);
  w.end();
  fixed_line(" ");
}

bool KeyLine::apply() {
  const InfoKey* key = find_info_key(key_of(line_));
  if (key == nullptr) {
    report_unknown();
    return false;
  }
  if (key->action == ReadAction::compare_form) {
    compare_form();
    return false;
  }
  int n = 1;  // the channel number; a field of its own is element 0
  if (key->per_channel()) {
    n = channel(key->digit_column(), key->field.channels);
    if (n == 0) return false;
  }
  FieldRef field;
  if (key->kind != InfoKind::none) field = key->field.ref(tsinfo, static_cast<std::size_t>(n - 1));
  store(key->kind, field);

  switch (key->action) {
    case ReadAction::none:
    case ReadAction::compare_form: break;
    case ReadAction::check_format:
      flags_.format = true;
      check_binary_format();
      break;
    case ReadAction::seq_rec_read: flags_.seq_rec = true; break;
    case ReadAction::mis_data_read: flags_.mis_data = true; break;
    case ReadAction::gain_notice:
      if (*field.real != 1.0f)
        io::FreeWriter(6) << "ts_rdinfo: gain to be applied to channel" << std::int32_t{n}
                          << "   of" << *field.real;
      break;
    case ReadAction::start_time: time(field.text, true); break;
    case ReadAction::end_time: time(field.text, false); break;
    case ReadAction::block_end: return true;
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
    w << kMissingData;
    w.end();
    ti.MIS_DATA = kMissingData;
  }
  if (!flags.format && field::equals(ti.form, kFormAscii)) {
    fixed_line("ts_rdinfo: FORMAT not read in: set to FREE");
    field::assign(ti.format, kFormatFree);
  }
}

// A summary label: the key's letters (without a channel key's underscore),
// blank-padded to `width`, and a colon ("STATION   :", "CHAN    :").
class SummaryLabel {
 public:
  SummaryLabel(const InfoKey& key, std::size_t width) : size_(width + 1) {
    std::string_view letters = key.key;
    if (key.per_channel()) letters.remove_suffix(1);
    field::assign(text_, letters.substr(0, width));
    text_[width] = ':';
  }
  operator std::string_view() const { return {text_.data(), size_}; }

 private:
  std::array<char, kKeyLength + 1> text_;
  std::size_t size_;
};

// One summary line: the label, then the value of channel n's field (n 1 for a field
// of its own), texts in their full width.
void summary_line(const InfoKey& key, std::size_t label_width, int n = 1) {
  io::FreeWriter w(6);
  w << SummaryLabel(key, label_width);
  if (key.kind == InfoKind::none) return;
  const FieldValue v = key.field.value(tsinfo, static_cast<std::size_t>(n - 1));
  switch (key.kind) {
    case InfoKind::none: break;
    case InfoKind::word:
    case InfoKind::columns: w << v.text; break;
    case InfoKind::integer: w << v.integer; break;
    case InfoKind::real: w << v.real; break;
  }
}

// The summary's keys in its own order; UTM_ZONE and ORDER are not shown.
constexpr auto kSummaryHead =
    info_keys({"STATION", "INSTRUMENT", "WINDOW", "LATITUDE", "LONGITUDE", "ELEVATION",
               "UTM_ORIGIN", "UTM_NORTH", "UTM_EAST", "COORD_SYS", "DECLIN", "FORM", "FORMAT",
               "FORM_TYPE", "FORM_LEN", "ENDIAN", "BIN_FORM", "SEQ_REC", "NCHAN"});
constexpr auto kSummaryChannel = info_keys({"CHAN_", "AZIM_", "GAIN_", "UNITS_", "BASELINE_"});
constexpr auto kSummaryTail = info_keys({"STARTTIME", "ENDTIME", "T_UNITS", "DELTA_T", "MIS_DATA"});

void write_summary() {
  io::FreeWriter(6) << "Information block from input file...";
  for (const InfoKey* key : kSummaryHead) summary_line(*key, 10);
  const int nchan = std::min<std::int32_t>(tsinfo.NCHAN, kMaxChannels);
  for (int n = 1; n <= nchan; ++n) {
    io::FreeWriter(6) << "Channel......:" << std::int32_t{n};
    // Baselines exist for channels 1 to 3 only.
    for (const InfoKey* key : kSummaryChannel)
      if (n <= key->field.channels) summary_line(*key, 8, n);
  }
  for (const InfoKey* key : kSummaryTail) summary_line(*key, 10);
}

// Reads from the start of the file to the first record whose column 1 is '>': every
// record before it is passed over, whatever it holds. The file ending first ends the
// program.
void find_block(int ind, bool binary, HeaderLine& line) {
  const std::string_view no_block = "ts_rdinfo: no info block found in file - aborting";
  const int iprint = prtlvl.iprint;
  if (read_header_line(ind, line, binary, io::Takes::end).end_of_file()) abort_read(no_block);
  if (iprint == 3) echo_line(field::view(line));
  while (line[0] != '>') {
    if (read_header_line(ind, line, binary, io::Takes::end).end_of_file()) abort_read(no_block);
    if (iprint >= 5) echo_line(field::trimmed(line));
  }
  if (!info_key("INFO_START").matches(key_of(line)))
    io::FreeWriter(6) << "ts_rdinfo: Info block does not begin with INFO_START";
}

// Reads the key lines from `line` on, to INFO_END or to the first record that is no
// info line, which is stepped back over: it is the caller's first data record.
void read_keys(int ind, bool binary, HeaderLine& line, Flags& flags) {
  const int iprint = prtlvl.iprint;
  for (;;) {
    if (KeyLine(line, flags).apply()) {
      if (iprint >= 3) io::FreeWriter(6) << "tsrdinfo: INFO_END found";
      return;
    }
    const io::Result r = read_header_line(ind, line, binary, io::Takes::both);
    if (r.end_of_file()) abort_read("ts_rdinfo: EOF still reading in info block - aborting");
    if (r.error()) {
      // A record that is no header record (a short BINARY data record).
      io::backspace(ind);
      if (iprint >= 2) fixed_line("ts_rdinfo: exiting after one backspace");
      return;
    }
    if (iprint >= 5) echo_line(field::view(line));
    if (line[0] != '>') {
      // The block ended without INFO_END at a data record.
      io::backspace(ind);
      if (iprint >= 2) fixed_line("ts_rdinfo: exiting");
      return;
    }
  }
}

}  // namespace
}  // namespace tslib

void ts_rdinfo(int ind) {
  if (prtlvl.iprint >= 2)
    io::FreeWriter(6) << "ts_rdinfo: entered with form =" << field::view(tsinfo.form);
  const bool binary = field::equals(tsinfo.form, tslib::kFormBinary);
  io::rewind(ind);
  tslib::HeaderLine line;
  tslib::find_block(ind, binary, line);
  tslib::Flags flags;
  tslib::read_keys(ind, binary, line, flags);
  tslib::apply_defaults(flags);
  if (prtlvl.iprint >= 1) tslib::write_summary();
}
