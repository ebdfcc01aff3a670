// ll2utm: transverse Mercator forward series (Clarke 1866) with the UTM zone meridian.
#include "rawcv/ll2utm.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kA = 6378206.5;                          // semi-major axis, m
constexpr double kE2 = static_cast<double>(0.00676866f);  // squared eccentricity (32-bit)
constexpr double kEp2 = 0.006814787132315455;             // e'^2 = e^2 / (1 - e^2)
constexpr double kEp2x58 = 0.3952576536742964;
constexpr double kEp2x330 = 2.2488797536641;
constexpr double kK0 = static_cast<double>(0.9996f);
constexpr double kDegToRad = 0.0174532925;
constexpr double kFalseEasting = 500000.0;
// Meridian distance coefficients, held as 32-bit floats.
constexpr double kM0 = static_cast<double>(111132.0894f);
constexpr double kM2 = static_cast<double>(16216.94f);
constexpr double kM4 = static_cast<double>(17.21f);
constexpr double kM6 = static_cast<double>(0.02f);

// Central meridian of the UTM zone holding lon: an odd multiple of 3.
float zone_meridian(float lon) {
  if (lon == 0.0f) return -3.0f;
  const double k = std::trunc(static_cast<double>(lon / 6.0f));
  if (k == 0.0) return lon > 0.0f ? 3.0f : -3.0f;
  if (!(std::fabs(k) < 1.0e6)) return lon;  // no zone for such a longitude
  const std::int32_t ki = static_cast<std::int32_t>(k);
  return static_cast<float>(6 * ki + 3 * (ki > 0 ? 1 : -1));
}

}  // namespace

void ll2utm(float lat, float lon, float& cm, float& northing, float& easting) {
  if (cm == 999.0f) cm = zone_meridian(lon);

  const double latdeg = lat;
  const double phi = latdeg * kDegToRad;
  const double s = std::sin(phi);
  const double c = std::cos(phi);
  const double t = std::tan(phi);
  const double n = kA / std::sqrt(1.0 - kE2 * s * s);
  const double tt = t * t;
  const double cc = kEp2 * c * c;
  const double a = (static_cast<double>(lon) - static_cast<double>(cm)) * c * kDegToRad;

  const double m = kM0 * latdeg - kM2 * std::sin((2.0 * latdeg) * kDegToRad) +
                   kM4 * std::sin((4.0 * latdeg) * kDegToRad) -
                   kM6 * std::sin((6.0 * latdeg) * kDegToRad);

  const double a2 = a * a, a3 = a2 * a, a4 = a3 * a, a5 = a4 * a, a6 = a5 * a;
  const double e =
      kFalseEasting + kK0 * n *
                          (a + (1.0 - tt + cc) * a3 / 6.0 +
                           (5.0 - 18.0 * tt + tt * tt + 72.0 * cc - kEp2x58) * a5 / 120.0);
  const double nn =
      kK0 * (m + n * t *
                     (a2 / 2.0 + (5.0 - tt + 9.0 * cc + 4.0 * cc * cc) * a4 / 24.0 +
                      (61.0 - 58.0 * tt + tt * tt + 600.0 * cc - kEp2x330) * a6 / 720.0));
  easting = static_cast<float>(e);
  northing = static_cast<float>(nn);
}
