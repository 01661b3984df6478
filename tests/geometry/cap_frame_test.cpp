// The cap frame: cap latitude, cap longitude and the rotation back to the
// geographic frame, for ordinary points (against reference.py), for every
// degenerate geometry, and for the saved state shared by the three entries.

#include "geometry/geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double DEG = 0.017453292519943295;

struct CapCase {
    double latitude, longitude;       // geocentric, degrees
    double cap_latitude, cap_longitude;
    double cos_rho, sin_rho;
};

// About the model's pole (45, 8), from reference.py (cap longitude 180 of the
// reference written as -180, the program's range being [-180, 180)).
const CapCase POLE_45_8[] = {
    {44.0, 8.0, 89.0, 0.0, 1.0, 0.0},                       // due south of the pole
    {46.0, 8.0, 89.0, -180.0, -1.0, 0.0},                   // due north: supplement, wrapped
    {45.0, 10.0, 88.585822339047885986, 90.707142681787253309, 0.012341654750936749672, 0.99992383887874614486},
    {45.0, 6.0, 88.585822339047885986, -90.707142681787253309, 0.012341654750936749672, -0.99992383887874614486},
    {35.0, -15.0, 69.844669288206449962, -68.264193444545459082, 0.59753298672854349779, -0.8018443301360097914},
    {60.0, 30.0, 70.082047757312352572, 146.64657609963237401, -0.62883680719700138087, 0.77753731094673605529},
    // On the great circle leaving the pole eastwards or westwards, where the
    // sine of the cap longitude is +-1 up to rounding: the first two hit the
    // exact equality of the side test, the last two a computed sine beyond
    // +-1 (an arcsine of it would be NaN).
    {44.999747800663151, 8.2404156001112785, 89.830000000000000521, 90.0, 0.0029670423150217720369, 0.99999559832026304287},
    {44.999747800663151, 7.7595843998887206, 89.829999999999999885, -90.0, 0.0029670423150217720369, -0.99999559832026304287},
    {44.990921756177627, 9.4423454848685591, 88.980000000000000156, 90.0, 0.017798598173099417897, 0.99984159240505320262},
    {44.773616403599128, 0.80643938598756026, 84.899999999999998903, -90.0, 0.088545134790222720887, -0.99607216561099692741},
    // Points on the geographic poles: rho = pi - D and rho = D.
    {90.0, 20.0, 45.0, -180.0, -std::cos(12.0 * DEG), std::sin(12.0 * DEG)},
    {-90.0, 20.0, -45.0, 0.0, std::cos(12.0 * DEG), std::sin(12.0 * DEG)},
};

void expect_case(geometry::CAPTRN& captrn, const CapCase& c) {
    SCOPED_TRACE(testing::Message() << "point (" << c.latitude << ", " << c.longitude << ")");
    double cap_lat = 0.0, cap_lon = 0.0;
    captrn.CAPPOS(c.latitude, c.longitude, cap_lat, cap_lon);
    EXPECT_NEAR(cap_lat, c.cap_latitude, 1e-11);
    EXPECT_NEAR(cap_lon, c.cap_longitude, 1e-9);
    double north = 0.0, east = 0.0;
    captrn.CAPINV(1.0, 0.0, north, east);
    EXPECT_NEAR(north, c.cos_rho, 1e-12);
    EXPECT_NEAR(east, -c.sin_rho, 1e-12);
    captrn.CAPINV(0.0, 1.0, north, east);
    EXPECT_NEAR(north, c.sin_rho, 1e-12);
    EXPECT_NEAR(east, c.cos_rho, 1e-12);
}

TEST(Cappos, AboutTheModelPoleMatchesSphericalGeometry) {
    geometry::CAPTRN captrn;
    captrn.CAPSET(45.0, 8.0);
    for (const CapCase& c : POLE_45_8) expect_case(captrn, c);
}

TEST(Cappos, WithoutCapsetIsTheGeographicFrame) {
    geometry::CAPTRN captrn;
    expect_case(captrn, {50.0, 20.0, 50.0, 20.0, 1.0, 0.0});
}

TEST(Cappos, PolarPolesShiftLongitudeAndKeepTheirRotation) {
    geometry::CAPTRN captrn;
    captrn.CAPSET(90.0, 0.0);
    expect_case(captrn, {50.0, 190.0, 50.0, -170.0, 1.0, 0.0});    // wrapped once
    expect_case(captrn, {50.0, -180.0, 50.0, -180.0, 1.0, 0.0});   // -180 stays
    expect_case(captrn, {50.0, 180.0, 50.0, -180.0, 1.0, 0.0});

    captrn.CAPSET(-90.0, 10.0);
    expect_case(captrn, {50.0, 20.0, -50.0, 170.0, -1.0, 0.0});
    expect_case(captrn, {50.0, -10.0, -50.0, -160.0, -1.0, 0.0});  // 200 wrapped
}

TEST(Cappos, CapPoleAndAntipodeGetFixedResults) {
    // With the pole on the equator the cosine of the distance is exactly +-1
    // at the pole and its antipode.
    geometry::CAPTRN captrn;
    captrn.CAPSET(0.0, 0.0);
    expect_case(captrn, {0.0, 0.0, 90.0, 0.0, 1.0, 0.0});
    expect_case(captrn, {0.0, 180.0, -90.0, 0.0, -1.0, 0.0});
    // Exactly due east and west of the pole on the equator: sin(latitude)
    // equals sin(pole latitude) * cos(distance) exactly (both zero).
    expect_case(captrn, {0.0, 30.0, 60.0, 90.0, 0.0, 1.0});
    expect_case(captrn, {0.0, -30.0, 60.0, -90.0, 0.0, -1.0});
}

TEST(Capset, KeepsTheRecordedRotationForAnOrdinaryPole) {
    // The run sets the pole again before every point; that must not disturb
    // the rotation the previous CAPPOS recorded.
    geometry::CAPTRN captrn;
    captrn.CAPSET(45.0, 8.0);
    double cap_lat = 0.0, cap_lon = 0.0;
    captrn.CAPPOS(35.0, -15.0, cap_lat, cap_lon);
    const double cos_rho = captrn.cos_rho();
    const double sin_rho = captrn.sin_rho();
    captrn.CAPSET(45.0, 8.0);
    EXPECT_EQ(captrn.cos_rho(), cos_rho);
    EXPECT_EQ(captrn.sin_rho(), sin_rho);
    captrn.CAPSET(-90.0, 0.0);
    EXPECT_EQ(captrn.cos_rho(), -1.0);
    EXPECT_EQ(captrn.sin_rho(), 0.0);
    captrn.CAPSET(90.0, 0.0);
    EXPECT_EQ(captrn.cos_rho(), 1.0);
    EXPECT_EQ(captrn.sin_rho(), 0.0);
}

TEST(Cappos, CapLongitudeStaysInItsRangeAcrossTheGrid) {
    geometry::CAPTRN captrn;
    captrn.CAPSET(45.0, 8.0);
    for (int lon = -15; lon <= 30; ++lon) {
        for (int lat = 35; lat <= 60; ++lat) {
            double cap_lat = 0.0, cap_lon = 0.0;
            captrn.CAPPOS(lat, lon, cap_lat, cap_lon);
            EXPECT_GE(cap_lon, -180.0);
            EXPECT_LT(cap_lon, 180.0);
            EXPECT_GT(cap_lat, 50.0);   // inside the 40-degree cap
            EXPECT_NEAR(std::hypot(captrn.cos_rho(), captrn.sin_rho()), 1.0, 1e-12);
        }
    }
}

}  // namespace
