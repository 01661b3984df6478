// The extended-range arithmetic: parameters, and each branch of the
// normalisation, the sum and the folding, pinned by exact pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "console_run.hpp"
#include "legendre/extended_range.hpp"
#include "textio/textio.hpp"

using legendre::XDADJ;
using legendre::XDFOLD;
using legendre::XDPARAMS;
using legendre::XDSET;
using legendre::XDSUM;

namespace {

double p2(int k) { return std::ldexp(1.0, k); }

constexpr std::int32_t L = 511;
constexpr std::int32_t KMAX = (1 << 30) - 1022;
const std::string overflow_text = "ERR IN XDADJ...OVERFLOW IN AUXILIARY INDEX";

struct Pair {
    double x;
    std::int32_t e;
};

class ExtendedRange : public ::testing::Test {
protected:
    void SetUp() override { XDSET(0, 0, 0.0, 0); }
};

// Expects `body` to report the exponent overflow (error 1) and end the run.
void expect_overflow_report(const std::function<void()>& body)
{
    forget_reports();
    const ConsoleRun run = run_on_console(body);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(overflow_text), std::string::npos) << run.out;
    EXPECT_EQ(reported_error_number(run.out), 1);
}

}  // namespace

TEST_F(ExtendedRange, DefaultsComeFromTheMachineTableAndASecondSetUpChangesNothing)
{
    XDSET(16, 20, 1.0e10, 15);
    const auto& p = XDPARAMS();
    EXPECT_EQ(p.ISETUP, 1);
    EXPECT_EQ(p.IRAD, 2);
    EXPECT_EQ(p.NRADPL, 53);
    EXPECT_EQ(p.NBITS, 31);
    EXPECT_EQ(p.IEMIN, -1021);
    EXPECT_EQ(p.IEMAX, 1024);
    EXPECT_EQ(p.LG2RAD, 1);
    EXPECT_EQ(p.NBITM, 53);
    EXPECT_EQ(p.RADR, 2.0);
    EXPECT_EQ(p.L, L);
    EXPECT_EQ(p.TWOL, 1022);
    EXPECT_EQ(p.RADL, p2(511));
    EXPECT_EQ(p.RADLSQ, p2(1022));
    EXPECT_EQ(p.KMAX, KMAX);
}

// Each improper set-up is reported with its own number; the set-up runs once
// per process, so each case runs in a fresh child process.
TEST(ExtendedRangeSetUp, ImproperParametersAreReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        std::int32_t irad, nradpl;
        double dzero;
        std::int32_t nbits;
        const char* message;
        int number;
    };
    const std::vector<Case> cases = {
        {3, 0, 0.0, 0, "IMPROPER VALUE OF IRAD", 1},
        {0, 0, 1.0e3, 0, "IMPROPER VALUE OF DZERO", 2},  // L = 3
        {0, 0, -1.0, 0, "IMPROPER VALUE OF DZERO", 2},
        {0, 0, 0.0, 14, "IMPROPER VALUE OF NBITS", 3},
        {0, 121, 0.0, 0, "IMPROPER VALUE OF NRADPL", 4},
        {0, 0, 1.0e30, 0, "NRADPL .GE. L", 5},  // L = 48
    };
    for (const Case& c : cases) {
        const std::string pattern =
            std::string("ERR IN XDSET\\.\\.\\.") + c.message + "[^E]*ERROR NUMBER = +" +
            std::to_string(c.number);
        EXPECT_EXIT(
            {
                textio::ConsoleBinding binding;
                binding.output_fd = 2;
                textio::bind_console(binding);
                std::exit(textio::run_program([&] { XDSET(c.irad, c.nradpl, c.dzero, c.nbits); }));
            },
            ::testing::ExitedWithCode(1), pattern)
            << c.message;
    }
}

TEST_F(ExtendedRange, NormalisationTakesAtMostOneStep)
{
    struct Case {
        Pair in, out;
    };
    const std::vector<Case> cases = {
        {{0.0, 7}, {0.0, 0}},
        {{1.0, 5}, {1.0, 5}},                     // lower end of [1, RADL)
        {{p2(-511), 5}, {p2(-511), 5}},           // lower end of the band
        {{p2(511), 5}, {p2(-511), 5 + 1022}},     // upper end is outside
        {{-p2(511), 0}, {-p2(-511), 1022}},
        {{p2(-512), 5}, {p2(510), 5 - 1022}},
        {{p2(-600), -5}, {p2(422), -5 - 1022}},
        {{p2(1000), 0}, {p2(-22), 1022}},         // one step, even if still far from 1
        {{p2(-512), 1022 - KMAX}, {p2(510), -KMAX}},  // the lowest exponent allowed
        {{p2(600), KMAX - 1022}, {p2(-422), KMAX}},   // the highest
        {{0.75, -KMAX}, {0.75, -KMAX}},
    };
    for (const Case& c : cases) {
        Pair v = c.in;
        XDADJ(v.x, v.e);
        EXPECT_EQ(v.x, c.out.x) << c.in.x << ", " << c.in.e;
        EXPECT_EQ(v.e, c.out.e) << c.in.x << ", " << c.in.e;
    }
}

