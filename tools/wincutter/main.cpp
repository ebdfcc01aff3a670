// wincutter: copies a time span of a ts file into a new BINARY window in the output
// station's directory: the comment records unchanged, the info block with the span's
// times, and the data records of the span.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/free.h"
#include "common/end.h"
#include "common/io/units.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "common/timelib.h"
#include "tools/startup/startup.h"
#include "tslib/counts.h"
#include "tslib/data_record.h"
#include "tslib/data_values.h"
#include "tslib/info_line.h"
#include "tslib/same_file.h"
#include "tslib/usable_input.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"

namespace {

constexpr int kInput = 4;
constexpr int kOutput = 7;

// The output file: station directory, separator, window, ".ts", blank-padded to 30.
std::array<char, 30> output_name(const std::array<char, 8>& window) {
  std::array<char, 1> sep;
  dirsep(sep);
  std::string name(window.data(), 6);
  name += sep[0];
  name.append(window.data(), window.size());
  name += ".ts";
  std::array<char, 30> file;
  field::assign(file, name);
  return file;
}

// Asks for the output window until its file is not the input file itself.
std::array<char, 8> ask_output_window(const std::array<char, 8>& input_window,
                                      std::string_view input_file) {
  for (;;) {
    std::array<char, 8> window = input_window;
    window[6] = 'e';
    window[7] = 'x';
    cinput("Give output window name", window);
    const std::array<char, 30> name = output_name(window);
    if (!tslib::same_file(field::trimmed(name), input_file)) return window;
    io::FreeWriter(6) << "wincutter: output file " << field::trimmed(name)
                      << " is the input file: give another window";
  }
}

// The seconds from t1 to t2 as the 32-bit float the counts are worked out in.
float span_seconds(const Timestr& t1, const Timestr& t2) {
  return static_cast<float>(tdiff(field::view(t1), field::view(t2)));
}

// Copies the input's leading '#' records to the output as 80-byte BINARY records; the
// input ending inside them is reported (end of file is not taken back).
void copy_comments(bool binary) {
  tslib::HeaderLine line;
  tslib::read_header_line(kInput, line, binary, io::Takes::neither);
  while (line[0] == '#') {
    tslib::write_header_line(kOutput, line, true);
    tslib::read_header_line(kInput, line, binary, io::Takes::neither);
  }
}

// Copies up to `count` data records, each read in the input's own form and format and
// written as one BINARY record. A skip that met the end leaves the input there: the
// first read ends the copy.
void copy_records(std::int32_t count, bool binary) {
  if (count <= 0) return;  // nothing to copy: a format text is not even parsed
  const tslib::RecordForm in_form =
      binary ? tslib::kBinaryRecords : tslib::text_records(field::view(tsinfo.format), kInput);
  TsValues values{};
  const std::span<float> record(values.data(), tslib::record_values());
  for (std::int32_t i = 0; i < count; ++i) {
    if (!tslib::read_data_record(kInput, record, in_form, io::Takes::end).ok()) return;
    tslib::write_data_record(kOutput, record, tslib::kBinaryRecords);
  }
}

}  // namespace

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  tools::tool_startup(tools::kWincutter);

  std::array<char, 8> window;
  field::assign(window, "");
  field::assign(tsinfo.form, tslib::kFormAsk);
  std::array<char, 30> indat;
  indat.fill(' ');
  ts_open(kInput, window, indat, true, false, TsAccess::input);
  const bool binary = field::equals(tsinfo.form, tslib::kFormBinary);

  const std::array<char, 8> outwin = ask_output_window(window, field::trimmed(indat));
  const std::array<char, 30> outfile = output_name(outwin);
  io::open(kOutput, field::trimmed(outfile),
           io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::binary, .output = true},
           io::Takes::neither);
  io::FreeWriter(6) << "Opened UNFORMATTED output file..." << field::view(outfile);

  copy_comments(binary);
  ts_rdinfo(kInput);
  if (!tslib::usable_input(field::trimmed(indat))) io::end_program(io::Outcome::failure);

  Timestr start = tsinfo.STARTTIME;
  Timestr end = tsinfo.ENDTIME;
  cinput("Give start time of required extract", start);
  cinput("Give end   time of required extract", end);

  // The counts, by the time units: the seconds times the rate, or divided by the
  // seconds per sample, each cut toward zero.
  std::int32_t nskip = 0;
  std::int32_t ncopy = 0;
  if (field::equals(tsinfo.T_UNITS, "Hz   ")) {
    nskip = tslib::cut_to_int32(span_seconds(tsinfo.STARTTIME, start) * tsinfo.DELTA_T);
    ncopy = tslib::cut_to_int32(span_seconds(start, end) * tsinfo.DELTA_T);
  } else if (field::equals(tsinfo.T_UNITS, "s    ")) {
    nskip = tslib::cut_to_int32(span_seconds(tsinfo.STARTTIME, start) / tsinfo.DELTA_T);
    ncopy = tslib::cut_to_int32(span_seconds(start, end) / tsinfo.DELTA_T);
  } else {
    io::FreeWriter(6) << "Time units not recognised >" << field::view(tsinfo.T_UNITS);
    io::FreeWriter(6) << "only \"s\" or \"Hz\" permitted";
    io::end_program(io::Outcome::failure);
  }

  if (nskip > 0) {
    io::FreeWriter(6) << "Skipping" << nskip << " entries";
    ts_skip(kInput, nskip);
  }

  // The output is a new BINARY window named by the output window.
  const auto in_form = tsinfo.form;
  const auto in_format = tsinfo.format;
  tsinfo.STARTTIME = start;
  tsinfo.ENDTIME = end;
  field::assign(tsinfo.WINDOW, field::view(outwin));
  field::assign(tsinfo.form, tslib::kFormBinary);
  field::assign(tsinfo.format, tslib::kFormatUnformatted);
  ts_wrtinfo(kOutput);
  tsinfo.form = in_form;
  tsinfo.format = in_format;

  io::FreeWriter(6) << "Reading and writing" << ncopy << " entries";
  copy_records(ncopy, binary);
  io::end_program(io::Outcome::success);
}
