// The routines XDLEGF hands a request to besides XDFIXMU: runs of orders,
// second-kind runs of degrees, the conversion to positive order and the
// normalisation.  Each writes only RES and IRES, never beyond the spans'
// size, and leaves extended-range pairs for XDLEGF to fold.  Requests arrive
// validated; x = cos THETA and c = 1 / sin THETA come from XDLEGF.
#pragma once

#include <cstdint>
#include <span>

#include "legendre/fixed_order.hpp"

namespace legendre {

// P^(-mu)_DNU1 for mu = MU1..MU2 (MU2 > MU1), entry i of order MU1 + i:
// orders MU2 and MU2 - 1 from XDFIXMU, then downward in the order.
void XDPMURNG(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2, double THETA,
              double x, double c, std::int32_t ID, std::span<double> RES,
              std::span<std::int32_t> IRES, Evaluation evaluation = Evaluation::quick);

// Q^mu_DNU1 for mu = MU1..MU2 (MU2 > MU1): orders 0 and 1 from XDFIXMU, then
// upward in the order.
void XDQMURNG(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2, double THETA,
              double x, double c, std::int32_t ID, std::span<double> RES,
              std::span<std::int32_t> IRES);

// Q^MU1 for the degrees DNU1..DNU2: orders 0 and 1 over the whole run, the
// order raised to MU1 at the two top degrees, then downward in the degree.
void XDQNURNG(double DNU1, double DNU2, std::int32_t MU1, double THETA, double x, double c,
              std::int32_t ID, std::span<double> RES, std::span<std::int32_t> IRES);

// One step of the order recurrence of Q at degree nu, from order mu - 1
// (Q0, IQ0) and mu (Q1, IQ1) to mu + 1, which it leaves in (Q1, IQ1) while the
// old order mu moves to (Q0, IQ0):
// Q^(mu+1) = -2 mu x c Q^mu - (nu - mu + 1)(nu + mu) Q^(mu-1).
void raise_q_order(double nu, std::int32_t mu, double x, double c, double& Q0,
                   std::int32_t& IQ0, double& Q1, std::int32_t& IQ1);

// Replaces, in place, P^(-mu)_nu by P^(mu)_nu = (-1)^mu Gamma(nu+mu+1) /
// Gamma(nu-mu+1) P^(-mu)_nu over the same run of degrees or orders; entries
// whose order exceeds a whole degree become 0.  Degree -1 counts as degree 0
// (P_(-1) = P_0).  Entries leave normalised.
void XDFLIPMU(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2,
              std::span<double> RES, std::span<std::int32_t> IRES);

// Replaces, in place, P^(-mu)_nu (whole degrees) by the normalised value
// sqrt(nu + 1/2) sqrt((nu+mu)! / (nu-mu)!) P^(-mu)_nu, with no factor
// (-1)^mu; entries whose order exceeds the degree become 0.
void XDPNORML(double DNU1, double DNU2, std::int32_t MU1, std::int32_t MU2,
              std::span<double> RES, std::span<std::int32_t> IRES);

}  // namespace legendre
