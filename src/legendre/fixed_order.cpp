#include "legendre/fixed_order.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "legendre/constants.hpp"
#include "legendre/extended_range.hpp"

namespace legendre {

namespace {

struct Extended {
    double x = 0.0;
    std::int32_t e = 0;
};

// The result slots of one call: values arrive in increasing degree, and the
// requested degrees DNU1..DNU2 fill the slots in turn.
class Slots {
public:
    Slots(double DNU1, double DNU2, std::span<double> RES, std::span<std::int32_t> IRES)
        : first_(DNU1 - 0.5), last_(DNU2 - 0.5), res_(RES), ires_(IRES),
          size_(std::min(RES.size(), IRES.size()))
    {
    }

    // Stores a value of the given degree if it was requested; true once the
    // last requested degree (or the last slot) is filled.
    bool offer(double value, std::int32_t exponent, double degree)
    {
        if (degree < first_) return false;
        if (next_ < size_) {
            res_[next_] = value;
            ires_[next_] = exponent;
            ++next_;
        }
        return degree > last_ || next_ >= size_;
    }

private:
    double first_;
    double last_;
    std::span<double> res_;
    std::span<std::int32_t> ires_;
    std::size_t size_;
    std::size_t next_ = 0;
};

// The per-call quantities of the first kind.
struct FirstKind {
    double nu0;          // degree of the first pass
    double DMU;          // the order as a double
    std::int32_t MU;
    double F;            // MU! (with exponent IF)
    std::int32_t IF;
    double x, s, t;      // cos THETA, sin^2(THETA/2), tan(THETA/2)
    std::int32_t NTERM;  // series length
    double RADL;         // half-width of the normalised band
};

// True when XDADJ leaves (v, 0) exactly as it is.
bool in_band(double v, double RADL)
{
    const double m = std::abs(v);
    return m < 1.0 ? RADL * m >= 1.0 : m < RADL;
}

// The first kind in ordinary doubles (Evaluation::quick): both series, the
// factor t^MU / MU! and the degree ladder, operation for operation as the
// extended-range evaluation forms them.  Returns false as soon as a value
// leaves the band; the slots filled so far are then filled again.
bool first_kind_in_band(const FirstKind& k, Slots& slots)
{
    if (k.IF != 0) return false;
    // The two passes are independent; run side by side, their division
    // chains overlap.
    std::array<double, 2> nu = {k.nu0, k.nu0 + 1.0};
    std::array<double, 2> V = {1.0, 1.0};
    std::array<double, 2> a = {1.0, 1.0};
    std::array<bool, 2> open = {true, true};
    for (std::int32_t j = 2; j <= k.NTERM && (open[0] || open[1]); ++j) {
        const double q = (j - 1 + k.DMU) * (j - 1);
        for (std::size_t p = 0; p < 2; ++p) {
            if (!open[p]) continue;
            a[p] = ((j - 1 + nu[p]) * (j - 2 - nu[p])) * k.s * a[p] / q;
            if (a[p] == 0.0) {
                open[p] = false;
                continue;
            }
            if (!in_band(a[p], k.RADL)) return false;
            // Below half a unit in the last place of V (2^-54 |V| is exact).
            if (std::abs(a[p]) < std::abs(V[p]) * 0x1p-54) {
                open[p] = false;
                continue;
            }
            V[p] += a[p];
            if (!in_band(V[p], k.RADL)) return false;
        }
    }
    for (std::size_t p = 0; p < 2; ++p) {
        if (k.MU > 0) {
            for (std::int32_t i = 0; i < k.MU; ++i) {
                V[p] = k.t * V[p];
                if (!in_band(V[p], k.RADL)) return false;
            }
            V[p] = V[p] / k.F;
            if (!in_band(V[p], k.RADL)) return false;
        }
    }

    double older = V[0];
    double newer = V[1];
    if (slots.offer(older, 0, nu[0]) || slots.offer(newer, 0, nu[1])) return true;
    for (double degree = nu[1] + 1.0;; degree += 1.0) {
        const double rise = ((2 * degree - 1) / (k.DMU + degree)) * k.x * newer;
        const double fall = ((degree - 1 - k.DMU) / (k.DMU + degree)) * older;
        const double v = rise + -fall;
        if (!in_band(v, k.RADL)) return false;
        older = newer;
        newer = v;
        if (slots.offer(v, 0, degree)) return true;
    }
}

// P^(-MU)_nu(x) = t^MU / MU! * sum over k >= 1 of a_k, the hypergeometric
// series in s = sin^2(THETA/2), in extended range over all its terms.
Extended first_kind_series(double nu, const FirstKind& k)
{
    double V = 1.0;
    std::int32_t IV = 0;
    double a = 1.0;
    std::int32_t ia = 0;
    for (std::int32_t j = 2; j <= k.NTERM; ++j) {
        a = ((j - 1 + nu) * (j - 2 - nu)) * k.s * a / ((j - 1 + k.DMU) * (j - 1));
        XDADJ(a, ia);
        // An exactly zero term ends the series (whole degrees).
        if (a == 0.0) break;
        XDSUM(V, IV, a, ia, V, IV);
    }
    if (k.MU > 0) {
        // tan(THETA/2) itself as an extended-range pair: below the band (tiny
        // colatitudes) the product with V would underflow to zero before it
        // could be normalised.  Inside the band the pair is (t, 0) and the
        // products are the plain ones.
        double tx = k.t;
        std::int32_t te = 0;
        XDADJ(tx, te);
        for (std::int32_t i = 0; i < k.MU; ++i) {
            V = tx * V;
            IV = IV + te;
            XDADJ(V, IV);
        }
        V = V / k.F;
        IV = IV - k.IF;
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
        // As for the first kind, a tangent below the band enters as an
        // extended-range pair so that the product cannot underflow.
        double tx = t;
        std::int32_t te = 0;
        XDADJ(tx, te);
        if (te == 0) {
            V = -t * V;
        } else {
            V = -tx * V;
            IV = IV + te;
            XDADJ(V, IV);
        }
        XDSUM(V, IV, -c, 0, V, IV);
    }
    return {V, IV};
}

}  // namespace

void XDFIXMU(double DNU1, double DNU2, std::int32_t MU, double THETA, std::int32_t ID,
             std::span<double> RES, std::span<std::int32_t> IRES, Evaluation evaluation)
{
    const ExtendedRangeParameters& params = XDPARAMS();
    const std::int32_t NTERM = params.NBITM;
    const std::int32_t KPSI = NTERM / 10 + 1;
    const std::int32_t NPSI = 5 * KPSI;

    // The lowest degree of DNU1's residue class that the series serves:
    // -1.5 < nu0 <= -0.5 for the first kind, -0.5 <= nu0 < 0.5 for the second.
    double nu0 = remainder_of_one(DNU1);
    if (nu0 >= 0.5) nu0 -= 1.0;
    if (ID != 2 && nu0 > -0.5) nu0 -= 1.0;

    FirstKind k{nu0, static_cast<double>(MU), MU, 1.0, 0, 0.0, 0.0, 0.0, NTERM, params.RADL};
    for (std::int32_t i = 1; i <= MU; ++i) {
        k.F = i * k.F;
        XDADJ(k.F, k.IF);
    }
    k.x = std::cos(THETA);
    k.s = std::pow(std::sin(THETA / 2), 2.0);
    k.t = std::tan(THETA / 2);

    if (ID != 2 && evaluation == Evaluation::quick) {
        Slots quick(DNU1, DNU2, RES, IRES);
        if (first_kind_in_band(k, quick)) return;
    }

    double nu = nu0;
    auto pass = [&](double degree) {
        return ID == 2 ? second_kind_series(degree, k.DMU, MU, THETA, k.s, k.t, NTERM, KPSI, NPSI)
                       : first_kind_series(degree, k);
    };
    Extended older = pass(nu);
    nu += 1.0;
    Extended newer = pass(nu);
    nu += 1.0;
    // Q climbs in the degree with the sign of its order reversed.
    if (ID == 2) k.DMU = -k.DMU;

    Slots slots(DNU1, DNU2, RES, IRES);
    if (slots.offer(older.x, older.e, nu0) || slots.offer(newer.x, newer.e, nu0 + 1.0)) return;
    for (;;) {
        Extended v;
        const double rise = ((2 * nu - 1) / (k.DMU + nu)) * k.x * newer.x;
        const double fall = ((nu - 1 - k.DMU) / (k.DMU + nu)) * older.x;
        XDSUM(rise, newer.e, -fall, older.e, v.x, v.e);
        XDADJ(v.x, v.e);
        older = newer;
        newer = v;
        if (slots.offer(v.x, v.e, nu)) return;
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
