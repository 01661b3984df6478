// Fixed-point rendering for Fw.d fields: the decimal digits of a double by a
// first rounding to 17 significant digits, a second rounding of that digit
// string to the digits shown, both rounding a half away from zero.
#include "textio/layer.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace textio {
namespace detail {

namespace {

// Significant digits of the first rounding, and digits asked of the
// conversion to see the tail beyond them (two more).
constexpr int FIRST_ROUNDING_DIGITS = 17;
constexpr int PROBE_DIGITS = 19;
// Enough digits for the exact decimal expansion of every double (at most 767
// significant digits), so rounding by hand on it is exact.
constexpr int EXACT_DIGITS = 800;

// The significant digits of the scientific text d.ddd...e±xx into `out`,
// returning the decimal exponent of the first digit.
int scan_scientific(const char* first, const char* last, char* out, int count)
{
    out[0] = first[0];
    std::memcpy(out + 1, first + 2, static_cast<std::size_t>(count - 1));
    const char* e = last - 1;
    while (*e != 'e') --e;
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), last, exponent);
    return exponent;
}

}  // namespace

Digits decimal_digits(double x)
{
    Digits d{};
    const double ax = std::fabs(x);
    if (ax == 0.0) {
        d.digit[0] = '0';
        d.count = 1;
        d.exponent = 0;
        return d;
    }
    // Nineteen correctly rounded digits decide the 17-digit rounding unless the
    // two digits past the 17th read exactly "50": the exact tail may then lie
    // on either side of the half (or on it, which rounds up here but to even in
    // the conversion), so the exact expansion decides.
    char probe[40];
    auto [end, ec] = std::to_chars(probe, probe + sizeof probe, ax, std::chars_format::scientific,
                                   PROBE_DIGITS - 1);
    char digits[PROBE_DIGITS];
    int exponent = scan_scientific(probe, end, digits, PROBE_DIGITS);
    char tail = digits[FIRST_ROUNDING_DIGITS];
    if (digits[17] == '5' && digits[18] == '0') {
        char exact[EXACT_DIGITS + 16];
        auto [xend, xec] = std::to_chars(exact, exact + sizeof exact, ax, std::chars_format::scientific,
                                         EXACT_DIGITS - 1);
        char exact_digits[FIRST_ROUNDING_DIGITS + 1];
        exponent = scan_scientific(exact, xend, exact_digits, FIRST_ROUNDING_DIGITS + 1);
        std::memcpy(digits, exact_digits, FIRST_ROUNDING_DIGITS);
        tail = exact_digits[FIRST_ROUNDING_DIGITS];
    }
    std::memcpy(d.digit, digits, FIRST_ROUNDING_DIGITS);
    d.count = FIRST_ROUNDING_DIGITS;
    d.exponent = exponent + 1;
    if (tail >= '5') {
        int i = FIRST_ROUNDING_DIGITS - 1;
        while (i >= 0 && d.digit[i] == '9') d.digit[i--] = '0';
        if (i >= 0) {
            ++d.digit[i];
        } else {
            d.digit[0] = '1';
            ++d.exponent;
        }
    }
    while (d.count > 1 && d.digit[d.count - 1] == '0') --d.count;
    return d;
}

void round_digits(Digits& d, int keep)
{
    if (keep >= d.count) return;
    const bool up = d.digit[keep] >= '5';
    d.count = keep;
    if (!up) return;
    int i = keep - 1;
    while (i >= 0 && d.digit[i] == '9') --i;
    if (i >= 0) {
        ++d.digit[i];
        d.count = i + 1;
    } else {
        d.digit[0] = '1';
        d.count = 1;
        ++d.exponent;
    }
}

}  // namespace detail

namespace {

// The marker text of a value that is not finite.
std::string non_finite_marker(double x)
{
    if (std::isinf(x)) return "1#INF";
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    constexpr std::uint64_t QUIET_BIT = 0x0008000000000000ULL;
    constexpr std::uint64_t INDEFINITE = 0xFFF8000000000000ULL;  // what 0/0 gives on this machine
    if (bits == INDEFINITE) return "1#IND";
    return (bits & QUIET_BIT) ? "1#QNAN" : "1#SNAN";
}

}  // namespace

