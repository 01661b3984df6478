// Geodetic -> geocentric conversion and the rotation back, against values
// computed at 40 digits by reference.py.

#include "geometry/geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct GeoCase {
    double latitude, height;          // geodetic, degrees; km
    double geocentric_latitude;       // degrees
    double radius;                    // km
    double delta;                     // geodetic minus geocentric latitude, radians
};

// From reference.py.
constexpr GeoCase GEO_CASES[] = {
    {0.0, 0.0, 0.0, 6378.137, 0.0},
    {45.0, 0.0, 44.807576783073266663, 6367.4895438114949805, 0.0033584186926507811232},
    {60.0, 0.0, 59.833076149671692957, 6362.1322243188138198, 0.0029133707883351755758},
    {-45.0, 0.0, -44.807576783073266663, 6367.4895438114949805, -0.0033584186926507811232},
    {45.0, 10.0, 44.807878505021349861, 6377.4894875050951046, 0.0033531526512311979223},
    {90.0, 0.0, 90.0, 6356.7523141403583681, 0.0},
    {-90.0, 0.0, -90.0, 6356.7523141403583681, 0.0},
};

TEST(Geopos, MatchesTheEllipsoidAtTabulatedLatitudes) {
    for (const GeoCase& c : GEO_CASES) {
        SCOPED_TRACE(testing::Message() << "latitude " << c.latitude << ", height " << c.height);
        geometry::GEOCEN geocen;
        double psi = 0.0, r = 0.0;
        geocen.GEOPOS(c.latitude, c.height, psi, r);
        EXPECT_NEAR(psi, c.geocentric_latitude, 1e-12);
        EXPECT_NEAR(r, c.radius, 1e-9);
        EXPECT_NEAR(geocen.sin_delta(), std::sin(c.delta), 1e-14);
        EXPECT_NEAR(geocen.cos_delta(), std::cos(c.delta), 1e-15);
    }
}

TEST(Geopos, HemispheresAreOddMirrorImages) {
    geometry::GEOCEN north, south;
    double psi_n = 0.0, r_n = 0.0, psi_s = 0.0, r_s = 0.0;
    north.GEOPOS(45.0, 0.0, psi_n, r_n);
    south.GEOPOS(-45.0, 0.0, psi_s, r_s);
    EXPECT_EQ(psi_s, -psi_n);
    EXPECT_EQ(r_s, r_n);
    EXPECT_EQ(south.sin_delta(), -north.sin_delta());
    EXPECT_EQ(south.cos_delta(), north.cos_delta());
}

TEST(Geoinv, BeforeAnyGeoposGivesZero) {
    const geometry::GEOCEN geocen;
    double north = 1.0, down = 1.0;
    geocen.GEOINV(3.0, -2.0, north, down);
    EXPECT_EQ(north, 0.0);
    EXPECT_EQ(down, 0.0);
}

TEST(Geoinv, TurnsByTheLatestDeflection) {
    geometry::GEOCEN geocen;
    double psi = 0.0, r = 0.0;
    geocen.GEOPOS(60.0, 0.0, psi, r);
    geocen.GEOPOS(45.0, 0.0, psi, r);   // only the latest point counts
    const double delta = GEO_CASES[1].delta;

    double north = 0.0, down = 0.0;
    geocen.GEOINV(1.0, 0.0, north, down);
    EXPECT_NEAR(north, std::cos(delta), 1e-15);
    EXPECT_NEAR(down, -std::sin(delta), 1e-15);

    // A rotation: the length is kept, and a field pointing down in the
    // geocentric frame gains a northward part in the geodetic frame.
    geocen.GEOINV(0.0, 1.0, north, down);
    EXPECT_NEAR(north, std::sin(delta), 1e-15);
    EXPECT_NEAR(down, std::cos(delta), 1e-15);

    geocen.GEOPOS(0.0, 0.0, psi, r);
    geocen.GEOINV(3.0, -2.0, north, down);
    EXPECT_EQ(north, 3.0);
    EXPECT_EQ(down, -2.0);
}

}  // namespace
