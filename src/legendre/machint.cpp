#include "legendre/machint.hpp"

#include <array>

namespace legendre {

std::int32_t MACHINT(std::int32_t I)
{
    // Fixed at build time for 32-bit integers and IEEE 754 single and double.
    static constexpr std::array<std::int32_t, 16> entries = {
        5,           // 1  standard input unit
        6,           // 2  standard output unit
        7,           // 3  punch unit
        6,           // 4  error-message unit
        32,          // 5  bits per integer storage unit
        4,           // 6  characters per integer storage unit
        2,           // 7  base of integers
        31,          // 8  binary digits of an integer, sign excluded
        2147483647,  // 9  largest integer
        2,           // 10 radix of floating-point numbers
        24,          // 11 radix digits of a single fraction
        -125,        // 12 smallest single exponent
        128,         // 13 largest single exponent
        53,          // 14 radix digits of a double fraction
        -1021,       // 15 smallest double exponent
        1024,        // 16 largest double exponent
    };
    // Only entries 1 to 16 exist; any other index answers 0.
    if (I < 1 || I > 16) return 0;
    return entries[static_cast<std::size_t>(I - 1)];
}

}  // namespace legendre
