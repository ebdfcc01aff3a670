#pragma once
// The bytes of ts files and program output, built from the file layout independently
// of the library's writers (80-character header records, BINARY records framed by
// big-endian length words, big-endian floats), and split back into lines, records
// and floats.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tstest {

// A text blank-padded (or cut) to width characters.
inline std::string pad(std::string_view text, std::size_t width) {
  std::string s(text.substr(0, std::min(text.size(), width)));
  s.resize(width, ' ');
  return s;
}

// An info line of 80 characters: '>', key in 2-11, ':', value from 13.
inline std::string info(std::string_view key, std::string_view value = "") {
  return ">" + pad(key, 10) + ":" + pad(value, 68);
}

inline void put_be32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

inline std::uint32_t get_be32(std::string_view in, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(in[at + k]);
  return v;
}

// One BINARY record: big-endian length, data, length.
inline std::string record(std::string_view data) {
  std::string out;
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  out.append(data);
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  return out;
}

inline std::uint32_t bits_of(float f) { return std::bit_cast<std::uint32_t>(f); }

inline std::string float_bytes(std::span<const float> values) {
  std::string data;
  for (float f : values) put_be32(data, bits_of(f));
  return data;
}

inline std::string float_record(const std::vector<float>& values) {
  return record(float_bytes(values));
}

// Header lines as a BINARY file (each line one 80-byte record) or as CR LF text lines.
inline std::string binary_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += record(pad(l, 80));
  return out;
}
inline std::string text_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// Where a line ends: only at CR LF (so a bare LF stays inside the line and shows up),
// or at any LF, a CR before it dropped.
enum class LineEnd { crlf, lf };

// The lines of a text; a last line without its end counts as well.
inline std::vector<std::string> lines_of(const std::string& text, LineEnd end) {
  const std::string_view mark = end == LineEnd::crlf ? "\r\n" : "\n";
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t stop = text.find(mark, at);
    if (stop == std::string::npos) stop = text.size();
    std::string line = text.substr(at, stop - at);
    if (end == LineEnd::lf && !line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::move(line));
    at = stop + mark.size();
  }
  return out;
}

// The record a broken frame (cut short, or lengths that disagree) ends the list with,
// so that a broken file never reads as a shorter whole one.
inline const std::string kBadFrame = "<bad frame>";

// The data of the records of a BINARY file.
inline std::vector<std::string> records_of(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (bytes.size() - at >= 8) {
    const std::uint32_t n = get_be32(bytes, at);
    if (bytes.size() - at - 8 < n || get_be32(bytes, at + 4 + n) != n) break;
    out.push_back(bytes.substr(at + 4, n));
    at += 8 + n;
  }
  if (at < bytes.size()) out.push_back(kBadFrame);
  return out;
}

// The big-endian floats of a record.
inline std::vector<float> floats_of(std::string_view record) {
  std::vector<float> v;
  for (std::size_t at = 0; at + 4 <= record.size(); at += 4)
    v.push_back(std::bit_cast<float>(get_be32(record, at)));
  return v;
}

inline std::size_t count_of(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace tstest
