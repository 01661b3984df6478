// Run-wide constants of the prediction, set once and never changed.
#pragma once

namespace run {

// Turns radians into degrees in the direction step.  A 15-digit literal: its
// double lies 7 units in the last place below the double nearest to pi, and
// the report's last digits are computed with exactly this value.
inline constexpr double PI = 3.14159265358979;

// Degrees to radians: the double nearest to pi / 180.
inline constexpr double DTOR = 0.017453292519943295;

// Reference radius of the model, km.
inline constexpr double REFRAD = 6371.0087714;

// The cap pole of the model: latitude (degrees north) and longitude (degrees east).
inline constexpr double FLAT0 = 45.0;
inline constexpr double FLON0 = 8.0;

// Squared semi-axes of the WGS84 ellipsoid, km^2: 6378.137^2 and the square of
// the semi-minor axis.
inline constexpr double WGS84_A2 = 40680631.59076899;
inline constexpr double WGS84_B2 = 40408299.982815705;

// Colatitude of the cap pole, degrees (90 - FLAT0).
inline constexpr double POLE_COLATITUDE = 45.0;

// The fixed files of the grid run, in the working directory.
inline constexpr const char* COEFFICIENT_FILE = "ARV_coeff_00.inp";
inline constexpr const char* REPORT_FILE = "grid_arven.ma.3.dat";

// Record-layer units of the two files.
inline constexpr int COEFFICIENT_UNIT = 7;
inline constexpr int REPORT_UNIT = 61;

}  // namespace run
