// Test raw-file generator, written from the logger's byte layout.
#include "support/rawgen.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace rawgen {
namespace {

class Bytes {
 public:
  void i16(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    out_.push_back(static_cast<unsigned char>(u & 0xFF));
    out_.push_back(static_cast<unsigned char>(u >> 8));
  }
  void i32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int s = 0; s < 32; s += 8) out_.push_back(static_cast<unsigned char>((u >> s) & 0xFF));
  }
  void f32(float v) { i32(std::bit_cast<std::int32_t>(v)); }
  // Fixed-length text, blank-padded or cut.
  void text(const std::string& s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      out_.push_back(static_cast<unsigned char>(i < s.size() ? s[i] : ' '));
  }
  std::vector<unsigned char>& data() { return out_; }

 private:
  std::vector<unsigned char> out_;
};

void group(Bytes& b, const Group& g) {
  b.i16(g.filtp);
  b.f32(g.smprt);
  b.text(g.smpin, 4);
  for (const Channel& c : g.channels) {
    b.i16(c.number);
    b.text(c.code, 4);
    b.i16(c.gain);
  }
}

}  // namespace

std::vector<std::int32_t> logger_stamp_records(const Description& d) {
  std::vector<std::int32_t> after;
  if (d.records >= 1) after.push_back(1);
  if (!d.group1) return after;
  // Seconds per sample, and samples per 10 minutes.
  const bool hz =
      !d.group1->smpin.empty() && (d.group1->smpin[0] == 'H' || d.group1->smpin[0] == 'h');
  const double period = hz ? 1.0 / d.group1->smprt : d.group1->smprt;
  // The block starts at second 0 of its minute; the first boundary is strictly later.
  const int to_boundary = (10 - d.minute % 10) * 60;
  const auto record_at = [&](double seconds) {
    return static_cast<std::int32_t>(std::floor(seconds / period + 1e-9)) + 1;
  };
  for (double t = to_boundary;; t += 600.0) {
    const std::int32_t r = record_at(t);
    if (r > d.records) break;
    after.push_back(r);
  }
  return after;
}

std::vector<unsigned char> build(const Description& d, std::size_t* header_size) {
  Bytes b;
  b.text(d.prjcod, 3);
  b.text(d.runnum, 7);
  b.i16(d.hdr10);
  b.text(d.sitdes, 20);
  for (auto v : d.hdr32) b.i16(v);
  b.text(std::string(1, d.latdir), 1);
  for (auto v : d.hdr43) b.i16(v);
  b.text(std::string(1, d.lngdir), 1);
  for (auto v : d.hdr50) b.i16(v);
  b.text(d.azdir, 17);
  const auto size_of = [](const std::optional<Group>& g) {
    return static_cast<std::int16_t>(g ? g->channels.size() : 0);
  };
  const std::int16_t count1 = d.count1.value_or(size_of(d.group1));
  const std::int16_t count2 = d.count2.value_or(size_of(d.group2));
  const std::array<std::int16_t, 15> hdr77{
      d.box, d.magnetometer, 0,      d.day, d.month, d.year, d.hour, d.minute, 0, 0, 0,
      0,     d.full_scale,   count1, count2};
  for (auto v : hdr77) b.i16(v);
  if (b.data().size() != 107) throw std::logic_error("rawgen: fixed header is not 107 bytes");
  if (d.group1 && count1 > 0) group(b, *d.group1);
  if (d.group2 && count2 > 0) group(b, *d.group2);
  if (d.baselines)
    for (auto v : d.baseln) b.i32(v);
  if (header_size) *header_size = b.data().size();

  const int nchan = static_cast<int>((d.group1 ? d.group1->channels.size() : 0) +
                                     (d.group2 ? d.group2->channels.size() : 0));
  const std::vector<std::int32_t> stamps = d.stamps_after.value_or(logger_stamp_records(d));
  std::size_t next_stamp = 0;
  int stamp_count = 0;
  for (std::int32_t r = 1; r <= d.records; ++r) {
    for (int c = 1; c <= nchan; ++c) b.i16(d.sample(r, c));
    if (next_stamp < stamps.size() && stamps[next_stamp] == r) {
      ++next_stamp;
      for (auto v : d.stamp(++stamp_count)) b.i16(v);
    }
  }
  std::vector<unsigned char>& out = b.data();
  out.resize(out.size() - std::min(d.cut_bytes, out.size()));
  return out;
}

std::size_t write(const std::string& path, const Description& d) {
  const std::vector<unsigned char> bytes = build(d);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("rawgen: cannot write " + path);
  return bytes.size();
}

Description five_channels(float smprt, std::string smpin) {
  Description d;
  d.group1 = Group{1, smprt, smpin, {{1, "HX", 1}, {2, "HY", 1}, {3, "HZ", 1}}};
  d.group2 = Group{2, smprt, smpin, {{4, "EX", 1}, {5, "EY", 1}}};
  return d;
}

Description three_channels(float smprt, std::string smpin) {
  Description d;
  d.group1 = Group{1, smprt, smpin, {{1, "HX", 1}, {2, "HY", 1}, {3, "HZ", 1}}};
  return d;
}

}  // namespace rawgen
