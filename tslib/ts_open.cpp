// ts_open: names, settles the form of and opens a ts file, asking again on failure.
#include <algorithm>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/probes.h"
#include "common/prompt.h"
#include "common/text_field.h"
#include "tslib/project_files.h"
#include "tslib/ts.h"

namespace tslib {
namespace {

// Appends text to the name under construction, as far as the field holds.
struct NameBuilder {
  std::span<char> out;
  std::size_t size = 0;
  void add(std::string_view text) {
    const std::size_t n = std::min(text.size(), out.size() - size);
    std::copy_n(text.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(size));
    size += n;
  }
  // The rest blank, then left-justified; returns the name without trailing blanks.
  std::string_view finish() {
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(size), out.end(), ' ');
    const auto first = std::find_if(out.begin(), out.end(), [](char c) { return c != ' '; });
    std::rotate(out.begin(), first, out.end());
    return field::trimmed(out);
  }
};

// Asks the form when `form` holds the question mark; another letter than a/b leaves it.
void settle_form() {
  if (!field::equals(tsinfo.form, kFormAsk)) return;
  std::array<char, 1> answer{'b'};
  cinput("Are data in BINARY (b) or ASCII (a)", answer);
  if (answer[0] == 'b' || answer[0] == 'B') field::assign(tsinfo.form, kFormBinary);
  if (answer[0] == 'a' || answer[0] == 'A') field::assign(tsinfo.form, kFormAscii);
}

// Opens the file in the settled form; false when the open failed. An input is opened
// only when it exists, so that a mistyped name creates nothing.
bool open_file(int ind, std::string_view name, TsAccess access) {
  io::OpenSpec spec;
  spec.status = access == TsAccess::input ? io::OpenStatus::old_file : io::OpenStatus::unknown;
  spec.reads_only = access == TsAccess::input;
  spec.output = access == TsAccess::output;
  std::string_view mode;
  if (field::equals(tsinfo.form, kFormAscii)) {
    spec.form = io::Form::text;
    mode = "File opened in ASCII mode=>";
  } else if (field::equals(tsinfo.form, kFormBinary)) {
    field::assign(tsinfo.format, kFormatUnformatted);
    spec.form = io::Form::binary;
    spec.big_endian = true;
    mode = "File opened in UNFORMATTED/BIG_ENDIAN mode=>";
  } else {
    io::FreeWriter(6) << "ERROR: Unknown form specifier in ts_open";
    io::FreeWriter(6) << "form =" << field::view(tsinfo.form);
    io::fail_run({}, "Program terminated");
  }
  if (access == TsAccess::input && !io::exists(name)) return false;
  if (!io::open(ind, name, spec, io::Takes::errors).ok()) return false;
  if (prtlvl.iprint >= 1) io::FreeWriter(6) << mode << name;
  return true;
}

}  // namespace

std::string_view ts_file_name(std::span<const char> tswindow, std::span<char> indat, bool local) {
  const std::string_view window = field::view(tswindow);
  const bool has_dot = window.find('.') != std::string_view::npos;
  NameBuilder name{indat};
  if (local) {
    name.add(has_dot ? window : field::trimmed(window));
    if (!has_dot) name.add(".ts");
  } else {
    name.add(has_dot ? in_station_directory(window, window) : window_file_name(window, ".ts"));
  }
  return name.finish();
}

}  // namespace tslib

void ts_open(int ind, std::span<char> tswindow, std::span<char> indat, bool prompt, bool local,
             tslib::TsAccess access) {
  // dirsep shows the separator at print level 3; the name takes the same one.
  std::array<char, 1> sep{' '};
  dirsep(sep);
  if (prtlvl.iprint >= 2) {
    io::FreeWriter(6) << "ts_open entered:";
    io::FreeWriter(6) << "ind      = " << std::int32_t{ind};
    io::FreeWriter(6) << "tswindow = " << field::view(tswindow);
    io::FreeWriter(6) << "indat    = " << field::view(indat);
    io::FreeWriter(6) << "PROMPT   = " << prompt;
    io::FreeWriter(6) << "LOCAL    = " << local;
    io::FreeWriter(6) << "form     = " << field::view(tsinfo.form);
  }

  bool ask = prompt;
  if (field::trimmed(tswindow).empty()) {
    if (ncmdarg() >= 1) {
      cmdarg(1, tswindow);
      ask = false;
    } else {
      field::assign(tswindow, "qra027a1");
      ask = true;
    }
  }
  for (;;) {
    if (ask) cinput("Give data file ", tswindow);
    const std::string_view name = tslib::ts_file_name(tswindow, indat, local);
    tslib::settle_form();
    if (tslib::open_file(ind, name, access)) return;
    io::FreeWriter(6) << "Error in opening " << field::view(indat) << "  Try again!";
    ask = true;
  }
}
