// The converter's dialogue: from the print level to the duration of the data wanted,
// with the raw header, the output opens, the hardware database and the site file in
// between; then the header writers and the conversion loop.
#include "rawcv/driver.h"

#include <charconv>
#include <string_view>

#include "common/banner.h"
#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/strings.h"
#include "common/timelib.h"
#include "rawcv/gethardware.h"
#include "rawcv/ll2utm.h"
#include "rawcv/rawhdr.h"
#include "rawcv/rawint.h"
#include "rawcv/site.h"

namespace rawcv {

namespace {

using io::FreeWriter;
using io::lay::A;

constexpr io::Item kPlain1[] = {A()};
constexpr io::Item kPlain2[] = {A(), A()};
constexpr io::Item kPlain3[] = {A(), A(), A()};
constexpr io::Item kYearLine[] = {A(), io::lay::I(4)};
constexpr io::Item kDurationLine[] = {A(), io::lay::I(2, 2), io::lay::I(2, 2),
                                      io::lay::I(2, 2), io::lay::I(2, 2)};

constexpr std::string_view kBuildDate = "Tue Jul 20 13:17:22 EDT 2004            ";
static_assert(kBuildDate.size() == 40);

constexpr std::array<std::int32_t, 5> kOldDropTable = {17, 19, 22, 20, 19};

void plain(std::string_view a) { io::FixedWriter(6, kPlain1) << a; }
void plain(std::string_view a, std::string_view b) { io::FixedWriter(6, kPlain2) << a << b; }

int iprint() { return prtlvl.iprint; }

// Lines that end the program after a condition it cannot go on from.
[[noreturn]] void fail_with_line(std::string_view a, std::string_view b) {
  FreeWriter(6) << a << b;
  io::end_program(io::Outcome::failure);
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The integer of a version part: its first 2 characters, blank-padded, read in the
// free layout. A part that forms no number ends the program with the error report.
std::int32_t version_number(std::string_view part) {
  std::array<char, 2> field = {' ', ' '};
  for (std::size_t i = 0; i < field.size() && i < part.size(); ++i) field[i] = part[i];
  std::int32_t n = 0;
  auto reader = io::FreeReader::from_field(std::string_view(field.data(), field.size()),
                                           io::Takes::neither);
  reader >> n;
  reader.finish();
  return n;
}

void start_up() {
  ConverterState& s = cvstate;
  chkend(s.endian);
  datetext(s.run_date);
  dirsep(s.sep);
  rawhdr.hwunit = kHardwareUnit;
  rawhdr.magfac = 10000.0f;
  iinput("Give print level (-1/0/1/2/3)", prtlvl.iprint);
  rawhdr.iprint = prtlvl.iprint;
  if (iprint() > 0) {
    FreeWriter(6) << "Program start at: " << view(s.run_date);
    FreeWriter(6) << "Machine endian  : " << view(s.endian);
    FreeWriter(6) << "UNIX setting    : " << false;
  }
}

void ask_version() {
  ConverterState& s = cvstate;
  store(s.version, "10.2");
  cinput("Give VaRL acquisition code version number", s.version);
  const std::string_view v = trimmed(view(s.version));
  const std::size_t point = v.find('.');
  const std::string_view major = point == std::string_view::npos ? v.substr(0, 0) : v.substr(0, point);
  const std::string_view minor = point == std::string_view::npos ? v.substr(0, 0) : v.substr(point + 1);
  const std::int32_t major_no = version_number(major);
  const std::int32_t minor_no = version_number(minor);
  s.old = major_no < 9 || minor_no < 11;
  s.droptable = s.old ? kOldDropTable : std::array<std::int32_t, 5>{};
}

void show_banner() {
  if (iprint() < 0) return;
  constexpr std::string_view kLines[] = {
      " ",
      " >>>>>>>>>>>>>>> rawcv <<<<<<<<<<<<<<<<<<<",
      " ",
  };
  for (std::string_view l : kLines) FreeWriter(6) << l;
  FreeWriter(6) << "           version = " << kVersion;
  FreeWriter(6) << "build date = " << kBuildDate;
  constexpr std::string_view kRest[] = {
      " ",
      " It is assumed that this program is being run from",
      " the database directory of the project ",
      " (e.g. .../abx)  ",
      " and that all data files reside in subdirectories",
      " with the respective station names ",
      " (e.g. .../abx/abx001 abx002 etc.)",
      " ",
      " windows and hardware database files are required",
      " (e.g. windows.abx & hardware.abx) ",
      " ",
  };
  for (std::string_view l : kRest) FreeWriter(6) << l;
}

// station, separator, window and the extension, blank-padded to 40.
void file_name(Text<40>& name, std::string_view extension) {
  const ConverterState& s = cvstate;
  Text<40> n;
  n.fill(' ');
  std::size_t k = 0;
  auto put = [&](std::string_view part) {
    for (char c : part)
      if (k < n.size()) n[k++] = c;
  };
  put(view(s.station));
  put(view(s.sep));
  put(view(s.window));
  put(extension);
  name = n;
}

bool exists(const Text<40>& name) { return io::exists(trimmed(view(name))); }

void ask_window_and_read_header() {
  ConverterState& s = cvstate;
  for (;;) {
    store(s.window, "kvt101a1");
    cinput("Give window (8 chars, no extension)", s.window);
    store(s.station, view(s.window).substr(0, 6));
    if (iprint() > 0) FreeWriter(6) << "Station =>" << view(s.station);
    file_name(s.raw_name, ".1mp");
    if (!exists(s.raw_name)) {
      FreeWriter(6) << "File does not exist >" << view(s.raw_name);
      FreeWriter(6) << "Trying .1MP extension";
      file_name(s.raw_name, ".1MP");
      if (!exists(s.raw_name)) {
        FreeWriter(6) << "Nope. That file does not exist either >" << view(s.raw_name);
        FreeWriter(6) << "Aborting program";
        io::end_program(io::Outcome::failure);
      }
    }
    store(s.prj, view(s.raw_name).substr(0, 3));
    if (iprint() > 0) {
      FreeWriter(6) << "Data file to open ==>" << view(s.raw_name);
      waitent("Continue");
    }
    if (rdhead(kRawUnit, view(s.raw_name), s.next) == 0) return;
    FreeWriter(6) << " Error opening DATA INPUT file, re-enter.";
  }
}

void echo_header() {
  const RawHeader& h = rawhdr;
  plain("Header read in...");
  FreeWriter(6) << "prjcod =" << text_of(h.prjcod);
  FreeWriter(6) << "runnum =" << text_of(h.runnum);
  FreeWriter(6) << "sitdes =" << text_of(h.sitdes);
  FreeWriter(6) << "latdir =" << text_of(h.latdir);
  FreeWriter(6) << "lngdir =" << text_of(h.lngdir);
  FreeWriter(6) << "azdir  =" << text_of(h.azdir);
  FreeWriter(6) << "smpin1 =" << text_of(h.smpin1);
  FreeWriter(6) << "smpin2 =" << text_of(h.smpin2);
  FreeWriter(6) << "smprt1 =" << h.smprt1;
  FreeWriter(6) << "smprt2 =" << h.smprt2;
  FreeWriter(6) << "baseln =" << std::span<const std::int32_t>(h.baseln.v);
  FreeWriter(6) << "filtp1 =" << h.filtp1;
  FreeWriter(6) << "filtp2 =" << h.filtp2;
  FreeWriter(6) << "nchan  =" << h.nchan;
  FreeWriter(6) << "delta  =" << h.delta;
  FreeWriter(6) << "byy    =" << h.byy;
  FreeWriter(6) << "bmm    =" << h.bmm;
  FreeWriter(6) << "bdd    =" << h.bdd;
  FreeWriter(6) << "bmin   =" << h.bmin;
  FreeWriter(6) << "bss    =" << h.bss;
}

void sampling_rate_index() {
  ConverterState& s = cvstate;
  const std::string_view unit = text_of(rawhdr.smpin1);
  const float rate = rawhdr.smprt1;
  s.srindex = 0;
  if (unit.substr(0, 2) == "Hz" || unit.substr(0, 2) == "hz") {
    if (rate == 12.0f) s.srindex = 1;
    else if (rate == 4.0f) s.srindex = 2;
    else if (rate == 1.0f) s.srindex = 3;
    else {
      FreeWriter(6) << "Unknown \"Hz\" sampling rate: smprt1 =" << rate;
      io::end_program(io::Outcome::failure);
    }
  } else if (unit.substr(0, 3) == "sec") {
    if (rate == 1.0f) s.srindex = 3;
    else if (rate == 5.0f) s.srindex = 4;
    else if (rate == 30.0f) s.srindex = 5;
    else {
      FreeWriter(6) << "Unknown \"sec\" sampling rate: smprt1 =" << rate;
      io::end_program(io::Outcome::failure);
    }
  } else {
    fail_with_line("Unknown sampling type =", unit);
  }
  s.drop = s.droptable[static_cast<std::size_t>(s.srindex - 1)];
  if (iprint() > 0) FreeWriter(6) << "No of points to drop =" << s.drop;
}

void header_values() {
  ConverterState& s = cvstate;
  const RawHeader& h = rawhdr;
  s.box = h.hdr77(1);
  s.magnetometer = h.hdr77(2);
  s.ex_length = static_cast<float>(h.hdr32(1));
  s.ey_length = static_cast<float>(h.hdr32(2));
  s.ex_azimuth = h.hdr50(3);
  s.ey_azimuth = h.hdr50(4);
  s.hx_azimuth = h.hdr50(5);
  for (int n = 1; n <= 3; ++n)
    s.baselines[static_cast<std::size_t>(n - 1)] = static_cast<float>(h.baseln(n)) * 2.56f;
}

void coordinates() {
  ConverterState& s = cvstate;
  const Coordinates c = header_coordinates(rawhdr);
  s.latitude = c.latitude;
  s.longitude = c.longitude;
  s.lat_text = c.lattext;
  s.lon_text = c.lontext;
  if (iprint() > 0) {
    FreeWriter(6) << "Latitude  =" << s.latitude;
    FreeWriter(6) << "Longitude =" << s.longitude;
  }
  s.utm_cm = 999.0f;
  ll2utm(s.latitude, s.longitude, s.utm_cm, s.utm_north, s.utm_east);
  if (iprint() > 0) {
    FreeWriter(6) << "UTM-North =" << s.utm_north;
    FreeWriter(6) << "UTM-East  =" << s.utm_east;
  }
}

void ask_seq_rec() {
  ConverterState& s = cvstate;
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

void open_output(int unit, const Text<40>& name, io::Form form) {
  io::OpenSpec spec;
  spec.status = io::OpenStatus::unknown;
  spec.form = form;
  spec.big_endian = true;
  io::open(unit, trimmed(view(name)), spec, io::Takes::neither);
}

void ask_output_form() {
  ConverterState& s = cvstate;
  for (;;) {
    store(s.form_answer, "u");
    cinput("FORMATTED ascii (f), or UNFORMATTED binary (u) output?", s.form_answer);
    file_name(s.ts_name, ".ts");
    file_name(s.aux_name, ".aux");
    if (view(s.form_answer) == "f" || view(s.form_answer) == "u") break;
    FreeWriter(6) << "Unknown output type requested >" << view(s.form_answer)
                  << "< please re-enter";
  }
  if (view(s.form_answer) == "u") {
    ask_seq_rec();
    open_output(kTsUnit, s.ts_name, io::Form::binary);
    open_output(kAuxUnit, s.aux_name, io::Form::binary);
    plain("Opened BIG_ENDIAN unformatted output file: ", view(s.ts_name));
    plain("Opened BIG_ENDIAN unformatted aux    file: ", view(s.aux_name));
    s.ascii = false;
  } else {
    s.seq_rec = 1;
    s.ascii = true;
    store(s.format_text, "FREE");
    cinput("Give format (include brackets)", s.format_text);
    FreeWriter(6) << "Opened formatted output file " << view(s.ts_name);
    FreeWriter(6) << "Opened formatted aux    file " << view(s.aux_name);
    open_output(kTsUnit, s.ts_name, io::Form::text);
    open_output(kAuxUnit, s.aux_name, io::Form::text);
  }
}

void block_start() {
  ConverterState& s = cvstate;
  RawHeader& h = rawhdr;
  h.bss = 0;
  date(1, s.stime, h.byy, h.bmm, h.bdd, h.bhh, h.bmin, h.bss);
  if (iprint() >= 2) FreeWriter(6) << "block start time=" << view(s.stime);
}

void use_default_caltable() {
  for (int slot = 1; slot <= 5; ++slot) {
    caltable.calfac(slot) = 1.0f;
    caltable.lowpass(slot) = 0.2f;
    caltable.highpass(slot) = (slot == 3 || slot == 4) ? 30000.0f : 0.0f;
  }
}

void hardware_database() {
  ConverterState& s = cvstate;
  store(s.db_name, std::string_view("hardware."));
  for (std::size_t i = 0; i < 3; ++i) s.db_name[9 + i] = s.prj[i];
  const io::Result r = io::open(kHardwareUnit, trimmed(view(s.db_name)),
                                io::OpenSpec::to_read(io::Form::text), io::Takes::errors);
  if (r.ok()) {
    if (iprint() > 0) plain("Opened project hardware file =", view(s.db_name));
    gethardware(kHardwareUnit, s.box, rawhdr.nchan, caltable);
    return;
  }
  std::array<char, 12> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), r.code).ptr;
  io::FixedWriter(6, kPlain3) << "Error opening HARDWARE file: iostat ="
                              << std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data()))
                              << " - default values used";
  use_default_caltable();
}