TEST_F(ExtendedRange, NormalisationReportsAnExponentOutsideTheRange)
{
    // The double part is rescaled before the report; the exponent is kept.
    double x = p2(600);
    std::int32_t ix = KMAX - 100;
    expect_overflow_report([&] { XDADJ(x, ix); });
    EXPECT_EQ(x, p2(-422));
    EXPECT_EQ(ix, KMAX - 100);

    x = p2(-512);
    ix = 1021 - KMAX;
    expect_overflow_report([&] { XDADJ(x, ix); });
    EXPECT_EQ(x, p2(510));
    EXPECT_EQ(ix, 1021 - KMAX);

    x = 1.0;
    ix = KMAX + 1;  // inside the band, but the exponent is not
    expect_overflow_report([&] { XDADJ(x, ix); });
}

TEST_F(ExtendedRange, NonFiniteValuesAreReportedNotCarried)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {inf, -inf, nan}) {
        double x = bad;
        std::int32_t ix = 0;
        expect_overflow_report([&] { XDADJ(x, ix); });
        x = bad;
        ix = 3000;
        expect_overflow_report([&] { XDFOLD(x, ix); });
        double z = 0.0;
        std::int32_t iz = 0;
        // Far below the other term, it would otherwise be dropped unseen.
        expect_overflow_report([&] { XDSUM(1.0, 4000, bad, -4000, z, iz); });
        expect_overflow_report([&] { XDSUM(bad, 0, 1.0, 0, z, iz); });
    }
}

TEST_F(ExtendedRange, SumCoversEveryAlignmentCase)
{
    struct Case {
        Pair a, b, sum;
    };
    const std::vector<Case> cases = {
        {{1.0, 0}, {1.0, 0}, {2.0, 0}},
        {{0.0, 9}, {3.0, -2}, {3.0, -2}},
        {{3.0, -2}, {0.0, 9}, {3.0, -2}},
        // Opposite-sign exponents more than 6L apart: the lower term goes.
        {{1.0, 8 * L}, {1.0, -8 * L}, {1.0, 8 * L}},
        {{1.0, -8 * L}, {1.0, 8 * L}, {1.0, 8 * L}},
        // Same side, compared in full: far below the precision.
        {{1.0, 2000}, {1.0, 0}, {1.0, 2000}},
        {{1.0, 1000}, {1.0, -1000}, {1.0, 1000}},
        // Both above 1, both below 1: added one band step away.
        {{3.0, 0}, {5.0, 0}, {p2(-508), L}},
        {{0.25, 0}, {0.5, 0}, {0.75 * p2(511), -L}},
        // Exponents differing by less than L.
        {{1.0, 1}, {1.0, 0}, {1.5, 1}},
        {{-1.0, 1}, {1.0, 0}, {-0.5, 1}},
        // The smaller-exponent term at or above RADL, and below RADL^-1.
        {{1.0, 600}, {p2(600), 0}, {2.0, 600}},
        {{1.0, 0}, {p2(-600), -1}, {p2(-511), L}},
        // Exact cancellation.
        {{1.5, 7}, {-1.5, 7}, {0.0, 0}},
    };
    for (const Case& c : cases) {
        double z = -99.0;
        std::int32_t iz = -99;
        XDSUM(c.a.x, c.a.e, c.b.x, c.b.e, z, iz);
        EXPECT_EQ(z, c.sum.x) << c.a.x << "," << c.a.e << " + " << c.b.x << "," << c.b.e;
        EXPECT_EQ(iz, c.sum.e) << c.a.x << "," << c.a.e << " + " << c.b.x << "," << c.b.e;
    }
}

TEST_F(ExtendedRange, SumAccumulatesInPlace)
{
    double s = 1.0;
    std::int32_t is = 1;
    const double t = 1.0;
    const std::int32_t it = 0;
    XDSUM(s, is, t, it, s, is);
    EXPECT_EQ(s, 1.5);
    EXPECT_EQ(is, 1);

    double u = 1.0;
    std::int32_t iu = 0;
    XDSUM(s, is, u, iu, u, iu);  // output over the second input
    EXPECT_EQ(u, 2.0);
    EXPECT_EQ(iu, 1);

    XDSUM(u, iu, u, iu, u, iu);  // both above 1: summed one band step up
    EXPECT_EQ(u, p2(-509));
    EXPECT_EQ(iu, 1 + L);
}

TEST_F(ExtendedRange, FoldingGivesAnOrdinaryDoubleOnlyWhereTheValueFits)
{
    struct Case {
        Pair in, out;
    };
    const std::vector<Case> cases = {
        {{0.0, 12}, {0.0, 0}},
        {{1.0, 1022}, {p2(1022), 0}},
        {{1.0, 1023}, {1.0, 1023}},
        {{1.5, 1022}, {1.5, 1022}},
        {{1.0, -1022}, {p2(-1022), 0}},
        {{1.0, -1023}, {1.0, -1023}},
        {{-0.75, -1}, {-0.375, 0}},
        {{p2(-500), 1500}, {p2(1000), 0}},
        {{-p2(400), -1400}, {-p2(-1000), 0}},
        {{3.0, 0}, {3.0, 0}},
        {{0.5, -KMAX}, {0.5, -KMAX}},
        {{0.5, KMAX}, {0.5, KMAX}},
    };
    for (const Case& c : cases) {
        Pair v = c.in;
        XDFOLD(v.x, v.e);
        EXPECT_EQ(v.x, c.out.x) << c.in.x << ", " << c.in.e;
        EXPECT_EQ(v.e, c.out.e) << c.in.x << ", " << c.in.e;
    }
}
