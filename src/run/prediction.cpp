// The prediction at one site and epoch, for callers that need a single value.
#include "run/prediction.hpp"

namespace run {

NodeResult predict(const CoefficientTable& COEFTAB, double latitude, double longitude, double time)
{
    geometry::DegreeTable NK{};
    geometry::CAPTAB(NK);
    return evaluate_field(evaluate_basis(NK, latitude, longitude), interpolate(COEFTAB, time));
}

}  // namespace run
