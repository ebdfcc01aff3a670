// Header-line building, placing and transfer for ts files.
#include "tslib/info_line.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/binary.h"
#include "common/text_field.h"

namespace tslib {

ChannelKey::ChannelKey(std::string_view prefix, int channel) {
  // The prefix is at most 9 characters so that the digit stays inside the key.
  const std::size_t n = std::min(prefix.size(), kKeyLength - 1);
  std::copy_n(prefix.begin(), n, text_.begin());
  text_[n] = (channel >= 0 && channel <= 9) ? static_cast<char>('0' + channel) : '*';
  size_ = n + 1;
}

void info_key(HeaderLine& line, std::string_view key) {
  line.fill(' ');
  line[0] = '>';
  const std::size_t n = std::min(key.size(), kKeyLength);
  std::copy_n(key.begin(), n, line.begin() + (kKeyColumn - 1));
  line[kColonColumn - 1] = ':';
}

void place_text(HeaderLine& line, std::string_view text) { field::assign(value_field(line), text); }

void place_int(HeaderLine& line, std::int32_t value) {
  io::free_to_field(value_field(line), value);
}

void place_float(HeaderLine& line, float value) { io::free_to_field(value_field(line), value); }

void info_line(HeaderLine& line, std::string_view key) { info_key(line, key); }

void info_text(HeaderLine& line, std::string_view key, std::string_view text) {
  info_key(line, key);
  place_text(line, text);
}

void info_int(HeaderLine& line, std::string_view key, std::int32_t value) {
  info_key(line, key);
  place_int(line, value);
}

void info_float(HeaderLine& line, std::string_view key, float value) {
  info_key(line, key);
  place_float(line, value);
}

void InfoWriter::bare(std::string_view key) {
  info_line(line_, key);
  put();
}

void InfoWriter::text(std::string_view key, std::string_view value) {
  info_text(line_, key, value);
  put();
}

void InfoWriter::integer(std::string_view key, std::int32_t value) {
  info_int(line_, key, value);
  put();
}

void InfoWriter::real(std::string_view key, float value) {
  info_float(line_, key, value);
  put();
}

namespace {
constexpr std::array<io::Item, 1> kTextLine{io::lay::A()};

void write_text_line(int unit, std::string_view chars) {
  io::FixedWriter w(unit, kTextLine);
  w << chars;
  w.end();
}
}  // namespace

void write_header_line(int unit, const HeaderLine& line, bool binary) {
  const std::string_view chars = field::view(line);
  if (binary) {
    io::BinaryWriter w(unit);
    w << chars;
    w.end();
  } else {
    write_text_line(unit, chars);
  }
}

void write_comment_line(int unit, const HeaderLine& line, bool binary) {
  if (binary) {
    write_header_line(unit, line, true);
    return;
  }
  write_text_line(unit, field::trimmed(line));
}

void write_comment_record(int unit, std::initializer_list<std::string_view> parts) {
  HeaderLine line;
  line.fill(' ');
  std::size_t at = 0;
  for (const std::string_view part : parts)
    for (const char ch : part)
      if (at < line.size()) line[at++] = ch;
  write_comment_line(unit, line, true);
}

io::Result read_header_line(int unit, HeaderLine& line, bool binary, io::Takes takes) {
  if (binary) {
    io::BinaryReader r(unit, takes);
    if (!r.finish().ok()) return r.finish();
    r >> std::span<char>(line);
    return r.finish();
  }
  // A text line: one text item without width cuts a longer line and pads a shorter one.
  io::FixedReader r(unit, kTextLine, takes);
  r >> std::span<char>(line);
  return r.finish();
}

}  // namespace tslib
