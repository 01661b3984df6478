// The cap basis functions: values against the hypergeometric definition
// (reference.py), the zeros at the cap edge that define the degrees, the
// derivative against a numerical one, the phase convention, and the console
// warning of the Legendre value.

#include "geometry/geometry.hpp"
#include "legendre/legendre.hpp"
#include "textio/textio.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

constexpr double N10 = 2.9322760105133057;   // degree table, k = 1, m = 0
constexpr double N11 = 2.2753965854644775;   // k = 1, m = 1
constexpr double N20 = 5.012004852294922;    // k = 2, m = 0 and m = 1
constexpr double N22 = 4.090468883514404;    // k = 2, m = 2

struct Basis {
    double p, dp, mp;
};

Basis capbas(std::int32_t m, double n, double colatitude) {
    Basis b{};
    geometry::CAPBAS(m, n, colatitude, b.p, b.dp, b.mp);
    return b;
}

// The (n, m) pairs the model uses.
struct Order {
    std::int32_t m;
    double n;
};
constexpr Order MODEL_PAIRS[] = {{0, N10}, {1, N11}, {0, N20}, {1, N20}, {2, N22}};

TEST(Capbas, MatchesTheHypergeometricDefinition) {
    struct Case { std::int32_t m; double n, colatitude; Basis expected; };
    // From reference.py.  The log-gamma approximation's error bound is about
    // 2e-10, but at these degrees it is near rounding level.
    const Case cases[] = {
        {0, N10, 20.0, {0.67682869387523518138, -1.6963860220175276781, 0.0}},
        {1, N11, 20.0, {0.60635517342175972696, 1.3626916224668821479, 1.7728639241121929445}},
        {0, N20, 10.0, {0.78309327017893505586, -2.3451079302740959591, 0.0}},
        {1, N20, 10.0, {0.60417455451473737945, 2.6527202875427532715, 3.479302591205923737}},
        {2, N22, 20.0, {0.35041777691631177244, 1.6025767571319166614, 2.0491060760865589288}},
        {1, N10, 30.0, {0.8410452815225112859, 0.20384617172608179029, 1.6820905630450225718}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "n " << c.n << ", m " << c.m << ", colatitude " << c.colatitude);
        const Basis b = capbas(c.m, c.n, c.colatitude);
        EXPECT_NEAR(b.p, c.expected.p, 1e-12 * std::fabs(c.expected.p));
        EXPECT_NEAR(b.dp, c.expected.dp, 1e-12 * std::fabs(c.expected.dp));
        EXPECT_NEAR(b.mp, c.expected.mp, 1e-12 * std::fabs(c.expected.mp));
    }
}

TEST(Capbas, DegreesPutZerosOnTheCapEdge) {
    // k - m odd: the function vanishes at 40 degrees; k - m even: its
    // derivative does.  The residuals come from the single-precision degrees.
    EXPECT_LT(std::fabs(capbas(0, N10, 40.0).p), 1e-6);
    EXPECT_LT(std::fabs(capbas(1, N20, 40.0).p), 1e-6);
    EXPECT_LT(std::fabs(capbas(1, N11, 40.0).dp), 1e-6);
    EXPECT_LT(std::fabs(capbas(0, N20, 40.0).dp), 1e-6);
    EXPECT_LT(std::fabs(capbas(2, N22, 40.0).dp), 1e-6);
}

TEST(Capbas, DerivativeAgreesWithCentralDifference) {
    constexpr double h = 1e-4;   // degrees
    constexpr double per_radian = 180.0 / 3.141592653589793;
    for (const Order& o : MODEL_PAIRS) {
        for (const double colatitude : {2.0, 15.0, 27.5, 40.0, 60.0}) {
            SCOPED_TRACE(testing::Message() << "n " << o.n << ", m " << o.m << ", colatitude " << colatitude);
            const double numerical =
                (capbas(o.m, o.n, colatitude + h).p - capbas(o.m, o.n, colatitude - h).p) / (2.0 * h) * per_radian;
            EXPECT_NEAR(capbas(o.m, o.n, colatitude).dp, numerical, 1e-8);
        }
    }
}

TEST(Capbas, HasNoPhaseFactorAndZeroOrderIsUnnormalised) {
    constexpr double theta = 3.141592653589793 * 10.0 / 180.0;
    for (const Order& o : MODEL_PAIRS) {
        SCOPED_TRACE(testing::Message() << "n " << o.n << ", m " << o.m);
        const Basis b = capbas(o.m, o.n, 10.0);
        EXPECT_GT(b.p, 0.0);   // positive near the cap pole
        if (o.m == 0) {
            EXPECT_EQ(b.mp, 0.0);
            EXPECT_FALSE(std::signbit(b.mp));
            EXPECT_EQ(b.p, geometry::LEGPNM(o.n, 0, theta));
        } else {
            EXPECT_NEAR(b.mp, o.m * b.p / std::sin(theta), 1e-14 * b.mp);
        }
    }
    // The Legendre value itself carries (-1)^m: P_1^1(cos theta) = -sin theta.
    EXPECT_NEAR(geometry::LEGPNM(1.0, 1, theta), -std::sin(theta), 1e-15);
}

// Runs `body` as one run of the program with the console bound to a scratch
// file, and returns what the console received.
std::string console_of(const std::function<void()>& body) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    textio::bind_console({fileno(in), fileno(out), fileno(err), false});
    textio::run_program(body);
    textio::bind_console({0, 1, 2, false});
    std::string text;
    char buffer[512];
    off_t at = 0;
    for (ssize_t got; (got = ::pread(fileno(out), buffer, sizeof buffer, at)) > 0; at += got)
        text.append(buffer, static_cast<std::size_t>(got));
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    return text;
}

int count_of(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(Legpnm, OutOfRangeValueWarnsOnceAndReturnsTheBareValuePart) {
    // P^(200) of degree 0.5 at 90 degrees is far beyond the double range.
    constexpr double theta = 1.5707963267948966;
    std::array<double, 1> res{};
    std::array<std::int32_t, 1> ires{};
    double value = 0.0;
    const std::string console = console_of([&] {
        legendre::XDLEGF(0.5, 0, 200, 200, theta, 3, res, ires);
        value = geometry::LEGPNM(0.5, 200, theta);
    });
    ASSERT_NE(ires[0], 0);
    EXPECT_EQ(value, res[0]);
    EXPECT_EQ(count_of(console, "WARNING:TROUBLES IN COMPUTATION!"), 1);
}

TEST(Legpnm, OrdinaryValuesWriteNothing) {
    const std::string console = console_of([] {
        for (const Order& o : MODEL_PAIRS) capbas(o.m, o.n, 25.0);
    });
    EXPECT_EQ(console.find("WARNING"), std::string::npos);
}

}  // namespace
