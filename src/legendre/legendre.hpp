// Associated Legendre functions of real degree and integer order at a
// colatitude, computed with extended-range numbers (a double and a binary
// exponent) so that no intermediate overflows or underflows.
#pragma once

#include <cstdint>
#include <span>

#include "legendre/machint.hpp"

namespace legendre {

// Request: degrees DNU1, DNU1 + 1, ..., DNU1 + NUDIFF (DNU1 >= -1) or orders
// MU1..MU2 (0 <= MU1 <= MU2; an order run needs NUDIFF = 0), colatitude THETA
// in radians (0 < THETA <= pi/2, evaluated at x = cos THETA), family ID:
// 1 = P^(-mu), 2 = Q^(mu), 3 = P^(mu) (with the factor (-1)^mu),
// 4 = normalised first kind (whole degrees only).
// Results: NRES = MU2 - MU1 + NUDIFF + 1 extended-range pairs, the value being
// RES[i] * 2^IRES[i]; IRES[i] = 0 whenever the value is an ordinary double.
// RES and IRES must hold at least NRES entries.  Invalid requests are reported
// through the message handler, which ends the run.
void XDLEGF(double DNU1, std::int32_t NUDIFF, std::int32_t MU1, std::int32_t MU2,
            double THETA, std::int32_t ID,
            std::span<double> RES, std::span<std::int32_t> IRES);

}  // namespace legendre
