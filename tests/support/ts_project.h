#pragma once
// A project for the tools' end-to-end tests: small ts files in station folders and
// windows-database lines, written byte by byte from the file layout, and readers for
// what the tools write.
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_program.h"
#include "support/ts_test_files.h"

namespace tsfix {

using Sample = std::array<float, 5>;

struct TsSpec {
  std::string station = "kvt101";
  std::string window = "kvt101a1";
  int instrument = 27;
  int nchan = 5;
  std::string start = "2004-07-20 13:00:00";
  std::string end = "2004-07-20 14:00:00";
  std::string delta = "1.0";  // DELTA_T as written
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

inline std::vector<std::string> header_lines(const TsSpec& s) {
  using tstest::info;
  std::vector<std::string> h;
  for (const auto& c : s.comments) h.push_back(tstest::pad(c, 80));
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
      out += tstest::record(line);
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
      record += tstest::float_bytes(std::span(v).first(static_cast<std::size_t>(s.nchan)));
    }
    out += tstest::record(record);
  }
  return out;
}

// The file with the value of one info line changed (the line keeps its 80 characters):
// for values the samples cannot follow, such as an NCHAN above their 5 channels.
inline std::string with_info(std::string file, std::string_view key, std::string_view from,
                             std::string_view to) {
  const std::string line = tstest::info(key, from);
  const std::size_t at = file.find(line);
  if (at != std::string::npos) file.replace(at, line.size(), tstest::info(key, to));
  return file;
}

// The file without the info line of this key (in a BINARY file, without its record): a
// block that lacks the key. A file without such a line is a fault of the test.
inline std::string without_info(std::string file, std::string_view key, bool ascii = false) {
  constexpr std::size_t kLine = 80;
  const std::size_t at = file.find(">" + tstest::pad(key, 10) + ":");
  if (at == std::string::npos || (!ascii && at < 4)) {
    ADD_FAILURE() << "no info line of " << key;
    return file;
  }
  if (ascii) file.erase(at, kLine + 2);  // the line and its CR LF
  else file.erase(at - 4, kLine + 8);    // the record and its two length words
  return file;
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
    for (int c = 0; c < 5; ++c)
      v[k][c] = base + 10.0f * static_cast<float>(c) + static_cast<float>(k);
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
      if (h == tstest::pad(text, 80)) return true;
    return false;
  }
};

inline TsOut read_binary_ts(const std::filesystem::path& p) {
  TsOut out;
  bool in_data = false;
  for (auto& r : tstest::records_of(mttest::read_file(p))) {
    if (in_data) {
      out.data.push_back(tstest::floats_of(r));
      continue;
    }
    out.header.push_back(r);
    if (r.rfind(">INFO_END", 0) == 0) in_data = true;
  }
  return out;
}

inline bool has_line(const std::string& text, std::string_view line) {
  for (const auto& l : tstest::lines_of(text, tstest::LineEnd::lf))
    if (l == line) return true;
  return false;
}

// The line was written, at the start of a line or behind a prompt left open.
inline bool shows(const std::string& text, std::string_view line) {
  return text.find(std::string(line) + "\r\n") != std::string::npos;
}

}  // namespace tsfix
