// Faults the fuzzing of XDLEGF found, kept as regression cases.  Each call
// runs inside a run of the record layer with the console in temp files:
// the call must either return the right values or end the run through the
// message handler, never return wrong values silently.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "legendre/legendre.hpp"
#include "textio/textio.hpp"

namespace {

struct Call {
    bool returned = false;
    std::string console;
    std::vector<double> RES;
    std::vector<std::int32_t> IRES;
};

Call call_xdlegf(double DNU1, std::int32_t NUDIFF, std::int32_t MU1, std::int32_t MU2, double THETA, std::int32_t ID)
{
    Call call;
    const std::size_t n = static_cast<std::size_t>(MU2 - MU1 + NUDIFF + 1);
    call.RES.assign(n, 0.0);
    call.IRES.assign(n, 0);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    textio::bind_console({-1, fileno(out), fileno(err), false});
    textio::run_program([&] {
        legendre::XDLEGF(DNU1, NUDIFF, MU1, MU2, THETA, ID, call.RES, call.IRES);
        call.returned = true;
    });
    textio::bind_console({0, 1, 2, false});
    std::rewind(out);
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) call.console.push_back(static_cast<char>(c));
    std::fclose(out);
    std::fclose(err);
    return call;
}

// log2 of |RES * 2^IRES|.
double log2_of(double value, std::int32_t exponent) { return std::log2(std::fabs(value)) + exponent; }

// Regression: at colatitudes below about 1e-154 (tan(THETA/2) below 2^-511)
// the first-kind series used to multiply the normalised value part by
// tan(THETA/2) as plain doubles; the product underflowed to 0 and the
// extended-range pair silently became zero (an order run at degree 1 returned
// 0 for P^0_1 = cos THETA).  The tangent now enters as an extended-range pair.
TEST(LegendreFaults, TinyColatitudeKeepsTheValues)
{
    {
        SCOPED_TRACE("P^(-34)_1 at THETA = 1e-170, about tan(THETA/2)^34 / 34!");
        const double THETA = 1e-170;
        const Call call = call_xdlegf(1.0, 0, 34, 34, THETA, 1);
        if (call.returned) {
            const double want = 34 * std::log2(std::tan(THETA / 2)) - std::lgamma(35.0) / std::log(2.0);
            EXPECT_NE(call.RES[0], 0.0);
            if (call.RES[0] != 0.0) {
                EXPECT_NEAR(log2_of(call.RES[0], call.IRES[0]), want, 1e-6);
            }
        } else {
            EXPECT_NE(call.console.find("ERROR IN..."), std::string::npos) << call.console;
        }
    }
    {
        SCOPED_TRACE("orders 0..35 of degree 1 at THETA = 2^-991 (the fuzzer's input)");
        const double THETA = std::ldexp(1.0, -991);
        const Call call = call_xdlegf(1.0, 0, 0, 35, THETA, 3);
        if (call.returned) {
            EXPECT_EQ(std::ldexp(call.RES[0], call.IRES[0]), std::cos(THETA));
            EXPECT_NEAR(std::ldexp(call.RES[1], call.IRES[1]) / -std::sin(THETA), 1.0, 1e-12);
            for (std::size_t m = 2; m < call.RES.size(); ++m) EXPECT_EQ(call.RES[m], 0.0) << "order " << m;
        } else {
            EXPECT_NE(call.console.find("ERROR IN..."), std::string::npos) << call.console;
        }
    }
}

}  // namespace
