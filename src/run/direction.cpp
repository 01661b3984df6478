// Declination, inclination and their errors at a point, the errors propagated
// to first order from the coefficient errors, treated as independent.
#include <cmath>

#include "run/constants.hpp"
#include "run/node_field.hpp"

namespace run {

namespace {

// Radians to degrees as the report's angles are formed: times 180, then
// divided by the 15-digit PI.
double to_degrees(double radians) { return radians * 180.0 / PI; }

}  // namespace

void set_variance_rotations(NodeBasis& basis)
{
    // Angle between the cap frame and the geographic frame, by the spherical
    // law of cosines in the triangle point - geographic pole - cap pole.  Only
    // its squared cosine and sine enter, so its sign does not matter.
    const double theta_g = (90.0 - basis.GCLAT) * DTOR;
    const double theta_k = (90.0 - basis.CLAT) * DTOR;
    const double cos_alpha = (std::cos(POLE_COLATITUDE * DTOR) - std::cos(theta_k) * std::cos(theta_g))
                             / (std::sin(theta_k) * std::sin(theta_g));
    const double alpha = std::acos(cos_alpha);
    basis.cos2_alpha = std::cos(alpha) * std::cos(alpha);
    basis.sin2_alpha = std::sin(alpha) * std::sin(alpha);

    // Deflection of the vertical at height 0, in closed form from the geodetic
    // colatitude: the same angle the geodetic conversion applies to the field.
    const double theta = (90.0 - basis.FLAT) * DTOR;
    const double st = std::sin(theta);
    const double ct = std::cos(theta);
    const double st2 = st * st;
    const double ct2 = ct * ct;
    const double rho2 = WGS84_A2 * st2 + WGS84_B2 * ct2;
    const double rho = std::sqrt(rho2);
    const double r_prime = std::sqrt((WGS84_A2 * WGS84_A2 * st2 + WGS84_B2 * WGS84_B2 * ct2) / rho2);
    basis.cd = rho / r_prime;
    basis.sd = (WGS84_A2 - WGS84_B2) * st * ct / (rho * r_prime);
}

NodeResult direction_and_errors(const NodeBasis& basis, const CoefficientRecord& COEF,
                                const GeodeticField& field)
{
    // Variances in the cap frame, from the same basis values as the field.
    double VXc = 0.0, VYc = 0.0, VZc = 0.0;
    for (std::size_t j = 0; j < NBASIS; ++j) {
        const double e = COEF[NBASIS + j];
        const double e2 = e * e;
        VXc += e2 * (basis.BX[j] * basis.BX[j]);
        VYc += e2 * (basis.BY[j] * basis.BY[j]);
        VZc += e2 * (basis.BZ[j] * basis.BZ[j]);
    }

    // Carried through the cap rotation and then the deflection of the vertical.
    const double c2 = basis.cos2_alpha, s2 = basis.sin2_alpha;
    const double VXg = c2 * VXc + s2 * VYc;
    const double VYg = s2 * VXc + c2 * VYc;
    const double VZg = VZc;
    const double cd = basis.cd, sd = basis.sd;
    const double VX = cd * cd * VXg + sd * sd * VZg;
    const double VZ = sd * sd * VXg + cd * cd * VZg;
    const double VY = VYg;

    const double X = field.X, Y = field.Y, Z = field.Z;
    NodeResult result;
    result.X = X;
    result.Y = Y;
    result.Z = Z;

    // The one-argument arctangent: the declination stays in (-90, 90) and does
    // not change when X and Y change sign together.
    result.DEC = to_degrees(std::atan(Y / X));
    const double H2 = Y * Y + X * X;
    const double H = std::sqrt(H2);
    result.INC = -to_degrees(std::atan(Z / H));

    result.EDEC = to_degrees(std::sqrt(X * X * VY + Y * Y * VX) / H2);
    const double VH = (Y * Y * VY + X * X * VX) / H2;
    const double F2 = Z * Z + H2;
    result.EINC = to_degrees(std::sqrt(Z * Z * VH + VZ * H2) / F2);
    return result;
}

NodeResult evaluate_field(const NodeBasis& basis, const CoefficientRecord& COEF)
{
    return direction_and_errors(basis, COEF, synthesize_field(basis, COEF));
}

}  // namespace run
