// The quick evaluation of the first kind (ordinary doubles while the values
// stay in the normalised band, and a series that stops at its first term
// below half a unit in the last place of the sum).  These sweeps prove that
// it changes no result, bit for bit, against the literal evaluation in
// extended range over the full series.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "legendre/extended_range.hpp"
#include "legendre/fixed_order.hpp"
#include "legendre/legendre.hpp"
#include "legendre/variants.hpp"

using legendre::Evaluation;

namespace {

struct Results {
    std::vector<double> res;
    std::vector<std::int32_t> ires;
};

bool identical(const Results& a, const Results& b)
{
    if (a.res.size() != b.res.size()) return false;
    for (std::size_t i = 0; i < a.res.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a.res[i]) != std::bit_cast<std::uint64_t>(b.res[i])) return false;
        if (a.ires[i] != b.ires[i]) return false;
    }
    return true;
}

Results sized(std::int32_t nudiff, std::int32_t mu1, std::int32_t mu2)
{
    const auto n = static_cast<std::size_t>(mu2 - mu1 + nudiff + 1);
    return {std::vector<double>(n, 0.0), std::vector<std::int32_t>(n, 0)};
}

Results entry(double dnu1, std::int32_t nudiff, std::int32_t mu1, std::int32_t mu2, double theta,
              std::int32_t id)
{
    Results r = sized(nudiff, mu1, mu2);
    legendre::XDLEGF(dnu1, nudiff, mu1, mu2, theta, id, r.res, r.ires);
    return r;
}

// The first-kind path of the entry with the full series throughout: the
// literal algorithm for a request that passes validation and has an order
// within the degree.
Results literal(double dnu1, std::int32_t nudiff, std::int32_t mu1, std::int32_t mu2, double theta,
                std::int32_t id)
{
    Results r = sized(nudiff, mu1, mu2);
    const double dnu2 = dnu1 + nudiff;
    if (mu2 > mu1) {
        legendre::XDPMURNG(dnu1, dnu2, mu1, mu2, theta, std::cos(theta), 1.0 / std::sin(theta), id,
                           r.res, r.ires, Evaluation::literal);
    } else {
        legendre::XDFIXMU(dnu1, dnu2, mu1, theta, id, r.res, r.ires, Evaluation::literal);
    }
    if (id == 3) legendre::XDFLIPMU(dnu1, dnu2, mu1, mu2, r.res, r.ires);
    if (id == 4) legendre::XDPNORML(dnu1, dnu2, mu1, mu2, r.res, r.ires);
    for (std::size_t i = 0; i < r.res.size(); ++i) legendre::XDFOLD(r.res[i], r.ires[i]);
    return r;
}

std::string describe(double dnu1, std::int32_t nudiff, std::int32_t mu1, std::int32_t mu2, double theta,
                     std::int32_t id)
{
    char text[160];
    std::snprintf(text, sizeof text, "XDLEGF(%.17g, %d, %d, %d, %.17g, %d)", dnu1, nudiff, mu1, mu2, theta,
                  id);
    return text;
}

}  // namespace

// The grid run's requests: family 3, one value, orders 0 to 2, the cap
// degrees and each minus one, colatitudes 5 to 25 degrees in steps of 0.005
// degrees.  The series values (folded) and the entry's results agree.
TEST(SeriesEnd, GridRequestsAreBitIdentical)
{
    legendre::XDSET(0, 0, 0.0, 0);
    const std::vector<double> degrees = {2.9322760105133057, 2.2753965854644775, 5.012004852294922,
                                         4.090468883514404,  1.9322760105133057, 1.2753965854644775,
                                         4.012004852294922,  3.090468883514404};
    int mismatches = 0;
    for (double degree : degrees) {
        for (std::int32_t mu = 0; mu <= 2; ++mu) {
            for (int step = 0; step <= 4000; ++step) {
                const double theta = (5.0 + step * 0.005) * 0.017453292519943295;
                Results fast = sized(0, mu, mu);
                Results full = sized(0, mu, mu);
                legendre::XDFIXMU(degree, degree, mu, theta, 3, fast.res, fast.ires);
                legendre::XDFIXMU(degree, degree, mu, theta, 3, full.res, full.ires, Evaluation::literal);
                legendre::XDFOLD(fast.res[0], fast.ires[0]);
                legendre::XDFOLD(full.res[0], full.ires[0]);
                const bool series_same = identical(fast, full);
                const bool entry_same =
                    identical(entry(degree, 0, mu, mu, theta, 3), literal(degree, 0, mu, mu, theta, 3));
                if (!series_same || !entry_same) {
                    if (++mismatches <= 10) ADD_FAILURE() << describe(degree, 0, mu, mu, theta, 3);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Far beyond the grid: families 1, 3 and 4, single values, degree runs and
// order runs, orders up to 200, colatitudes from 1e-8 to pi/2.  Results
// outside the double range included.
TEST(SeriesEnd, FirstKindRequestsAreBitIdenticalEverywhere)
{
    legendre::XDSET(0, 0, 0.0, 0);
    std::vector<double> thetas;
    for (double t = 1e-8; t < 1.5; t *= 1.6) thetas.push_back(t);
    thetas.push_back(2.0 * std::atan(1.0));
    std::vector<double> degrees;
    for (double d = -1.0; d <= 8.0; d += 0.37) degrees.push_back(d);
    for (double d : {0.0, 1.0, 2.0, 5.0, 40.0, 250.0, 0.5, 12.2753965854644775}) degrees.push_back(d);

    struct Shape {
        std::int32_t nudiff, mu1, mu2;
    };
    int mismatches = 0;
    int extended = 0;
    for (std::int32_t id : {1, 3, 4}) {
        for (double degree : degrees) {
            const bool whole = std::fmod(degree, 1.0) == 0.0;
            if (id == 4 && (!whole || degree < 0.0)) continue;
            for (std::int32_t mu : {0, 1, 2, 3, 7, 30, 200}) {
                // Orders above a whole degree end at the entry's early return.
                const double top = degree < 0.0 ? -degree - 1.0 : degree;
                if (id != 1 && whole && mu > top) continue;
                for (double theta : thetas) {
                    std::vector<Shape> shapes = {{0, mu, mu}, {3, mu, mu}};
                    if (mu > 0) shapes.push_back({0, 0, mu});  // an order run
                    for (const Shape& s : shapes) {
                        const Results got = entry(degree, s.nudiff, s.mu1, s.mu2, theta, id);
                        const Results want = literal(degree, s.nudiff, s.mu1, s.mu2, theta, id);
                        for (std::int32_t e : want.ires) extended += e != 0;
                        if (!identical(got, want) && ++mismatches <= 10) {
                            ADD_FAILURE() << describe(degree, s.nudiff, s.mu1, s.mu2, theta, id);
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(extended, 1000);  // the sweep does reach beyond the double range
}
