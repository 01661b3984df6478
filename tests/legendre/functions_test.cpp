// The Legendre families against closed forms, runs against single values,
// and the cases of degree -1 and of the second-kind degree run that once went wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "legendre/fixed_order.hpp"
#include "legendre/legendre.hpp"

using legendre::XDLEGF;

namespace {

const double theta = std::numbers::pi / 3;  // cos = 1/2, sin = sqrt(3)/2
const double sq3 = std::sqrt(3.0);
const double ln_sq3 = std::log(sq3);

struct Request {
    double dnu1;
    std::int32_t nudiff, mu1, mu2, id;
};

struct Result {
    std::vector<double> res;
    std::vector<std::int32_t> ires;
};

Result call(const Request& r, double th)
{
    const auto n = static_cast<std::size_t>(r.mu2 - r.mu1 + r.nudiff + 1);
    Result out{std::vector<double>(n, -99.0), std::vector<std::int32_t>(n, -99)};
    XDLEGF(r.dnu1, r.nudiff, r.mu1, r.mu2, th, r.id, out.res, out.ires);
    return out;
}

std::string describe(const Request& r, double th)
{
    return "XDLEGF(" + std::to_string(r.dnu1) + ", " + std::to_string(r.nudiff) + ", " +
           std::to_string(r.mu1) + ", " + std::to_string(r.mu2) + ", " + std::to_string(th) + ", " +
           std::to_string(r.id) + ")";
}

}  // namespace

// Whole degrees have closed forms for every family: P^(mu) with the factor
// (-1)^mu (family 3), P^(-mu) (family 1), Q^mu (family 2) and the normalised
// function without sign factor (family 4).
TEST(LegendreFunctions, WholeDegreesMatchClosedForms)
{
    struct Case {
        Request r;
        std::vector<double> expected;
        double tolerance;
    };
    const double s = sq3 / 2;  // sin theta
    const double c = 0.5;      // cos theta
    const std::vector<Case> cases = {
        {{0.0, 0, 0, 0, 3}, {1.0}, 1e-15},
        {{1.0, 0, 1, 1, 3}, {-s}, 1e-15},
        {{2.0, 0, 1, 1, 3}, {-3 * c * s}, 1e-15},
        {{2.0, 0, 2, 2, 3}, {2.25}, 1e-15},
        {{1.0, 0, 2, 2, 3}, {0.0}, 0.0},  // order above the degree
        {{0.0, 3, 2, 2, 3}, {0.0, 0.0, 3 * s * s, 15 * c * s * s}, 1e-14},
        {{2.0, 0, 0, 3, 3}, {-0.125, -3 * c * s, 3 * s * s, 0.0}, 1e-14},
        {{2.0, 0, 0, 0, 1}, {-0.125}, 1e-15},
        {{1.0, 0, 1, 1, 1}, {s / 2}, 1e-15},
        {{2.0, 0, 0, 2, 1}, {-0.125, sq3 / 8, 3.0 / 32}, 1e-14},
        {{0.0, 0, 0, 0, 2}, {ln_sq3}, 1e-14},
        {{0.0, 0, 1, 1, 2}, {-2 / sq3}, 1e-14},
        {{0.0, 2, 0, 0, 2}, {ln_sq3, c * ln_sq3 - 1, -0.125 * ln_sq3 - 0.75}, 1e-14},
        {{0.0, 0, 0, 2, 2}, {ln_sq3, -2 / sq3, 4.0 / 3}, 1e-14},
        {{1.0, 0, 1, 1, 4}, {0.75}, 1e-14},
        {{1.0, 0, 2, 3, 4}, {0.0, 0.0}, 0.0},
        {{1.0, 2, 1, 1, 4},
         {0.75, std::sqrt(2.5 / 6) * 3 * c * s, std::sqrt(3.5 / 12) * 1.5 * s * (5 * c * c - 1)},
         1e-14},
        {{2.0, 0, 0, 2, 4},
         {std::sqrt(2.5) * -0.125, std::sqrt(2.5 / 6) * 3 * c * s, std::sqrt(2.5 / 24) * 3 * s * s},
         1e-14},
    };
    for (const Case& k : cases) {
        const Result got = call(k.r, theta);
        ASSERT_EQ(got.res.size(), k.expected.size());
        for (std::size_t i = 0; i < got.res.size(); ++i) {
            EXPECT_NEAR(got.res[i], k.expected[i], k.tolerance) << describe(k.r, theta) << " entry " << i;
            EXPECT_EQ(got.ires[i], 0) << describe(k.r, theta) << " entry " << i;
        }
    }
}

