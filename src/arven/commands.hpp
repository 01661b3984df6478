// The tool's subcommands as calls: each takes its parsed options, writes its
// results to `out` (or the files named) and its diagnostics to `err`, one line
// each, and returns the process exit status.  Nothing escapes as an
// exception.
//
// Exit status: 0 success; 1 failure (one line on `err`, no result written);
// 2 a batch in which some rows were skipped (each reported on `err`, every
// other row written).
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "arven/model.hpp"

namespace arven {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILURE_ONE_LINE = 1;
inline constexpr int EXIT_ROWS_SKIPPED = 2;

// Options every subcommand shares.
struct CommonOptions {
    std::string coef;           // --coef, empty for the default search
    std::string bundled_coef;   // the coefficient file shipped with the tool
    std::string command_line;   // recorded in the provenance header
    std::string out;            // --out, empty for `out`
    std::string svg;            // --svg, empty for no picture
};

struct CurveOptions {
    double lat = 0.0;
    double lon = 0.0;
    EpochRange range{FIRST_EPOCH, LAST_EPOCH, 5.0};
    bool step_given = false;    // chronomodel curves default to a step of one year
    std::string format = "csv";
};

struct DateOptions {
    std::optional<double> lat, lon, dec, inc, a95;
    std::string batch;          // --batch FILE: date every row of FILE instead
    EpochRange range{FIRST_EPOCH, LAST_EPOCH, 1.0};
};

struct MapOptions {
    double epoch = LAST_EPOCH;
    double spacing = 0.5;   // degrees
};

int curve_command(const CommonOptions& common, const CurveOptions& options, std::ostream& out, std::ostream& err);
int date_command(const CommonOptions& common, const DateOptions& options, std::ostream& out, std::ostream& err);
int map_command(const CommonOptions& common, const MapOptions& options, std::ostream& out, std::ostream& err);

}  // namespace arven
