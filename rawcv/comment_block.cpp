// The comment blocks of the ts file (unit 10) and the aux file (unit 11). ASCII and
// BINARY blocks differ in a few texts, in the place of the input-file line and in the
// lines about the dropped samples; each file's lines are written in its own order.
#include <string_view>

#include "common/text_field.h"
#include "rawcv/comment_line.h"
#include "rawcv/driver.h"
#include "rawcv/rawhdr.h"

namespace rawcv {

namespace {

class CommentWriter {
 public:
  CommentWriter(int unit, bool ascii, std::int32_t drop)
      : unit_(unit), ascii_(ascii), drop_(drop) {}

  void line(std::string_view text) { line_.clear().text(text).write(unit_, ascii_); }
  void text_value(std::string_view label, std::string_view value) {
    line_.clear().text(label).text(value).write(unit_, ascii_);
  }
  void int_value(std::string_view label, std::int32_t value, int width) {
    line_.clear().text(label).integer(value, width).write(unit_, ascii_);
  }
  void real_value(std::string_view label, float value) {
    line_.clear().text(label).fixed(value, 10, 2).write(unit_, ascii_);
  }
  // "# FIRST xx" and the rest of the sentence, the drop count over xx.
  void first_points(std::string_view rest) {
    line_.clear().text("# FIRST ").integer(drop_, 2).text(rest).write(unit_, ascii_);
  }

 private:
  int unit_;
  bool ascii_;
  std::int32_t drop_;
  CommentLine line_;
};

// The UNIX line always carries false: ASCII as a 2-column boolean, BINARY as L1.
std::string_view unix_value(bool ascii) { return ascii ? " F" : "F"; }

std::string_view endian_label(bool ascii) {
  return ascii ? "# machine endian: " : "# Machine endian: ";
}

void write_site_lines(CommentWriter& w, const ConverterState& s) {
  w.text_value("# site description: ", field::view(rawhdr.sitdes));
  w.line("#");
  w.text_value("# Latitude   :", field::view(s.lat_text));
  w.text_value("# Longitude  :", field::view(s.lon_text));
  w.line("#");
}

// Title, run date, input file, byte order and site: the lines both files open with.
// BINARY blocks name the input file before the byte order, ASCII blocks after it, under
// their own label.
void write_opening_lines(CommentWriter& w, const ConverterState& s, std::string_view title,
                         std::string_view ascii_input_label) {
  const bool ascii = s.ascii;
  w.line(title);
  w.text_value("# date: ", field::view(s.run_date));
  w.line("#");
  if (!ascii) {
    w.text_value("# input file: ", field::view(s.raw_name));
    w.line("#");
  }
  w.text_value(endian_label(ascii), field::view(s.endian));
  w.text_value("# UNIX set      : ", unix_value(ascii));
  w.line("#");
  if (ascii) {
    w.text_value(ascii_input_label, field::view(s.raw_name));
    w.line("#");
  }
  write_site_lines(w, s);
}

void write_ts_comments(const ConverterState& s) {
  const bool ascii = s.ascii;
  CommentWriter w(kTsUnit, ascii, s.drop);
  write_opening_lines(w, s, "# time series file from rawcv", "# input file: ");
  w.text_value("# VaRL acquisition code : ", field::view(s.version));
  w.int_value(ascii ? "# VaRL box     number  : " : "# VaRL box     number   : ", s.box, 4);
  w.int_value(ascii ? "# Magnetometer number  : " : "# Magnetometer number   : ", s.magnetometer,
              4);
  w.line("#");
  w.real_value(ascii ? "# Ex line length: " : "# Ex line length (m): ", s.ex_length);
  w.real_value(ascii ? "# Ey line length: " : "# Ey line length (m): ", s.ey_length);
  w.line("#");
  w.text_value("# Azimuths relative to: ", field::view(rawhdr.azdir));
  w.int_value("# Ex azimuth; ", s.ex_azimuth, 3);
  w.int_value("# Ey azimuth; ", s.ey_azimuth, 3);
  w.int_value("# Hx azimuth; ", s.hx_azimuth, 3);
  w.int_value("# Hy azimuth; ", s.hx_azimuth + 90, 3);  // no wrap past 360
  if (ascii || s.old) {
    w.line("#");
    w.first_points(ascii ? " POINTS DROPPED FROM .1mp FILE TO "
                         : " POINTS DROPPED FROM .1mp FILE TO");
    w.line("# ACCOUNT FOR FILTER SETTLING");
    w.line("#");
  }
}

void write_aux_comments(const ConverterState& s) {
  const bool ascii = s.ascii;
  CommentWriter w(kAuxUnit, ascii, s.drop);
  write_opening_lines(w, s, "# auxiliary time series file from rawcv", "# input file =");
  if (ascii) {
    w.int_value("# VaRL         number : ", s.box, 4);
  } else {
    w.text_value("# VaRL acquisition code : ", field::view(s.version));
    w.int_value("# VaRL box     number   : ", s.box, 4);
  }
  w.line("#");
  w.line("# Channel 1: VaRL internal temperature");
  w.line("# Channel 2: Magnetometer temperature");
  w.line("# Channel 3: Battery voltage");
  if (ascii) w.line("#");
  if (s.old) {
    if (ascii) {
      w.first_points(" POINTS DROPPED FROM .1mp FILE TO ACCOUNT FOR FILTER SETTLING");
    } else {
      w.line("#");
      w.first_points(" POINTS DROPPED FROM .1mp FILE TO");
      w.line("# ACCOUNT FOR FILTER SETTLING");
    }
    w.line("#");
  }
}

}  // namespace

void write_comment_blocks(const ConverterState& s) {
  write_ts_comments(s);
  write_aux_comments(s);
}

}  // namespace rawcv
