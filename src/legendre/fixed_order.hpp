// Legendre functions of one integer order over a run of real degrees: a
// hypergeometric series at the two lowest degrees of the run's residue class,
// then the three-term recurrence in the degree.  Also the digamma function
// that the second-kind series needs.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>

namespace legendre {

// How XDFIXMU evaluates the first kind.  `literal` carries every value as an
// extended-range number and sums the series over all its terms (stopping only
// on an exact zero term).  `quick` first tries ordinary doubles: while every
// term, partial sum and ladder value lies in the normalised band with
// exponent 0, XDADJ would leave each of them as it is and each XDSUM returns
// the correctly rounded sum of the two values (its rescalings are exact
// powers of two), so the ordinary operations give the very same values.  It
// also ends the series at the first term below half a unit in the last place
// of the sum: the term ratio is at most s <= 1/2 in magnitude for the degrees
// the series serves, so no later term could change the sum either.  As soon
// as a value leaves the band, `quick` starts again as `literal`.  Both give
// the same values; a pair outside the double range may come out in another
// of its equal representations (X * RADR^L, IX - L for X, IX), see XDLEGF.
enum class Evaluation { quick, literal };

// Functions of order MU >= 0 at colatitude THETA (radians, 0 < THETA <= pi/2),
// x = cos THETA, for the degrees DNU1, DNU1 + 1, ..., DNU2 (DNU1 >= -1,
// DNU2 - DNU1 a whole number >= 0).  ID = 2 gives the second kind Q^MU (orders
// 0 and 1 only), any other ID the first kind P^(-MU).  Writes RES[k], IRES[k]
// for k = 0, 1, ..., one extended-range pair per degree in increasing order,
// not folded to ordinary form, and nothing beyond the spans' size.  The
// request arrives validated; nothing is checked here.
void XDFIXMU(double DNU1, double DNU2, std::int32_t MU, double THETA, std::int32_t ID,
             std::span<double> RES, std::span<std::int32_t> IRES,
             Evaluation evaluation = Evaluation::quick);

// psi(X), the logarithmic derivative of the gamma function, for X > 0: the
// argument is shifted up to at least NPSI and KPSI - 1 asymptotic terms are
// summed (KPSI - 1 <= 12).
double XDDIGAM(double X, std::int32_t KPSI, std::int32_t NPSI);

// The remainder of x divided by 1.0, with the sign of x: what fmod(x, 1.0)
// returns, for finite x, without its general division loop.  The difference
// is exact, since it holds only the fraction bits of x.
inline double remainder_of_one(double x)
{
    return std::copysign(x - std::trunc(x), x);
}

}  // namespace legendre
