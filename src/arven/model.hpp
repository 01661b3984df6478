// The model as the field-work tool sees it: a coefficient history read from a
// file (with its checksum), sites inside the model's cap, ranges of epochs, and
// the field direction at a site and epoch in the true-declination convention.
//
// Conventions.  The coefficient files describe the negated field: the grid
// program's components X, Y, Z are minus the physical north, east and down
// components.  Here the physical field is reported: north = -X, east = -Y,
// down = -Z (nT), the declination is the true one, atan2(east, north) in
// (-180, 180] degrees east of north, and the inclination is positive
// downwards.  Wherever the true declination lies in (-90, 90) it equals the
// grid program's one-argument arctangent of Y / X.  Errors are the model's
// 95 % errors, as in the grid report.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "arven/error.hpp"
#include "run/prediction.hpp"

namespace arven {

inline constexpr double CAP_POLE_LATITUDE = 45.0;   // degrees north
inline constexpr double CAP_POLE_LONGITUDE = 8.0;   // degrees east
inline constexpr double CAP_HALF_ANGLE = 40.0;      // degrees: the model is defined inside
inline constexpr double FIRST_EPOCH = 0.0;          // years AD
inline constexpr double LAST_EPOCH = 1900.0;        // years AD
inline constexpr double RECORD_SPACING = 5.0;       // years between coefficient records
inline constexpr char DEFAULT_COEFFICIENT_FILE[] = "ARV_coeff_00.inp";

// The coefficient file to use: `given` when not empty, else the default file
// name in the working directory if it exists, else `bundled`.
std::string resolve_coefficient_file(const std::string& given, const std::string& bundled);

// A coefficient history with where it came from.
class Model {
public:
    // Reads `path` with the grid program's reader and checks.  Throws
    // arven::Error (one line: the file name and what is wrong) when the file
    // is missing, not a regular file, short, holds a token that is not a
    // number, or holds a value that is not finite.  A missing file is never
    // created.
    static Model load(const std::string& path);

    const run::CoefficientTable& table() const { return *table_; }
    const std::string& path() const { return path_; }
    const std::string& sha256() const { return sha256_; }

private:
    std::shared_ptr<const run::CoefficientTable> table_;
    std::string path_;
    std::string sha256_;
};

// Angular distance (degrees) of the geodetic point (latitude, longitude in
// degrees, height 0) from the cap pole, measured in the cap frame the model
// uses.
double cap_distance(double latitude, double longitude);

// A site with its epoch-independent basis.
struct Site {
    double latitude = 0.0;    // geodetic, degrees north, as given
    double longitude = 0.0;   // degrees east, as given
    run::NodeBasis basis;
};

// The site at geodetic latitude in [-90, 90] and longitude in [-180, 180]
// (degrees), at most CAP_HALF_ANGLE from the cap pole.  Throws arven::Error
// otherwise, or when the model's basis cannot be evaluated there.
Site make_site(double latitude, double longitude);

// Epochs from, from + step, ... up to `to` (years AD).
struct EpochRange {
    double from = FIRST_EPOCH;
    double to = LAST_EPOCH;
    double step = 5.0;
};

// The epochs of `range`: from + i step (not accumulated) for every i with
// from + i step <= to (within a millionth of a step).  Throws arven::Error
// unless 0 <= from <= to <= 1900, step > 0, and there are at most 200,001
// epochs.
std::vector<double> epochs_of(const EpochRange& range);

// The field and its direction at a site and epoch (physical components).
struct Direction {
    double epoch = 0.0;   // years AD
    double dec = 0.0;     // true declination, degrees east of north, (-180, 180]
    double inc = 0.0;     // inclination, degrees, positive down
    double edec = 0.0;    // 95 % error of dec, degrees
    double einc = 0.0;    // 95 % error of inc, degrees
    double north = 0.0;   // physical field components, nT
    double east = 0.0;
    double down = 0.0;
};

// The true declination (degrees, (-180, 180]) of a result of
// run::evaluate_field: atan2(-Y, -X), since the files describe the negated
// field.
double true_declination(const run::NodeResult& field);

// The direction at `site` for the interpolated coefficients COEF of `epoch`.
Direction direction_at(const Site& site, const run::CoefficientRecord& COEF, double epoch);

// The epochs of a computation with the coefficients interpolated to each,
// formed once and shared by every site and sample that uses those epochs.
struct EpochTable {
    std::vector<double> epochs;                    // years AD
    std::vector<run::CoefficientRecord> COEF;      // COEF[i] at epochs[i]
};

// Interpolates the model to every epoch (years AD, each in [0, 1900]).
EpochTable epoch_table(const Model& model, const std::vector<double>& epochs);

// The direction at `site` for every epoch of `table`.
std::vector<Direction> curve_at(const Site& site, const EpochTable& table);

}  // namespace arven
