#pragma once
// Transfers under a fixed layout, on a unit or on a text field.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/edit/layout.h"
#include "common/io/outcome.h"

namespace io {

// One write transfer under a fixed layout. Items take the values in order; literals
// and position items between them are processed as they come; the layout's
// reversion rule applies. end() (or the destructor) finishes the layout up to the next
// data item and ends the record, unless the no-line-end item was met.
// Example: FixedWriter(6, kPromptLayout) << prompt << dflt;
class FixedWriter {
 public:
  FixedWriter(int unit, Layout layout);
  // Into a text field: the field is the only record, unreached columns are blanks;
  // writing past its end or a second record is error 66 (ends the program unless
  // errors are taken back; then result() tells).
  static FixedWriter to_field(std::span<char> field, Layout layout, Takes takes = Takes::neither);
  ~FixedWriter();
  FixedWriter(FixedWriter&&) noexcept;
  FixedWriter(const FixedWriter&) = delete;
  FixedWriter& operator=(const FixedWriter&) = delete;
  FixedWriter& operator=(FixedWriter&&) = delete;

  FixedWriter& operator<<(std::string_view text);
  FixedWriter& operator<<(const char* text) { return *this << std::string_view(text); }
  FixedWriter& operator<<(const std::string& text) { return *this << std::string_view(text); }
  FixedWriter& operator<<(std::int32_t value);
  FixedWriter& operator<<(std::int16_t value);
  FixedWriter& operator<<(bool value);
  FixedWriter& operator<<(float value);
  FixedWriter& operator<<(double value);  // only the prompt's 64-bit entry uses it
  FixedWriter& operator<<(std::span<const float> values);
  Result end();

 private:
  struct State;
  explicit FixedWriter(State* state) : state_(state) {}
  State* state_;  // reusable storage (state_pool.h); no allocation per transfer
};

// One read transfer under a fixed layout. Records shorter than the layout read as
// blanks. After the first failure the remaining items are skipped.
class FixedReader {
 public:
  FixedReader(int unit, Layout layout, Takes takes);
  static FixedReader from_field(std::string_view field, Layout layout, Takes takes);
  ~FixedReader();
  FixedReader(FixedReader&&) noexcept;
  FixedReader(const FixedReader&) = delete;
  FixedReader& operator=(const FixedReader&) = delete;
  FixedReader& operator=(FixedReader&&) = delete;

  FixedReader& operator>>(std::span<char> text);
  FixedReader& operator>>(std::string& text) { return *this >> std::span<char>(text); }
  FixedReader& operator>>(std::int32_t& v);
  FixedReader& operator>>(std::int16_t& v);
  FixedReader& operator>>(bool& v);
  FixedReader& operator>>(float& v);
  FixedReader& operator>>(double& v);
  FixedReader& operator>>(std::span<float> values);
  Result finish();

 private:
  struct State;
  explicit FixedReader(State* state) : state_(state) {}
  State* state_;  // reusable storage (state_pool.h); no allocation per transfer
};

}  // namespace io
