// The table of real degrees n_k(m) of the nine basis functions (CAPTAB).
#include "geometry/constants.hpp"
#include "geometry/geometry.hpp"

namespace geometry {

// NK[k][m] for k, m = 0..2, all nine entries written.  Entries with m > k are
// never read and are zero; NK[0][0] is the degree of the constant function.
void CAPTAB(DegreeTable& NK) {
    NK = {{
        {0.0, 0.0, 0.0},
        {constants::DEGREE_K1_M0, constants::DEGREE_K1_M1, 0.0},
        {constants::DEGREE_K2_M0, constants::DEGREE_K2_M1, constants::DEGREE_K2_M2},
    }};
}

}  // namespace geometry
