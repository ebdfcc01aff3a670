// The converter's dialogue: from the print level to the duration of the data wanted,
// with the raw header, the output opens, the hardware database and the site file in
// between; then the header writers and the conversion loop, handed the state.
#include "rawcv/driver.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/banner.h"
#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/run_start.h"
#include "common/strings.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "rawcv/rawhdr.h"
#include "rawcv/site.h"
#include "tslib/counts.h"
#include "tslib/project_files.h"

namespace rawcv {

namespace {

using io::FreeWriter;
using io::lay::A;

constexpr io::Item kPlain1[] = {A()};
constexpr io::Item kPlain2[] = {A(), A()};
constexpr io::Item kPlain3[] = {A(), A(), A()};
constexpr io::Item kYearLine[] = {A(), io::lay::I(4)};
constexpr io::Item kDurationLine[] = {A(), io::lay::I(2, 2), io::lay::I(2, 2), io::lay::I(2, 2),
                                      io::lay::I(2, 2)};

constexpr std::array<std::int32_t, 5> kOldDropTable = {17, 19, 22, 20, 19};

void plain(std::string_view a) { io::FixedWriter(6, kPlain1) << a; }
void plain(std::string_view a, std::string_view b) { io::FixedWriter(6, kPlain2) << a << b; }

int iprint() { return prtlvl.iprint; }

// The integer of a version part: its first 2 characters, blank-padded, read in the
// free layout. A part that forms no number ends the program with the error report.
std::int32_t version_number(std::string_view part) {
  std::array<char, 2> digits{};
  field::assign(digits, part);
  std::int32_t n = 0;
  auto reader = io::FreeReader::from_field(field::view(digits), io::Takes::neither);
  reader >> n;
  reader.finish();
  return n;
}

void start_up(ConverterState& s) {
  chkend(s.endian);
  datetext(s.run_date);
  dirsep({});  // its line at print level 3; names take the separator from common
  rawhdr.hwunit = kHardwareUnit;
  rawhdr.magfac = 10000.0f;
  common::ask_print_level();
  rawhdr.iprint = prtlvl.iprint;
  common::startup_echo(field::view(s.run_date), field::view(s.endian));
}

void ask_version(ConverterState& s) {
  field::assign(s.version, "10.2");
  cinput("Give VaRL acquisition code version number", s.version);
  const std::string_view v = field::trimmed(s.version);
  const std::size_t point = v.find('.');
  const std::string_view major =
      point == std::string_view::npos ? v.substr(0, 0) : v.substr(0, point);
  const std::string_view minor =
      point == std::string_view::npos ? v.substr(0, 0) : v.substr(point + 1);
  const std::int32_t major_no = version_number(major);
  const std::int32_t minor_no = version_number(minor);
  s.old = major_no < 9 || minor_no < 11;
  s.droptable = s.old ? kOldDropTable : std::array<std::int32_t, 5>{};
}

// The window's file with the extension, blank-padded to 40.
void file_name(const ConverterState& s, std::array<char, 40>& name, std::string_view extension) {
  field::assign(name, tslib::window_file_name(field::view(s.window), extension));
}

bool exists(const std::array<char, 40>& name) { return io::exists(field::trimmed(name)); }

void ask_window_and_read_header(ConverterState& s) {
  for (;;) {
    field::assign(s.window, "kvt101a1");
    cinput("Give window (8 chars, no extension)", s.window);
    field::assign(s.station, field::view(s.window).substr(0, 6));
    if (iprint() > 0) FreeWriter(6) << "Station =>" << field::view(s.station);
    file_name(s, s.raw_name, ".1mp");
    if (!exists(s.raw_name)) {
      FreeWriter(6) << "File does not exist >" << field::view(s.raw_name);
      FreeWriter(6) << "Trying .1MP extension";
      file_name(s, s.raw_name, ".1MP");
      if (!exists(s.raw_name)) {
        FreeWriter(6) << "Nope. That file does not exist either >" << field::view(s.raw_name);
        FreeWriter(6) << "Aborting program";
        io::fail_run({});
      }
    }
    field::assign(s.prj, field::view(s.raw_name).substr(0, 3));
    if (iprint() > 0) {
      FreeWriter(6) << "Data file to open ==>" << field::view(s.raw_name);
      waitent("Continue");
    }
    if (rdhead(kRawUnit, field::view(s.raw_name), s.next) == 0) return;
    FreeWriter(6) << " Error opening DATA INPUT file, re-enter.";
  }
}

void ask_seq_rec(ConverterState& s) {
  s.seq_rec = 1;
  for (;;) {
    iinput("Give no. of sequences/record", s.seq_rec);
    if (s.seq_rec > kMaxSeqRec) {
      plain("seq_rec cannot be larger than 60");
    } else if (s.seq_rec < 1) {
      plain("seq_rec must be at least 1");
    } else {
      return;
    }
    s.seq_rec = 1;
  }
}

void open_output(int unit, const std::array<char, 40>& name, io::Form form) {
  io::OpenSpec spec;
  spec.status = io::OpenStatus::unknown;
  spec.form = form;
  spec.big_endian = true;
  spec.output = true;
  io::open(unit, field::trimmed(name), spec, io::Takes::neither);
}

void ask_output_form(ConverterState& s) {
  for (;;) {
    field::assign(s.form_answer, "u");
    cinput("FORMATTED ascii (f), or UNFORMATTED binary (u) output?", s.form_answer);
    file_name(s, s.ts_name, ".ts");
    file_name(s, s.aux_name, ".aux");
    if (field::equals(s.form_answer, "f") || field::equals(s.form_answer, "u")) break;
    FreeWriter(6) << "Unknown output type requested >" << field::view(s.form_answer)
                  << "< please re-enter";
  }
  refuse_outputs_over_inputs(s);
  if (field::equals(s.form_answer, "u")) {
    ask_seq_rec(s);
    open_output(kTsUnit, s.ts_name, io::Form::binary);
    open_output(kAuxUnit, s.aux_name, io::Form::binary);
    plain("Opened BIG_ENDIAN unformatted output file: ", field::view(s.ts_name));
    plain("Opened BIG_ENDIAN unformatted aux    file: ", field::view(s.aux_name));
    s.ascii = false;
  } else {
    s.seq_rec = 1;
    s.ascii = true;
    field::assign(s.format_text, "FREE");
    cinput("Give format (include brackets)", s.format_text);
    FreeWriter(6) << "Opened formatted output file " << field::view(s.ts_name);
    FreeWriter(6) << "Opened formatted aux    file " << field::view(s.aux_name);
    open_output(kTsUnit, s.ts_name, io::Form::text);
    open_output(kAuxUnit, s.aux_name, io::Form::text);
  }
}

void use_default_caltable(CalTable& table) {
  for (int slot = 1; slot <= 5; ++slot) {
    table.calfac(slot) = 1.0f;
    table.lowpass(slot) = 0.2f;
    table.highpass(slot) = (slot == 3 || slot == 4) ? 30000.0f : 0.0f;
  }
}

void hardware_database(ConverterState& s) {
  field::assign(s.db_name, hardware_file_name(field::view(s.prj)));
  const io::Result r = io::open(kHardwareUnit, field::trimmed(s.db_name),
                                io::OpenSpec::to_read(io::Form::text), io::Takes::errors);
  if (r.ok()) {
    if (iprint() > 0) plain("Opened project hardware file =", field::view(s.db_name));
    gethardware(kHardwareUnit, s.box, rawhdr.nchan, s.caltable);
    return;
  }
  io::FixedWriter(6, kPlain3) << "Error opening HARDWARE file: iostat =" << std::to_string(r.code)
                              << " - default values used";
  use_default_caltable(s.caltable);
}

void site_file(ConverterState& s) {
  const SiteValues v = site_lookup(field::view(s.prj), field::view(s.station));
  s.elevation = v.elevation;
  s.declination = v.declination;
}

void echo_fields(std::string_view label, const std::array<char, 19>& t,
                 const std::array<std::int32_t, 6>& f) {
  FreeWriter(6) << label << field::view(t);
  FreeWriter(6) << " yy, mm, dd, hh, min, ss =>" << std::span<const std::int32_t>(f);
}

bool bad_fields(const std::array<std::int32_t, 6>& f) {
  std::int32_t ierr = 0;
  chktim(f[0], f[1], f[2], f[3], f[4], f[5], ierr);
  return ierr != 0;
}

void split(std::array<char, 19>& t, std::array<std::int32_t, 6>& f) {
  date(0, t, f[0], f[1], f[2], f[3], f[4], f[5]);
}

void ask_start_time(ConverterState& s) {
  std::array<std::int32_t, 6> f{};
  for (;;) {
    if (iprint() >= 0) plain("Give required start time           >yyyy-mm-dd hh:mm:ss");
    cinput(" ", s.stime);
    split(s.stime, f);
    if (iprint() >= 3) echo_fields(" stime=", s.stime, f);
    if (bad_fields(f)) continue;
    if (f[0] != rawhdr.byy) {
      io::FixedWriter(6, kYearLine) << " Requested wrong year!  Data block year is" << rawhdr.byy;
      continue;
    }
    // Kept as the time library writes the fields: the answer's separator columns may
    // hold any character, and the header and the windows database are read by column.
    date(1, s.stime, f[0], f[1], f[2], f[3], f[4], f[5]);
    return;
  }
}

void ask_end_time(ConverterState& s) {
  std::array<std::int32_t, 6> f{};
  for (;;) {
    if (iprint() >= 0) {
      plain("This end time is a GUESS (end of year) !!!");
      plain("Data only converted to the end time you enter");
      plain("Give desired end time              >yyyy-mm-dd hh:mm:ss");
    }
    field::assign(s.etime, "    -12-31 23:59:59");
    for (std::size_t i = 0; i < 4; ++i) s.etime[i] = s.stime[i];
    cinput(" ", s.etime);
    split(s.etime, f);
    date(1, s.etime, f[0], f[1], f[2], f[3], f[4], f[5]);
    if (iprint() >= 3) echo_fields(" etime=", s.etime, f);
    if (!bad_fields(f)) return;
  }
}

// A count of the span requested as the 32-bit value that holds it; one beyond ends the
// run before the headers are written.
std::int32_t requested(const ConverterState& s, std::string_view what, double value) {
  return tslib::count_or_fail(field::trimmed(s.raw_name), what, value);
}

// The request handed to the sample reader: the fields of stime and tlen, the seconds from
// stime to etime; then ndata, the samples in tlen.
void duration(ConverterState& s) {
  SampleRequest& q = s.request;
  date(0, s.stime, q.yy, q.mo, q.dd, q.hh, q.mi, q.ss);
  q.dursec = requested(s, "seconds requested",
                       static_cast<double>(tdiff(field::view(s.stime), field::view(s.etime))));
  const std::int32_t tlen = q.dursec;
  s.ndata = requested(s, "samples requested",
                      std::round(static_cast<double>(tlen) * static_cast<double>(rawhdr.delta)));
  if (iprint() > 0) {
    FreeWriter(6) << "Total length in seconds       :" << tlen;
    FreeWriter(6) << "Total number of data requested:" << s.ndata;
    std::int32_t days = 0, hours = 0, minutes = 0, seconds = 0;
    secsplit(tlen, days, hours, minutes, seconds);
    io::FixedWriter(6, kDurationLine)
        << " Event duration (ddhhmmss) >" << days << hours << minutes << seconds;
  }
}

}  // namespace

void run_converter() {
  ConverterState s;
  start_up(s);
  ask_version(s);
  banner(common::BannerKind::converter);
  linput("Verify data write?", s.verify);
  ask_window_and_read_header(s);
  take_header_values(s);
  ask_output_form(s);
  take_block_start(s);
  hardware_database(s);
  site_file(s);
  check_channel_count();
  ask_start_time(s);
  ask_end_time(s);
  duration(s);
  write_comment_blocks(s);
  write_filter_block(s);
  write_info_blocks(s);
  convert_and_finish(s);
}

}  // namespace rawcv
