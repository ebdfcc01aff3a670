// wincutter: copies a time span of a ts file into a new BINARY window in the output
// station's directory: the comment records unchanged, the info block with the span's
// times, and the data records of the span. Every answer is taken before the output
// is opened, so a run that stops in its dialogue leaves no output behind.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "common/time_question.h"
#include "common/timelib.h"
#include "tools/startup/startup.h"
#include "tslib/counts.h"
#include "tslib/data_record.h"
#include "tslib/data_values.h"
#include "tslib/form_selection.h"
#include "tslib/info_line.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/time_units.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"
#include "tslib/usable_input.h"
#include "tslib/window_times.h"

namespace wincutter {
namespace {

constexpr int kInput = 4;
constexpr int kOutput = 7;
constexpr int kCommentSource = 8;  // the input once more, for its comment records

struct Input {
  std::array<char, 8> window;
  std::array<char, 30> file;  // blank-padded
  bool binary = true;
};

// The span asked for, and its seconds: from the data's start to the span's start, and
// from the span's start to its end.
struct Extract {
  timelib::Timestr start;
  timelib::Timestr end;
  std::int64_t offset = 0;
  std::int64_t length = 0;
};

// The comment records go out only once every answer is in, when unit 4 stands at the
// data already: they are read again from the start of the file on a unit of their own.
// Holding them instead would take memory without limit (a comment block has no
// length limit), and rewinding unit 4 would mean walking its info block once more.
// That unit is opened at once after unit 4, before any question: a file renamed and
// replaced during the dialogue cannot give the output another file's comments.
void open_comment_source(const Input& in) {
  io::open(kCommentSource, field::trimmed(in.file),
           io::OpenSpec::to_read(in.binary ? io::Form::binary : io::Form::text),
           io::Takes::neither);
}

Input open_input() {
  Input in;
  field::assign(in.window, "");
  tslib::ask_form_at_open();
  in.file.fill(' ');
  ts_open(kInput, in.window, in.file, true, false, tslib::TsAccess::input);
  in.binary = tslib::current_form().binary();
  open_comment_source(in);
  return in;
}

// The output file: the window's ts file in its station directory, blank-padded to 30.
// dirsep shows the separator at print level 3; the name takes the same one.
std::array<char, 30> output_name(const std::array<char, 8>& window) {
  dirsep({});
  std::array<char, 30> file;
  field::assign(file, tslib::window_file_name(field::view(window), ".ts"));
  return file;
}

// Asks for the output window until its file is neither the input file nor the windows
// database of the input's project, through links included.
std::array<char, 8> ask_output_window(const Input& in) {
  const std::string windows = tslib::windows_database_name(field::view(in.window));
  for (;;) {
    std::array<char, 8> window = in.window;
    window[6] = 'e';
    window[7] = 'x';
    cinput("Give output window name", window);
    const std::array<char, 30> name = output_name(window);
    const std::string_view output = field::trimmed(name);
    const auto other = tslib::same_file_among(output, {field::trimmed(in.file), windows});
    if (!other) return window;
    tslib::say_output_refused(output, *other, "output window");
  }
}

// Reads the leading '#' records of a unit from its start and hands each to `take`; the
// first record that is not one ends the walk unused. The file ending among them is
// reported (end of file is not taken back).
template <class Take>
void walk_comments(int unit, bool binary, Take take) {
  tslib::HeaderLine line;
  tslib::read_header_line(unit, line, binary, io::Takes::neither);
  while (line[0] == '#') {
    take(line);
    tslib::read_header_line(unit, line, binary, io::Takes::neither);
  }
}

// Passes over the comment records, reads the info block and ends the run on an input
// the copy cannot work on, time units other than s and Hz included; returns the input's
// sampling.
tslib::Sampling read_header(const Input& in) {
  // The first of the three walks over the comment records: an input that ends among
  // them gets the end-of-file report here, not ts_rdinfo's "no info block" end.
  walk_comments(kInput, in.binary, [](const tslib::HeaderLine&) {});
  // The second, ts_rdinfo's own: it leaves the input at its first data record and shows
  // its summary at print level 1 and above.
  tslib::read_info_afresh(kInput);
  if (!tslib::usable_input(field::trimmed(in.file))) io::fail_run({});
  const std::optional<tslib::Sampling> sampling = tslib::known_sampling(tsinfo);
  if (!sampling) io::fail_run({});
  return *sampling;
}

// Where the data end: the input's ENDTIME, when it is a time after its STARTTIME. A
// window that rawcv cut short keeps its requested end there, so the records may end
// before it.
std::optional<timelib::Timestr> end_of_data() {
  const std::string_view end = field::view(tsinfo.ENDTIME);
  if (!tslib::time_fault(end).empty()) return std::nullopt;
  if (timelib::seconds_between(field::view(tsinfo.STARTTIME), end) <= 0) return std::nullopt;
  return timelib::library_form(end);
}

// A start before the data becomes the data's start: the extract's STARTTIME must be the
// time of its first record. A start at or after the end of the data would give an
// extract without records: it is asked again. A repeated question offers the answer
// just refused.
void ask_start(Extract& x, const std::optional<timelib::Timestr>& data_end) {
  x.start = tsinfo.STARTTIME;
  for (;;) {
    x.start = timelib::ask_time({.prompt = "Give start time of required extract"}, x.start);
    x.offset = tdiff(field::view(tsinfo.STARTTIME), field::view(x.start));
    if (x.offset < 0) {
      x.start = timelib::library_form(field::view(tsinfo.STARTTIME));
      x.offset = 0;
      io::FreeWriter(6) << "Start of extract moved to the start of the data: "
                        << field::view(x.start);
    }
    if (!data_end || timelib::seconds_between(field::view(x.start), field::view(*data_end)) > 0)
      return;
    // Within the 80 columns of one free-layout line.
    io::FreeWriter(6) << "Start of extract is at or after the data end " << field::view(*data_end)
                      << ": give another";
  }
}

// An end before the start is refused; one past the end of the data becomes that end,
// so that the extract's ENDTIME and its count of records say what it holds.
void ask_end(Extract& x, const std::optional<timelib::Timestr>& data_end) {
  x.end = tsinfo.ENDTIME;
  for (;;) {
    x.end = timelib::ask_time({.prompt = "Give end   time of required extract"}, x.end);
    x.length = tdiff(field::view(x.start), field::view(x.end));
    if (x.length >= 0) break;
    io::FreeWriter(6) << "End of extract is before its start " << field::view(x.start)
                      << ": give another end";
  }
  if (!data_end || timelib::seconds_between(field::view(*data_end), field::view(x.end)) <= 0)
    return;
  x.end = *data_end;
  x.length = timelib::seconds_between(field::view(x.start), field::view(x.end));
  io::FreeWriter(6) << "End of extract moved to the end of the data: " << field::view(x.end);
}

Extract ask_extract() {
  const std::optional<timelib::Timestr> data_end = end_of_data();
  Extract x;
  ask_start(x, data_end);
  ask_end(x, data_end);
  return x;
}

// The records in a span of seconds, worked out in float and cut toward zero; a count
// beyond the 32-bit range ends the run before the output is opened.
std::int32_t records_in(const Input& in, std::string_view what, std::int64_t seconds,
                        const tslib::Sampling& sampling) {
  const float records = std::trunc(sampling.samples_in<float>(static_cast<float>(seconds)));
  return tslib::count_or_fail(field::trimmed(in.file), what, records);
}

// The third walk, the copy itself, on the unit of its own (open_comment_source).
void copy_comments(bool binary) {
  walk_comments(kCommentSource, binary, [](const tslib::HeaderLine& line) {
    tslib::write_header_line(kOutput, line, true);
  });
  io::close(kCommentSource);
}

void open_output(const std::array<char, 30>& file) {
  io::open(
      kOutput, field::trimmed(file),
      io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::binary, .output = true},
      io::Takes::neither);
  io::FreeWriter(6) << "Opened UNFORMATTED output file..." << field::view(file);
}

// The input's info block with the extract's times and window, as a BINARY window.
void write_info(const Extract& x, const std::array<char, 8>& outwin) {
  tsinfo.STARTTIME = x.start;
  tsinfo.ENDTIME = x.end;
  field::assign(tsinfo.WINDOW, field::view(outwin));
  const tslib::FormSelection output(tslib::kBinaryFile);
  ts_wrtinfo(kOutput);
}

// Copies up to `count` data records, each read in the input's own form and format and
// written as one BINARY record. A skip that met the end leaves the input there: the
// first read ends the copy.
void copy_records(std::int32_t count) {
  if (count <= 0) return;  // nothing to copy: a format text is not even parsed
  const tslib::FileForm input = tslib::current_form();
  const tslib::RecordForm in_form = input.binary()
                                        ? tslib::kBinaryRecords
                                        : tslib::text_records(field::view(input.format), kInput);
  tslib::TsValues values{};
  const std::span<float> record(values.data(), tslib::record_values());
  for (std::int32_t i = 0; i < count; ++i) {
    if (!tslib::read_data_record(kInput, record, in_form, io::Takes::end).ok()) return;
    tslib::write_data_record(kOutput, record, tslib::kBinaryRecords);
  }
}

// Passes over the records before the span (a skip that meets the end of the input is
// reported by ts_skip; the copy then ends at once).
void skip_records(std::int32_t nskip) {
  if (nskip <= 0) return;
  io::FreeWriter(6) << "Skipping" << nskip << " entries";
  ts_skip(kInput, nskip);
}

// The console first, while the output can still be cut: a console that cannot take the
// report fails the run like the output would.
void close_output() {
  io::write_out(6);
  io::close(kOutput);
}

}  // namespace
}  // namespace wincutter

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  tools::tool_startup(tools::kWincutter);

  const wincutter::Input in = wincutter::open_input();
  const std::array<char, 8> outwin = wincutter::ask_output_window(in);
  const tslib::Sampling sampling = wincutter::read_header(in);
  const wincutter::Extract extract = wincutter::ask_extract();
  const std::int32_t nskip = wincutter::records_in(in, "records to skip", extract.offset, sampling);
  const std::int32_t ncopy = wincutter::records_in(in, "records to copy", extract.length, sampling);

  wincutter::open_output(wincutter::output_name(outwin));
  wincutter::copy_comments(in.binary);
  wincutter::skip_records(nskip);
  wincutter::write_info(extract, outwin);
  io::FreeWriter(6) << "Reading and writing" << ncopy << " entries";
  wincutter::copy_records(ncopy);
  wincutter::close_output();
  io::end_program(io::Outcome::success);
}
