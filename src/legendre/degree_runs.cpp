#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "legendre/extended_range.hpp"
#include "legendre/fixed_order.hpp"
#include "legendre/variants.hpp"

namespace legendre {

void XDQNURNG(double DNU1, double DNU2, std::int32_t MU1, double THETA, double x, double c,
              std::int32_t ID, std::span<double> RES, std::span<std::int32_t> IRES)
{
    const auto slots = static_cast<std::int64_t>(std::min(RES.size(), IRES.size()));
    std::int64_t K = 1;
    double q0_top = 0.0;
    std::int32_t iq0_top = 0;
    double q0_below = 0.0;
    std::int32_t iq0_below = 0;

    // The starting orders travel in a scratch variable, never in MU1.
    std::int32_t order = 0;
    if (MU1 != 1) {
        XDFIXMU(DNU1, DNU2, order, THETA, ID, RES, IRES);
        if (MU1 == 0) return;
        K = std::clamp(static_cast<std::int64_t>(std::trunc(DNU2 - DNU1 + 1.5)), std::int64_t{1},
                       slots);
        q0_top = RES[K - 1];
        iq0_top = IRES[K - 1];
        if (K >= 2) {
            q0_below = RES[K - 2];
            iq0_below = IRES[K - 2];
        }
    }
    order = 1;
    XDFIXMU(DNU1, DNU2, order, THETA, ID, RES, IRES);
    if (MU1 == 1) return;
    double q1_top = RES[K - 1];
    std::int32_t iq1_top = IRES[K - 1];
    double q1_below = K >= 2 ? RES[K - 2] : 0.0;
    std::int32_t iq1_below = K >= 2 ? IRES[K - 2] : 0;

    // The two top degrees: raise the order from 1 to MU1.
    for (std::int32_t mu = 1; mu < MU1; ++mu) {
        raise_q_order(DNU2, mu, x, c, q0_top, iq0_top, q1_top, iq1_top);
    }
    RES[K - 1] = q1_top;
    IRES[K - 1] = iq1_top;
    if (K == 1) return;
    const double below = DNU2 - 1;
    for (std::int32_t mu = 1; mu < MU1; ++mu) {
        raise_q_order(below, mu, x, c, q0_below, iq0_below, q1_below, iq1_below);
    }
    RES[K - 2] = q1_below;
    IRES[K - 2] = iq1_below;
    if (K - 1 == 1) return;

    // Downward in the degree:
    // Q_(nu-1) = ((2 nu + 1) x Q_nu - (nu - m + 1) Q_(nu+1)) / (nu + m).
    // The steps are counted by the entries left to fill: when DNU1 + NUDIFF
    // is not exact, a test of nu against DNU1 could take one step too many.
    const double m = MU1;
    double nu = below;
    for (std::int64_t j = K - 3; j >= 0; --j) {
        const auto i = static_cast<std::size_t>(j);
        const double rise = ((2 * nu + 1) * x * RES[i + 1]) / (nu + m);
        const double fall = -(((nu - m + 1) * RES[i + 2]) / (nu + m));
        XDSUM(rise, IRES[i + 1], fall, IRES[i + 2], RES[i], IRES[i]);
        XDADJ(RES[i], IRES[i]);
        nu -= 1.0;
    }
}

}  // namespace legendre
