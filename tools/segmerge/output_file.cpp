// The output window of the splice and its BINARY ts file.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/io/units.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "tools/segmerge/segmerge.h"
#include "tslib/form_selection.h"
#include "tslib/output_clash.h"
#include "tslib/project_files.h"
#include "tslib/ts.h"

namespace segmerge {
namespace {

constexpr io::Item kTwoTexts[] = {io::lay::A(), io::lay::A()};

bool names_an_input(const Splice& sp) {
  for (int i = 0; i < sp.count; ++i)
    if (sp.entries[i].window == sp.outwindow) return true;
  return false;
}

void refuse(const Splice& sp) {
  io::FreeWriter(6) << "Output window " << field::view(sp.outwindow)
                    << " is one of the windows to splice: give another";
}

// The files the output may not be: the file of every window in the list, and the
// windows database that receives the spliced window's line.
std::vector<std::string> files_read(const Splice& sp) {
  std::vector<std::string> files;
  for (int i = 0; i < sp.count; ++i) {
    std::array<char, 40> name;
    files.emplace_back(tslib::ts_file_name(sp.entries[i].window, name, false));
  }
  files.emplace_back(tslib::windows_database_name(field::view(sp.prj)));
  return files;
}

// True, after the refusal line, when the output file is one of the files read (through
// links included).
bool over_a_file_read(std::string_view output, const std::vector<std::string>& files) {
  const std::vector<std::string_view> names(files.begin(), files.end());
  const auto other = tslib::same_file_among(output, names);
  if (other) tslib::say_output_refused(output, *other, "output window");
  return other.has_value();
}

}  // namespace

void open_output(Splice& sp) {
  const std::vector<std::string> files = files_read(sp);
  field::assign(sp.outrun, "as");
  for (;;) {
    cinput("Give output window", sp.outrun);
    std::copy(sp.station.begin(), sp.station.end(), sp.outwindow.begin());
    std::copy(sp.outrun.begin(), sp.outrun.end(), sp.outwindow.begin() + 6);
    // Writing the output would destroy that input while it is still to be read.
    if (names_an_input(sp)) {
      refuse(sp);
      continue;
    }
    std::array<char, 40> name;
    if (over_a_file_read(tslib::ts_file_name(sp.outwindow, name, false), files)) continue;
    sp.outfile.fill(' ');
    {
      const tslib::FormSelection output(tslib::kBinaryFile);
      ts_open(kOutput, sp.outwindow, sp.outfile, false, false, tslib::TsAccess::output);
    }
    // A name typed at ts_open's own question may name an input; nothing has been
    // written to the file yet.
    if (names_an_input(sp)) {
      io::close(kOutput);
      refuse(sp);
      continue;
    }
    if (!over_a_file_read(field::trimmed(sp.outfile), files)) break;
    io::close(kOutput);
  }
  io::FixedWriter(6, kTwoTexts) << "Opened BINARY output file: "
                                << field::view(sp.outfile).substr(0, 18);
}

// The window line names complete files only: it is appended after this close, which
// a write failure ends with the error report and the output cut back to nothing. The
// console's report goes out first, while the output can still be cut.
void close_output() {
  io::write_out(6);
  io::close(kOutput);
}

}  // namespace segmerge
