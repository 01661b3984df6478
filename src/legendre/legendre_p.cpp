#include <array>
#include <cmath>
#include <cstdint>

#include "legendre/legendre.hpp"

namespace legendre {

ExtendedValue legendre_p_extended(double nu, std::int32_t m, double theta)
{
    // Family 3 is P^m with the factor (-1)^m; one degree, one order.
    std::array<double, 1> value{};
    std::array<std::int32_t, 1> exponent{};
    XDLEGF(nu, 0, m, m, theta, 3, value, exponent);
    return {value[0], exponent[0]};
}

double legendre_p(double nu, std::int32_t m, double theta)
{
    const ExtendedValue p = legendre_p_extended(nu, m, theta);
    return std::ldexp(p.value, p.exponent);
}

}  // namespace legendre
