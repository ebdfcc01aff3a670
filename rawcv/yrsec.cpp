// yrsec: seconds from the start of the year.
#include <array>
#include <cstdint>

#include "rawcv/rawhdr.h"
#include "tslib/counts.h"

std::int32_t yrsec(std::int32_t yy, std::int32_t mo, std::int32_t dd, std::int32_t hh,
                   std::int32_t mi, std::int32_t ss) {
  // The logger counts every fourth year as a leap year, centuries included.
  std::array<std::int64_t, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (yy % 4 == 0) days[1] = 29;
  std::int64_t total = std::int64_t{dd} - 1;
  const int months_before = mo < 1 ? 0 : (mo > 12 ? 12 : mo - 1);  // never past the table
  for (int m = 0; m < months_before; ++m) total += days[static_cast<std::size_t>(m)];
  return tslib::saturate_int32(total * 86400 + std::int64_t{hh} * 3600 + std::int64_t{mi} * 60 +
                               ss);
}
