// Geometry and cap basis: the geodetic and cap frames, the table of real
// degrees of the nine basis functions, and the basis functions themselves.
#pragma once

#include <array>
#include <cstdint>

namespace geometry {

// Geodetic <-> geocentric conversion on the WGS84 ellipsoid.  One object is one
// saved state: GEOPOS records the deflection of the vertical of its point and
// GEOINV applies the latest recorded deflection.  Copying the object keeps the
// recorded rotation.
class GEOCEN {
public:
    // Geodetic latitude (degrees) and height above the ellipsoid (km) in;
    // geocentric latitude (degrees) and radius (km) out.  Records sin and cos
    // of delta = geodetic minus geocentric latitude.
    void GEOPOS(double latitude, double height, double& geocentric_latitude, double& radius);
    // (north, down) components in the local geocentric frame in, the same
    // vector in the local geodetic frame out, by the latest recorded angle.
    void GEOINV(double north, double down, double& north_geodetic, double& down_geodetic) const;

    double sin_delta() const { return sin_delta_; }
    double cos_delta() const { return cos_delta_; }

private:
    double sin_delta_ = 0.0;
    double cos_delta_ = 0.0;
};

// Geographic <-> cap frame conversion about a cap pole.  One object is one
// saved state: the pole (CAPSET) and the rotation recorded by the latest
// CAPPOS, which CAPINV applies.  Initially the pole is the North Pole and the
// rotation the identity.
class CAPTRN {
public:
    // Pole latitude and longitude, degrees.
    void CAPSET(double pole_latitude, double pole_longitude);
    // Geocentric latitude and longitude (degrees) in; cap latitude (degrees,
    // 90 at the cap pole) and cap longitude (degrees, in [-180, 180)) out.
    void CAPPOS(double latitude, double longitude, double& cap_latitude, double& cap_longitude);
    // (north, east) components in the local cap frame in (north towards the
    // cap pole), the same vector in the local geographic frame out.
    void CAPINV(double north_cap, double east_cap, double& north, double& east) const;

    double cos_rho() const { return cos_rho_; }
    double sin_rho() const { return sin_rho_; }

private:
    double pole_latitude_ = 90.0;
    double pole_longitude_ = 0.0;
    double sin_pole_ = 0.0;
    double cos_pole_ = 0.0;
    double cos_rho_ = 1.0;
    double sin_rho_ = 0.0;
};

// The 3 x 3 table of real degrees n_k(m), indexed NK[k][m].
using DegreeTable = std::array<std::array<double, 3>, 3>;

// Fills the degree table of the nine basis functions (all nine entries).
void CAPTAB(DegreeTable& NK);

// One basis function of order m and real degree n at cap colatitude
// `colatitude` (degrees, 0 < colatitude <= 90): the semi-normalised P~_n^m,
// its derivative dP~/dtheta (per radian) and m P~ / sin theta (0 for m = 0).
void CAPBAS(std::int32_t m, double n, double colatitude,
            double& p, double& dp_dtheta, double& m_p_over_sin);

// P_n^m(cos theta) of real degree through the Legendre entry (with the factor
// (-1)^m); theta in radians.  Writes the console warning
// "WARNING:TROUBLES IN COMPUTATION!" when the value is out of ordinary range
// and returns the bare value part.
double LEGPNM(double degree, std::int32_t m, double theta);

// The semi-normalisation factor S(n, m) = sqrt(2 Gamma(n-m+1) / Gamma(n+m+1))
// and its natural logarithm.
void CAPNRM(double n, std::int32_t m, double& log_s, double& s);

// ln Gamma(x) for x > 0 (Lanczos approximation).
double LOGGAM(double x);

}  // namespace geometry
