#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "legendre/extended_range.hpp"
#include "legendre/variants.hpp"

namespace legendre {

void XDPNORML(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2,
              std::span<double> RES, std::span<std::int32_t> IRES)
{
    const auto slots = static_cast<std::int64_t>(std::min(RES.size(), IRES.size()));
    const std::int64_t N = std::min(
        static_cast<std::int64_t>(std::trunc(DNU2 - DNU1 + 1.5 + (MU2 - MU1))), slots);
    const bool order_run = MU2 > MU1;
    double nu = DNU1;
    const std::int64_t mu = MU1;
    double m = MU1;
    std::int64_t J = 1;

    // Orders above the degree: the function vanishes.
    while (nu < m) {
        RES[static_cast<std::size_t>(J - 1)] = 0.0;
        IRES[static_cast<std::size_t>(J - 1)] = 0;
        ++J;
        if (J > N) return;
        if (order_run) {
            m += 1.0;
        } else if (DNU2 - DNU1 > 0.5) {
            nu += 1.0;
        }
    }

    // G * 2^IG = sqrt((nu + mu)! / (nu - mu)!).
    double G = 1.0;
    std::int32_t IG = 0;
    for (std::int64_t i = 1; i <= 2 * mu; ++i) {
        G = std::sqrt(nu + m + 1 - static_cast<double>(i)) * G;
        XDADJ(G, IG);
    }

    for (std::int64_t I = J; I <= N; ++I) {
        const auto k = static_cast<std::size_t>(I - 1);
        RES[k] = (std::sqrt(nu + 0.5) * G) * RES[k];
        IRES[k] = IRES[k] + IG;
        XDADJ(RES[k], IRES[k]);
        if (order_run) {
            if (nu > m) {
                G = std::sqrt(nu - m) * (std::sqrt(nu + m + 1) * G);
                XDADJ(G, IG);
            } else {
                // Every higher order exceeds the degree.
                G = 0.0;
                IG = 0;
            }
            m += 1.0;
        } else {
            G = (std::sqrt(nu + m + 1) * G) / std::sqrt(nu - m + 1);
            XDADJ(G, IG);
            nu += 1.0;
        }
    }
}

}  // namespace legendre
