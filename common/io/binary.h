#pragma once
// BINARY record transfers (one transfer = one framed record; big-endian when the unit
// was opened so) and byte-stream reads (little-endian values, no framing).
#include <cstdint>
#include <span>
#include <string_view>

#include "common/io/outcome.h"

namespace io {

// Items are packed without gaps; end() (or the destructor) writes the record.
class BinaryWriter {
 public:
  explicit BinaryWriter(int unit);
  ~BinaryWriter();
  BinaryWriter(const BinaryWriter&) = delete;
  BinaryWriter& operator=(const BinaryWriter&) = delete;

  BinaryWriter& operator<<(float v);
  BinaryWriter& operator<<(std::int32_t v);
  BinaryWriter& operator<<(std::int16_t v);
  BinaryWriter& operator<<(std::string_view text);  // bytes unchanged
  BinaryWriter& operator<<(std::span<const float> values);
  void end();

 private:
  void put(std::uint32_t bits, std::size_t width);
  std::byte* room(std::size_t n);
  int unit_;
  bool ended_ = false;
  bool big_endian_ = true;
  std::size_t size_ = 0;
  alignas(8) std::byte data_[2048];
};

// Reads exactly one record at construction; items take their bytes in order; needing
// more than the record holds is error 67; what they do not need is skipped.
class BinaryReader {
 public:
  BinaryReader(int unit, Takes takes);
  ~BinaryReader() = default;
  BinaryReader(const BinaryReader&) = delete;
  BinaryReader& operator=(const BinaryReader&) = delete;

  BinaryReader& operator>>(float& v);
  BinaryReader& operator>>(std::int32_t& v);
  BinaryReader& operator>>(std::int16_t& v);
  BinaryReader& operator>>(std::span<char> text);
  BinaryReader& operator>>(std::span<float> values);
  std::size_t record_size() const { return record_.size(); }
  Result finish() const { return result_; }

 private:
  bool take(std::span<std::byte> out);
  bool settle(Result r);
  int unit_;
  Takes takes_;
  Result result_{};
  bool big_endian_ = true;
  std::span<const std::byte> record_{};
  std::size_t pos_ = 0;
};

// Byte stream: each item takes its own size from the current position; running out of
// bytes inside an item is end of file.
class ByteReader {
 public:
  ByteReader(int unit, Takes takes);
  ByteReader& operator>>(std::uint8_t& v);
  ByteReader& operator>>(std::int8_t& v);
  ByteReader& operator>>(std::int16_t& v);
  ByteReader& operator>>(std::uint16_t& v);
  ByteReader& operator>>(std::int32_t& v);
  ByteReader& operator>>(float& v);
  ByteReader& operator>>(std::span<char> text);
  ByteReader& operator>>(std::span<std::int16_t> values);
  Result finish() const { return result_; }

 private:
  bool take(std::span<std::byte> out);
  bool settle(Result r);
  int unit_;
  Takes takes_;
  Result result_{};
};

}  // namespace io
