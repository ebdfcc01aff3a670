#pragma once
// Site position from the raw header and the site lookup in the project site file
// (prj + "site.flt"): elevation and declination.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rawcv/rawhdr.h"

namespace rawcv {

struct Coordinates {
  float latitude = 0.0f;           // degrees, south negative
  float longitude = 0.0f;          // degrees, west negative
  std::array<char, 11> lattext{};  // "045:07:30 N"
  std::array<char, 11> lontext{};
};

// Decimal degrees and the 11-character texts from hdr32(3..5), latdir, hdr43, lngdir.
Coordinates header_coordinates(const rawcv::RawHeader& h);

// "ddd:mm:ss L" (asterisks for a value too wide for its digits).
std::array<char, 11> dms_text(std::int16_t deg, std::int16_t min, std::int16_t sec, char letter);

struct SiteValues {
  float elevation = 0.0f;        // m
  std::int32_t declination = 0;  // whole degrees
};

// The project code followed by "site.flt".
std::string site_file_name(std::string_view prj);

// Looks up characters 4-6 of station in the site file on unit 1, writing the
// messages of each failure; unit 1 is closed afterwards. Never ends the program.
SiteValues site_lookup(std::string_view prj, std::string_view station);

}  // namespace rawcv
