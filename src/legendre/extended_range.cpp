#include "legendre/extended_range.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "errors/errors.hpp"
#include "legendre/constants.hpp"
#include "legendre/machint.hpp"

namespace legendre {

namespace {

// The one copy of the parameters, filled by the first XDSET call.
ExtendedRangeParameters params;

void report(std::string_view message, int error_number)
{
    errors::XERROR(message, static_cast<int>(message.size()), error_number,
                   detail::LEVEL_RECOVERABLE);
}

void report_overflow()
{
    report(detail::MSG_XDADJ_OVERFLOW, 1);
}

// base^n by repeated squaring, as an integer power: for radix 2 every power
// in the band is exact, so the rescalings below lose nothing.
double integer_power(double base, std::int64_t n)
{
    if (n < 0) return 1.0 / integer_power(base, -n);
    double result = 1.0;
    double factor = base;
    while (n > 0) {
        if (n & 1) result *= factor;
        factor *= factor;
        n >>= 1;
    }
    return result;
}

// Size class of a magnitude relative to the band: 0 for >= RADL, 1 for
// [1, RADL), 2 for [RADL^-1, 1), 3 below.
int size_class(double magnitude)
{
    if (magnitude >= params.RADL) return 0;
    if (magnitude >= 1.0) return 1;
    if (params.RADL * magnitude >= 1.0) return 2;
    return 3;
}

}  // namespace

const ExtendedRangeParameters& XDPARAMS()
{
    return params;
}

void XDSET(std::int32_t IRAD, std::int32_t NRADPL, double DZERO, std::int32_t NBITS)
{
    ExtendedRangeParameters& p = params;
    if (p.ISETUP != 0) return;
    // Set before any check, so that a failed set-up is never tried again.
    p.ISETUP = 1;

    p.IRAD = IRAD;
    p.NRADPL = NRADPL;
    p.DZERO = DZERO;
    p.NBITS = NBITS;
    p.IEMIN = 0;
    p.IEMAX = 0;
    if (p.IRAD == 0) p.IRAD = MACHINT(detail::MACHINT_RADIX);
    if (p.NRADPL == 0) p.NRADPL = MACHINT(detail::MACHINT_DOUBLE_DIGITS);
    if (p.DZERO == 0.0) {
        p.IEMIN = MACHINT(detail::MACHINT_DOUBLE_EMIN);
        p.IEMAX = MACHINT(detail::MACHINT_DOUBLE_EMAX);
    }
    if (p.NBITS == 0) p.NBITS = MACHINT(detail::MACHINT_INTEGER_DIGITS);

    switch (p.IRAD) {
    case 2: p.LG2RAD = 1; break;
    case 4: p.LG2RAD = 2; break;
    case 8: p.LG2RAD = 3; break;
    case 16: p.LG2RAD = 4; break;
    default: report(detail::MSG_XDSET_IRAD, 1); return;
    }

    p.NBITM = p.NRADPL * p.LG2RAD;
    p.RADR = static_cast<double>(p.IRAD);
    p.RLOG10 = std::log10(p.RADR);

    if (p.DZERO == 0.0) {
        p.L = std::min((p.IEMAX - 1) / 2, (1 - p.IEMIN) / 2);
    } else {
        // A negative or non-finite DZERO has no usable size: it gets the L
        // that the check below rejects.
        const double half_places = std::trunc(0.5 * std::log10(p.DZERO) / p.RLOG10);
        p.L = (std::isfinite(half_places) && half_places >= 4.0)
                  ? static_cast<std::int32_t>(half_places) - 1
                  : 0;
    }
    p.TWOL = 2 * p.L;
    if (p.L < 4) {
        report(detail::MSG_XDSET_DZERO, 2);
        return;
    }

    p.RADL = integer_power(p.RADR, p.L);
    p.RADLSQ = p.RADL * p.RADL;

    if (p.NBITS < 15 || p.NBITS > 63) {
        report(detail::MSG_XDSET_NBITS, 3);
        return;
    }
    // Exponents are 32-bit: above 31 bits KMAX keeps the 31-bit value, so that
    // an exponent plus one normalisation step never leaves the integer range.
    const std::int64_t kmax = (std::int64_t{1} << (std::min(p.NBITS, 31) - 1)) - p.TWOL;
    p.KMAX = static_cast<std::int32_t>(kmax);

    if (p.NBITM < 1 || p.NBITM > 120) {
        report(detail::MSG_XDSET_NRADPL, 4);
        return;
    }
    if (p.NRADPL >= p.L) {
        report(detail::MSG_XDSET_NRADPL_L, 5);
        return;
    }
    if (6 * p.L > p.KMAX) report(detail::MSG_XDSET_KMAX, 6);
}

void XDADJ(double& X, std::int32_t& IX)
{
    const ExtendedRangeParameters& p = params;
    const double magnitude = std::abs(X);
    if (X == 0.0) {
        IX = 0;
    } else if (magnitude < 1.0) {
        if (p.RADL * magnitude < 1.0) {
            X *= p.RADLSQ;
            if (IX >= p.TWOL - p.KMAX) {
                IX -= p.TWOL;
            } else {
                report_overflow();
            }
            return;
        }
    } else if (magnitude >= 1.0) {
        if (magnitude >= p.RADL) {
            // An infinity would stay infinite through every rescaling.
            if (magnitude > std::numeric_limits<double>::max()) {
                report_overflow();
                return;
            }
            X /= p.RADLSQ;
            if (IX <= p.KMAX - p.TWOL) {
                IX += p.TWOL;
            } else {
                report_overflow();
            }
            return;
        }
    } else {
        // Not a number: neither below nor above 1.
        report_overflow();
        return;
    }
    if (IX > p.KMAX || IX < -p.KMAX) report_overflow();
}

void XDSUM(double X, std::int32_t IX, double Y, std::int32_t IY, double& Z, std::int32_t& IZ)
{
    const ExtendedRangeParameters& p = params;
    constexpr double largest = std::numeric_limits<double>::max();
    // A non-finite term could otherwise be dropped below as negligible.
    if (!(std::abs(X) <= largest && std::abs(Y) <= largest)) {
        report_overflow();
        return;
    }

    double sum = 0.0;
    std::int64_t sum_exponent = 0;
    const std::int64_t six_l = 6 * std::int64_t{p.L};
    const std::int64_t ix = IX;
    const std::int64_t iy = IY;

    if (X == 0.0) {
        sum = Y;
        sum_exponent = iy;
    } else if (Y == 0.0) {
        sum = X;
        sum_exponent = ix;
    } else if ((ix < 0) != (iy < 0) && (std::abs(ix) > six_l || std::abs(iy) > six_l)) {
        // The exponents differ by more than 6L: the term with the negative
        // exponent lies far below the precision of the other.
        if (ix >= 0) {
            sum = X;
            sum_exponent = ix;
        } else {
            sum = Y;
            sum_exponent = iy;
        }
    } else {
        const std::int64_t d = ix - iy;
        double s = X;
        std::int64_t is = ix;
        double t = Y;
        std::int64_t j = 0;
        bool negligible = false;
        if (d != 0) {
            if (d < 0) {
                s = Y;
                is = iy;
                t = X;
            }
            const std::int64_t n1 = std::abs(d) / p.L;
            const std::int64_t n2 = std::abs(d) % p.L;
            // Re-express t on the exponent is - j L, as far down as its size
            // allows without leaving the double range.
            int t_class = size_class(std::abs(t));
            j = n1 - 2 + t_class;
            while (j < 0 && t_class < 2) {
                ++t_class;
                j = n1 - 2 + t_class;
            }
            switch (t_class) {
            case 0: t = t * integer_power(p.RADR, -n2) / p.RADLSQ; break;
            case 1: t = t * integer_power(p.RADR, -n2) / p.RADL; break;
            case 2: t = t * integer_power(p.RADR, -n2); break;
            default: t = t * integer_power(p.RADR, p.L - n2); break;
            }
            if (j > 0) {
                // s may take as many factors RADL as keep it finite.
                const int allowed = size_class(std::abs(s));
                if (j > allowed) {
                    negligible = true;
                } else {
                    for (std::int64_t i = 0; i < j; ++i) s *= p.RADL;
                }
            }
        }
        if (negligible) {
            sum = s;
            sum_exponent = is;
        } else if (std::abs(s) > 1.0 && std::abs(t) > 1.0) {
            sum = s / p.RADL + t / p.RADL;
            sum_exponent = is - j * p.L + p.L;
        } else if (std::abs(s) < 1.0 && std::abs(t) < 1.0) {
            sum = s * p.RADL + t * p.RADL;
            sum_exponent = is - j * p.L - p.L;
        } else {
            sum = s + t;
            sum_exponent = is - j * p.L;
        }
    }
    Z = sum;
    IZ = static_cast<std::int32_t>(sum_exponent);
    XDADJ(Z, IZ);
}

void XDFOLD(double& X, std::int32_t& IX)
{
    const ExtendedRangeParameters& p = params;
    if (X == 0.0) {
        IX = 0;
        return;
    }
    // The folding loops below would never end on an infinity.
    if (!(std::abs(X) <= std::numeric_limits<double>::max())) {
        report_overflow();
        return;
    }
    double a = std::abs(X);
    if (IX != 0) {
        const std::int64_t m = std::abs(std::int64_t{IX});
        std::int64_t n1 = m / p.TWOL;
        const std::int64_t n2 = m % p.TWOL;
        if (IX < 0) {
            while (a <= 1.0) {
                a *= p.RADLSQ;
                ++n1;
            }
            a /= integer_power(p.RADR, n2);
            for (std::int64_t i = 0; i < n1; ++i) {
                if (a < 1.0) return;
                a /= p.RADLSQ;
            }
        } else {
            while (a >= 1.0) {
                a /= p.RADLSQ;
                ++n1;
            }
            a *= integer_power(p.RADR, n2);
            for (std::int64_t i = 0; i < n1; ++i) {
                if (a > 1.0) return;
                a *= p.RADLSQ;
            }
        }
    }
    if (a > p.RADLSQ || (a <= 1.0 && p.RADLSQ * a < 1.0)) return;
    X = std::copysign(a, X);
    IX = 0;
}

}  // namespace legendre
