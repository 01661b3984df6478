// One cap basis function and its derivatives at a point (CAPBAS), and the
// Legendre value it is built from (LEGPNM).
#include <array>
#include <cmath>

#include "geometry/constants.hpp"
#include "geometry/geometry.hpp"
#include "legendre/legendre.hpp"
#include "textio/textio.hpp"

namespace geometry {

// P_degree^m(cos theta), theta in radians (0 < theta <= pi/2), degree >= -1,
// m >= 0, with the factor (-1)^m.  A value outside the ordinary double range
// gets the console warning and is returned as its bare value part, without its
// binary exponent: the run carries on with it rather than stopping.  Invalid
// arguments are reported by the Legendre entry, which ends the run.
double LEGPNM(double degree, std::int32_t m, double theta) {
    std::array<double, 1> res{};
    std::array<std::int32_t, 1> ires{};
    legendre::XDLEGF(degree, 0, m, m, theta, constants::LEGENDRE_FIRST_KIND_POSITIVE_ORDER, res, ires);
    if (ires[0] != 0) textio::LSTWRITE(textio::CONSOLE, {"WARNING:TROUBLES IN COMPUTATION!"});
    return res[0];
}

namespace {

// The semi-normalised function of order m > 0: S(n, m) (-1)^m P_n^m, which
// removes the phase factor the Legendre entry carries.
double semi_normalised(double n, std::int32_t m, double p) {
    double log_s = 0.0;
    double s = 0.0;
    CAPNRM(n, m, log_s, s);
    const double phase = (m % 2 == 0) ? 1.0 : -1.0;
    return phase * s * p;
}

}  // namespace

// m: order >= 0; n: real degree with n > m (the normalisation of the degree
// n - 1 function needs n - m > 0); colatitude: cap colatitude, degrees,
// 0 < colatitude <= 90 (outside it the Legendre entry ends the run).
// p: P~_n^m, semi-normalised, without the (-1)^m phase (P~ = P_n for m = 0);
// dp_dtheta: dP~/dtheta per radian; m_p_over_sin: m P~ / sin theta, exactly 0
// for m = 0.  The derivative comes from the degree n - 1 function through
// sin theta dP~_n/dtheta = n cos theta P~_n - sqrt(n^2 - m^2) P~_(n-1),
// exact for real n with this normalisation.
void CAPBAS(std::int32_t m, double n, double colatitude,
            double& p, double& dp_dtheta, double& m_p_over_sin) {
    const double pi = std::acos(-1.0);
    const double theta = pi * colatitude / 180.0;

    p = LEGPNM(n, m, theta);
    if (m != 0) p = semi_normalised(n, m, p);
    const double n_below = n - 1.0;
    double q = LEGPNM(n_below, m, theta);
    if (m != 0) q = semi_normalised(n_below, m, q);

    const double f = (m == 0) ? n : std::sqrt(n * n - static_cast<double>(m * m));
    const double sin_theta = std::sin(theta);
    dp_dtheta = (n * std::cos(theta) * p - f * q) / sin_theta;
    m_p_over_sin = (m == 0) ? 0.0 : m * p / sin_theta;
}

}  // namespace geometry