// Real degrees, with values from mpmath (legenp, type 2, at the double pi/3):
// the series serves the two lowest degrees of the residue class, the degree
// recurrence the rest.
TEST(LegendreFunctions, RealDegreeRunsClimbFromTheSeries)
{
    struct Case {
        Request r;
        std::vector<double> expected;
    };
    const std::vector<Case> cases = {
        {{0.5, 0, 0, 0, 1}, {0.79524890818602390202}},
        {{1.5, 0, 1, 1, 1}, {0.32748674740973011344}},
        {{-0.7, 1, 0, 0, 1}, {1.0613022485533188600, 0.89081423649053392395}},
        {{0.5, 2, 0, 0, 1}, {0.79524890818602390202, 0.17243860307422792083, -0.33919846245223197711}},
        {{1.5, 0, 1, 1, 3}, {-1.2280753027864879254}},
        {{2.9322760105133057, 0, 1, 1, 3}, {-0.43054811993364666172}},
    };
    for (const Case& k : cases) {
        const Result got = call(k.r, theta);
        for (std::size_t i = 0; i < got.res.size(); ++i) {
            EXPECT_NEAR(got.res[i], k.expected[i], 1e-14 * std::abs(k.expected[i]))
                << describe(k.r, theta) << " entry " << i;
            EXPECT_EQ(got.ires[i], 0);
        }
    }
}

// Every run of degrees or orders gives, entry by entry, the single values.
TEST(LegendreFunctions, RunsAgreeWithSingleValues)
{
    for (std::int32_t id : {1, 2, 3}) {
        for (double dnu1 : {0.25, 1.0, 2.2753965854644775}) {
            for (double th : {0.05, 0.7, 1.5}) {
                const Result orders = call({dnu1, 0, 0, 5, id}, th);
                for (std::int32_t mu = 0; mu <= 5; ++mu) {
                    const Request single{dnu1, 0, mu, mu, id};
                    const Result one = call(single, th);
                    const auto i = static_cast<std::size_t>(mu);
                    EXPECT_NEAR(orders.res[i], one.res[0], 1e-12 * std::abs(one.res[0]) + 1e-300)
                        << describe(single, th) << " in an order run";
                }
                for (std::int32_t mu : {0, 1, 3}) {
                    const Result degrees = call({dnu1, 4, mu, mu, id}, th);
                    for (std::int32_t k = 0; k <= 4; ++k) {
                        const Request single{dnu1 + k, 0, mu, mu, id};
                        const Result one = call(single, th);
                        const auto i = static_cast<std::size_t>(k);
                        EXPECT_NEAR(degrees.res[i], one.res[0], 1e-12 * std::abs(one.res[0]) + 1e-300)
                            << describe(single, th) << " in a degree run";
                    }
                }
            }
        }
    }
}

// A large order leaves the double range: the result is an extended-range
// pair, near P^(-200)_0.5(0) = 2^-200 sqrt(pi) / (Gamma(101.25) Gamma(100.25)),
// about 1.27e-375, compared through its logarithm.
TEST(LegendreFunctions, LargeOrderComesBackAsAnExtendedPair)
{
    const Result got = call({0.5, 0, 200, 200, 1}, 2.0 * std::atan(1.0));
    EXPECT_NE(got.ires[0], 0);
    const double log_got = std::log(std::abs(got.res[0])) + got.ires[0] * std::numbers::ln2;
    const double log_expected = -200 * std::numbers::ln2 + 0.5 * std::log(std::numbers::pi) -
                                std::lgamma(101.25) - std::lgamma(100.25);
    EXPECT_NEAR(log_got, log_expected, 1e-11);
    EXPECT_GT(got.res[0], 0.0);
}

