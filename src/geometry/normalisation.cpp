// Semi-normalisation of the Legendre functions of real degree (CAPNRM) and the
// log-gamma function it needs (LOGGAM).
#include <cmath>

#include "geometry/constants.hpp"
#include "geometry/geometry.hpp"

namespace geometry {

// ln Gamma(x) for x > 0, by the Lanczos approximation (gamma = 5, six terms);
// absolute error about 2e-10 over x > 0.  Not defined for x <= 0.
double LOGGAM(double x) {
    double t = x + constants::LANCZOS_SHIFT;
    t = (x + 0.5) * std::log(t) - t;
    double s = constants::LANCZOS_SERIES_START;
    double y = x;
    for (const double c : constants::LANCZOS_C) {
        y = y + 1.0;
        s = s + c / y;
    }
    return t + std::log(constants::LANCZOS_SQRT_2PI * s / x);
}

// S(n, m) = sqrt(2 Gamma(n-m+1) / Gamma(n+m+1)) for real degree n and integer
// order m, through logarithms so that large gamma values never overflow.
// Requires n - m + 1 > 0.
void CAPNRM(double n, std::int32_t m, double& log_s, double& s) {
    const double ln2 = std::log(2.0);
    log_s = 0.5 * (ln2 - LOGGAM(n + m + 1) + LOGGAM(n - m + 1));
    s = std::exp(log_s);
}

}  // namespace geometry
