// Decimal numbers as read from text, into floats and doubles.
#include "common/edit/decimal_number.h"

#include <charconv>
#include <system_error>

namespace io::detail {

template <class T>
bool DecimalNumber::to_binary(long power, T& value) {
  if (kept_ == 0) {
    value = negative_ ? -T(0) : T(0);
    return true;
  }
  std::size_t len = static_cast<std::size_t>(kept_);
  long exp10 = power + dropped_;
  if (sticky_) {  // a nonzero digit was dropped: the value lies just above the digits kept
    text_[len++] = '1';
    --exp10;
  }
  if (exp10 > kExponentBound) exp10 = kExponentBound;
  if (exp10 < -kExponentBound) exp10 = -kExponentBound;
  // The value is 10^(magnitude - 1) or more and below 10^magnitude.
  const long magnitude = exp10 + static_cast<long>(len);
  text_[len++] = 'e';
  const auto [end, ec] = std::to_chars(text_.data() + len, text_.data() + text_.size(), exp10);
  if (ec != std::errc{}) return false;
  T v{};
  const auto r = std::from_chars(text_.data(), end, v, std::chars_format::scientific);
  if (r.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return false;  // overflow: no such number in the target
    v = T(0);                         // underflow: zero
  } else if (r.ec != std::errc{}) {
    return false;
  }
  value = negative_ ? -v : v;
  return true;
}

bool DecimalNumber::convert(long power, float& value) { return to_binary(power, value); }
bool DecimalNumber::convert(long power, double& value) { return to_binary(power, value); }

}  // namespace io::detail
