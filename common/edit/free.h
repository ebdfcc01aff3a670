#pragma once
// Free layout (list-directed editing): writing to a unit or into a text field, and
// reading from a unit or from a text field.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/io/outcome.h"

namespace io {

class Unit;

// One write transfer in the free layout. Items in order; the record in progress is
// ended by end() or by the destructor. Example: FreeWriter(6) << "Done." ;
class FreeWriter {
 public:
  explicit FreeWriter(int unit);
  ~FreeWriter();
  FreeWriter(const FreeWriter&) = delete;
  FreeWriter& operator=(const FreeWriter&) = delete;

  FreeWriter& operator<<(std::string_view text);
  FreeWriter& operator<<(const char* text) { return *this << std::string_view(text); }
  FreeWriter& operator<<(const std::string& text) { return *this << std::string_view(text); }
  FreeWriter& operator<<(std::int32_t value);
  FreeWriter& operator<<(std::int16_t value);
  FreeWriter& operator<<(bool value);
  FreeWriter& operator<<(float value);
  FreeWriter& operator<<(double) = delete;  // 32-bit floats only: convert explicitly
  FreeWriter& operator<<(std::span<const float> values);
  FreeWriter& operator<<(std::span<const std::int32_t> values);
  void end();

 private:
  static constexpr int kRecordWidth = 80;
  void put_field(std::string_view field);  // a number or a boolean
  void put_text(std::string_view text);
  void put(std::string_view chars);  // into the record; the caller checks room
  void begin_for_text();             // a new record begun for a text: one blank
  void end_record();

  Unit* unit_;
  bool ended_ = false;
  int column_ = 0;  // columns used in the record in progress
  bool last_was_number_ = false;
  std::array<char, 96> record_;  // one record: at most 80 columns
};

// Writes one value into a text field in the free layout, from its first column, the
// rest of the field blank (an integer takes 12 columns, a float 15). In a field narrower
// than that the value stands right-justified, or as asterisks when it does not fit.
void free_to_field(std::span<char> field, std::int32_t value);
void free_to_field(std::span<char> field, float value);

// The 15-column free-layout text of a float (leading blanks included) into out;
// returns the number of characters (15). The number editing shared with the writer.
int free_float_text(float value, std::span<char, 15> out);

// One read transfer in the free layout, from a unit (running over records) or from a
// text field (its only record; too few values is end of data, number 24).
// A variable that receives no value keeps its contents. After the first failure the
// remaining items are skipped; finish() returns the outcome (only outcomes the caller
// takes back are ever returned; the others end the program where they occur).
class FreeReader {
 public:
  FreeReader(int unit, Takes takes);
  static FreeReader from_field(std::string_view field, Takes takes);
  ~FreeReader();
  FreeReader(FreeReader&&) noexcept;
  FreeReader(const FreeReader&) = delete;
  FreeReader& operator=(const FreeReader&) = delete;
  FreeReader& operator=(FreeReader&&) = delete;

  FreeReader& operator>>(std::int32_t& v);
  FreeReader& operator>>(std::int16_t& v);
  FreeReader& operator>>(bool& v);
  FreeReader& operator>>(float& v);
  FreeReader& operator>>(double& v);
  FreeReader& operator>>(std::span<char> text);  // cut or blank-padded to its length
  FreeReader& operator>>(std::string& text) { return *this >> std::span<char>(text); }
  FreeReader& operator>>(std::span<float> values);
  Result finish();

 private:
  struct State;
  FreeReader(std::string_view field, Takes takes);
  template <class Store>
  FreeReader& item(bool text_variable, Store&& store);
  State* state_;  // reusable storage (state_pool.h); no allocation per transfer
};

}  // namespace io
