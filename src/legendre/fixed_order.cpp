#include "legendre/fixed_order.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "legendre/constants.hpp"
#include "legendre/extended_range.hpp"

namespace legendre {

namespace {

struct Extended {
    double x = 0.0;
    std::int32_t e = 0;
};

// Binary exponent of a normal double: |v| lies in [2^k, 2^(k+1)).  Returns
// false for zero and subnormals, whose exponent field says nothing.
bool binary_exponent(double v, std::int64_t& k)
{
    const auto field = static_cast<std::int64_t>((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7ff);
    if (field == 0) return false;
    k = field - 1023;
    return true;
}

// True when |term| lies below half the spacing of doubles at |sum|, both
// extended-range numbers: then sum + term rounds back to sum.  With |sum| in
// [2^k, 2^(k+1)) the spacing is at least 2^(k-52) above 2^k and 2^(k-53)
// below it, so |term| < 2^(k-54) suffices.
bool below_half_ulp(double term, std::int32_t iterm, double sum, std::int32_t isum,
                    std::int32_t lg2rad)
{
    std::int64_t kt = 0;
    std::int64_t ks = 0;
    if (!binary_exponent(term, kt) || !binary_exponent(sum, ks)) return false;
    kt += std::int64_t{lg2rad} * iterm;
    ks += std::int64_t{lg2rad} * isum;
    return kt + 1 <= ks - (std::numeric_limits<double>::digits + 1);
}

// P^(-MU)_nu(x) = t^MU / MU! * sum over k >= 1 of a_k, the hypergeometric
// series in s = sin^2(THETA/2); F, IF hold MU!.  For the degrees this is
// called with (-1.5 < nu <= 0.5) the term ratio is at most s in magnitude.
Extended first_kind_series(double nu, double DMU, std::int32_t MU, double s, double t, double F,
                           std::int32_t IF, std::int32_t NTERM, SeriesEnd end, std::int32_t lg2rad)
{
    double V = 1.0;
    std::int32_t IV = 0;
    double a = 1.0;
    std::int32_t ia = 0;
    for (std::int32_t k = 2; k <= NTERM; ++k) {
        a = ((k - 1 + nu) * (k - 2 - nu)) * s * a / ((k - 1 + DMU) * (k - 1));
        XDADJ(a, ia);
        // An exactly zero term ends the series (whole degrees).
        if (a == 0.0) break;
        if (end == SeriesEnd::negligible_term && below_half_ulp(a, ia, V, IV, lg2rad)) break;
        XDSUM(V, IV, a, ia, V, IV);
    }
    if (MU > 0) {
        for (std::int32_t i = 0; i < MU; ++i) {
            V = t * V;
            XDADJ(V, IV);
        }
        V = V / F;
        IV = IV - IF;
        XDADJ(V, IV);
    }
    return {V, IV};
}

// Q^MU_nu(x) for MU = 0 or 1: the logarithmic series with digamma
// coefficients, summed over all NTERM terms.
Extended second_kind_series(double nu, double DMU, std::int32_t MU, double THETA, double s,
                            double t, std::int32_t NTERM, std::int32_t KPSI, std::int32_t NPSI)
{
    const double w = -std::log(t);
    const double psi1 = XDDIGAM(nu + 1, KPSI, NPSI);
    const double c = 1.0 / std::sin(THETA);
    double V = 0.0;
    std::int32_t IV = 0;
    double a = 1.0;
    std::int32_t ia = 0;
    for (std::int32_t k = 1; k <= NTERM; ++k) {
        if (k >= 2) {
            a = ((k - 1 + nu) * (k - 2 - nu)) * s * a / ((k - 1 + DMU) * (k - 1));
            XDADJ(a, ia);
        }
        const double psik = XDDIGAM(k, KPSI, NPSI);
        double z = 0.0;
        if (MU < 1) {
            z = (psik - psi1 + w) * a;
        } else {
            z = ((psik + (w - psi1)) * (nu + 1) * nu + (nu - k + 1) * (k + nu) / (2 * k)) * a;
        }
        XDSUM(V, IV, z, ia, V, IV);
    }
    if (MU >= 1) {
        V = -t * V;
        XDSUM(V, IV, -c, 0, V, IV);
    }
    return {V, IV};
}

}  // namespace

void XDFIXMU(double DNU1, double DNU2, std::int32_t MU, double THETA, std::int32_t ID,
             std::span<double> RES, std::span<std::int32_t> IRES, SeriesEnd end)
{
    const ExtendedRangeParameters& p = XDPARAMS();
    const std::int32_t NTERM = p.NBITM;
    const std::int32_t KPSI = NTERM / 10 + 1;
    const std::int32_t NPSI = 5 * KPSI;

    // The lowest degree of DNU1's residue class that the series serves:
    // -1.5 < nu0 <= -0.5 for the first kind, -0.5 <= nu0 < 0.5 for the second.
    double nu0 = std::fmod(DNU1, 1.0);
    if (nu0 >= 0.5) nu0 -= 1.0;
    if (ID != 2 && nu0 > -0.5) nu0 -= 1.0;

    double DMU = MU;
    double F = 1.0;
    std::int32_t IF = 0;
    for (std::int32_t i = 1; i <= MU; ++i) {
        F = i * F;
        XDADJ(F, IF);
    }

    const double x = std::cos(THETA);
    const double s = std::pow(std::sin(THETA / 2), 2.0);
    const double t = std::tan(THETA / 2);

    auto pass = [&](double nu) {
        return ID == 2 ? second_kind_series(nu, DMU, MU, THETA, s, t, NTERM, KPSI, NPSI)
                       : first_kind_series(nu, DMU, MU, s, t, F, IF, NTERM, end, p.LG2RAD);
    };
    double nu = nu0;
    Extended older = pass(nu);
    nu += 1.0;
    Extended newer = pass(nu);
    nu += 1.0;
    // Q climbs in the degree with the sign of its order reversed.
    if (ID == 2) DMU = -DMU;

    // Values arrive in increasing degree; the requested ones fill the slots.
    const std::size_t slots = std::min(RES.size(), IRES.size());
    std::size_t slot = 0;
    auto offer = [&](const Extended& v, double degree) {
        if (degree < DNU1 - 0.5) return false;
        if (slot < slots) {
            RES[slot] = v.x;
            IRES[slot] = v.e;
            ++slot;
        }
        return degree > DNU2 - 0.5 || slot >= slots;
    };
    if (offer(older, nu0) || offer(newer, nu0 + 1.0)) return;
    for (;;) {
        Extended v;
        const double rise = ((2 * nu - 1) / (DMU + nu)) * x * newer.x;
        const double fall = ((nu - 1 - DMU) / (DMU + nu)) * older.x;
        XDSUM(rise, newer.e, -fall, older.e, v.x, v.e);
        XDADJ(v.x, v.e);
        older = newer;
        newer = v;
        if (offer(v, nu)) return;
        nu += 1.0;
    }
}

double XDDIGAM(double X, std::int32_t KPSI, std::int32_t NPSI)
{
    const double shift = NPSI - std::trunc(X);
    const std::int32_t N = shift > 0.0 ? static_cast<std::int32_t>(shift) : 0;
    const double Y = X + N;
    const std::int32_t terms = std::min<std::int32_t>(KPSI - 1, detail::BNUM.size());
    double S = 0.0;
    for (std::int32_t k = terms; k >= 1; --k) {
        const auto i = static_cast<std::size_t>(k - 1);
        S = (detail::BNUM[i] / detail::BDEN[i] + S) / std::pow(Y, 2.0);
    }
    double psi = std::log(Y) - (0.5 / Y + S);
    if (N > 0) {
        double R = 0.0;
        for (std::int32_t i = 1; i <= N; ++i) R = R + 1.0 / (X + (N - i));
        psi = psi - R;
    }
    return psi;
}

}  // namespace legendre
