// mkraw: writes one raw logger window (".1mp") for trying the programs by hand.
//
//   mkraw STATION_DIR WINDOW "yyyy-mm-dd hh:mm" SECONDS RATE CHANNELS [BOX [MAGNETOMETER]]
//
// STATION_DIR  directory the file goes into (created when missing)
// WINDOW       8-character window name; the file is STATION_DIR/WINDOW.1mp and the
//              first 3 characters become the project code of the header
// start        block start of the logger clock (the logger stores minutes only)
// SECONDS      length of the recording; SECONDS * rate data records are written
// RATE         12, 4 or 1 (samples per second, "Hz"), or 1s, 5s or 30s (seconds
//              per sample, "sec")
// CHANNELS     3 (HX HY HZ) or 5 (HX HY HZ EX EY)
// BOX          logger box number written into the header (default 7)
// MAGNETOMETER magnetometer number (default 3)
//
// The samples are slow sine waves of a few hundred counts, different per channel,
// so that converted files look like a signal and not like noise.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/rawgen.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: mkraw STATION_DIR WINDOW \"yyyy-mm-dd hh:mm\" SECONDS RATE CHANNELS "
               "[BOX [MAGNETOMETER]]\n"
               "  RATE: 12, 4 or 1 (Hz) or 1s, 5s, 30s (seconds per sample)\n"
               "  CHANNELS: 3 or 5\n");
  return 2;
}

bool whole(const std::string& s, long& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtol(s.c_str(), &end, 10);
  return *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7 || argc > 9) return usage();
  const std::string dir = argv[1];
  const std::string window = argv[2];
  const std::string start = argv[3];
  long seconds = 0, channels = 0, box = 7, magnetometer = 3;
  if (window.size() != 8) {
    std::fprintf(stderr, "mkraw: window name must have 8 characters: %s\n", window.c_str());
    return 2;
  }
  if (!whole(argv[4], seconds) || seconds <= 0) {
    std::fprintf(stderr, "mkraw: bad duration: %s\n", argv[4]);
    return 2;
  }
  if (!whole(argv[6], channels) || (channels != 3 && channels != 5)) {
    std::fprintf(stderr, "mkraw: channels must be 3 or 5: %s\n", argv[6]);
    return 2;
  }
  if ((argc > 7 && !whole(argv[7], box)) || (argc > 8 && !whole(argv[8], magnetometer))) {
    std::fprintf(stderr, "mkraw: bad box or magnetometer number\n");
    return 2;
  }

  std::string rate_text = argv[5];
  std::string unit = "Hz";
  if (!rate_text.empty() && rate_text.back() == 's') {
    unit = "sec";
    rate_text.pop_back();
  }
  long rate = 0;
  if (!whole(rate_text, rate) || rate <= 0) {
    std::fprintf(stderr, "mkraw: bad rate: %s\n", argv[5]);
    return 2;
  }

  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (std::sscanf(start.c_str(), "%4d-%2d-%2d %2d:%2d", &year, &month, &day, &hour, &minute) != 5) {
    std::fprintf(stderr, "mkraw: start must be \"yyyy-mm-dd hh:mm\": %s\n", start.c_str());
    return 2;
  }

  const float smprt = static_cast<float>(rate);
  rawgen::Description d =
      channels == 5 ? rawgen::five_channels(smprt, unit) : rawgen::three_channels(smprt, unit);
  d.prjcod = window.substr(0, 3);
  d.runnum = window.substr(6, 2) + "00001";
  d.sitdes = "demo site " + window.substr(3, 3);
  d.box = static_cast<std::int16_t>(box);
  d.magnetometer = static_cast<std::int16_t>(magnetometer);
  d.year = static_cast<std::int16_t>(year);
  d.month = static_cast<std::int16_t>(month);
  d.day = static_cast<std::int16_t>(day);
  d.hour = static_cast<std::int16_t>(hour);
  d.minute = static_cast<std::int16_t>(minute);
  const double per_second = unit == "Hz" ? smprt : 1.0 / smprt;
  d.records = static_cast<std::int32_t>(std::lround(static_cast<double>(seconds) * per_second));
  if (d.records < 1) d.records = 1;
  d.sample = [per_second](std::int32_t r, int c) {
    const double t = static_cast<double>(r - 1) / per_second;  // seconds from the start
    const double period = 120.0 + 45.0 * c;                    // seconds
    const double v = 300.0 * c * std::sin(2.0 * 3.14159265358979 * t / period);
    return static_cast<std::int16_t>(std::lround(v));
  };

  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::string path = (std::filesystem::path(dir) / (window + ".1mp")).string();
  const std::size_t bytes = rawgen::write(path, d);
  std::printf("mkraw: %s: %d records at %ld %s, %zu bytes\n", path.c_str(), d.records, rate,
              unit.c_str(), bytes);
  return 0;
}
