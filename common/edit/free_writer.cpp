// Free-layout write transfers to a unit: fixed-width numbers, texts cut across
// 80-column records. The record is composed in the writer's own buffer.
#include <algorithm>
#include <array>

#include "common/edit/free.h"
#include "common/edit/free_edit.h"
#include "common/io/unit.h"
#include "common/text_field.h"

namespace io {

FreeWriter::FreeWriter(int unit) : unit_(&unit_for(unit)) {}

FreeWriter::~FreeWriter() { end(); }

void FreeWriter::put(std::string_view chars) {
  const auto free = std::span(record_).subspan(static_cast<std::size_t>(column_));
  std::copy(chars.begin(), chars.end(), free.begin());
  column_ += static_cast<int>(chars.size());
}

void FreeWriter::end_record() {
  unit_->write_text({record_.data(), static_cast<std::size_t>(column_)}, true);
  column_ = 0;
  last_was_number_ = false;
}

void FreeWriter::begin_for_text() {
  end_record();
  put(" ");
}

void FreeWriter::put_field(std::string_view field) {
  if (ended_) return;
  if (kRecordWidth - column_ < static_cast<int>(field.size())) end_record();
  put(field);
  last_was_number_ = true;
}

void FreeWriter::put_text(std::string_view text) {
  if (ended_) return;
  const int left = kRecordWidth - column_;
  const bool fits = static_cast<int>(text.size()) <= left;
  if (column_ == 0) {
    put(" ");  // also for a text longer than a record: its first record starts with a blank
  } else {
    if (last_was_number_ && left >= 1) put(" ");
    if (!fits) begin_for_text();
  }
  last_was_number_ = false;
  while (!text.empty()) {
    if (column_ == kRecordWidth) begin_for_text();
    const auto room = static_cast<std::size_t>(kRecordWidth - column_);
    const auto part = std::min(room, text.size());
    put(text.substr(0, part));
    text.remove_prefix(part);
  }
}

FreeWriter& FreeWriter::operator<<(std::string_view text) {
  put_text(text);
  return *this;
}

FreeWriter& FreeWriter::operator<<(std::int32_t value) {
  std::array<char, detail::kIntWidth> text;
  detail::free_int_text(value, text);
  put_field(field::view(text));
  return *this;
}

FreeWriter& FreeWriter::operator<<(std::int16_t value) {
  std::array<char, detail::kShortWidth> text;
  detail::free_int_text(value, text);
  put_field(field::view(text));
  return *this;
}

FreeWriter& FreeWriter::operator<<(bool value) {
  put_field(value ? " T" : " F");
  return *this;
}

FreeWriter& FreeWriter::operator<<(float value) {
  std::array<char, detail::kFloatWidth> text;
  free_float_text(value, text);
  put_field(field::view(text));
  return *this;
}

FreeWriter& FreeWriter::operator<<(std::span<const float> values) {
  for (float v : values) *this << v;
  return *this;
}

FreeWriter& FreeWriter::operator<<(std::span<const std::int32_t> values) {
  for (std::int32_t v : values) *this << v;
  return *this;
}

void FreeWriter::end() {
  if (ended_) return;
  if (column_ == 0) put(" ");  // an empty transfer writes a record of one blank
  end_record();
  ended_ = true;
}

}  // namespace io
