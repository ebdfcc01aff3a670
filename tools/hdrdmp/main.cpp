// hdrdmp: shows every header record of a ts file, labelled by block, on the console
// and in "hdrdmp.out". It reads the records itself, so headers that the info-block
// reader would refuse are shown too.
#include <array>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/text_field.h"
#include "tools/startup/startup.h"
#include "tslib/form_selection.h"
#include "tslib/info_line.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/ts.h"
#include "tslib/tsinfo.h"

namespace hdrdmp {
namespace {

constexpr int kInput = 4;
constexpr int kReport = 7;
constexpr std::string_view kReportName = "hdrdmp.out";
constexpr io::Item kLabelAndText[] = {io::lay::A(), io::lay::A()};

// The label of a header record, or an empty view when the record is no header line.
std::string_view label_of(const tslib::HeaderLine& line) {
  if (line[0] == '#') return line[1] == 'F' ? "Filter  block:" : "Comment block:";
  if (line[0] == '>') return "Info    block:";
  return {};
}

// The report is never written over the dumped file or the project's windows database,
// whatever links lead to them: the run ends before it opens the report.
void refuse_report_over_inputs(const std::array<char, 40>& indat,
                               const std::array<char, 8>& window) {
  const std::string windows = tslib::windows_database_name(field::view(window));
  if (const auto other = tslib::same_file_among(kReportName, {field::trimmed(indat), windows}))
    tslib::end_at_output(kReportName, *other);
}

// The ts file dumped: its window and name as ts_open settled them, and its form.
struct Input {
  std::array<char, 8> window{};
  std::array<char, 40> indat{};
  bool binary = true;
};

Input open_input() {
  tslib::ask_form_at_open();
  Input in;
  field::assign(in.window, "mzp101ss");
  in.indat.fill(' ');
  ts_open(kInput, in.window, in.indat, true, false, tslib::TsAccess::input);
  in.binary = tslib::current_form().binary();
  return in;
}

void open_report(const Input& in) {
  refuse_report_over_inputs(in.indat, in.window);
  io::open(kReport, kReportName,
           io::OpenSpec{.status = io::OpenStatus::unknown, .form = io::Form::text},
           io::Takes::neither);
  io::FreeWriter(6) << "Writing header into hdrdmp.out";
}

// Shows each header record with its label on the console and in the report, up to the
// first record that is no header line.
void dump_header(bool binary) {
  // The first read takes nothing back: an empty or unreadable file is reported.
  tslib::HeaderLine line;
  tslib::read_header_line(kInput, line, binary, io::Takes::neither);
  for (;;) {
    const std::string_view label = label_of(line);
    if (label.empty()) return;
    const std::string_view text = field::trimmed(line);
    io::FixedWriter(6, kLabelAndText) << label << text;
    io::FixedWriter(kReport, kLabelAndText) << label << text;
    // A read error (a BINARY data record shorter than 80 bytes) ends the dump; the
    // end of the file is not taken back: a header without data is reported.
    if (tslib::read_header_line(kInput, line, binary, io::Takes::errors).error()) return;
  }
}

}  // namespace
}  // namespace hdrdmp

int main(int argc, char** argv) {
  io::start_program(argc, argv);
  tools::tool_startup(tools::kHdrdmp);
  const hdrdmp::Input in = hdrdmp::open_input();
  hdrdmp::open_report(in);
  hdrdmp::dump_header(in.binary);
  io::end_program(io::Outcome::success);
}
