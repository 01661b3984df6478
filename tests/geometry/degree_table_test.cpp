// The degree table holds single-precision degrees widened to double, exactly.

#include "geometry/geometry.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Captab, WritesEveryEntryWithTheWidenedSinglePrecisionDegrees) {
    geometry::DegreeTable nk;
    for (auto& row : nk) row.fill(std::numeric_limits<double>::quiet_NaN());
    geometry::CAPTAB(nk);
    const geometry::DegreeTable expected = {{
        {0.0, 0.0, 0.0},
        {2.9322760105133057, 2.2753965854644775, 0.0},
        {5.012004852294922, 5.012004852294922, 4.090468883514404},
    }};
    for (int k = 0; k < 3; ++k)
        for (int m = 0; m < 3; ++m) EXPECT_EQ(nk[k][m], expected[k][m]) << "k " << k << ", m " << m;
    // Not the nearest doubles of the decimals the degrees were written with.
    EXPECT_NE(nk[1][0], 2.932276);
}

}  // namespace
