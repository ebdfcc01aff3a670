// The two input windows, the output window and the windows-database lookup.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "tools/chanmixer/chanmixer.h"
#include "tslib/getwindow.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/usable_input.h"
#include "tslib/window_times.h"

namespace chanmixer {
namespace {

constexpr io::Item kTwoTexts[] = {io::lay::A(), io::lay::A()};

void open_input(Input& in, bool say_file) {
  tslib::ask_form_at_open();
  io::FreeWriter(6) << "Opening input file for window " << field::view(in.window);
  // A name typed at ts_open's own question replaces the window for what follows.
  in.file.fill(' ');
  ts_open(in.unit, in.window, in.file, false, false, tslib::TsAccess::input);
  if (say_file) io::FreeWriter(6) << "Opened data file =>" << field::view(in.file);
  tslib::read_info_afresh(in.unit);
  if (!tslib::usable_input(field::trimmed(in.file))) io::fail_run({});
  // The rate and the skips are reckoned in seconds or in Hz: other units have no meaning.
  const std::optional<tslib::Sampling> sampling = tslib::known_sampling(tsinfo);
  if (!sampling) io::fail_run({});
  in.info = tsinfo;
  in.form = tslib::current_form();
  in.sampling = *sampling;
  in.nchan = tsinfo.NCHAN;
  in.stime = tsinfo.STARTTIME;
  in.instrument = tsinfo.INSTRUMENT;
  if (prtlvl.iprint > 0) io::FreeWriter(6) << "block start time=" << field::view(tsinfo.STARTTIME);
}

// The database's word on one window, refused when it cannot describe the file.
void look_up(Input& in, int number) {
  getwindow(kDatabase, field::view(in.window), in.instrument, in.nchan, in.stime, in.etime);
  if (in.instrument == -999) {
    io::FreeWriter(6) << "Window " << field::view(in.window)
                      << " is not in the windows database: its times are unknown";
    io::fail_run({});
  }
  // The event and the skips are reckoned from these times.
  if (!tslib::window_times_usable(field::view(in.window), field::view(in.stime),
                                  field::view(in.etime)))
    io::fail_run({});
  if (in.nchan < 1 || in.nchan > tslib::kMaxChannels) {
    io::FreeWriter(6) << "Window " << field::view(in.window) << " has" << in.nchan
                      << "channels in the database: 1 to 5 allowed";
    io::fail_run({});
  }
  if (in.info.NCHAN != in.nchan) {
    io::FreeWriter(6) << "File" << std::int32_t{number} << "NCHAN" << in.info.NCHAN
                      << "differs from the database count" << in.nchan;
    io::fail_run({});
  }
}

// True, after the refusal line, when the output file is one of the files the run
// reads (through links included).
bool over_a_file_read(std::string_view output, std::initializer_list<std::string_view> files) {
  const auto other = tslib::same_file_among(output, files);
  if (other) tslib::say_output_refused(output, *other, "output station");
  return other.has_value();
}

// The output station question, asked until the output window is no input window and
// its file is neither an input window's file nor the windows database: writing the
// output would destroy what is still to be read.
void ask_output_station(Mix& mx) {
  const std::string windows = tslib::windows_database_name(field::view(mx.prj));
  std::array<char, 40> file1, file2, output;
  const std::string_view name1 = tslib::ts_file_name(mx.in1.window, file1, false);
  const std::string_view name2 = tslib::ts_file_name(mx.in2.window, file2, false);
  for (;;) {
    cinput("Give output station name (directory MUST exist!)", mx.outstation);
    std::copy(mx.outstation.begin(), mx.outstation.end(), mx.outwindow.begin());
    mx.outwindow[6] = 'c';
    mx.outwindow[7] = 'b';
    if (mx.outwindow == mx.in1.window || mx.outwindow == mx.in2.window) {
      io::FreeWriter(6) << "Output window " << field::view(mx.outwindow)
                        << " is one of the input windows: give another station";
      continue;
    }
    if (!over_a_file_read(tslib::ts_file_name(mx.outwindow, output, false),
                          {name1, name2, windows}))
      return;
  }
}

// True, after the refusal line, when the output file opened is one of the input files
// or the windows database as opened (a name typed at ts_open's question may be one).
bool output_over_a_file_read(const Mix& mx) {
  return over_a_file_read(
      field::trimmed(mx.outfile),
      {field::trimmed(mx.in1.file), field::trimmed(mx.in2.file), field::trimmed(mx.database)});
}

}  // namespace

void ask_windows(Mix& mx) {
  pmesg("The FIRST file is the one used for station co-ordinates and declination");
  field::assign(mx.in1.window, "mzp101ss");
  cinput("Give first window (extension assumed)", mx.in1.window);
  std::copy_n(mx.in1.window.begin(), 3, mx.prj.begin());
  mx.in2.window = mx.in1.window;
  cinput("Give second window (no extension)", mx.in2.window);
  mx.in1.unit = kFirst;
  mx.in2.unit = kSecond;
  if (prtlvl.iprint > 0) {
    io::FreeWriter(6) << "Data files to open ==>";
    io::FreeWriter(6) << " file1 =>" << field::view(mx.in1.window);
    io::FreeWriter(6) << " file2 =>" << field::view(mx.in2.window);
  }
  std::copy_n(mx.in1.window.begin(), 6, mx.outstation.begin());
  ask_output_station(mx);
}

void open_inputs(Mix& mx) {
  open_input(mx.in1, true);
  open_input(mx.in2, false);
  if (mx.in1.sampling.rate_hz() != mx.in2.sampling.rate_hz()) {
    io::FreeWriter(6) << "Sampling rates differ between the two data files";
    io::fail_run({});
  }
  if (mx.in1.info.MIS_DATA != mx.in2.info.MIS_DATA) {
    io::FreeWriter(6) << "Missing data markers are not the same:";
    io::FreeWriter(6) << "File 1: " << mx.in1.info.MIS_DATA;
    io::FreeWriter(6) << "File 2: " << mx.in2.info.MIS_DATA;
  }
  for (Input* in : {&mx.in1, &mx.in2}) {
    in->low = in->info.MIS_DATA * 0.99f;
    in->high = in->info.MIS_DATA * 1.01f;
  }
}

void open_output(Mix& mx) {
  for (;;) {
    io::FixedWriter(6, kTwoTexts) << "Opening output file: " << field::view(mx.outwindow);
    std::array<char, 8> window = mx.outwindow;
    mx.outfile.fill(' ');
    {
      const tslib::FormSelection output(tslib::kBinaryFile);
      ts_open(kOutput, window, mx.outfile, false, false, tslib::TsAccess::output);
    }
    // ts_open asks again for a name when the open fails, and that answer may name an
    // input; nothing is written to the file before this check.
    if (!output_over_a_file_read(mx)) return;
    io::close(kOutput);
    ask_output_station(mx);
  }
}

void look_up_windows(Mix& mx) {
  std::array<char, 40> name;
  field::assign(name, tslib::windows_database_name(field::view(mx.prj)));
  while (!io::open(kDatabase, field::trimmed(name), io::OpenSpec::to_read(io::Form::text),
                   io::Takes::errors)
              .ok()) {
    io::FreeWriter(6) << "Error opening WINDOWS file, re-enter";
    cinput(" Give the project windows file", name);
  }
  mx.database = name;
  look_up(mx.in1, 1);
  io::rewind(kDatabase);
  look_up(mx.in2, 2);
  if (prtlvl.iprint >= 0) {
    io::FreeWriter(6) << "File 1 start and end times:" << field::view(mx.in1.stime) << "-"
                      << field::view(mx.in1.etime);
    io::FreeWriter(6) << "File 2 start and end times:" << field::view(mx.in2.stime) << "-"
                      << field::view(mx.in2.etime);
  }
  io::close(kDatabase);
}

}  // namespace chanmixer
