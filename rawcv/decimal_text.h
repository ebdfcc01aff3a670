#pragma once
// A whole number's decimal digits, for a line that shows the number as a text part
// (no columns of its own).
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rawcv {

class DecimalText {
 public:
  explicit DecimalText(std::int32_t value)
      : size_(static_cast<std::size_t>(
            std::to_chars(digits_.data(), digits_.data() + digits_.size(), value).ptr -
            digits_.data())) {}

  std::string_view view() const { return {digits_.data(), size_}; }

 private:
  std::array<char, 11> digits_{};  // room for "-2147483648"
  std::size_t size_;
};

}  // namespace rawcv
