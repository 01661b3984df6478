#include "errors/value_lines.hpp"

#include "errors/constants.hpp"
#include "legendre/machint.hpp"
#include "textio/textio.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace errors::detail {
namespace {

// Significant digits of the first rounding, as for every printed number.
constexpr int FIRST_ROUNDING = 17;
// Enough decimals for the exact expansion of any double (the smallest
// subnormal has 751 significant digits), so that the digit after the 17th is
// the true one and not already rounded.
constexpr int EXACT_DECIMALS = 780;
constexpr int BUFFER_CHARS = EXACT_DECIMALS + 16;

// Keeps `keep` digits of `digits`, adding one with carry when the next digit is
// 5 or more; a carry out of the first digit gives "1" and raises `exponent`.
void round_half_up(std::string& digits, std::size_t keep, int& exponent)
{
    if (digits.size() <= keep) return;
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (!up) return;
    for (std::size_t i = keep; i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
}

}  // namespace

ValueWidths value_widths()
{
    const double largest = legendre::MACHINT(MACHINT_LARGEST_INTEGER);
    // The radix raised to the single fraction's digit count in single
    // precision, as the machine constants describe a single number.
    const float single_span = std::pow(static_cast<float>(legendre::MACHINT(MACHINT_RADIX)),
                                       static_cast<float>(legendre::MACHINT(MACHINT_SINGLE_DIGITS)));
    return {static_cast<int>(std::log10(largest)) + 1,
            static_cast<int>(std::log10(single_span)) + 1};
}

std::string exponent_field(double x, int digits)
{
    const int width = digits + REAL_FIELD_EXTRA;
    if (!std::isfinite(x)) return textio::render_fixed_field(x, width, digits);

    std::string mantissa;
    int exponent = 0;  // of 0.d1d2... x 10^exponent
    if (x == 0.0) {
        mantissa.assign(static_cast<std::size_t>(digits), '0');
    } else {
        char exact[BUFFER_CHARS];
        std::snprintf(exact, sizeof exact, "%.*e", EXACT_DECIMALS, std::fabs(x));
        // exact = "d.ddd...e+XX": the leading digit, the decimals, the exponent.
        const std::string text(exact);
        const std::size_t e_pos = text.find('e');
        mantissa = text.substr(0, 1) + text.substr(2, e_pos - 2);
        exponent = std::atoi(text.c_str() + e_pos + 1) + 1;
        round_half_up(mantissa, FIRST_ROUNDING, exponent);
        round_half_up(mantissa, static_cast<std::size_t>(digits), exponent);
        mantissa.resize(static_cast<std::size_t>(digits), '0');
    }

    std::string out = (x < 0.0 ? "-." : ".") + mantissa;
    const int magnitude = std::abs(exponent);
    char tail[16];
    if (magnitude <= 99)
        std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', magnitude);
    else
        std::snprintf(tail, sizeof tail, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
    out += tail;
    if (out.size() < static_cast<std::size_t>(width)) out.insert(0, static_cast<std::size_t>(width) - out.size(), ' ');
    return out;
}

}  // namespace errors::detail
