// readdt: one data record of the raw file, and the stamp record that follows it.
#include <array>
#include <cstdint>
#include <span>

#include "common/io/binary.h"
#include "rawcv/rawhdr.h"
#include "tslib/counts.h"

std::int32_t readdt(std::int32_t unit, std::int32_t& irec, std::int32_t& nstamp, float rate,
                    std::int32_t nchan, std::span<std::int16_t> ibuf,
                    std::array<std::int16_t, rawcv::kStampValues>& stamp, std::int32_t& next) {
  const std::size_t n = nchan > 0 ? static_cast<std::size_t>(nchan) : 0;
  if (n > ibuf.size()) return 1;  // the caller's record buffer cannot hold the record

  io::ByteReader data(unit, io::Takes::both);
  data >> ibuf.first(n);
  if (data.finish().end_of_file()) {
    mpclose(unit);
    return 2;
  }
  if (data.finish().error()) return 1;

  if (irec == 1 || irec == next) {
    io::ByteReader st(unit, io::Takes::both);
    st >> std::span<std::int16_t>(stamp);
    if (st.finish().end_of_file()) {
      mpclose(unit);
      return 2;
    }
    if (st.finish().error()) return 1;
    ++nstamp;
    if (irec != 1) {
      // An infinite rate (a sampling value of 0 sec) moves next to the end of the range.
      const std::int64_t step =
          tslib::nearest_int32(600.0 * static_cast<double>(rate), tslib::Infinity::limit);
      next = tslib::saturate_int32(std::int64_t{next} + step);
    }
  }
  ++irec;
  return 0;
}
