// Fixed-point fields: the two roundings, the shapes below 1, signs of values
// that round to zero, overflow and the non-finite markers.
#include "textio/layer.hpp"
#include "textio/textio.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <string_view>

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

// The fast path must give the exact path's text byte for byte wherever it
// answers: random magnitudes, random bit patterns, values a few steps around
// every kind of half, decimal ties whose 17-digit forms reach or miss the half,
// carries through nines, values rounding to zero and the ends of its range.
class FastFixed : public ::testing::Test {
protected:
    void check(double x)
    {
        for (int d = 0; d <= textio::detail::FAST_MAX_DECIMALS; ++d) {
            char text[textio::detail::FAST_FIXED_CHARS];
            const std::size_t n = textio::detail::fast_fixed_text(x, d, text);
            ++checked_;
            if (n == 0) continue;
            ++answered_;
            const std::string exact = textio::detail::render_fixed_exact(x, d);
            const std::string_view fast(text + sizeof text - n, n);
            if (fast != exact && ++failures_ <= 10) {
                ADD_FAILURE() << std::hexfloat << x << std::defaultfloat << " (" << x << ") d=" << d << ": fast \""
                              << fast << "\", exact \"" << exact << "\"";
            }
        }
    }
    // x and its neighbours up to `steps` representable values away on each side.
    void check_around(double x, int steps)
    {
        check(x);
        double up = x;
        double down = x;
        for (int i = 0; i < steps; ++i) {
            up = std::nextafter(up, HUGE_VAL);
            down = std::nextafter(down, -HUGE_VAL);
            check(up);
            check(down);
        }
    }
    long checked_ = 0;
    long answered_ = 0;
    long failures_ = 0;
};

TEST_F(FastFixed, AgreesWithTheExactDigits)
{
    std::mt19937_64 random(20070101);
    std::uniform_real_distribution<double> unit(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 16);
    for (int i = 0; i < 300000; ++i) {
        const double x = unit(random) * std::pow(10.0, exponent(random));
        check(i % 2 ? x : -x);
    }
    for (int i = 0; i < 100000; ++i) check(with_bits(random()));
    const long random_answered = answered_;
    EXPECT_GT(random_answered, checked_ / 2);  // the path is taken, not merely declined

    // A half of the last shown decimal, built from random integers of every size.
    std::uniform_int_distribution<int> digits(1, 15);
    for (int i = 0; i < 60000; ++i) {
        const std::uint64_t top = static_cast<std::uint64_t>(std::pow(10.0, digits(random)));
        const std::uint64_t whole = random() % top;
        const int d = i % (textio::detail::FAST_MAX_DECIMALS + 1);
        check_around((static_cast<double>(whole) + 0.5) / std::pow(10.0, d), 3);
    }
    // Decimal ties with few digits (0.105, 0.045, 0.125, 9.995, 99.995, ...).
    for (int d = 0; d <= textio::detail::FAST_MAX_DECIMALS; ++d) {
        const double scale = std::pow(10.0, d + 1);
        for (int j = 5; j < 200000; j += 10) check_around(j / scale, 2);
    }
    const double special[] = {0.0, -0.0, 0.9999999, 0.99999999999999989, 9.9999999999999995, 0.5, 1.5, 2.5,
                              0.05, 0.005, 0.0005, 0.00005, 0.000049999999999999996, 999999999999999.0,
                              99999999999999.95, 4503599627370495.5, 4503599627370496.0,
                              std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::max(), 1e-300, 0.1, 0.3, 0.7, 0.03};
    for (double x : special) {
        check_around(x, 4);
        check_around(-x, 4);
    }
    EXPECT_EQ(failures_, 0) << "of " << answered_ << " answered out of " << checked_;
}

TEST(RenderFixedField, WidthsAgreeWithTheExactText)
{
    std::mt19937_64 random(1500);
    std::uniform_real_distribution<double> value(-20000.0, 20000.0);
    for (int i = 0; i < 20000; ++i) {
        const double x = value(random) / static_cast<double>(1 << (i % 16));
        for (int d = 0; d <= 4; ++d) {
            const std::string exact = textio::detail::render_fixed_exact(x, d);
            for (int w = 5; w <= 12; ++w) {
                const std::string field = exact.size() > static_cast<std::size_t>(w)
                                              ? std::string(static_cast<std::size_t>(w), '*')
                                              : std::string(static_cast<std::size_t>(w) - exact.size(), ' ') + exact;
                ASSERT_EQ(textio::render_fixed_field(x, w, d), field) << x << " F" << w << "." << d;
            }
        }
    }
}

}  // namespace
