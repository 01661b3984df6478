// Reading the coefficient history, checking sites and epoch ranges, and the
// field direction in the true-declination convention.
#include "arven/model.hpp"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "arven/output.hpp"
#include "arven/sha256.hpp"
#include "geometry/geometry.hpp"
#include "textio/textio.hpp"

namespace arven {
namespace {

constexpr double DEGREE = 0.017453292519943295;   // radians per degree
constexpr int COEFFICIENT_UNIT = 7;               // the unit the grid program reads on
constexpr std::size_t MAX_EPOCHS = 200001;

// The degree table, filled once; it never changes afterwards.
const geometry::DegreeTable& degree_table() {
    static const geometry::DegreeTable NK = [] {
        geometry::DegreeTable table{};
        geometry::CAPTAB(table);
        return table;
    }();
    return NK;
}

// One line for a run end raised inside the model routines.
std::string describe(const textio::RunEnd& end, const std::string& context) {
    if (end.failure) {
        std::string line = context + ": " + end.operation + " of '" + end.file_name + "' failed";
        if (!end.description.empty()) line += ": " + end.description;
        return line;
    }
    return context + ": the model computation stopped with status " + std::to_string(end.exit_status);
}

}  // namespace

std::string resolve_coefficient_file(const std::string& given, const std::string& bundled) {
    if (!given.empty()) return given;
    std::error_code ec;
    if (std::filesystem::exists(DEFAULT_COEFFICIENT_FILE, ec)) return DEFAULT_COEFFICIENT_FILE;
    return bundled;
}

Model Model::load(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) throw Error("coefficient file '" + path + "' does not exist");
    if (!std::filesystem::is_regular_file(status)) {
        throw Error("coefficient file '" + path + "' is not a regular file");
    }
    auto table = std::make_shared<run::CoefficientTable>();
    try {
        run::load_coefficients(path, *table);
    } catch (const textio::RunEnd& end) {
        try {
            textio::UNITCLOS(COEFFICIENT_UNIT);
        } catch (const textio::RunEnd&) {
            // The read has already failed; that failure is the one to report.
        }
        throw Error(describe(end, "cannot read coefficient file '" + path + "'"));
    }
    for (std::size_t r = 0; r < table->record.size(); ++r) {
        for (double value : table->record[r]) {
            if (!std::isfinite(value)) {
                throw Error("coefficient file '" + path + "': record " + std::to_string(r + 1) +
                            " holds a value that is not a finite number");
            }
        }
    }
    Model model;
    model.table_ = std::move(table);
    model.path_ = path;
    model.sha256_ = sha256_file_hex(path);
    return model;
}

double cap_distance(double latitude, double longitude) {
    geometry::GEOCEN geocen;
    double geocentric_latitude = 0.0;
    double radius = 0.0;
    geocen.GEOPOS(latitude, 0.0, geocentric_latitude, radius);
    geometry::CAPTRN captrn;
    captrn.CAPSET(CAP_POLE_LATITUDE, CAP_POLE_LONGITUDE);
    double cap_latitude = 0.0;
    double cap_longitude = 0.0;
    captrn.CAPPOS(geocentric_latitude, longitude, cap_latitude, cap_longitude);
    return 90.0 - cap_latitude;
}

Site make_site(double latitude, double longitude) {
    if (!(latitude >= -90.0 && latitude <= 90.0)) {
        throw Error("latitude must lie in [-90, 90] degrees, got " + fixed(latitude, 4));
    }
    if (!(longitude >= -180.0 && longitude <= 180.0)) {
        throw Error("longitude must lie in [-180, 180] degrees, got " + fixed(longitude, 4));
    }
    const double distance = cap_distance(latitude, longitude);
    if (!(distance <= CAP_HALF_ANGLE)) {
        throw Error("site (" + fixed(latitude, 4) + ", " + fixed(longitude, 4) + ") lies " +
                    fixed(distance, 2) + " degrees from the cap pole (45 N, 8 E); the model covers " +
                    "only sites within 40 degrees of it");
    }
    Site site;
    site.latitude = latitude;
    site.longitude = longitude;
    try {
        site.basis = run::evaluate_basis(degree_table(), latitude, longitude);
    } catch (const textio::RunEnd& end) {
        throw Error(describe(end, "cannot evaluate the model at the site"));
    }
    return site;
}

std::vector<double> epochs_of(const EpochRange& range) {
    if (!(range.from >= FIRST_EPOCH && range.from <= LAST_EPOCH && range.to >= FIRST_EPOCH &&
          range.to <= LAST_EPOCH)) {
        throw Error("epochs must lie in [0, 1900] years AD, got " + fixed(range.from, 2) + " to " +
                    fixed(range.to, 2));
    }
    if (range.from > range.to) {
        throw Error("the first epoch (" + fixed(range.from, 2) + ") is after the last (" +
                    fixed(range.to, 2) + ")");
    }
    if (!(range.step > 0.0 && std::isfinite(range.step))) {
        throw Error("the epoch step must be positive, got " + fixed(range.step, 4));
    }
    const double intervals = std::floor((range.to - range.from) / range.step + 1e-6);
    if (intervals + 1.0 > static_cast<double>(MAX_EPOCHS)) {
        throw Error("too many epochs (" + fixed(intervals + 1.0, 0) + "); at most 200001");
    }
    const auto count = static_cast<std::size_t>(intervals) + 1;
    std::vector<double> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = std::min(range.from + static_cast<double>(i) * range.step, range.to);
    }
    return out;
}

double true_declination(const run::NodeResult& field) {
    const double dec = std::atan2(-field.Y, -field.X) / DEGREE;
    return dec <= -180.0 ? dec + 360.0 : dec;
}

Direction direction_at(const Site& site, const run::CoefficientRecord& COEF, double epoch) {
    const run::NodeResult field = run::evaluate_field(site.basis, COEF);
    Direction d;
    d.epoch = epoch;
    d.dec = true_declination(field);
    d.inc = field.INC;
    d.edec = field.EDEC;
    d.einc = field.EINC;
    d.north = -field.X;
    d.east = -field.Y;
    d.down = -field.Z;
    return d;
}

EpochTable epoch_table(const Model& model, const std::vector<double>& epochs) {
    EpochTable table;
    table.epochs = epochs;
    table.COEF.reserve(epochs.size());
    for (double epoch : epochs) table.COEF.push_back(run::interpolate(model.table(), epoch));
    return table;
}

std::vector<Direction> curve_at(const Site& site, const EpochTable& table) {
    std::vector<Direction> out;
    out.reserve(table.epochs.size());
    for (std::size_t i = 0; i < table.epochs.size(); ++i) {
        out.push_back(direction_at(site, table.COEF[i], table.epochs[i]));
    }
    return out;
}

}  // namespace arven
