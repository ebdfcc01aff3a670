#pragma once
// The decimal number that both readers of numbers build as they scan a value (the free
// layout's and the fixed layouts'): its sign, its significant digits and a power of
// ten, turned into a float or a double exactly rounded, under the one rule for
// overflow and underflow. What each reader takes as a number (blanks, separators, the
// implied point, the scale factor) stays with the reader. Internal to common/edit.
#include <array>
#include <cstddef>
#include <string_view>

namespace io::detail {

// An exponent's digits, accumulated up to a bound far beyond any float's range: the
// digits after it no longer change the outcome (an overflow or a zero, whatever the
// mantissa), so the count stops growing there.
constexpr long kExponentBound = 100000;
constexpr long add_exponent_digit(long exponent, char digit) {
  return exponent < kExponentBound ? exponent * 10 + (digit - '0') : exponent;
}

class DecimalNumber {
 public:
  explicit DecimalNumber(bool negative = false) : negative_(negative) {}

  void set_negative(bool negative) { negative_ = negative; }
  bool negative() const { return negative_; }

  // The next digit of the mantissa ('0' to '9'), in the order read. Leading zeros carry
  // no digit; beyond the first kKeep significant digits only whether one is nonzero
  // is kept, which still decides every rounding.
  void add_digit(char digit) {
    if (kept_ == 0 && digit == '0') return;
    if (kept_ < kKeep) {
      text_[static_cast<std::size_t>(kept_++)] = digit;
    } else {
      ++dropped_;
      if (digit != '0') sticky_ = true;
    }
  }

  // The significant digits held (none for a zero), and whether they are all there were.
  std::string_view digits() const { return {text_.data(), static_cast<std::size_t>(kept_)}; }
  bool exact() const { return dropped_ == 0; }

  // The value ± D × 10^power, D the digits added read as one integer, exactly rounded
  // to nearest. False when it lies beyond the target's largest finite value (there is
  // no such number); a value too small for the target is a zero of its sign.
  bool convert(long power, float& value);
  bool convert(long power, double& value);

 private:
  static constexpr int kKeep = 800;  // more than the 767 digits a half-way case needs
  template <class T>
  bool to_binary(long power, T& value);

  std::array<char, kKeep + 24> text_;  // the digits kept, then a sticky digit and "e<power>"
  int kept_ = 0;
  long dropped_ = 0;
  bool sticky_ = false;
  bool negative_ = false;
};

}  // namespace io::detail
