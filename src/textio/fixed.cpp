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

std::string render_fixed(double x, int decimals)
{
    using detail::Digits;
    if (!std::isfinite(x)) return non_finite_marker(x);
    Digits d = detail::decimal_digits(x);
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
        detail::round_digits(d, k < 16 ? k : 16);
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
