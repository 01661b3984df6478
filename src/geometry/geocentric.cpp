// Geodetic <-> geocentric conversion on the WGS84 ellipsoid (GEOCEN).
#include <cmath>

#include "geometry/constants.hpp"
#include "geometry/geometry.hpp"

namespace geometry {

using constants::DEGREE;
using constants::WGS84_A;
using constants::WGS84_E2;

// latitude: geodetic, degrees; height: above the ellipsoid, km.
// geocentric_latitude: degrees; radius: distance from the Earth's centre, km.
// Records delta = geodetic - geocentric latitude (radians; positive in the
// northern hemisphere) for GEOINV.  No input is checked: outside +-90 degrees
// the result is meaningless but defined.
void GEOCEN::GEOPOS(double latitude, double height, double& geocentric_latitude, double& radius) {
    const double phi = latitude * DEGREE;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double prime_vertical = WGS84_A / std::sqrt(1.0 - WGS84_E2 * (s * s));
    const double p = (prime_vertical + height) * c;
    const double z = ((prime_vertical + height) - WGS84_E2 * prime_vertical) * s;
    radius = std::sqrt(z * z + p * p);

    // Near the poles asin(z/r) loses accuracy (its slope is unbounded at 1),
    // so the colatitude side is taken from acos(p/r) there.
    double psi = 0.0;
    if (std::fabs(z) > p) {
        psi = std::acos(p / radius);
        if (z < 0.0) psi = -psi;
    } else {
        psi = std::asin(z / radius);
    }
    geocentric_latitude = psi / DEGREE;

    const double delta = phi - psi;
    sin_delta_ = std::sin(delta);
    cos_delta_ = std::cos(delta);
}

// (north, down) in the local geocentric frame -> the local geodetic frame,
// rotated by the delta of the latest GEOPOS.  Before any GEOPOS both stored
// values are zero and the result is (0, 0).
void GEOCEN::GEOINV(double north, double down, double& north_geodetic, double& down_geodetic) const {
    north_geodetic = north * cos_delta_ + down * sin_delta_;
    down_geodetic = down * cos_delta_ - north * sin_delta_;
}

}  // namespace geometry
