// Extended-range numbers: a double X with a 32-bit exponent IX, standing for
// X * RADR^IX, so that products and sums far outside the double range can be
// carried without overflow or underflow.  There is no multiplication routine:
// a caller multiplies the double parts, adds the exponents itself and calls
// XDADJ after every single product or quotient.
//
// Normalised form: X = 0 with IX = 0, or RADR^-L <= |X| < RADR^L; in both
// cases |IX| <= KMAX.  Ordinary form: IX = 0 and X is the value itself.
#pragma once

#include <cstdint>

namespace legendre {

// The parameters of the representation.  Written once, by the first XDSET
// call of the run; every later call leaves them as they are.
struct ExtendedRangeParameters {
    std::int32_t IRAD = 0;    // radix of the representation: 2, 4, 8 or 16
    std::int32_t NRADPL = 0;  // radix places in the fraction of a double
    double DZERO = 0.0;       // 0: exponent range from MACHINT; else L from its size
    std::int32_t NBITS = 0;   // bits of an integer, sign excluded
    std::int32_t IEMIN = 0;   // smallest double exponent (DZERO = 0 only)
    std::int32_t IEMAX = 0;   // largest double exponent (DZERO = 0 only)
    std::int32_t LG2RAD = 0;  // log2 of IRAD
    std::int32_t NBITM = 0;   // bits of a double fraction; the series length
    double RADR = 0.0;        // IRAD as a double
    double RLOG10 = 0.0;      // log10(RADR)
    std::int32_t L = 0;       // half-width of the normalised band, in radix places
    std::int32_t TWOL = 0;    // 2 L, the exponent step of one normalisation
    double RADL = 0.0;        // RADR^L
    double RADLSQ = 0.0;      // RADR^(2 L)
    std::int32_t KMAX = 0;    // largest permitted |IX|
    std::int32_t ISETUP = 0;  // 1 once XDSET has begun its set-up
};

// The parameters as the first XDSET call left them (all zero before it).
const ExtendedRangeParameters& XDPARAMS();

// One-time set-up.  A zero argument (0.0 for DZERO) takes the default from
// MACHINT; with all four zero: radix 2, L = 511, KMAX = 2^30 - 1022.  Only the
// first call of the run does anything; an improper parameter is reported
// through XERROR (errors 1 to 6, level 1).
void XDSET(std::int32_t IRAD, std::int32_t NRADPL, double DZERO, std::int32_t NBITS);

// Normalises (X, IX) by at most one step of RADR^(2L).  An exponent that would
// leave [-KMAX, KMAX], and a non-finite X, are reported as the exponent
// overflow (error 1, level 1).
void XDADJ(double& X, std::int32_t& IX);

// (Z, IZ) = the normalised sum of (X, IX) and (Y, IY).  The inputs are taken
// by value, so the output may be either input pair: XDSUM(S, IS, T, IT, S, IS)
// accumulates in place.  A term far below the precision of the other is
// dropped.  A non-finite input is reported as the exponent overflow.
void XDSUM(double X, std::int32_t IX, double Y, std::int32_t IY, double& Z, std::int32_t& IZ);

// Replaces (X, IX) by (value, 0) when the value lies between RADR^(-2L) and
// RADR^(2L); otherwise leaves the pair exactly as it was.  A non-finite X is
// reported as the exponent overflow.
void XDFOLD(double& X, std::int32_t& IX);

}  // namespace legendre
