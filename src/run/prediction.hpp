// The model evaluated anywhere: the coefficient history, its interpolation to
// an epoch, and the field, declination and inclination with their errors at a
// point.  The grid run uses exactly these routines; other tools call them for
// any site and epoch.
#pragma once

#include <array>
#include <string_view>

#include "geometry/geometry.hpp"

namespace run {

inline constexpr int NRECORDS = 381;   // epochs 0, 5, ..., 1900 AD
inline constexpr int NENTRIES = 18;    // nine coefficients, then their nine errors
inline constexpr int NBASIS = 9;       // basis functions, in the model's basis order

// One record of the coefficient history, or its interpolation to an epoch
// (COEF): entries 0..8 the coefficients, 9..17 their errors (field units, nT).
using CoefficientRecord = std::array<double, NENTRIES>;

// COEFTAB: record r (0-based) holds the model at epoch 5 r AD.
struct CoefficientTable {
    std::array<CoefficientRecord, NRECORDS> record{};
};

// Reads the 381 x 18 numbers of a coefficient file (free-form, line breaks
// carry no meaning, anything after the last number is not read) through the
// record layer on unit 7.  A missing file is created empty by the
// open-or-create rule; a short file or a token that is not a number ends the
// run with the layer's diagnostic (textio::RunEnd).
void load_coefficients(std::string_view file_name, CoefficientTable& COEFTAB);

// COEF at epoch `time` (years AD, 0 <= time <= 1900): linear interpolation
// between the two records around it; errors interpolated like coefficients.
CoefficientRecord interpolate(const CoefficientTable& COEFTAB, double time);

// Everything about one point that does not depend on the epoch: the point as
// evaluated (after the replacement of latitude 45 and longitude 8), its
// geocentric and cap coordinates, the nine basis values of the north, east and
// vertical components in the cap frame, and the rotations back.
struct NodeBasis {
    double FLAT = 0.0;    // geodetic latitude, degrees north (45.0 becomes 45.001)
    double FLON = 0.0;    // longitude, degrees east (8.0 becomes 8.001)
    double GCLAT = 0.0;   // geocentric latitude, degrees
    double RGEO = 0.0;    // geocentric radius, km
    double CLAT = 0.0;    // cap latitude, degrees
    double CLON = 0.0;    // cap longitude, degrees
    std::array<double, NBASIS> BX{};   // along the cap meridian, towards the cap pole
    std::array<double, NBASIS> BY{};   // along the cap parallel
    std::array<double, NBASIS> BZ{};   // vertical, downward
    geometry::GEOCEN geocen;   // holds this point's deflection of the vertical
    geometry::CAPTRN captrn;   // holds this point's cap rotation
    // The same two rotations in the form the variances take them: squared
    // cosine and sine of the angle between the cap and geographic frames, and
    // cosine and sine of the deflection of the vertical in closed form.
    double cos2_alpha = 0.0, sin2_alpha = 0.0;
    double cd = 0.0, sd = 0.0;
};

// The field and its direction at a point for one coefficient vector.
// X, Y, Z: north, east and vertical components in the local geodetic frame
// (field units).  The coefficient files describe the negated field, so the
// physical horizontal field points along (-X, -Y).
// DEC: one-argument arctangent of Y / X, degrees, in (-90, 90).
// INC: minus the arctangent of Z / H, degrees.  EDEC, EINC: their errors,
// degrees, propagated from the coefficient errors.
struct NodeResult {
    double X = 0.0, Y = 0.0, Z = 0.0;
    double DEC = 0.0, INC = 0.0, EDEC = 0.0, EINC = 0.0;
};

// The basis at geodetic latitude and longitude (degrees, inside the model's
// cap), with the cap pole of the model.  Ends the run with return code 150 if
// the basis does not come out with nine terms.
NodeBasis evaluate_basis(const geometry::DegreeTable& NK, double latitude, double longitude);

// Field synthesis, direction and errors at a point for COEF.
NodeResult evaluate_field(const NodeBasis& basis, const CoefficientRecord& COEF);

// The whole prediction at one site and epoch: geodetic latitude and longitude
// (degrees, inside the cap), epoch in years AD (0..1900).  For many epochs at
// one site, evaluate the basis once and call evaluate_field per epoch instead.
NodeResult predict(const CoefficientTable& COEFTAB, double latitude, double longitude, double time);

}  // namespace run
