// The cap harmonic basis at a point and the field summed from it.
#include <array>
#include <cmath>

#include "run/constants.hpp"
#include "run/node_field.hpp"
#include "textio/textio.hpp"

namespace run {

NodeBasis evaluate_basis(const geometry::DegreeTable& NK, double latitude, double longitude)
{
    NodeBasis basis;
    basis.captrn.CAPSET(FLAT0, FLON0);

    // Keep every point off the cap pole's latitude and meridian: on the
    // meridian the frame angle of the error step would sit at exactly 0 or
    // 180 degrees, where a last-digit error leaves the domain of acos.
    basis.FLAT = latitude == 45.0 ? 45.001 : latitude;
    basis.FLON = longitude == 8.0 ? 8.001 : longitude;

    basis.geocen.GEOPOS(basis.FLAT, 0.0, basis.GCLAT, basis.RGEO);
    basis.captrn.CAPPOS(basis.GCLAT, basis.FLON, basis.CLAT, basis.CLON);

    const double a_over_r = REFRAD / basis.RGEO;
    const double cap_colatitude = 90.0 - basis.CLAT;        // degrees
    const double cap_longitude = basis.CLON * DTOR;        // radians

    // The constant basis function: degree 0, Legendre factor 1, vertical only.
    int NBAS = 1;
    basis.BZ[0] = -(a_over_r * a_over_r);
    basis.BX[0] = 0.0;
    basis.BY[0] = 0.0;

    // cos(m lambda) and sin(m lambda) by order m; those of order k are formed
    // when k is reached, the second ones by the angle-sum formulas.
    std::array<double, 3> C{1.0, 0.0, 0.0};
    std::array<double, 3> S{0.0, 0.0, 0.0};
    for (int k = 1; k <= 2; ++k) {
        if (k == 1) {
            C[1] = std::cos(cap_longitude);
            S[1] = std::sin(cap_longitude);
        } else {
            S[2] = C[1] * std::sin(cap_longitude) + S[1] * std::cos(cap_longitude);
            C[2] = C[1] * std::cos(cap_longitude) - S[1] * std::sin(cap_longitude);
        }
        for (int m = 0; m <= k; ++m) {
            const double n = NK[static_cast<std::size_t>(k)][static_cast<std::size_t>(m)];
            double p = 0.0, dp = 0.0, mp = 0.0;
            geometry::CAPBAS(m, n, cap_colatitude, p, dp, mp);
            const double F = std::pow(a_over_r, n + 2.0);
            if (m == 0) {
                NBAS += 1;
                const std::size_t j = static_cast<std::size_t>(NBAS - 1);
                basis.BZ[j] = -((n + 1.0) * F * p);
                basis.BX[j] = F * dp;
                basis.BY[j] = 0.0;
            } else {
                NBAS += 2;
                const std::size_t j = static_cast<std::size_t>(NBAS - 1);
                const double Cm = C[static_cast<std::size_t>(m)];
                const double Sm = S[static_cast<std::size_t>(m)];
                const double c = -((n + 1.0) * F * p);
                basis.BZ[j - 1] = c * Cm;
                basis.BZ[j] = c * Sm;
                basis.BX[j - 1] = F * dp * Cm;
                basis.BX[j] = F * dp * Sm;
                basis.BY[j - 1] = F * mp * Sm;
                basis.BY[j] = -(F * mp * Cm);
            }
        }
    }

    // One basis term per coefficient of a record, or the sums would pair
    // coefficients with the wrong functions.
    if (NBAS != NBASIS) textio::STOPCODE("150", 150);
    set_variance_rotations(basis);
    return basis;
}

GeodeticField synthesize_field(const NodeBasis& basis, const CoefficientRecord& COEF)
{
    double Xc = 0.0, Yc = 0.0, Zc = 0.0;
    for (std::size_t j = 0; j < NBASIS; ++j) {
        Xc += COEF[j] * basis.BX[j];
        Yc += COEF[j] * basis.BY[j];
        Zc += COEF[j] * basis.BZ[j];
    }
    double Xg = 0.0, Yg = 0.0;
    basis.captrn.CAPINV(Xc, Yc, Xg, Yg);
    GeodeticField field;
    basis.geocen.GEOINV(Xg, Zc, field.X, field.Z);
    field.Y = Yg;   // the east component is the same in both frames
    return field;
}

}  // namespace run
