// The Legendre package's fixed texts and numbers, each with its exact literal.
// Internal to the package.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace legendre::detail {

// Entries of the machine-constants table that the extended-range set-up reads.
inline constexpr std::int32_t MACHINT_INTEGER_DIGITS = 8;  // binary digits of an integer
inline constexpr std::int32_t MACHINT_RADIX = 10;          // radix of floating point
inline constexpr std::int32_t MACHINT_DOUBLE_DIGITS = 14;  // radix digits of a double fraction
inline constexpr std::int32_t MACHINT_DOUBLE_EMIN = 15;    // smallest double exponent
inline constexpr std::int32_t MACHINT_DOUBLE_EMAX = 16;    // largest double exponent

// Reports of the extended-range arithmetic, all with level 1.
inline constexpr std::string_view MSG_XDSET_IRAD = "ERR IN XDSET...IMPROPER VALUE OF IRAD";
inline constexpr std::string_view MSG_XDSET_DZERO = "ERR IN XDSET...IMPROPER VALUE OF DZERO";
inline constexpr std::string_view MSG_XDSET_NBITS = "ERR IN XDSET...IMPROPER VALUE OF NBITS";
inline constexpr std::string_view MSG_XDSET_NRADPL = "ERR IN XDSET...IMPROPER VALUE OF NRADPL";
inline constexpr std::string_view MSG_XDSET_NRADPL_L = "ERR IN XDSET...NRADPL .GE. L";
inline constexpr std::string_view MSG_XDSET_KMAX = "ERR IN XDSET...6*L .GT. KMAX";
inline constexpr std::string_view MSG_XDADJ_OVERFLOW = "ERR IN XDADJ...OVERFLOW IN AUXILIARY INDEX";

// Reports of the entry routine, level 1: error 1 for an invalid request,
// error 2 for a colatitude out of range.
inline constexpr std::string_view MSG_XDLEGF_INVALID = "XDLEGF: DNU1,NUDIFF,MU1,MU2, OR ID NOT VALID";
inline constexpr std::string_view MSG_XDLEGF_THETA = "XDLEGF: THETA OUT OF RANGE";
inline constexpr std::string_view THETA_PREFIX = "THETA: ";
inline constexpr int LEVEL_RECOVERABLE = 1;

// The ladders climb one degree per step from below 0.5, so a request's last
// degree bounds the work; beyond this the call would run for seconds, and
// from 2^53 on the degree no longer advances at all.
inline constexpr double MAX_DEGREE = 1.0e6;

// The tolerance of the order-conversion entry count is the single-precision
// literal 0.1, widened to double.
inline constexpr double ENTRY_COUNT_SLACK = static_cast<double>(0.1f);

// B(2k)/(2k), k = 1..12, B the Bernoulli numbers, as numerator over
// denominator: the asymptotic coefficients of the digamma function.  Twelve
// cover a series length of up to 120 bits.
inline constexpr std::array<double, 12> BNUM = {
    1.0, -1.0, 1.0, -1.0, 1.0, -691.0, 1.0, -3617.0, 43867.0, -174611.0, 77683.0, -236364091.0};
inline constexpr std::array<double, 12> BDEN = {
    12.0, 120.0, 252.0, 240.0, 132.0, 32760.0, 12.0, 8160.0, 14364.0, 6600.0, 276.0, 65520.0};

}  // namespace legendre::detail
