#pragma once
// Test raw-file generator: writes a logger ".1mp" file from a description, following
// the logger's byte layout (little-endian, fixed header, channel groups, baselines,
// data records with housekeeping stamps where the logger's clock places them).
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rawgen {

struct Channel {
  std::int16_t number = 1;  // raw channel number
  std::string code = "HX";  // component code, 4 characters in the file
  std::int16_t gain = 1;
};

struct Group {
  std::int16_t filtp = 0;
  float smprt = 1.0f;        // samples per second (Hz) or seconds per sample (sec)
  std::string smpin = "Hz";  // 4 characters in the file
  std::vector<Channel> channels;
};

struct Description {
  std::string prjcod = "tst", runnum = "run0001", sitdes = "test site";
  std::int16_t hdr10 = 0;
  std::array<std::int16_t, 5> hdr32{100, 100, 45, 7, 30};  // Ex, Ey length; lat d m s
  char latdir = 'N';
  std::array<std::int16_t, 3> hdr43{75, 30, 0};
  char lngdir = 'W';
  std::array<std::int16_t, 5> hdr50{10, 0, 0, 90, 0};  // telluric gain, -, azimuths
  std::string azdir = "GEOGRAPHIC";
  std::int16_t box = 12, magnetometer = 3;
  std::int16_t year = 2004, month = 7, day = 20, hour = 13, minute = 17;
  std::int16_t full_scale = 10000;
  // Group counts as written; empty: the sizes of group1 / group2.
  std::optional<std::int16_t> count1, count2;
  std::optional<Group> group1, group2;
  bool baselines = true;  // false: the file ends after the channel table
  std::array<std::int32_t, 3> baseln{1000, -2000, 3000};
  std::int32_t records = 0;  // data records
  // Sample of a record (1-based) and raw channel number (1-based).
  std::function<std::int16_t(std::int32_t, int)> sample = [](std::int32_t r, int c) {
    return static_cast<std::int16_t>((r * 16 + c) % 30000);
  };
  // The n-th stamp record (1-based).
  std::function<std::array<std::int16_t, 6>(int)> stamp = [](int n) {
    return std::array<std::int16_t, 6>{
        0, 0, 0, static_cast<std::int16_t>(100 * n), static_cast<std::int16_t>(200 * n), -1000};
  };
  // Explicit stamp positions (records a stamp follows); empty: the logger's clock.
  std::optional<std::vector<std::int32_t>> stamps_after;
  std::size_t cut_bytes = 0;  // bytes removed from the end of the file
};

// Data records that a stamp follows, as the logger writes them: record 1, the record
// sampled at the first 10-minute boundary of the clock after the block start, and the
// record of every 10 minutes after that, up to d.records.
std::vector<std::int32_t> logger_stamp_records(const Description& d);

// The file's bytes; the header size (bytes before data record 1) into header_size.
std::vector<unsigned char> build(const Description& d, std::size_t* header_size = nullptr);

// Writes the file; returns its size.
std::size_t write(const std::string& path, const Description& d);

// A 5-channel (3 + 2 groups) or 3-channel description at the given rate.
Description five_channels(float smprt = 4.0f, std::string smpin = "Hz");
Description three_channels(float smprt = 4.0f, std::string smpin = "Hz");

}  // namespace rawgen