// P_(-1) = P_0: order 0 gives 1 and every higher order 0, for family 3 as
// for family 1, in single values, degree runs and order runs.
TEST(LegendreFunctions, WholeDegreeMinusOneHasTheValuesOfDegreeZero)
{
    for (double th : {0.3, theta, 1.5}) {
        EXPECT_EQ(call({-1.0, 0, 0, 0, 3}, th).res[0], 1.0);
        EXPECT_EQ(call({-1.0, 0, 0, 0, 1}, th).res[0], 1.0);
        EXPECT_EQ(call({-1.0, 0, 1, 1, 3}, th).res[0], 0.0);
        EXPECT_EQ(call({-1.0, 0, 2, 2, 3}, th).res[0], 0.0);

        const Result degrees0 = call({-1.0, 2, 0, 0, 3}, th);
        EXPECT_EQ(degrees0.res[0], 1.0);
        EXPECT_EQ(degrees0.res[1], 1.0);
        EXPECT_NEAR(degrees0.res[2], std::cos(th), 1e-15);

        const Result degrees1 = call({-1.0, 2, 1, 1, 3}, th);
        EXPECT_EQ(degrees1.res[0], 0.0);
        EXPECT_EQ(degrees1.res[1], 0.0);
        EXPECT_NEAR(degrees1.res[2], -std::sin(th), 1e-15);

        const Result orders = call({-1.0, 0, 0, 2, 3}, th);
        EXPECT_NEAR(orders.res[0], 1.0, 1e-15);
        EXPECT_EQ(orders.res[1], 0.0);
        EXPECT_EQ(orders.res[2], 0.0);
    }
}

// With DNU1 + NUDIFF not exact, the downward degree steps of the second kind
// stay inside the result entries (the last step used to land one entry below
// the first) and give the values of single requests.
TEST(LegendreFunctions, SecondKindDegreeRunStaysInsideItsEntries)
{
    std::vector<double> res(5, -99.0);
    std::vector<std::int32_t> ires(5, -99);
    XDLEGF(0.1, 2, 2, 2, theta, 2, std::span(res).subspan(1, 3), std::span(ires).subspan(1, 3));
    EXPECT_EQ(res[0], -99.0);
    EXPECT_EQ(ires[0], -99);
    EXPECT_EQ(res[4], -99.0);
    EXPECT_EQ(ires[4], -99);
    for (std::int32_t k = 0; k < 3; ++k) {
        const Result one = call({0.1 + k, 0, 2, 2, 2}, theta);
        EXPECT_NEAR(res[static_cast<std::size_t>(k) + 1], one.res[0], 1e-13 * std::abs(one.res[0]));
    }
}

TEST(LegendreFunctions, DigammaShiftsTheArgumentUpToItsAsymptoticRange)
{
    EXPECT_NEAR(legendre::XDDIGAM(1.0, 6, 30), -0.57721566490153286, 1e-14);
    EXPECT_NEAR(legendre::XDDIGAM(0.5, 6, 30), -0.57721566490153286 - 2 * std::numbers::ln2, 1e-14);
    // No shift from 30 on: psi(35) = H_34 - gamma.
    double harmonic = 0.0;
    for (int k = 1; k <= 34; ++k) harmonic += 1.0 / k;
    EXPECT_NEAR(legendre::XDDIGAM(35.0, 6, 30), harmonic - 0.57721566490153286, 1e-14);
}

// The public value for later tools: P^m_nu with the factor (-1)^m, as a
// double, or as an extended pair where it leaves the double range.
TEST(LegendreFunctions, PublicValueHidesTheExtendedRange)
{
    EXPECT_NEAR(legendre::legendre_p(1.0, 1, theta), -sq3 / 2, 1e-15);
    EXPECT_NEAR(legendre::legendre_p(2.9322760105133057, 1, theta), -0.43054811993364666172, 1e-15);
    EXPECT_EQ(legendre::legendre_p(-1.0, 0, theta), 1.0);

    const double halfpi = 2.0 * std::atan(1.0);
    const legendre::ExtendedValue big = legendre::legendre_p_extended(0.5, 200, halfpi);
    const Result direct = call({0.5, 0, 200, 200, 3}, halfpi);
    EXPECT_NE(big.exponent, 0);
    EXPECT_EQ(big.value, direct.res[0]);
    EXPECT_EQ(big.exponent, direct.ires[0]);
    EXPECT_EQ(legendre::legendre_p(0.5, 200, halfpi), std::ldexp(big.value, big.exponent));
}
