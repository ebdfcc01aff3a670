#pragma once
// Test helpers of the ts library: ts files built byte by byte from the file layout
// (independently of the library's writers), and small conveniences.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tstest {

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
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

inline std::uint32_t bits_of(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

// One BINARY record: big-endian length, data, length.
inline std::string record(std::string_view data) {
  std::string out;
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  out.append(data);
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  return out;
}

inline std::string floats(const std::vector<float>& values) {
  std::string data;
  for (float f : values) put_be32(data, bits_of(f));
  return data;
}

inline std::string float_record(const std::vector<float>& values) { return record(floats(values)); }

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

// Splits a CR LF text into its lines.
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// Splits a BINARY file into the data of its records (big-endian framing).
inline std::vector<std::string> records_of(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t at = 0;
  const auto be32 = [&](std::size_t p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[p + static_cast<std::size_t>(i)]);
    return v;
  };
  while (at + 8 <= bytes.size()) {
    const std::uint32_t n = be32(at);
    if (at + 8 + n > bytes.size() || be32(at + 4 + n) != n) break;
    out.push_back(bytes.substr(at + 4, n));
    at += 8 + n;
  }
  return out;
}

}  // namespace tstest
