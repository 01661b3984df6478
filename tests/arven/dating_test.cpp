// Dating: synthetic measurements taken from the model are dated to intervals
// holding their epoch; a direction no epoch fits gets no interval; densities
// have unit area; the highest-density region is the smallest one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "arven/dating.hpp"
#include "scratch.hpp"

namespace {

std::vector<arven::Direction> model_curve(double lat, double lon, arven::EpochRange range) {
    const arven::EpochTable table = arven::epoch_table(arven_test::bundled_model(), arven::epochs_of(range));
    return arven::curve_at(arven::make_site(lat, lon), table);
}

double area(const std::vector<double>& t, const std::vector<double>& p) {
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < t.size(); ++i) sum += 0.5 * (t[i + 1] - t[i]) * (p[i] + p[i + 1]);
    return sum;
}

bool inside(const std::vector<arven::Interval>& intervals, double t) {
    for (const auto& iv : intervals) {
        if (iv.from <= t && t <= iv.to) return true;
    }
    return false;
}

TEST(Dating, MeasurementFromTheModelIsDatedToItsEpoch) {
    struct Case { double lat, lon, epoch, a95; arven::EpochRange range; };
    const Case cases[] = {
        {48.85, 2.35, 1300, 2.0, {0, 1900, 1}},
        {41.9, 12.5, 250, 3.0, {0, 1900, 1}},
        {52.5, 13.4, 1750, 1.5, {0, 1900, 1}},
        {37.98, 23.73, 802.5, 2.5, {500, 1200, 2.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.epoch);
        const auto curve = model_curve(c.lat, c.lon, c.range);
        const arven::Site site = arven::make_site(c.lat, c.lon);
        const arven::Direction truth =
            arven::direction_at(site, run::interpolate(arven_test::bundled_model().table(), c.epoch), c.epoch);
        const arven::DatingResult r = arven::date_measurement(curve, {truth.dec, truth.inc, c.a95});
        for (const arven::Density* d : {&r.combined, &r.dec, &r.inc}) {
            EXPECT_TRUE(d->compatible);
            EXPECT_TRUE(inside(d->hpd, c.epoch)) << arven::intervals_text(*d);
            EXPECT_NEAR(area(r.epochs, d->value), 1.0, 1e-12);
        }
        // The combined region is narrower than the whole range.
        double width = 0.0;
        for (const auto& iv : r.combined.hpd) width += iv.to - iv.from;
        EXPECT_LT(width, 0.8 * (c.range.to - c.range.from));
    }
}

// The densities follow their formulas: a hand-made curve whose declination
// lies across the 180-degree line from the measurement's, so that the
// difference must be wrapped.
TEST(Dating, DensitiesFollowTheirFormulas) {
    std::vector<arven::Direction> curve;
    for (int k = 0; k <= 20; ++k) {
        arven::Direction d;
        d.epoch = 100.0 + 10.0 * k;
        d.dec = 175.0 + 0.5 * k;          // wraps past 180 at k = 10
        if (d.dec > 180.0) d.dec -= 360.0;
        d.inc = 50.0 + 0.3 * k;
        d.edec = 1.0 + 0.05 * k;
        d.einc = 2.0 - 0.05 * k;
        curve.push_back(d);
    }
    const arven::Measurement m{-178.0, 54.0, 3.0};
    const arven::DatingResult r = arven::date_measurement(curve, m);
    const double si = m.a95 / 2.448;
    const double sd = si / std::cos(m.inc * 0.017453292519943295);
    const auto log_dec = [&](const arven::Direction& c) {
        const double diff = 182.0 - (c.dec < 0 ? c.dec + 360.0 : c.dec);   // measurement at 182 = -178
        return -diff * diff / (2 * (sd * sd + std::pow(c.edec / 1.96, 2)));
    };
    const auto log_inc = [&](const arven::Direction& c) {
        return -std::pow(m.inc - c.inc, 2) / (2 * (si * si + std::pow(c.einc / 1.96, 2)));
    };
    for (int k = 1; k <= 20; ++k) {
        const auto& a = curve[0];
        const auto& b = curve[static_cast<std::size_t>(k)];
        EXPECT_NEAR(std::log(r.dec.value[k] / r.dec.value[0]), log_dec(b) - log_dec(a), 1e-9) << k;
        EXPECT_NEAR(std::log(r.inc.value[k] / r.inc.value[0]), log_inc(b) - log_inc(a), 1e-9) << k;
        EXPECT_NEAR(std::log(r.combined.value[k] / r.combined.value[0]),
                    log_dec(b) + log_inc(b) - log_dec(a) - log_inc(a), 1e-9) << k;
    }
    EXPECT_NEAR(area(r.epochs, r.dec.value), 1.0, 1e-12);
    EXPECT_NEAR(area(r.epochs, r.combined.value), 1.0, 1e-12);
    // The declination peaks where the curve passes 182 = -178 degrees (k = 14).
    EXPECT_EQ(std::max_element(r.dec.value.begin(), r.dec.value.end()) - r.dec.value.begin(), 14);
}

TEST(Dating, FarOffDirectionHasNoCompatibleEpoch) {
    const auto curve = model_curve(48.85, 2.35, {0, 1900, 1});
    const arven::DatingResult r = arven::date_measurement(curve, {150.0, -30.0, 2.0});
    EXPECT_FALSE(r.combined.compatible);
    EXPECT_TRUE(r.combined.hpd.empty());
    EXPECT_EQ(arven::intervals_text(r.combined), "no compatible epoch");
    EXPECT_NEAR(area(r.epochs, r.combined.value), 1.0, 1e-12);   // still a density, just no interval
    const std::string summary = arven::dating_summary(arven::make_site(48.85, 2.35), {150.0, -30.0, 2.0}, r);
    EXPECT_NE(summary.find("combined:    no compatible epoch"), std::string::npos) << summary;

    // A declination that fits with an inclination that does not: only the
    // declination gets intervals.
    const arven::DatingResult half = arven::date_measurement(curve, {curve[1000].dec, 10.0, 2.0});
    EXPECT_TRUE(half.dec.compatible);
    EXPECT_FALSE(half.inc.compatible);
    EXPECT_FALSE(half.combined.compatible);
}

TEST(Dating, HighestDensityRegionIsTheSmallestHoldingTheMass) {
    // Two boxes on 0..100 (step 1) holding 33 and 31 of 64 parts of the mass:
    // half the mass is the tall box alone, 95 % needs both.
    std::vector<double> t(101), p(101, 0.0);
    std::iota(t.begin(), t.end(), 0.0);
    for (int i = 10; i <= 20; ++i) p[i] = 3.0;
    for (int i = 60; i <= 90; ++i) p[i] = 1.0;
    auto intervals = arven::hpd_intervals(t, p, 0.5);
    ASSERT_EQ(intervals.size(), 1u);
    EXPECT_EQ(intervals[0].from, 10);
    EXPECT_EQ(intervals[0].to, 20);
    intervals = arven::hpd_intervals(t, p, 0.95);
    ASSERT_EQ(intervals.size(), 2u);
    EXPECT_EQ(intervals[1].from, 60);
    EXPECT_EQ(intervals[1].to, 90);

    // A triangle: the region is symmetric about its peak and holds at least the mass.
    for (int i = 0; i <= 100; ++i) p[i] = 50.0 - std::abs(i - 50);
    intervals = arven::hpd_intervals(t, p, 0.95);
    ASSERT_EQ(intervals.size(), 1u);
    EXPECT_EQ(intervals[0].from + intervals[0].to, 100.0);
    double held = 0.0, total = 0.0;
    for (int i = 0; i <= 100; ++i) {
        total += p[i];
        if (i >= intervals[0].from && i <= intervals[0].to) held += p[i];
    }
    EXPECT_GE(held / total, 0.95);
    EXPECT_LT((held - 2 * p[static_cast<int>(intervals[0].from)]) / total, 0.95) << "not the smallest";
}

TEST(Dating, MeasurementsOutsideTheirPhysicalRangesAreRejected) {
    const arven::Measurement bad[] = {{0, 90, 2}, {0, -90, 2}, {0, 95, 2}, {0, 60, 0}, {0, 60, -1},
                                      {0, 60, 180}, {std::nan(""), 60, 2}, {0, std::nan(""), 2}};
    for (const auto& m : bad) EXPECT_THROW(arven::check_measurement(m), arven::Error);
    EXPECT_NO_THROW(arven::check_measurement({350, -89.9, 0.1}));
}

TEST(Dating, CommandWritesSummaryTableAndRejectsBadInput) {
    arven_test::Scratch dir;
    auto common = arven_test::common_options();
    common.out = (dir / "densities.csv").string();
    arven::DateOptions options = arven_test::paris_measurement();
    const auto ok = arven_test::run_date(common, options);
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("95 % highest-density intervals:\n  combined:    "), std::string::npos) << ok.out;
    const std::string table = arven_test::read_file(dir / "densities.csv");
    EXPECT_NE(table.find("# coefficient file sha256: 3e732c13"), std::string::npos);
    EXPECT_NE(table.find("\nepoch,dec,inc,edec,einc,p_dec,p_inc,p\n0.00,"), std::string::npos);
    EXPECT_NE(table.find("\n1900.00,"), std::string::npos);

    common.out.clear();
    auto missing = options;
    missing.a95.reset();
    auto steep = options;
    steep.inc = 90.0;
    auto far = options;
    far.lat = -10.0;
    for (const auto& o : {missing, steep, far}) {
        const auto outcome = arven_test::run_date(common, o);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind("arven: error: ", 0), 0u) << outcome.err;
    }
}

}  // namespace
