#include "common/io/binary.h"

#include <bit>
#include <cstring>

#include "common/io/end.h"
#include "common/io/errors.h"
#include "common/io/unit.h"

namespace io {
namespace {

constexpr std::uint32_t swap32(std::uint32_t v) { return __builtin_bswap32(v); }
constexpr std::uint16_t swap16(std::uint16_t v) { return __builtin_bswap16(v); }

// Stored order <-> host order (the same operation both ways).
constexpr std::uint32_t order32(std::uint32_t v, bool big) {
  return (big == (std::endian::native == std::endian::big)) ? v : swap32(v);
}
constexpr std::uint16_t order16(std::uint16_t v, bool big) {
  return (big == (std::endian::native == std::endian::big)) ? v : swap16(v);
}

template <class T>
T load(std::span<const std::byte> bytes) {
  T v;
  std::memcpy(&v, bytes.data(), sizeof v);
  return v;
}

[[noreturn]] void report_on(int unit, int number) {
  Unit& u = unit_for(unit);
  error_report(number, u.report_number(), u.path());
}

// A reader's outcome on `unit` against what its caller takes back.
Result settle_on(int unit, Result r, Takes takes) {
  const Unit& u = unit_for(unit);
  return settle(r, takes, u.report_number(), u.path());
}

}  // namespace

// ---- BinaryWriter ----

BinaryWriter::BinaryWriter(int unit) : unit_(unit), big_endian_(unit_for(unit).big_endian()) {}

BinaryWriter::~BinaryWriter() {
  if (!ended_) end();
}

std::byte* BinaryWriter::room(std::size_t n) {
  if (n > sizeof data_ - size_) report_on(unit_, kErrRecordOverflow);
  std::byte* at = std::span<std::byte>(data_).subspan(size_, n).data();
  size_ += n;
  return at;
}

void BinaryWriter::put(std::uint32_t bits, std::size_t width) {
  if (width == 4) {
    const std::uint32_t stored = order32(bits, big_endian_);
    std::memcpy(room(4), &stored, 4);
  } else {
    const std::uint16_t stored = order16(static_cast<std::uint16_t>(bits), big_endian_);
    std::memcpy(room(2), &stored, 2);
  }
}

BinaryWriter& BinaryWriter::operator<<(float v) {
  put(std::bit_cast<std::uint32_t>(v), 4);
  return *this;
}

BinaryWriter& BinaryWriter::operator<<(std::int32_t v) {
  put(static_cast<std::uint32_t>(v), 4);
  return *this;
}

BinaryWriter& BinaryWriter::operator<<(std::int16_t v) {
  put(static_cast<std::uint16_t>(v), 2);
  return *this;
}

BinaryWriter& BinaryWriter::operator<<(std::string_view text) {
  if (!text.empty()) std::memcpy(room(text.size()), text.data(), text.size());
  return *this;
}

BinaryWriter& BinaryWriter::operator<<(std::span<const float> values) {
  const std::span<std::byte> out(room(values.size() * 4), values.size() * 4);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::uint32_t stored = order32(std::bit_cast<std::uint32_t>(values[i]), big_endian_);
    std::memcpy(out.subspan(4 * i, 4).data(), &stored, 4);
  }
  return *this;
}

void BinaryWriter::end() {
  if (ended_) return;
  ended_ = true;
  unit_for(unit_).write_record(std::span<const std::byte>(data_).first(size_));
}

// ---- BinaryReader ----

BinaryReader::BinaryReader(int unit, Takes takes) : unit_(unit), takes_(takes) {
  Unit& u = unit_for(unit);
  big_endian_ = u.big_endian();
  const Result r = u.read_record(record_);
  if (!r.ok()) {
    record_ = {};
    settle(r);
  }
}

bool BinaryReader::settle(Result r) {
  result_ = settle_on(unit_, r, takes_);
  return false;
}

bool BinaryReader::take(std::span<std::byte> out) {
  if (!result_.ok()) return false;
  if (out.size() > record_.size() - pos_) return settle(Result{kErrTooMuchData});
  const auto from = record_.subspan(pos_, out.size());
  if (!out.empty()) std::memcpy(out.data(), from.data(), out.size());
  pos_ += out.size();
  return true;
}

BinaryReader& BinaryReader::operator>>(float& v) {
  std::uint32_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = std::bit_cast<float>(order32(bits, big_endian_));
  }
  return *this;
}

BinaryReader& BinaryReader::operator>>(std::int32_t& v) {
  std::uint32_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = static_cast<std::int32_t>(order32(bits, big_endian_));
  }
  return *this;
}

BinaryReader& BinaryReader::operator>>(std::int16_t& v) {
  std::uint16_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = static_cast<std::int16_t>(order16(bits, big_endian_));
  }
  return *this;
}

BinaryReader& BinaryReader::operator>>(std::span<char> text) {
  take(std::as_writable_bytes(text));
  return *this;
}

BinaryReader& BinaryReader::operator>>(std::span<float> values) {
  if (!result_.ok()) return *this;
  const std::size_t n = values.size() * 4;
  if (n > record_.size() - pos_) {
    settle(Result{kErrTooMuchData});
    return *this;
  }
  const auto from = record_.subspan(pos_, n);
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] =
        std::bit_cast<float>(order32(load<std::uint32_t>(from.subspan(4 * i, 4)), big_endian_));
  }
  pos_ += n;
  return *this;
}

// ---- ByteReader ----

ByteReader::ByteReader(int unit, Takes takes) : unit_(unit), takes_(takes) {}

bool ByteReader::settle(Result r) {
  result_ = settle_on(unit_, r, takes_);
  return false;
}

bool ByteReader::take(std::span<std::byte> out) {
  if (!result_.ok()) return false;
  const Result r = unit_for(unit_).read_bytes(out);
  return r.ok() ? true : settle(r);
}

ByteReader& ByteReader::operator>>(std::uint8_t& v) {
  std::uint8_t b = 0;
  if (take(std::as_writable_bytes(std::span(&b, 1)))) v = b;
  return *this;
}

ByteReader& ByteReader::operator>>(std::int8_t& v) {
  std::uint8_t b = 0;
  if (take(std::as_writable_bytes(std::span(&b, 1)))) v = static_cast<std::int8_t>(b);
  return *this;
}

ByteReader& ByteReader::operator>>(std::int16_t& v) {
  std::uint16_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = static_cast<std::int16_t>(order16(bits, false));
  }
  return *this;
}

ByteReader& ByteReader::operator>>(std::uint16_t& v) {
  std::uint16_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) v = order16(bits, false);
  return *this;
}

ByteReader& ByteReader::operator>>(std::int32_t& v) {
  std::uint32_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = static_cast<std::int32_t>(order32(bits, false));
  }
  return *this;
}

ByteReader& ByteReader::operator>>(float& v) {
  std::uint32_t bits = 0;
  if (take(std::as_writable_bytes(std::span(&bits, 1)))) {
    v = std::bit_cast<float>(order32(bits, false));
  }
  return *this;
}

ByteReader& ByteReader::operator>>(std::span<char> text) {
  take(std::as_writable_bytes(text));
  return *this;
}

ByteReader& ByteReader::operator>>(std::span<std::int16_t> values) {
  if (take(std::as_writable_bytes(values))) {
    for (std::int16_t& v : values) {
      v = static_cast<std::int16_t>(order16(static_cast<std::uint16_t>(v), false));
    }
  }
  return *this;
}

}  // namespace io