void site_file() {
  ConverterState& s = cvstate;
  const SiteValues v = site_lookup(view(s.prj), view(s.station));
  s.elevation = v.elevation;
  s.declination = v.declination;
}

void channel_count() {
  if (rawhdr.nchan == 5) {
    if (iprint() > 0) FreeWriter(6) << "5 channels found";
  } else if (rawhdr.nchan != 3) {
    fail_with_line("Wierd number of channels; not 3 or 5 -- ", "don''t know what to do now!");
  }
  if (iprint() > 0) FreeWriter(6) << "Sampling rate in Hz =" << rawhdr.delta;
}

void echo_fields(std::string_view label, const Text<19>& t, const std::array<std::int32_t, 6>& f) {
  FreeWriter(6) << label << view(t);
  FreeWriter(6) << " yy, mm, dd, hh, min, ss =>" << std::span<const std::int32_t>(f);
}

bool bad_fields(const std::array<std::int32_t, 6>& f) {
  std::int32_t ierr = 0;
  chktim(f[0], f[1], f[2], f[3], f[4], f[5], ierr);
  return ierr != 0;
}

void split(Text<19>& t, std::array<std::int32_t, 6>& f) {
  date(0, t, f[0], f[1], f[2], f[3], f[4], f[5]);
}

void ask_start_time() {
  ConverterState& s = cvstate;
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
    return;
  }
}

