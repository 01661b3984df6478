// Legendre functions of one integer order over a run of real degrees: a
// hypergeometric series at the two lowest degrees of the run's residue class,
// then the three-term recurrence in the degree.  Also the digamma function
// that the second-kind series needs.
#pragma once

#include <cstdint>
#include <span>

namespace legendre {

// How the first-kind series ends.  Both give the same value; `full` runs every
// term the series length allows (stopping only on an exact zero term), while
// `negligible_term` also stops at the first term below half a unit in the last
// place of the sum: every later term is smaller still (the term ratio of the
// first kind is at most s <= 1/2), so none of them could change the sum.  An
// extended-range result may then come out in another of its equal
// representations (X * RADR^L, IX - L instead of X, IX); see XDLEGF.
enum class SeriesEnd { negligible_term, full };

// Functions of order MU >= 0 at colatitude THETA (radians, 0 < THETA <= pi/2),
// x = cos THETA, for the degrees DNU1, DNU1 + 1, ..., DNU2 (DNU1 >= -1,
// DNU2 - DNU1 a whole number >= 0).  ID = 2 gives the second kind Q^MU (orders
// 0 and 1 only), any other ID the first kind P^(-MU).  Writes RES[k], IRES[k]
// for k = 0, 1, ..., one extended-range pair per degree in increasing order,
// not folded to ordinary form, and nothing beyond the spans' size.  The
// request arrives validated; nothing is checked here.
void XDFIXMU(double DNU1, double DNU2, std::int32_t MU, double THETA, std::int32_t ID,
             std::span<double> RES, std::span<std::int32_t> IRES,
             SeriesEnd end = SeriesEnd::negligible_term);

// psi(X), the logarithmic derivative of the gamma function, for X > 0: the
// argument is shifted up to at least NPSI and KPSI - 1 asymptotic terms are
// summed (KPSI - 1 <= 12).
double XDDIGAM(double X, std::int32_t KPSI, std::int32_t NPSI);

}  // namespace legendre