namespace detail {

namespace {

// 5^d for the decimals of the fast path.
constexpr std::uint64_t POWER_OF_FIVE[FAST_MAX_DECIMALS + 1] = {1, 5, 25, 125, 625};
// The fast path keeps the shown integer below this, so at most 15 digits are
// shown and the 16-digit cap of the second rounding never applies.
constexpr std::uint64_t FAST_LIMIT = 999999999999999ULL;
// Twice the farthest the first rounding (17 significant digits) can move
// y = |x|·10^d, in units of half a unit of y: 2·10^(m-17) when the integer part
// of y has m digits; 10^m is bounded by 10 times that integer part (1 when it
// is 0).  The factor two covers the rounding of the comparison itself.
constexpr double TIE_MARGIN = 2e-17;

// Writes the two decimal digits of v (below 100) ending before `end`; returns their start.
char* put_two_digits(std::uint64_t v, char* end)
{
    static constexpr char PAIRS[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::memcpy(end - 2, PAIRS + 2 * v, 2);
    return end - 2;
}

}  // namespace

std::string render_fixed_exact(double x, int decimals)
{
    if (!std::isfinite(x)) return non_finite_marker(x);
    Digits d = decimal_digits(x);
    const bool zero = d.digit[0] == '0';
    int n = zero ? 0 : d.exponent;
    int k = n + decimals;
    if (k < 0) {
        // Below a tenth of a unit of the last decimal: a point and zeros, no sign.
        std::string zeros(static_cast<std::size_t>(decimals) + 1, '0');
        zeros.front() = '.';
        return zeros;
    }
    if (!zero) {
        round_digits(d, k < 16 ? k : 16);
        if (d.exponent != n) {
            k += d.exponent - n;
            n = d.exponent;
        }
    } else {
        d.count = 0;
    }
    const bool nonzero = d.count > 0;
    std::string text;
    text.reserve(static_cast<std::size_t>(k) + 4);
    if (nonzero && std::signbit(x)) text.push_back('-');
    if (n == 0 && k == 0) return text + "0.";
    auto digit_at = [&](int i) { return i < d.count ? d.digit[i] : '0'; };
    for (int i = 0; i < n; ++i) text.push_back(digit_at(i));
    text.push_back('.');
    for (int i = n; i < 0; ++i) text.push_back('0');
    for (int i = n > 0 ? n : 0; i < k; ++i) text.push_back(digit_at(i));
    return text;
}

std::size_t fast_fixed_text(double x, int decimals, char* out)
{
    // |x| = mantissa·2^-shift exactly, so y = |x|·10^d = mantissa·5^d·2^-(shift-d),
    // and mantissa·5^d < 2^53·625 < 2^63 fits 64 bits: the integer part of y and
    // its fraction are exact.  The first rounding to 17 significant digits moves
    // y by at most half a unit of its 17th digit and never across an integer
    // (integers below 10^15 have 17-digit forms), so the shown digits are those
    // of y rounded half up unless the fraction lies that close to a half; an
    // exact half has too few digits to be moved and rounds up.
    if (decimals < 0 || decimals > FAST_MAX_DECIMALS) return 0;
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0x7FF) return 0;
    std::uint64_t mantissa = bits & 0x000FFFFFFFFFFFFFULL;
    int shift = 1074;
    if (biased != 0) {
        mantissa |= 0x0010000000000000ULL;
        shift = 1075 - biased;
    }
    const int t = shift - decimals;
    if (t <= 0) return 0;  // |x| of 2^52 or more
    const std::uint64_t scaled = mantissa * POWER_OF_FIVE[decimals];
    std::uint64_t shown = 0;  // y rounded to an integer
    if (t < 64) {
        // From t = 64 on, y < 2^63·0.61/2^64 < 0.31: far below the half.
        const std::uint64_t whole = scaled >> t;
        if (whole >= FAST_LIMIT) return 0;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << t) - 1);
        const std::uint64_t half = std::uint64_t{1} << (t - 1);
        if (rest != half) {
            const double gap = static_cast<double>(rest > half ? rest - half : half - rest);
            const double reach = whole == 0 ? 1.0 : 10.0 * static_cast<double>(whole);
            if (gap <= static_cast<double>(half) * TIE_MARGIN * reach) return 0;
        }
        shown = whole + (rest >= half ? 1 : 0);
    }
    char* const end = out + FAST_FIXED_CHARS;
    char* p = end;
    if (shown == 0) {
        // d = 0 writes "0." or "." depending on the size of |x|: left to the exact path.
        if (decimals == 0) return 0;
        p -= decimals;
        std::memset(p, '0', static_cast<std::size_t>(decimals));
        *--p = '.';
        return static_cast<std::size_t>(end - p);
    }
    // Digits from the right, two at a time: the decimals, the point, the units.
    int left = decimals;
    for (; left >= 2; left -= 2, shown /= 100) p = put_two_digits(shown % 100, p);
    if (left == 1) {
        *--p = static_cast<char>('0' + shown % 10);
        shown /= 10;
    }
    *--p = '.';
    for (; shown >= 10; shown /= 100) p = put_two_digits(shown % 100, p);
    if (shown != 0) *--p = static_cast<char>('0' + shown);
    if (std::signbit(x)) *--p = '-';
    return static_cast<std::size_t>(end - p);
}

}  // namespace detail

std::string render_fixed(double x, int decimals)
{
    char text[detail::FAST_FIXED_CHARS];
    if (const std::size_t n = detail::fast_fixed_text(x, decimals, text)) {
        return std::string(text + detail::FAST_FIXED_CHARS - n, n);
    }
    return detail::render_fixed_exact(x, decimals);
}

std::string render_fixed_field(double x, int width, int decimals)
{
    if (!std::isfinite(x)) {
        std::string marker = non_finite_marker(x);
        marker.resize(static_cast<std::size_t>(width), '.');
        return marker;
    }
    std::string text = render_fixed(x, decimals);
    if (text.size() > static_cast<std::size_t>(width)) return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

}  // namespace textio
