// Every value of the reference table (Ferrers functions of families 1 to 3 at
// real and whole degrees, orders up to 200, colatitudes from 1e-6 to pi/2,
// computed to 20 digits with an arbitrary-precision library; see
// reference/README.md) against a single-value request.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "legendre/legendre.hpp"

namespace {

struct Row {
    std::string text;
    std::int32_t id = 0;
    double degree = 0.0;
    std::int32_t order = 0;
    double theta = 0.0;
    long double mantissa = 0.0L;
    int exponent10 = 0;
};

std::vector<Row> read_table(const char* path)
{
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        if (fields.size() != 6) continue;
        Row r;
        r.text = line;
        r.id = std::stoi(fields[0]);
        r.degree = std::strtod(fields[1].c_str(), nullptr);
        r.order = std::stoi(fields[2]);
        r.theta = std::strtod(fields[3].c_str(), nullptr);
        r.mantissa = std::strtold(fields[4].c_str(), nullptr);
        r.exponent10 = std::stoi(fields[5]);
        rows.push_back(r);
    }
    return rows;
}

// Largest |value| of each function (family, degree, order) of order up to 2
// at the colatitudes from 0.35 on.  There these functions oscillate with an
// envelope of order one; near one of their zeros the rounding of cos THETA
// and tan(THETA/2), a few units in the last place of quantities of the
// envelope's size, outweighs the value itself, so a relative bound cannot
// hold there.  Such a point may be off by 8 epsilon times this envelope.
std::map<std::tuple<std::int32_t, double, std::int32_t>, long double> envelopes(const std::vector<Row>& rows)
{
    std::map<std::tuple<std::int32_t, double, std::int32_t>, long double> size;
    for (const Row& r : rows) {
        if (r.order > 2 || r.theta < 0.35) continue;
        auto& s = size[{r.id, r.degree, r.order}];
        s = std::max(s, std::abs(r.mantissa * std::pow(10.0L, r.exponent10)));
    }
    return size;
}

}  // namespace

TEST(LegendreReference, AgreesWithHighPrecisionValues)
{
    const std::vector<Row> rows = read_table(LEGENDRE_REFERENCE_CSV);
    ASSERT_EQ(rows.size(), 1890u);
    const auto envelope = envelopes(rows);
    const long double near_zero_ulps = 8 * std::numeric_limits<double>::epsilon();

    // The double range of an ordinary result, in decimal exponents.
    const long double top = 1022 * std::log10(2.0L);
    const long double ln10 = std::log(10.0L);
    std::vector<std::string> failures;
    long double worst_ordinary = 0.0L;
    long double worst_extended = 0.0L;
    for (const Row& r : rows) {
        double res = 0.0;
        std::int32_t ires = 0;
        legendre::XDLEGF(r.degree, 0, r.order, r.order, r.theta, r.id, std::span(&res, 1),
                         std::span(&ires, 1));
        std::ostringstream why;
        if (r.mantissa == 0.0L) {
            if (res != 0.0 || ires != 0) why << "expected 0";
        } else {
            const long double ref_log10 = std::log10(std::abs(r.mantissa)) + r.exponent10;
            const bool ordinary = std::abs(ref_log10) < top;
            if (std::signbit(res) != std::signbit(r.mantissa)) why << "sign";
            if (ordinary != (ires == 0)) why << "representation";
            if (ordinary && ires == 0) {
                const long double ref = r.mantissa * std::pow(10.0L, r.exponent10);
                const long double error = std::abs(res - ref);
                const long double relative = error / std::abs(ref);
                const auto size = envelope.find({r.id, r.degree, r.order});
                const bool near_zero =
                    size != envelope.end() && r.theta >= 0.35 && error <= near_zero_ulps * size->second;
                if (!near_zero) worst_ordinary = std::max(worst_ordinary, relative);
                if (relative > 1e-13L && !near_zero) {
                    why << "relative error " << static_cast<double>(relative);
                }
            } else if (!ordinary && ires != 0) {
                const long double got_log10 =
                    std::log10(std::abs(static_cast<long double>(res))) + ires * std::log10(2.0L);
                // Relative error of the value, from the difference of logarithms.
                const long double relative = std::abs(got_log10 - ref_log10) * ln10;
                worst_extended = std::max(worst_extended, relative);
                if (relative > 1e-12L) why << "relative error " << static_cast<double>(relative);
            }
        }
        if (!why.str().empty()) {
            std::ostringstream got;
            got.precision(17);
            got << r.text << ": got " << res << " * 2^" << ires << ", " << why.str();
            failures.push_back(got.str());
        }
    }
    std::cout << "worst relative error: ordinary " << static_cast<double>(worst_ordinary)
              << ", extended " << static_cast<double>(worst_extended) << "\n";
    std::string shown;
    for (std::size_t i = 0; i < failures.size() && i < 25; ++i) shown += failures[i] + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " rows disagree:\n" << shown;
}
