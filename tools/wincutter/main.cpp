// wincutter: copies a time span of a ts file into a new BINARY window in the output
// station's directory: the comment records unchanged, the info block with the span's
// times, and the data records of the span.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/edit/free.h"
#include "common/end.h"
#include "common/io/binary.h"
#include "common/io/units.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/timelib.h"
#include "tools/startup/startup.h"
#include "tslib/counts.h"
#include "tslib/data_values.h"
#include "tslib/info_line.h"
#include "tslib/same_file.h"
#include "tslib/samples_per_record.h"
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
  std::array<char, 30> field;
  tslib::set_text(field, name);
  return field;
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
    if (!tslib::same_file(tslib::trimmed(name), input_file)) return window;
    io::FreeWriter(6) << "wincutter: output file " << tslib::trimmed(name)
                      << " is the input file: give another window";
  }
}

// The seconds from t1 to t2 as the 32-bit float the counts are worked out in.
float span_seconds(const Timestr& t1, const Timestr& t2) {
  return static_cast<float>(tdiff(as_text(t1), as_text(t2)));
}

// Reads one data record of the input in its own form and format; false at its end.
bool read_record(std::span<float> values, bool binary) {
  io::Result result;
  if (binary) {
    io::BinaryReader r(kInput, io::Takes::end);
    if (r.finish().ok()) r >> values;
    result = r.finish();
  } else if (tslib::equals(tsinfo.format, tslib::kFormatFree)) {
    io::FreeReader r(kInput, io::Takes::end);
    r >> values;
    result = r.finish();
  } else {
    io::FixedReader r(kInput, io::format_layout(tslib::text_of(tsinfo.format), kInput),
                      io::Takes::end);
    r >> values;
    result = r.finish();
  }
  return result.ok();
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

}  // namespace

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  tools::tool_startup(tools::kWincutter);

  std::array<char, 8> window;
  tslib::set_text(window, "");
  tslib::set_text(tsinfo.form, tslib::kFormAsk);
  std::array<char, 30> indat;
  indat.fill(' ');
  ts_open(kInput, window, indat, true, false, TsAccess::input);
  const bool binary = tslib::equals(tsinfo.form, tslib::kFormBinary);

  const std::array<char, 8> outwin = ask_output_window(window, tslib::trimmed(indat));
  const std::array<char, 30> outfile = output_name(outwin);
  io::open(kOutput, tslib::trimmed(outfile),
           io::OpenSpec{io::OpenStatus::unknown, io::Form::binary}, io::Takes::neither);
  io::FreeWriter(6) << "Opened UNFORMATTED output file..." << tslib::text_of(outfile);

  copy_comments(binary);
  ts_rdinfo(kInput);
  if (!tslib::one_sample_per_record(tslib::trimmed(indat))) io::end_program(io::Outcome::failure);

  Timestr start = tsinfo.STARTTIME;
  Timestr end = tsinfo.ENDTIME;
  cinput("Give start time of required extract", start);
  cinput("Give end   time of required extract", end);

  // The counts, by the time units: the seconds times the rate, or divided by the
  // seconds per sample, each cut toward zero.
  std::int32_t nskip = 0;
  std::int32_t ncopy = 0;
  if (tslib::equals(tsinfo.T_UNITS, "Hz   ")) {
    nskip = tslib::cut_to_int32(span_seconds(tsinfo.STARTTIME, start) * tsinfo.DELTA_T);
    ncopy = tslib::cut_to_int32(span_seconds(start, end) * tsinfo.DELTA_T);
  } else if (tslib::equals(tsinfo.T_UNITS, "s    ")) {
    nskip = tslib::cut_to_int32(span_seconds(tsinfo.STARTTIME, start) / tsinfo.DELTA_T);
    ncopy = tslib::cut_to_int32(span_seconds(start, end) / tsinfo.DELTA_T);
  } else {
    io::FreeWriter(6) << "Time units not recognised >" << tslib::text_of(tsinfo.T_UNITS);
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
  tslib::set_text(tsinfo.WINDOW, tslib::text_of(outwin));
  tslib::set_text(tsinfo.form, tslib::kFormBinary);
  tslib::set_text(tsinfo.format, tslib::kFormatUnformatted);
  ts_wrtinfo(kOutput);
  tsinfo.form = in_form;
  tsinfo.format = in_format;

  io::FreeWriter(6) << "Reading and writing" << ncopy << " entries";
  TsValues values{};
  const std::span<float> record(values.data(), tslib::record_values());
  // A skip that met the end leaves the input there: the first read ends the copy.
  for (std::int32_t i = 0; i < ncopy; ++i) {
    if (!read_record(record, binary)) break;
    io::BinaryWriter(kOutput) << std::span<const float>(record);
  }
  io::end_program(io::Outcome::success);
}
