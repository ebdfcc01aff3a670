#pragma once
// Small ts files and windows databases for the tools' end-to-end tests, written byte
// by byte from the file layout (80-character header records, BINARY records framed
// by big-endian length words, big-endian floats), and readers for what the tools
// write.
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_program.h"

namespace tsfix {

using Sample = std::array<float, 5>;

struct TsSpec {
  std::string station = "kvt101";
  std::string window = "kvt101a1";
  int instrument = 27;
  int nchan = 5;
  std::string start = "2004-07-20 13:00:00";
  std::string end = "2004-07-20 14:00:00";
  std::string delta = "1.0";   // DELTA_T as written
  std::string tunits = "s";
  std::string mis_data = "1.0E+32";  // empty: no MIS_DATA line
  std::array<std::string, 3> baseline{"100.0", "200.0", "300.0"};
  std::array<std::string, 5> chan{"HX", "HY", "HZ", "EX", "EY"};
  std::array<std::string, 5> azim{"0.0", "90.0", "0.0", "0.0", "90.0"};
  std::string latitude = "52.5";
  std::string longitude = "-3.25";
  std::string elevation = "120.0";
  std::string declin = "4.5";
  std::string utm_north = "5820000";
  std::string utm_east = "350000";
  std::vector<std::string> comments{"# test file", "#F Filter block begin", "#F Filter block end"};
  bool ascii = false;
  int seq_rec = 1;  // samples per BINARY data record
};

inline std::string pad80(std::string_view s) {
  std::string line(s.substr(0, 80));
  line.resize(80, ' ');
  return line;
}

inline std::string info(std::string_view key, std::string_view value) {
  std::string line = ">";
  line += key;
  line.resize(11, ' ');
  line += ':';
  line += value;
  return pad80(line);
}

inline std::vector<std::string> header_lines(const TsSpec& s) {
  std::vector<std::string> h;
  for (const auto& c : s.comments) h.push_back(pad80(c));
  h.push_back(info("INFO_START", ""));
  h.push_back(info("STATION", s.station));
  h.push_back(info("INSTRUMENT", std::to_string(s.instrument)));
  h.push_back(info("WINDOW", s.window));
  h.push_back(info("LATITUDE", s.latitude));
  h.push_back(info("LONGITUDE", s.longitude));
  h.push_back(info("ELEVATION", s.elevation));
  h.push_back(info("UTM_ORIGIN", "-3.0"));
  h.push_back(info("UTM_NORTH", s.utm_north));
  h.push_back(info("UTM_EAST", s.utm_east));
  h.push_back(info("COORD_SYS", "GEOGRAPHIC"));
  h.push_back(info("DECLIN", s.declin));
  h.push_back(info("FORM", s.ascii ? "ASCII" : "BINARY"));
  h.push_back(info("FORMAT", s.ascii ? "FREE" : "UNFORMATTED"));
  h.push_back(info("SEQ_REC", std::to_string(s.seq_rec)));
  h.push_back(info("NCHAN", std::to_string(s.nchan)));
  for (int i = 0; i < s.nchan && i < 5; ++i) {
    const std::string n = std::to_string(i + 1);
    h.push_back(info("CHAN_" + n, s.chan[i]));
    h.push_back(info("SENSOR_" + n, std::to_string(100 + i)));
    h.push_back(info("AZIM_" + n, s.azim[i]));
    h.push_back(info("UNITS_" + n, i < 3 ? "nT" : "mV/km"));
    h.push_back(info("GAIN_" + n, "1.0"));
    if (i < 3) h.push_back(info("BASELINE_" + n, s.baseline[i]));
  }
  h.push_back(info("STARTTIME", s.start));
  h.push_back(info("ENDTIME", s.end));
  h.push_back(info("T_UNITS", s.tunits));
  h.push_back(info("DELTA_T", s.delta));
  if (!s.mis_data.empty()) h.push_back(info("MIS_DATA", s.mis_data));
  h.push_back(info("INFO_END", ""));
  return h;
}

inline void put_be32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}
inline std::uint32_t get_be32(std::string_view in, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(in[at + k]);
  return v;
}

inline void put_record(std::string& out, std::string_view data) {
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  out += data;
  put_be32(out, static_cast<std::uint32_t>(data.size()));
}

inline std::string float_bytes(const float* v, int n) {
  std::string data;
  for (int k = 0; k < n; ++k) put_be32(data, std::bit_cast<std::uint32_t>(v[k]));
  return data;
}

