#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "errors/errors.hpp"
#include "legendre/constants.hpp"
#include "legendre/extended_range.hpp"
#include "legendre/fixed_order.hpp"
#include "legendre/legendre.hpp"
#include "legendre/variants.hpp"
#include "textio/textio.hpp"

namespace legendre {

namespace {

void report_invalid()
{
    errors::XERROR(detail::MSG_XDLEGF_INVALID, static_cast<int>(detail::MSG_XDLEGF_INVALID.size()),
                   1, detail::LEVEL_RECOVERABLE);
}

bool is_whole(double degree)
{
    return remainder_of_one(degree) == 0.0;
}

// The first kind is symmetric under nu -> -nu - 1, so whole degree -1 has the
// values of degree 0; every other degree handled here is its own.
double first_kind_degree(double degree)
{
    return degree < 0.0 ? -degree - 1.0 : degree;
}

}  // namespace

void XDFLIPMU(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2,
              std::span<double> RES, std::span<std::int32_t> IRES)
{
    // Order 0 throughout: P^0 = P^-0 and nothing changes.  (The factor's
    // degree step below would divide 0 by 0 on leaving degree -1.)
    if (MU2 == 0) return;

    const auto slots = static_cast<std::int64_t>(std::min(RES.size(), IRES.size()));
    const std::int64_t N = std::min(
        static_cast<std::int64_t>(std::trunc(DNU2 - DNU1 + detail::ENTRY_COUNT_SLACK)) +
            (std::int64_t{MU2} - MU1) + 1,
        slots);
    double nu = DNU1;
    const std::int64_t mu_first = MU1;
    double m = MU1;
    std::int64_t J = 1;

    // A whole degree below the order gives 0.  In an order run the order
    // stays MU1 here, so every entry is zeroed; in a degree run the leading
    // entries up to degree MU1 - 1 are.
    if (is_whole(nu)) {
        while (first_kind_degree(nu) + 1 <= m) {
            RES[static_cast<std::size_t>(J - 1)] = 0.0;
            IRES[static_cast<std::size_t>(J - 1)] = 0;
            ++J;
            if (J > N) return;
            if (DNU2 - DNU1 > 0.5) nu += 1.0;
        }
    }

    // F * 2^IF = Gamma(nu + mu + 1) / Gamma(nu - mu + 1).
    double F = 1.0;
    std::int32_t IF = 0;
    for (std::int64_t i = 1; i <= 2 * mu_first; ++i) {
        F = (m - nu - static_cast<double>(i)) * F;
        XDADJ(F, IF);
    }

    std::int64_t mu = mu_first;
    for (std::int64_t I = J; I <= N; ++I) {
        const auto k = static_cast<std::size_t>(I - 1);
        if (mu != 0) {
            const double sign = (mu % 2 == 0) ? 1.0 : -1.0;
            RES[k] = (sign * RES[k]) * F;
            IRES[k] = IRES[k] + IF;
            XDADJ(RES[k], IRES[k]);
        }
        if (DNU2 - DNU1 <= 0.5) {
            // Next order; at a whole degree the factor becomes exactly 0 once
            // the order passes the degree.
            F = ((-m - nu - 1) * (m - nu)) * F;
            XDADJ(F, IF);
            ++mu;
            m += 1.0;
        } else {
            F = ((-m - nu - 1) * F) / (m - nu - 1);
            XDADJ(F, IF);
            nu += 1.0;
        }
    }
}

void XDLEGF(double DNU1, std::int32_t NUDIFF, std::int32_t MU1, std::int32_t MU2,
            double THETA, std::int32_t ID,
            std::span<double> RES, std::span<std::int32_t> IRES)
{
    XDSET(0, 0, 0.0, 0);
    const double HALFPI = 2.0 * std::atan(1.0);

    // The results are zeroed before validation, as far as the spans reach.
    const std::int64_t NRES = std::int64_t{MU2} - MU1 + NUDIFF + 1;
    const std::int64_t room = static_cast<std::int64_t>(std::min(RES.size(), IRES.size()));
    const auto zeroed = static_cast<std::size_t>(std::clamp(NRES, std::int64_t{0}, room));
    auto clear = [&] {
        std::fill_n(RES.begin(), zeroed, 0.0);
        std::fill_n(IRES.begin(), zeroed, 0);
    };
    clear();

    if (NUDIFF < 0) return report_invalid();
    // Also rejects a degree that is not a number, and ladders too long to climb.
    if (!(DNU1 >= -1.0 && DNU1 + NUDIFF <= detail::MAX_DEGREE)) return report_invalid();
    if (MU2 < MU1) return report_invalid();
    if (MU1 < 0) return report_invalid();
    if (!(THETA > 0.0 && THETA <= HALFPI)) {
        textio::LSTWRITE(textio::CONSOLE, {detail::THETA_PREFIX, THETA});
        errors::XERROR(detail::MSG_XDLEGF_THETA, static_cast<int>(detail::MSG_XDLEGF_THETA.size()),
                       2, detail::LEVEL_RECOVERABLE);
        return;
    }
    if (ID < 1 || ID > 4) return report_invalid();
    if (MU1 != MU2 && NUDIFF > 0) return report_invalid();
    // Results never go beyond the room the caller gave.
    if (NRES > room) return report_invalid();

    const double DNU2 = DNU1 + NUDIFF;
    const bool whole = is_whole(DNU1);
    if (ID == 4 && !whole) return report_invalid();
    // The second-kind ladder cannot start at degree -1, where Q^0 has a pole.
    if (ID == 2 && DNU1 == -1.0) return report_invalid();
    if ((ID == 3 && whole) || ID == 4) {
        // Every order above the top degree: the functions vanish.
        const double top = ID == 3 ? first_kind_degree(DNU2) : DNU2;
        if (static_cast<double>(MU1) > top) return;
    }

    const auto res = RES.first(static_cast<std::size_t>(NRES));
    const auto ires = IRES.first(static_cast<std::size_t>(NRES));
    auto evaluate = [&](Evaluation evaluation) {
        if (ID == 2) {
            const double x = std::cos(THETA);
            const double c = 1.0 / std::sin(THETA);
            if (MU1 == MU2) {
                XDQNURNG(DNU1, DNU2, MU1, THETA, x, c, ID, res, ires);
            } else {
                XDQMURNG(DNU1, DNU2, MU1, MU2, THETA, x, c, ID, res, ires);
            }
        } else {
            if (MU2 > MU1) {
                const double x = std::cos(THETA);
                const double c = 1.0 / std::sin(THETA);
                XDPMURNG(DNU1, DNU2, MU1, MU2, THETA, x, c, ID, res, ires, evaluation);
            } else {
                XDFIXMU(DNU1, DNU2, MU1, THETA, ID, res, ires, evaluation);
            }
            if (ID == 3) XDFLIPMU(DNU1, DNU2, MU1, MU2, res, ires);
            if (ID == 4) XDPNORML(DNU1, DNU2, MU1, MU2, res, ires);
        }
        for (std::size_t i = 0; i < res.size(); ++i) XDFOLD(res[i], ires[i]);
    };
    evaluate(Evaluation::quick);

    // The quick evaluation gives every value the literal one gives, but a
    // pair left outside the double range may carry it in another of its
    // equal representations.  Such results are rare: they are computed again
    // literally, so that every pair is exactly the one the definition gives.
    const bool extended = std::any_of(ires.begin(), ires.end(), [](std::int32_t e) { return e != 0; });
    if (ID != 2 && extended) {
        clear();
        evaluate(Evaluation::literal);
    }
}

}  // namespace legendre
