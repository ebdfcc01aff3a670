#pragma once
// Header lines of a ts file and the info-line layout, shared by every writer of info
// blocks (ts_wrtinfo and the converter's own blocks, both through InfoWriter) and by
// the reader.
//
// Info line (columns counted from 1):
//   1      '>'
//   2-11   the key, left-justified, blank-padded to 10 characters
//   12     ':'
//   13-80  the value field, 68 characters
// ">INFO_START:" and ">INFO_END  :" carry no value (68 blanks follow the colon).
//
// Values are placed in one of three ways, always from column 13, the rest blank:
//   text     the characters as given (full field width, blanks included), cut at 80;
//   integer  the free layout: right-justified in columns 13-24 (12 columns);
//   float    the free layout: 15 columns, 13-27 (52.5 -> "   52.50000    ").
//
// Typical use (writer):
//   tslib::InfoWriter out(10, binary);
//   out.text("STATION", field::view(tsinfo.STATION));
//   out.real(tslib::channel_key("AZIM_", 2), tsinfo.AZIM_[1]);
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "common/io/outcome.h"

namespace tslib {

inline constexpr std::size_t kLineLength = 80;  // every header record
inline constexpr std::size_t kKeyColumn = 2;    // first column of the key
inline constexpr std::size_t kKeyLength = 10;   // columns 2-11
inline constexpr std::size_t kColonColumn = 12;
inline constexpr std::size_t kValueColumn = 13;  // first column of the value field
inline constexpr std::size_t kValueLength = 68;  // columns 13-80

// One header record (comment or info line): 80 characters, blank-padded.
using HeaderLine = std::array<char, kLineLength>;

// The key of a channel line: the prefix (such as "CHAN_" or "BASELINE_") with the
// channel number 1..9 as one digit right after it ("CHAN_1", "BASELINE_3").
class ChannelKey {
 public:
  ChannelKey(std::string_view prefix, int channel);
  operator std::string_view() const { return {text_.data(), size_}; }

 private:
  std::array<char, kKeyLength> text_{};
  std::size_t size_ = 0;
};
inline ChannelKey channel_key(std::string_view prefix, int channel) {
  return ChannelKey(prefix, channel);
}

// Starts an info line: all blanks, '>' in column 1, the key (cut to 10 characters)
// from column 2, ':' in column 12. The value field is left blank.
void info_key(HeaderLine& line, std::string_view key);

// The value field (columns 13-80) of a line, for placing or reading values.
inline std::span<char, kValueLength> value_field(HeaderLine& line) {
  return std::span<char, kLineLength>(line).subspan<kValueColumn - 1, kValueLength>();
}
inline std::span<const char, kValueLength> value_field(const HeaderLine& line) {
  return std::span<const char, kLineLength>(line).subspan<kValueColumn - 1, kValueLength>();
}
// The key (columns 2-11) of a line, exactly as it stands.
inline std::string_view key_of(const HeaderLine& line) {
  return {line.data() + kKeyColumn - 1, kKeyLength};
}

// Value placements on a line started by info_key (each blanks the value field first).
void place_text(HeaderLine& line, std::string_view text);
void place_int(HeaderLine& line, std::int32_t value);
void place_float(HeaderLine& line, float value);

// A whole info line in one call: key, then the value placed as named.
void info_line(HeaderLine& line, std::string_view key);  // no value (INFO_START/END)
void info_text(HeaderLine& line, std::string_view key, std::string_view text);
void info_int(HeaderLine& line, std::string_view key, std::int32_t value);
void info_float(HeaderLine& line, std::string_view key, float value);

// Writes one header record: `binary` true, one BINARY record of the 80 bytes;
// otherwise one text line of all 80 characters (trailing blanks included).
void write_header_line(int unit, const HeaderLine& line, bool binary);

// Writes info lines to `unit`, one header record each in the form of the block
// (write_header_line); every line is built afresh in the writer's own buffer.
class InfoWriter {
 public:
  InfoWriter(int unit, bool binary) : unit_(unit), binary_(binary) {}
  void bare(std::string_view key);  // no value (INFO_START, INFO_END)
  void text(std::string_view key, std::string_view value);
  void integer(std::string_view key, std::int32_t value);
  void real(std::string_view key, float value);

 private:
  void put() const { write_header_line(unit_, line_, binary_); }

  int unit_;
  bool binary_;
  HeaderLine line_{};
};

// Writes one comment record: `binary` true, one BINARY record of the 80 bytes;
// otherwise one text line of the characters without their trailing blanks.
void write_comment_line(int unit, const HeaderLine& line, bool binary);

// Writes one comment record that a tool adds to its BINARY output: the parts joined,
// cut at 80 characters and blank-padded, as one BINARY record of the 80 bytes.
void write_comment_record(int unit, std::initializer_list<std::string_view> parts);

// Reads one header record into `line`: BINARY, one record of which the first 80 bytes
// are taken (a shorter record is error 67, "input statement requires too much data");
// text, one line cut or blank-padded to 80. Returns the outcome as the io layer gives
// it for `takes` (outcomes not taken back end the program there).
io::Result read_header_line(int unit, HeaderLine& line, bool binary, io::Takes takes);

}  // namespace tslib