void ask_end_time() {
  ConverterState& s = cvstate;
  std::array<std::int32_t, 6> f{};
  for (;;) {
    if (iprint() >= 0) {
      plain("This end time is a GUESS (end of year) !!!");
      plain("Data only converted to the end time you enter");
      plain("Give desired end time              >yyyy-mm-dd hh:mm:ss");
    }
    store(s.etime, "    -12-31 23:59:59");
    for (std::size_t i = 0; i < 4; ++i) s.etime[i] = s.stime[i];
    cinput(" ", s.etime);
    split(s.etime, f);
    date(1, s.etime, f[0], f[1], f[2], f[3], f[4], f[5]);
    if (iprint() >= 3) echo_fields(" etime=", s.etime, f);
    if (!bad_fields(f)) return;
  }
}

void duration() {
  ConverterState& s = cvstate;
  split(s.stime, s.start);
  s.tlen = tdiff(view(s.stime), view(s.etime));
  s.ndata = rawint::nint32(static_cast<double>(s.tlen) * static_cast<double>(rawhdr.delta));
  if (iprint() > 0) {
    FreeWriter(6) << "Total length in seconds       :" << s.tlen;
    FreeWriter(6) << "Total number of data requested:" << s.ndata;
    const std::int32_t days = s.tlen / 86400;
    const std::int32_t hours = (s.tlen - days * 86400) / 3600;
    const std::int32_t minutes = (s.tlen - days * 86400 - hours * 3600) / 60;
    const std::int32_t seconds = s.tlen - days * 86400 - hours * 3600 - minutes * 60;
    io::FixedWriter(6, kDurationLine) << " Event duration (ddhhmmss) >" << days << hours
                                      << minutes << seconds;
  }
}

}  // namespace

void run_converter() {
  start_up();
  ask_version();
  show_banner();
  linput("Verify data write?", cvstate.verify);
  ask_window_and_read_header();
  if (iprint() > 0) echo_header();
  if (rawhdr.byy < 100) rawhdr.byy += 1900;
  sampling_rate_index();
  header_values();
  coordinates();
  ask_output_form();
  block_start();
  hardware_database();
  site_file();
  channel_count();
  ask_start_time();
  ask_end_time();
  duration();
  write_comment_blocks();
  write_filter_block();
  write_info_blocks();
  convert_and_finish();
}

}  // namespace rawcv
