// Internal to the run: the two halves of the evaluation at one point.
#pragma once

#include "run/prediction.hpp"

namespace run {

// Field components in the local geodetic frame (north, east, vertical).
struct GeodeticField {
    double X = 0.0, Y = 0.0, Z = 0.0;
};

// The epoch-independent part of the error step: fills the variance rotations
// of the basis (frame angle and deflection) from its latitudes.
void set_variance_rotations(NodeBasis& basis);

// Sums COEF with the basis values into the field in the cap frame and turns it
// back through the point's cap rotation and deflection of the vertical.
GeodeticField synthesize_field(const NodeBasis& basis, const CoefficientRecord& COEF);

// Declination, inclination and their errors (degrees) from the field and the
// coefficient errors COEF[9..17] carried through the same basis and rotations.
NodeResult direction_and_errors(const NodeBasis& basis, const CoefficientRecord& COEF,
                                const GeodeticField& field);

}  // namespace run
