// Validation of a request: each failing argument gives its report and error
// number, in the checking order, with the results zeroed first; the edges of
// the colatitude and degree ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "console_run.hpp"
#include "legendre/legendre.hpp"

using legendre::XDLEGF;

namespace {

const double halfpi = 2.0 * std::atan(1.0);
const double theta = std::numbers::pi / 3;
const double inf = std::numeric_limits<double>::infinity();
const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const std::string invalid_text = "XDLEGF: DNU1,NUDIFF,MU1,MU2, OR ID NOT VALID";
const std::string theta_text = "XDLEGF: THETA OUT OF RANGE";

struct Request {
    double dnu1;
    std::int32_t nudiff, mu1, mu2;
    double theta;
    std::int32_t id;
    std::size_t room;  // entries the caller provides
};

struct Outcome {
    ConsoleRun run;
    std::vector<double> res;
    std::vector<std::int32_t> ires;
};

Outcome request(const Request& r)
{
    Outcome o{{}, std::vector<double>(r.room, -99.0), std::vector<std::int32_t>(r.room, -99)};
    forget_reports();
    o.run = run_on_console([&] { XDLEGF(r.dnu1, r.nudiff, r.mu1, r.mu2, r.theta, r.id, o.res, o.ires); });
    return o;
}

}  // namespace

TEST(LegendreValidation, EachInvalidArgumentIsReportedWithItsNumber)
{
    struct Case {
        const char* what;
        Request r;
        int number;
    };
    const double below_minus_one = std::nextafter(-1.0, -inf);
    const double above_halfpi = std::nextafter(halfpi, inf);
    const std::vector<Case> cases = {
        {"NUDIFF < 0", {1.0, -1, 0, 0, theta, 3, 1}, 1},
        {"DNU1 < -1", {below_minus_one, 0, 0, 0, theta, 3, 1}, 1},
        {"DNU1 not a number", {not_a_number, 0, 0, 0, theta, 3, 1}, 1},
        {"DNU1 infinite", {inf, 0, 0, 0, theta, 3, 1}, 1},
        {"last degree above 1e6", {999999.5, 1, 0, 0, theta, 1, 2}, 1},
        {"MU2 < MU1", {1.0, 0, 2, 1, theta, 3, 1}, 1},
        {"MU1 < 0", {1.0, 0, -1, 0, theta, 3, 2}, 1},
        {"THETA = 0", {1.0, 0, 0, 0, 0.0, 3, 1}, 2},
        {"THETA < 0", {1.0, 0, 0, 0, -0.5, 3, 1}, 2},
        {"THETA above HALFPI", {1.0, 0, 0, 0, above_halfpi, 3, 1}, 2},
        {"THETA not a number", {1.0, 0, 0, 0, not_a_number, 3, 1}, 2},
        {"ID = 0", {1.0, 0, 0, 0, theta, 0, 1}, 1},
        {"ID = 5", {1.0, 0, 0, 0, theta, 5, 1}, 1},
        {"a run of both orders and degrees", {1.0, 1, 1, 2, theta, 3, 3}, 1},
        {"ID 4 at a real degree", {2.5, 0, 0, 0, theta, 4, 1}, 1},
        {"ID 2 at degree -1", {-1.0, 0, 0, 0, theta, 2, 1}, 1},
        {"fewer entries than results", {1.0, 2, 0, 0, theta, 3, 2}, 1},
        // The checking order: degree before colatitude, colatitude before family.
        {"DNU1 and THETA", {-2.0, 0, 0, 0, 0.0, 9, 1}, 1},
        {"THETA and ID", {1.0, 0, 0, 0, 0.0, 9, 1}, 2},
    };
    for (const Case& c : cases) {
        const Outcome o = request(c.r);
        EXPECT_EQ(o.run.status, 1) << c.what;
        EXPECT_EQ(reported_error_number(o.run.out), c.number) << c.what << "\n" << o.run.out;
        const std::string& text = c.number == 1 ? invalid_text : theta_text;
        EXPECT_NE(o.run.out.find(text), std::string::npos) << c.what << "\n" << o.run.out;
        EXPECT_EQ(o.run.out.find("THETA: ") == 0, c.number == 2) << c.what << "\n" << o.run.out;
        // Results zeroed before validation, as far as the room reaches.
        const std::int64_t nres = std::int64_t{c.r.mu2} - c.r.mu1 + c.r.nudiff + 1;
        for (std::size_t i = 0; i < c.r.room; ++i) {
            const bool zeroed = static_cast<std::int64_t>(i) < nres;
            EXPECT_EQ(o.res[i], zeroed ? 0.0 : -99.0) << c.what << " entry " << i;
            EXPECT_EQ(o.ires[i], zeroed ? 0 : -99) << c.what << " entry " << i;
        }
    }
}

