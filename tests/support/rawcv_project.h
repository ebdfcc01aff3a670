#pragma once
// A small project directory for end-to-end runs of rawcv: hardware database, site
// file, station subdirectory with a raw window; what rawcv wrote is read back with the
// ts file helpers.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/rawgen.h"
#include "support/run_program.h"
#include "support/ts_test_files.h"
#include "support/unprivileged.h"

namespace rawcv_e2e {

using tstest::count_of;
using tstest::floats_of;
using tstest::info;
using tstest::LineEnd;
using tstest::lines_of;
using tstest::pad;
using tstest::records_of;

// Box 7, all calibration factors 1.0, low-pass periods that tell the slots apart.
inline const std::string kHardware =
    "  7\r\n"
    "H 1.0 0.1 0.0\r\n"
    "D 1.0 0.2 0.0\r\n"
    "N 1.0 0.3 30000.0\r\n"
    "E 1.0 0.4 31000.0\r\n"
    "Z 1.0 0.5 0.0\r\n";

// Site 101: elevation 250 m in columns 72-75, declination 12 in columns 77-79.
inline std::string site_line(const std::string& site, const std::string& elev,
                             const std::string& decl) {
  std::string l = site;
  l.resize(71, ' ');
  l += elev + " " + decl;
  return l;
}

// Samples that read back exactly: channel c of record r is c*100 + (r-1) % 50.
inline std::int16_t plain_sample(std::int32_t r, int c) {
  return static_cast<std::int16_t>(c * 100 + (r - 1) % 50);
}

// The default test window: 5 channels at 12 Hz, box 7, block start 2004-07-20 13:17,
// a little over 30 minutes of data.
inline rawgen::Description window_description(float rate = 12.0f, std::string unit = "Hz",
                                              int channels = 5, std::int32_t records = 21700) {
  rawgen::Description d =
      channels == 5 ? rawgen::five_channels(rate, unit) : rawgen::three_channels(rate, unit);
  d.box = 7;
  d.magnetometer = 3;
  d.hdr32 = {100, 100, 45, 0, 0};
  d.latdir = 'N';
  d.hdr43 = {75, 30, 0};
  d.lngdir = 'W';
  d.hdr50 = {10, 0, 0, 90, 0};
  d.sample = plain_sample;
  d.records = records;
  return d;
}

struct Project {
  mttest::TempDir dir;

  Project() {
    std::filesystem::create_directory(dir / "kvt101");
    mttest::write_file(dir / "hardware.kvt", kHardware);
    mttest::write_file(dir / "kvtsite.flt", site_line("101", " 250", " 12") + "\r\n");
  }

  void raw(const rawgen::Description& d, const std::string& name = "kvt101a1.1mp") {
    rawgen::write((dir / "kvt101" / name).string(), d);
  }

  mttest::RunResult run(const std::vector<std::string>& answers) const {
    return mttest::run_program("rawcv", {}, mttest::answer_lines(answers), dir.str());
  }

  // The same as an ordinary user, for whom file permissions bind; nullopt when the
  // tests cannot arrange that.
  std::optional<mttest::ChildResult> run_unprivileged(
      const std::vector<std::string>& answers) const {
    return mttest::run_unprivileged("rawcv", {}, mttest::answer_lines(answers), dir.path());
  }

  std::string file(const std::string& rel) const { return mttest::read_file(dir / rel); }
  bool has(const std::string& rel) const { return std::filesystem::exists(dir / rel); }
};

// Answers of a standard run at print level 0.
struct Answers {
  std::string version = "10.11";
  std::string verify = "";
  std::string window = "kvt101a1";
  std::string form = "u";
  std::string seq_or_format = "1";
  std::string start = "2004-07-20 13:17:00";
  std::string end = "2004-07-20 13:47:00";
  std::vector<std::string> after_form;  // e.g. the defaults question of a missing box
  std::vector<std::string> tail;        // e.g. declination, second defaults question

  std::vector<std::string> list() const {
    std::vector<std::string> v{"0", version, verify, window, form, seq_or_format};
    v.insert(v.end(), after_form.begin(), after_form.end());
    v.push_back(start);
    v.push_back(end);
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
  }
};

// Index of the first line equal to `line` (or starting with it when prefix is set).
inline std::size_t find_line(const std::vector<std::string>& lines, const std::string& line,
                             bool prefix = false) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (prefix ? lines[i].rfind(line, 0) == 0 : lines[i] == line) return i;
  return lines.size();
}

}  // namespace rawcv_e2e
