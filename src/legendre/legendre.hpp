// Associated Legendre functions of real degree and integer order at a
// colatitude, computed with extended-range numbers (a double and a binary
// exponent) so that no intermediate overflows or underflows.
#pragma once

#include <cstdint>
#include <span>

#include "legendre/machint.hpp"

namespace legendre {

// The full entry.  Request: degrees DNU1, DNU1 + 1, ..., DNU1 + NUDIFF
// (DNU1 >= -1) or orders MU1..MU2 (0 <= MU1 <= MU2; an order run needs
// NUDIFF = 0), colatitude THETA in radians (0 < THETA <= pi/2, evaluated at
// x = cos THETA), family ID: 1 = P^(-mu), 2 = Q^(mu), 3 = P^(mu) (with the
// factor (-1)^mu), 4 = normalised first kind (whole degrees only).
// Results: NRES = MU2 - MU1 + NUDIFF + 1 extended-range pairs, the value being
// RES[i] * 2^IRES[i]; IRES[i] = 0 whenever the value is an ordinary double.
// Entry i belongs to degree DNU1 + i (a degree run or a single value) or to
// order MU1 + i (an order run).  RES and IRES must hold at least NRES entries.
// Invalid requests are reported through the message handler, which ends the
// run: error 1 for the degree, orders, family or room (also a degree that is
// not finite, a last degree above 1e6, and family 2 at DNU1 = -1), error 2
// for THETA, after the console line "THETA: " and its value.  The first kind
// at whole degree -1 has the values of degree 0.
void XDLEGF(double DNU1, std::int32_t NUDIFF, std::int32_t MU1, std::int32_t MU2,
            double THETA, std::int32_t ID,
            std::span<double> RES, std::span<std::int32_t> IRES);

// A number that may lie outside the double range: value * 2^exponent, with
// exponent 0 whenever the number is an ordinary double (value is then the
// number itself).
struct ExtendedValue {
    double value = 0.0;
    std::int32_t exponent = 0;
};

// P^m_nu(cos theta): the associated Legendre function of the first kind
// (Ferrers function) of real degree nu >= -1 and integer order m >= 0 at the
// colatitude theta in radians, 0 < theta <= pi/2, including the factor
// (-1)^m, so that P^1_1(cos theta) = -sin theta; 0 when nu is a whole number
// below m (degree -1 counting as degree 0).
// Arguments outside these ranges are reported through the message handler,
// which ends the run.
ExtendedValue legendre_p_extended(double nu, std::int32_t m, double theta);

// The same value as a double: it overflows to an infinity or underflows to
// zero where the value lies outside the double range (for example large
// orders near the pole; use legendre_p_extended there).
double legendre_p(double nu, std::int32_t m, double theta);

}  // namespace legendre