// The whole console of a colatitude report: the "THETA: " line with the
// value in free form, then the handler's report, summary and stop.
TEST(LegendreValidation, ColatitudeReportShowsTheValueFirst)
{
    const Outcome o = request({1.0, 0, 0, 0, 0.0, 3, 1});
    EXPECT_EQ(o.run.status, 1);
    EXPECT_EQ(o.run.out,
              "THETA:   0.000000000000000E+000\r\n"
              " \r\n"
              "RECOVERABLE ERROR IN...\r\n"
              "XDLEGF: THETA OUT OF RANGE\r\n"
              "ERROR NUMBER =         2\r\n"
              "JOB ABORT DUE TO UNRECOVERED ERROR.\r\n"
              "\r\n"
              "          ERROR MESSAGE SUMMARY\r\n"
              "MESSAGE START             NERR     LEVEL     COUNT\r\n"
              "XDLEGF: THETA OUT OF         2         1         1\r\n"
              "\r\n"
              "Stop - Program terminated.\r\n"
              "\r\n");

    const Outcome above = request({1.0, 0, 0, 0, std::nextafter(halfpi, inf), 3, 1});
    EXPECT_EQ(above.run.out.substr(0, above.run.out.find('\r')), "THETA:        1.570796326794897");
}

TEST(LegendreValidation, RangeEdgesAreAccepted)
{
    struct Case {
        const char* what;
        Request r;
        double expected;
    };
    const std::vector<Case> cases = {
        {"THETA = HALFPI", {2.0, 0, 0, 0, halfpi, 3, 1}, -0.5},
        {"DNU1 = -1, first kind", {-1.0, 0, 0, 0, theta, 1, 1}, 1.0},
        {"DNU1 = -1, positive order", {-1.0, 0, 0, 0, theta, 3, 1}, 1.0},
        {"a tiny colatitude", {2.0, 0, 0, 0, 1e-300, 3, 1}, 1.0},
    };
    for (const Case& c : cases) {
        const Outcome o = request(c.r);
        EXPECT_EQ(o.run.status, 0) << c.what << "\n" << o.run.out;
        EXPECT_EQ(o.run.out, "") << c.what;
        EXPECT_NEAR(o.res[0], c.expected, 1e-15) << c.what;
        EXPECT_EQ(o.ires[0], 0) << c.what;
    }
}

// Near the pole the second kind grows like (1/THETA)^mu; when a product
// overflows before it can be normalised (orders 0 to 3 at 1e-206), or
// 1/sin THETA itself is infinite, the run ends with the exponent overflow
// report instead of folding an infinity forever.
TEST(LegendreValidation, OverflowNearThePoleIsReported)
{
    for (const Request& r : {Request{0.0, 0, 0, 3, 1e-206, 2, 4}, Request{0.5, 0, 1, 1, 1e-310, 2, 1}}) {
        const Outcome o = request(r);
        EXPECT_EQ(o.run.status, 1);
        EXPECT_NE(o.run.out.find("ERR IN XDADJ...OVERFLOW IN AUXILIARY INDEX"), std::string::npos)
            << o.run.out;
        EXPECT_EQ(reported_error_number(o.run.out), 1);
    }
}
