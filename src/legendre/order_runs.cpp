#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "legendre/extended_range.hpp"
#include "legendre/fixed_order.hpp"
#include "legendre/variants.hpp"

namespace legendre {

void XDPMURNG(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2, double THETA,
              double x, double c, std::int32_t ID, std::span<double> RES,
              std::span<std::int32_t> IRES, Evaluation evaluation)
{
    XDFIXMU(DNU1, DNU2, MU2, THETA, ID, RES, IRES, evaluation);
    const double top = RES[0];
    const std::int32_t itop = IRES[0];
    XDFIXMU(DNU1, DNU2, MU2 - 1, THETA, ID, RES, IRES, evaluation);
    const double below = RES[0];
    const std::int32_t ibelow = IRES[0];

    const std::int64_t slots = static_cast<std::int64_t>(std::min(RES.size(), IRES.size()));
    const std::int64_t N = std::min(std::int64_t{MU2} - MU1 + 1, slots);
    RES[N - 1] = top;
    IRES[N - 1] = itop;
    if (N == 1) return;
    RES[N - 2] = below;
    IRES[N - 2] = ibelow;
    if (N == 2) return;

    // Downward in the order: P^(-(mu-1)) = 2 mu x c P^(-mu)
    //                                      - (nu + mu + 1)(nu - mu) P^(-(mu+1)).
    double mu = MU2 - 1;
    for (std::int64_t j = N - 3; j >= 0; --j) {
        const auto i = static_cast<std::size_t>(j);
        const double rise = RES[i + 1] * mu * c * x * 2;
        const double fall = -((mu + DNU1 + 1) * RES[i + 2] * (DNU1 - mu));
        XDSUM(rise, IRES[i + 1], fall, IRES[i + 2], RES[i], IRES[i]);
        XDADJ(RES[i], IRES[i]);
        mu -= 1.0;
    }
}

void raise_q_order(double nu, std::int32_t mu, double x, double c, double& Q0,
                   std::int32_t& IQ0, double& Q1, std::int32_t& IQ1)
{
    const double m = mu;
    const double rise = -(c * x * m * Q1 * 2);
    const double fall = -((nu - m + 1) * (m + nu) * Q0);
    double Q2 = 0.0;
    std::int32_t IQ2 = 0;
    XDSUM(rise, IQ1, fall, IQ0, Q2, IQ2);
    XDADJ(Q2, IQ2);
    Q0 = Q1;
    IQ0 = IQ1;
    Q1 = Q2;
    IQ1 = IQ2;
}

void XDQMURNG(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2, double THETA,
              double x, double c, std::int32_t ID, std::span<double> RES,
              std::span<std::int32_t> IRES)
{
    // The starting orders travel in a scratch variable, never in MU1 or MU2.
    std::int32_t order = 0;
    XDFIXMU(DNU1, DNU2, order, THETA, ID, RES, IRES);
    double Q0 = RES[0];
    std::int32_t IQ0 = IRES[0];
    order = 1;
    XDFIXMU(DNU1, DNU2, order, THETA, ID, RES, IRES);
    double Q1 = RES[0];
    std::int32_t IQ1 = IRES[0];

    const std::size_t slots = std::min(RES.size(), IRES.size());
    std::size_t k = 0;
    auto store = [&](double v, std::int32_t iv) {
        if (k < slots) {
            RES[k] = v;
            IRES[k] = iv;
            ++k;
        }
    };
    if (MU1 <= 0) {
        store(Q0, IQ0);
        if (MU2 < 1) return;
    }
    if (MU1 <= 1) {
        store(Q1, IQ1);
        if (MU2 <= 1) return;
    }
    for (std::int32_t mu = 1;;) {
        raise_q_order(DNU1, mu, x, c, Q0, IQ0, Q1, IQ1);
        ++mu;
        if (mu >= MU1) store(Q1, IQ1);
        if (mu >= MU2) return;
    }
}

}  // namespace legendre
