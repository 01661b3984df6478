// The machine-constants table: radix, digit counts and exponent range of the
// floating-point types, integer size and the error-message unit.
#pragma once

#include <cstdint>

namespace legendre {

// Entry I (1..16) of the table, for 32-bit integers and IEEE 754 single and
// double precision.  Entries: 4 the error-message unit (6), 8 the binary
// digits of an integer (31), 9 the largest integer, 10 the radix (2),
// 11 and 14 the radix digits of a single and double fraction (24, 53),
// 15 and 16 the exponent range of a double (-1021, 1024).
std::int32_t MACHINT(std::int32_t I);

}  // namespace legendre
