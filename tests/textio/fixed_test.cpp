// Fixed-point fields: the two roundings, the shapes below 1, signs of values
// that round to zero, overflow and the non-finite markers.
#include "textio/layer.hpp"
#include "textio/textio.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct FieldCase {
    double x;
    int w;
    int d;
    const char* text;
};

TEST(RenderFixedField, MatchesTheTableOfCases)
{
    const FieldCase cases[] = {
        {0.5, 7, 2, "    .50"},
        {0.996, 7, 2, "   1.00"},
        {0.006, 7, 2, "    .01"},
        {0.004, 7, 2, "    .00"},
        {-0.004, 7, 2, "    .00"},
        {-0.005, 7, 2, "   -.01"},
        {-0.37, 7, 2, "   -.37"},
        {35.0, 7, 2, "  35.00"},
        {1e4, 7, 2, "*******"},
        {-999.995, 7, 2, "*******"},  // rounds to -1000.00, one column too many
        {9999.994, 7, 2, "9999.99"},
        {0.0, 8, 1, "      .0"},
        {-0.0, 8, 1, "      .0"},
        {-15.0, 8, 2, "  -15.00"},
        {0.3, 5, 0, "   0."},
        {0.7, 5, 0, "   1."},
        {0.125, 7, 2, "    .13"},
        {0.105, 7, 2, "    .11"},   // 17-digit form is exactly the half
        {0.045, 7, 2, "    .04"},   // 17-digit form stays below the half
        {1.25, 8, 1, "     1.3"},
        {-1.25, 8, 1, "    -1.3"},
        {1900.0, 8, 1, "  1900.0"},
        {0.0004, 7, 2, "    .00"},   // below half the last decimal
        {-0.0004, 7, 2, "    .00"},
        {0.03, 5, 0, "    ."},      // below a tenth of the last unit: the bare point
        {123.456, 3, 0, "***"},
        {1e300, 6, 1, "******"},
        {0.1, 25, 20, "    .10000000000000000000"},  // 16 digits kept, later positions "0"
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(textio::render_fixed_field(c.x, c.w, c.d), c.text) << c.x << " F" << c.w << "." << c.d;
    }
}

TEST(RenderFixed, KeepsSixteenSignificantDigitsThenZeros)
{
    EXPECT_EQ(textio::render_fixed(123456789.123456789, 12), "123456789.123456800000");
    EXPECT_EQ(textio::render_fixed(0.1, 20), ".10000000000000000000");
    EXPECT_EQ(textio::render_fixed(2.0 / 3.0, 18), ".666666666666666600");
}

TEST(DecimalDigits, ExactEighteenthDigitTieRoundsAwayFromZero)
{
    // Exactly representable (quarter steps below 2^51) with 18 significant
    // digits ending in 5: a tie that a half-to-even conversion rounds down.
    struct TieCase {
        double x;
        const char* digits;
        int exponent;
    };
    const TieCase cases[] = {
        {1234567890123456.25, "12345678901234563", 16},
        {-1234567890123456.25, "12345678901234563", 16},
        {1234567890123456.75, "12345678901234568", 16},
        {0.105, "105", 0},                 // 17-digit form reaches the half exactly
        {0.045, "44999999999999998", -1},  // stays below it
        {9.999999999999999e22, "99999999999999992", 23},
    };
    for (const TieCase& c : cases) {
        const textio::detail::Digits d = textio::detail::decimal_digits(c.x);
        EXPECT_EQ(std::string(d.digit, static_cast<std::size_t>(d.count)), c.digits) << c.x;
        EXPECT_EQ(d.exponent, c.exponent) << c.x;
    }
}

double with_bits(std::uint64_t bits)
{
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

TEST(RenderFixedField, NonFiniteMarkersAreCutOrFilled)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double indefinite = with_bits(0xFFF8000000000000ULL);
    const double quiet = with_bits(0x7FF8000000000000ULL);
    const double signalling = with_bits(0x7FF0000000000001ULL);
    EXPECT_EQ(textio::render_fixed_field(inf, 7, 2), "1#INF..");
    EXPECT_EQ(textio::render_fixed_field(-inf, 7, 2), "1#INF..");
    EXPECT_EQ(textio::render_fixed_field(indefinite, 8, 2), "1#IND...");
    EXPECT_EQ(textio::render_fixed_field(quiet, 8, 2), "1#QNAN..");
    EXPECT_EQ(textio::render_fixed_field(signalling, 4, 2), "1#SN");
    EXPECT_EQ(textio::render_fixed_field(inf, 3, 1), "1#I");
}

}  // namespace
