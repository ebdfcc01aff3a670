// Site position from the raw header, and the site lookup in the project site file.
#include "rawcv/site.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/fixed.h"
#include "common/edit/free.h"
#include "common/edit/layout.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"

namespace rawcv {

namespace {

constexpr int kConsole = 6;
constexpr int kSiteUnit = 1;
constexpr std::size_t kLineWidth = 80;
using namespace io::lay;

constexpr std::array kDmsLayout{I(3, 3), Lit(":"), I(2, 2), Lit(":"), I(2, 2), X(1), A(1)};
constexpr std::array kLineLayout{A(static_cast<int>(kLineWidth))};
constexpr std::array kPlainLayout{A(), A()};
static_assert(io::valid_layout(kDmsLayout));

float degrees(std::int16_t d, std::int16_t m, std::int16_t s) {
  const double v =
      static_cast<double>(d) + static_cast<double>(m) / 60.0 + static_cast<double>(s) / 3600.0;
  return static_cast<float>(v);
}

// A whole number in the free layout from columns first..first+width-1 of the line.
bool whole_number(std::string_view line, std::size_t first, std::size_t width, std::int32_t& v) {
  io::FreeReader r = io::FreeReader::from_field(line.substr(first, width), io::Takes::both);
  r >> v;
  return r.finish().ok();
}

void declination_failure() {
  io::FreeWriter(kConsole) << "Declination will be calculated or entered by user";
}

void elevation_failure() {
  io::FixedWriter(kConsole, kPlainLayout) << "Elevation incorrect in ts file";
  declination_failure();
}

}  // namespace

std::array<char, 11> dms_text(std::int16_t deg, std::int16_t min, std::int16_t sec, char letter) {
  std::array<char, 11> t{};
  io::FixedWriter::to_field(std::span<char>(t), kDmsLayout)
      << deg << min << sec << std::string_view(&letter, 1);
  return t;
}

Coordinates header_coordinates(const rawcv::RawHeader& h) {
  Coordinates c;
  c.latitude = degrees(h.hdr32(3), h.hdr32(4), h.hdr32(5));
  if (h.latdir[0] == 'S') c.latitude = -c.latitude;
  c.longitude = degrees(h.hdr43(1), h.hdr43(2), h.hdr43(3));
  if (h.lngdir[0] == 'W') c.longitude = -c.longitude;
  c.lattext = dms_text(h.hdr32(3), h.hdr32(4), h.hdr32(5), h.latdir[0]);
  c.lontext = dms_text(h.hdr43(1), h.hdr43(2), h.hdr43(3), h.lngdir[0]);
  return c;
}

std::string site_file_name(std::string_view prj) {
  return std::string(prj.substr(0, 3)).append("site.flt");
}

SiteValues site_lookup(std::string_view prj, std::string_view station) {
  SiteValues result;
  const std::string file = site_file_name(prj);
  std::array<char, 40> name{};
  field::assign(name, file);
  const std::string_view short_name = file;
  const std::string_view full_name = field::view(name);

  if (!io::open(kSiteUnit, short_name, io::OpenSpec::to_read(io::Form::text), io::Takes::errors)
           .ok()) {
    io::FreeWriter(kConsole) << "Project site file not found: " << short_name;
    elevation_failure();
    io::close(kSiteUnit);
    return result;
  }
  if (prtlvl.iprint > 0)
    io::FixedWriter(kConsole, kPlainLayout) << "Opened project site file =" << full_name;

  // Characters 4-6 of the station name, blank-padded.
  std::array<char, 3> site{};
  field::assign(site, station.size() > 3 ? station.substr(3, 3) : std::string_view{});
  const std::string_view wanted = field::view(site);

  std::array<char, kLineWidth> line{};
  for (;;) {
    io::FixedReader r(kSiteUnit, kLineLayout, io::Takes::both);
    r >> std::span<char>(line);
    if (!r.finish().ok()) {
      io::FreeWriter(kConsole) << "Site not found in project site file: " << short_name;
      elevation_failure();
      io::close(kSiteUnit);
      return result;
    }
    if (field::view(line).substr(0, 3) == wanted) break;
  }
  const std::string_view text = field::view(line);
  if (prtlvl.iprint > 0) {
    io::FixedWriter(kConsole, kPlainLayout) << "Found site in project file";
    io::FixedWriter(kConsole, kPlainLayout) << "line>";
    io::FixedWriter(kConsole, kPlainLayout) << field::trimmed(text);
  }

  std::int32_t elevation = 0;
  std::int32_t declination = 0;
  if (!whole_number(text, 71, 4, elevation)) {
    elevation_failure();
  } else if (!whole_number(text, 76, 3, declination)) {
    declination_failure();
    result.elevation = static_cast<float>(elevation);
  } else {
    result.elevation = static_cast<float>(elevation);
    result.declination = declination;
  }
  io::close(kSiteUnit);
  return result;
}

}  // namespace rawcv