inline std::string float_text(float v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// The whole ts file: header, then the samples of nchan values, one record per sample
// (BINARY: seq_rec samples per record, the last one filled up with missing data).
inline std::string ts_file(const TsSpec& s, const std::vector<Sample>& data) {
  std::string out;
  for (const auto& line : header_lines(s)) {
    if (s.ascii) {
      std::string_view t = line;
      while (!t.empty() && t.back() == ' ' && t.front() == '#') t.remove_suffix(1);
      out.append(t).append("\r\n");
    } else {
      put_record(out, line);
    }
  }
  if (s.ascii) {
    for (const Sample& v : data) {
      for (int k = 0; k < s.nchan; ++k) out += " " + float_text(v[k]);
      out += "\r\n";
    }
    return out;
  }
  const std::size_t per_record = s.seq_rec > 1 ? static_cast<std::size_t>(s.seq_rec) : 1;
  for (std::size_t first = 0; first < data.size(); first += per_record) {
    std::string record;
    for (std::size_t k = first; k < first + per_record; ++k) {
      Sample v;
      v.fill(1.0E32f);
      if (k < data.size()) v = data[k];
      record += float_bytes(v.data(), s.nchan);
    }
    put_record(out, record);
  }
  return out;
}

// Writes the file as station/window.ts under dir.
inline void write_ts(const std::filesystem::path& dir, const TsSpec& s,
                     const std::vector<Sample>& data) {
  std::filesystem::create_directories(dir / s.station);
  mttest::write_file(dir / s.station / (s.window + ".ts"), ts_file(s, data));
}

// n samples whose value on channel c is base + 10 c + k for sample k.
inline std::vector<Sample> ramp(int n, float base = 0.0f) {
  std::vector<Sample> v(n);
  for (int k = 0; k < n; ++k)
    for (int c = 0; c < 5; ++c) v[k][c] = base + 10.0f * static_cast<float>(c) + static_cast<float>(k);
  return v;
}

// One windows-database line in the common columns (and a rate column as rawcv adds).
inline std::string winrec(std::string_view window, int instrument, int nchan,
                          std::string_view start, std::string_view end) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.8s %03d %1d %.19s-%.19s 1.000000\r\n",
                std::string(window).c_str(), instrument, nchan, std::string(start).c_str(),
                std::string(end).c_str());
  return buf;
}

// The framed records of a BINARY file.
inline std::vector<std::string> records(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at + 4 <= bytes.size()) {
    const std::uint32_t n = get_be32(bytes, at);
    if (at + 8 + n > bytes.size()) break;
    out.push_back(bytes.substr(at + 4, n));
    at += 8 + n;
  }
  return out;
}

inline std::vector<float> floats(const std::string& record) {
  std::vector<float> v;
  for (std::size_t at = 0; at + 4 <= record.size(); at += 4)
    v.push_back(std::bit_cast<float>(get_be32(record, at)));
  return v;
}

// A BINARY ts file split into its 80-byte header records and its data samples.
struct TsOut {
  std::vector<std::string> header;
  std::vector<std::vector<float>> data;
  // The value field (columns 13-80) of the info line with this key, trimmed.
  std::string value(std::string_view key) const {
    for (const auto& h : header) {
      if (h.size() == 80 && h[0] == '>' && std::string_view(h).substr(1, 10).starts_with(key) &&
          (key.size() == 10 || h[1 + key.size()] == ' ')) {
        std::string v = h.substr(12);
        while (!v.empty() && v.back() == ' ') v.pop_back();
        while (!v.empty() && v.front() == ' ') v.erase(v.begin());
        return v;
      }
    }
    return "<missing " + std::string(key) + ">";
  }
  bool has_comment(std::string_view text) const {
    for (const auto& h : header)
      if (h == pad80(text)) return true;
    return false;
  }
};

inline TsOut read_binary_ts(const std::filesystem::path& p) {
  TsOut out;
  bool in_data = false;
  for (auto& r : records(mttest::read_file(p))) {
    if (in_data) {
      out.data.push_back(floats(r));
      continue;
    }
    out.header.push_back(r);
    if (r.rfind(">INFO_END", 0) == 0) in_data = true;
  }
  return out;
}

// Lines of a text, split at LF, a CR before it dropped.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t lf = text.find('\n', at);
    if (lf == std::string::npos) lf = text.size();
    std::string line = text.substr(at, lf - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    at = lf + 1;
  }
  return out;
}

inline bool has_line(const std::string& text, std::string_view line) {
  for (const auto& l : lines(text))
    if (l == line) return true;
  return false;
}

// The line was written, at the start of a line or behind a prompt left open.
inline bool shows(const std::string& text, std::string_view line) {
  return text.find(std::string(line) + "\r\n") != std::string::npos;
}

inline std::size_t count_of(const std::string& text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace tsfix
