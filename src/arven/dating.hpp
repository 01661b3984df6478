// Archaeomagnetic dating of a measured direction against the model's curve at
// the site: probability densities over the epochs and their 95 % highest-
// density intervals.
//
// For each epoch t the model gives D(t), I(t) and their 95 % errors, taken as
// 1.96 sigma.  The measurement's sigma_I = A95 / 2.448 and sigma_D = A95 /
// (2.448 cos I).  The densities are
//   p_I(t) ~ exp(-(I - I(t))^2 / (2 (sigma_I^2 + sigma_I(t)^2))),
//   p_D(t) the same with D - D(t) wrapped into (-180, 180],
//   p(t)   ~ p_D(t) p_I(t),
// each normalised to unit area over the epoch range (trapezoidal rule; unit:
// per year).
#pragma once

#include <string>
#include <vector>

#include "arven/model.hpp"
#include "arven/output.hpp"

namespace arven {

inline constexpr double HPD_MASS = 0.95;

// A measured direction: declination and inclination (degrees, inclination
// positive down) and its alpha95 (degrees).
struct Measurement {
    double dec = 0.0;
    double inc = 0.0;
    double a95 = 0.0;
};

// Throws arven::Error unless dec is finite, -90 < inc < 90 and 0 < a95 < 180.
void check_measurement(const Measurement& m);

// A closed interval of epochs, years AD.
struct Interval {
    double from = 0.0;
    double to = 0.0;
};

// One density over the epochs with its highest-density region.
struct Density {
    std::vector<double> value;     // per year, unit area over the range
    // True when at least one epoch is compatible with the measurement: the
    // difference within 1.96 combined sigma (one component), or the sum of
    // the two squared normalised differences within 5.991 (the 95 % point of
    // chi-square with two degrees of freedom) for the combined density.  When
    // false, `hpd` is empty and the result reads "no compatible epoch".
    bool compatible = false;
    std::vector<Interval> hpd;     // the 95 % highest-density intervals, in time order
};

struct DatingResult {
    std::vector<double> epochs;   // years AD
    Density dec;
    Density inc;
    Density combined;
};

// Dates `m` against the model curve `curve` at the site (at least two epochs,
// ascending).  Throws arven::Error for fewer than two epochs.
DatingResult date_measurement(const std::vector<Direction>& curve, const Measurement& m);

// The smallest set of epochs holding the fraction `mass` of the density's
// area (trapezoidal weights; the density need not be normalised), as runs of
// consecutive epochs.
std::vector<Interval> hpd_intervals(const std::vector<double>& epochs, const std::vector<double>& density,
                                    double mass);

// "1150-1230 AD, 1580-1610 AD", or "no compatible epoch".
std::string intervals_text(const Density& density);

// The short human-readable summary of one dating, lines ending in "\n".
std::string dating_summary(const Site& site, const Measurement& m, const DatingResult& result);

// The density table as CSV with the provenance header and the summary as
// comments: epoch, the model's dec, inc, edec, einc, then p_dec, p_inc, p.
std::string density_csv(const Provenance& provenance, const Site& site, const Measurement& m,
                        const std::vector<Direction>& curve, const DatingResult& result);

}  // namespace arven
