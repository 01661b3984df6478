// Properties of the evaluation at one point that hold whatever the model.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/geometry.hpp"
#include "run/prediction.hpp"

namespace {

class NodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        geometry::CAPTAB(NK);
        // A realistic coefficient record: the bundled file's first record.
        coef = {2.6837687E+04, 9.2743589E+03, -2.0343383E+04, -2.1349640E+03, -1.1131713E+03,
                3.3529146E+03, 7.8060332E+02, -4.9001840E+00, 2.9071007E+01, 1.5562368E+03,
                8.7960969E+02, 2.9412420E+02, 2.7310493E+02, 3.9086826E+02, 1.4990896E+02,
                1.3927976E+02, 1.4565379E+02, 1.4102936E+02};
    }

    geometry::DegreeTable NK{};
    run::CoefficientRecord coef{};
};

// Nodes spread over the grid, with the replaced latitude 45 and longitude 8.
const int kNodes[][2] = {{35, -15}, {60, -15}, {45, 8}, {35, 8}, {45, -15}, {52, 3}, {60, 30}, {38, 21}};

TEST_F(NodeTest, LatitudeFortyFiveAndLongitudeEightAreMovedIndependently)
{
    const struct { double lat, lon, flat, flon; } cases[] = {
        {45, 8, 45.001, 8.001}, {45, -15, 45.001, -15}, {35, 8, 35, 8.001}, {44, 7, 44, 7}};
    for (const auto& c : cases) {
        const run::NodeBasis basis = run::evaluate_basis(NK, c.lat, c.lon);
        EXPECT_EQ(basis.FLAT, c.flat);
        EXPECT_EQ(basis.FLON, c.flon);
    }
}

TEST_F(NodeTest, ConstantTermAloneGivesARadialFieldTurnedByTheDeflection)
{
    run::CoefficientRecord only_first{};
    only_first[0] = 1000.0;
    for (const auto& node : kNodes) {
        const run::NodeBasis basis = run::evaluate_basis(NK, node[0], node[1]);
        EXPECT_EQ(basis.BX[0], 0.0);
        EXPECT_EQ(basis.BY[0], 0.0);
        const run::NodeResult field = run::evaluate_field(basis, only_first);
        const double a_over_r = 6371.0087714 / basis.RGEO;
        const double Zc = -1000.0 * a_over_r * a_over_r;
        EXPECT_DOUBLE_EQ(field.X, Zc * basis.geocen.sin_delta());
        EXPECT_DOUBLE_EQ(field.Z, Zc * basis.geocen.cos_delta());
        EXPECT_EQ(field.Y, 0.0);
    }
}

TEST_F(NodeTest, NegatingTheCoefficientsNegatesTheFieldAndTheInclinationOnly)
{
    run::CoefficientRecord negated = coef;
    for (int j = 0; j < run::NBASIS; ++j) negated[j] = -coef[j];
    for (const auto& node : kNodes) {
        const run::NodeBasis basis = run::evaluate_basis(NK, node[0], node[1]);
        const run::NodeResult a = run::evaluate_field(basis, coef);
        const run::NodeResult b = run::evaluate_field(basis, negated);
        EXPECT_EQ(b.X, -a.X);
        EXPECT_EQ(b.Y, -a.Y);
        EXPECT_EQ(b.Z, -a.Z);
        EXPECT_EQ(b.DEC, a.DEC);
        EXPECT_EQ(b.INC, -a.INC);
        EXPECT_EQ(b.EDEC, a.EDEC);
        EXPECT_EQ(b.EINC, a.EINC);
    }
}

TEST_F(NodeTest, ScalingCoefficientsAndErrors)
{
    run::CoefficientRecord scaled = coef, doubled_errors = coef, no_errors = coef;
    for (int j = 0; j < run::NBASIS; ++j) {
        scaled[j] = 4.0 * coef[j];
        doubled_errors[run::NBASIS + j] = 2.0 * coef[run::NBASIS + j];
        no_errors[run::NBASIS + j] = 0.0;
    }
    for (const auto& node : kNodes) {
        const run::NodeBasis basis = run::evaluate_basis(NK, node[0], node[1]);
        const run::NodeResult base = run::evaluate_field(basis, coef);
        const run::NodeResult s = run::evaluate_field(basis, scaled);
        EXPECT_NEAR(s.DEC, base.DEC, 1e-12);
        EXPECT_NEAR(s.INC, base.INC, 1e-12);
        EXPECT_NEAR(s.EDEC, base.EDEC / 4.0, 1e-13);
        EXPECT_NEAR(s.EINC, base.EINC / 4.0, 1e-13);

        const run::NodeResult d = run::evaluate_field(basis, doubled_errors);
        EXPECT_NEAR(d.EDEC, 2.0 * base.EDEC, 1e-12);
        EXPECT_NEAR(d.EINC, 2.0 * base.EINC, 1e-12);
        EXPECT_EQ(d.DEC, base.DEC);

        const run::NodeResult z = run::evaluate_field(basis, no_errors);
        EXPECT_EQ(z.EDEC, 0.0);
        EXPECT_EQ(z.EINC, 0.0);
    }
}

TEST_F(NodeTest, DeclinationIsTheOneArgumentArctangent)
{
    // Over Europe the bundled field is negated, so X < 0 is the ordinary case;
    // the one-argument arctangent still gives the physical declination.
    for (const auto& node : kNodes) {
        const run::NodeBasis basis = run::evaluate_basis(NK, node[0], node[1]);
        const run::NodeResult r = run::evaluate_field(basis, coef);
        EXPECT_NEAR(r.DEC, std::atan(r.Y / r.X) * 180.0 / 3.14159265358979, 1e-15 * 90);
        EXPECT_GT(r.DEC, -90.0);
        EXPECT_LT(r.DEC, 90.0);
        EXPECT_NEAR(r.INC, -std::atan(r.Z / std::hypot(r.X, r.Y)) * 180.0 / 3.14159265358979, 1e-12);
    }
}

}  // namespace
