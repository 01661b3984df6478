// The exact literals of the geometry subsystem, in one place.
#pragma once

namespace geometry::constants {

// pi/180: degrees times it give radians, radians divided by it give degrees.
inline constexpr double DEGREE = 0.017453292519943295;
// The double nearest pi, for the rotation at a point on a geographic pole.
inline constexpr double PI = 3.141592653589793;

// WGS84 ellipsoid: semi-major axis (km) and first eccentricity squared.
inline constexpr double WGS84_A = 6378.137;
inline constexpr double WGS84_E2 = 0.0066943800229;

// Real degrees n_k(m) of the basis functions for the cap of half-angle 40
// degrees about (45 N, 8 E).  They were tabulated in single precision, so the
// model's coefficients were fitted with these single-precision values widened
// to double, not with the nearest doubles of the decimals.
inline constexpr double DEGREE_K1_M0 = static_cast<double>(2.932276f);
inline constexpr double DEGREE_K1_M1 = static_cast<double>(2.2753966f);
inline constexpr double DEGREE_K2_M0 = static_cast<double>(5.012005f);
inline constexpr double DEGREE_K2_M1 = static_cast<double>(5.012005f);
inline constexpr double DEGREE_K2_M2 = static_cast<double>(4.090469f);

// Lanczos approximation of ln Gamma (gamma = 5, six terms).
inline constexpr double LANCZOS_C[6] = {
    76.18009172947146,     -86.50532032941678,     24.01409824083091,
    -1.231739572450155,    0.001208650973866179,   -5.395239384953e-06,
};
inline constexpr double LANCZOS_SERIES_START = 1.000000000190015;
inline constexpr double LANCZOS_SQRT_2PI = 2.5066282746310007;
inline constexpr double LANCZOS_SHIFT = 5.5;

// The Legendre entry's family selector for P^(mu) of positive order, which
// carries the factor (-1)^mu.
inline constexpr int LEGENDRE_FIRST_KIND_POSITIVE_ORDER = 3;

}  // namespace geometry::constants
