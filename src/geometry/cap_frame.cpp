// Geographic <-> cap frame conversion about the cap pole (CAPTRN).
#include <cmath>

#include "geometry/constants.hpp"
#include "geometry/geometry.hpp"

namespace geometry {

using constants::DEGREE;
using constants::PI;

namespace {

// Brings a longitude difference (degrees) once into [-180, 180); exact for
// differences of less than 540 degrees.
double wrap_once(double longitude) {
    if (longitude >= 180.0) longitude -= 360.0;
    if (longitude < -180.0) longitude += 360.0;
    return longitude;
}

}  // namespace

// Pole latitude and longitude, degrees.  A pole on a geographic pole fixes the
// rotation for good (CAPPOS leaves it alone there): identity for the North
// Pole, a half turn for the South Pole.  Any other pole keeps the rotation of
// the latest CAPPOS until the next one.
void CAPTRN::CAPSET(double pole_latitude, double pole_longitude) {
    pole_latitude_ = pole_latitude;
    pole_longitude_ = pole_longitude;
    sin_pole_ = std::sin(pole_latitude * DEGREE);
    cos_pole_ = std::cos(pole_latitude * DEGREE);
    if (pole_latitude >= 90.0) {
        cos_rho_ = 1.0;
        sin_rho_ = 0.0;
    }
    if (pole_latitude <= -90.0) {
        cos_rho_ = -1.0;
        sin_rho_ = 0.0;
    }
}

// latitude: geocentric, degrees; longitude: degrees east.
// cap_latitude: degrees, 90 at the cap pole; cap_longitude: degrees in
// [-180, 180), 0 on the arc from the cap pole towards the geographic South
// Pole, growing eastwards.  Records rho (minus the azimuth of the cap pole
// seen from the point) for CAPINV, except for a pole on a geographic pole.
// Every degenerate geometry (point on a geographic pole, point on the cap pole
// or its antipode) has its own result, so no division by zero occurs.
void CAPTRN::CAPPOS(double latitude, double longitude, double& cap_latitude, double& cap_longitude) {
    const double d = longitude - pole_longitude_;
    if (pole_latitude_ >= 90.0) {
        cap_latitude = latitude;
        cap_longitude = wrap_once(d);
        return;
    }
    if (pole_latitude_ <= -90.0) {
        cap_latitude = -latitude;
        cap_longitude = wrap_once(180.0 - d);
        return;
    }

    const double dr = d * DEGREE;
    const auto at_north_pole = [&] {
        cap_latitude = pole_latitude_;
        cap_longitude = -180.0;
        cos_rho_ = std::cos(PI - dr);
        sin_rho_ = std::sin(PI - dr);
    };
    const auto at_south_pole = [&] {
        cap_latitude = -pole_latitude_;
        cap_longitude = 0.0;
        cos_rho_ = std::cos(dr);
        sin_rho_ = std::sin(dr);
    };
    const auto at_cap_pole = [&] {
        cap_latitude = 90.0;
        cap_longitude = 0.0;
        cos_rho_ = 1.0;
        sin_rho_ = 0.0;
    };
    const auto at_antipode = [&] {
        cap_latitude = -90.0;
        cap_longitude = 0.0;
        cos_rho_ = -1.0;
        sin_rho_ = 0.0;
    };

    if (latitude >= 90.0) return at_north_pole();
    if (latitude <= -90.0) return at_south_pole();
    const double sl = std::sin(latitude * DEGREE);
    const double cl = std::cos(latitude * DEGREE);
    if (cl == 0.0) return sl > 0.0 ? at_north_pole() : at_south_pole();

    // Cosine of the angular distance from the cap pole; rounding can carry it
    // just past +-1, where asin is undefined.
    const double x = cl * cos_pole_ * std::cos(dr) + sl * sin_pole_;
    if (x >= 1.0) return at_cap_pole();
    if (x <= -1.0) return at_antipode();
    const double a = std::asin(x);
    cap_latitude = a / DEGREE;
    const double cx = std::cos(a);
    if (cx == 0.0) return x > 0.0 ? at_cap_pole() : at_antipode();

    // t is the sine of the cap longitude.  sl against y = sin(pole) x tells on
    // which side of the cap pole the point lies: towards the geographic North
    // Pole the cap longitude is the supplement of the principal arcsine.
    const double y = sin_pole_ * x;
    const double sd = std::sin(dr);
    double t = 0.0;
    if (sl == y) {
        if (sd > 0.0) {
            cap_longitude = 90.0;
            t = 1.0;
        } else {
            cap_longitude = -90.0;
            t = -1.0;
        }
    } else {
        t = cl * sd / cx;
        if (t <= -1.0) {
            cap_longitude = -90.0;
            t = -1.0;
        } else if (t >= 1.0) {
            cap_longitude = 90.0;
            t = 1.0;
        } else if (sl >= y) {
            cap_longitude = 180.0 - std::asin(t) / DEGREE;
            if (cap_longitude >= 180.0) cap_longitude -= 360.0;
        } else {
            cap_longitude = std::asin(t) / DEGREE;
        }
    }

    cos_rho_ = (sin_pole_ - sl * x) / cl / cx;
    sin_rho_ = t * cos_pole_ / cl;
}

// (north towards the cap pole, east) in the local cap frame -> (north, east)
// in the local geographic frame, by the rotation recorded last.
void CAPTRN::CAPINV(double north_cap, double east_cap, double& north, double& east) const {
    north = north_cap * cos_rho_ + east_cap * sin_rho_;
    east = east_cap * cos_rho_ - north_cap * sin_rho_;
}

}  // namespace geometry
