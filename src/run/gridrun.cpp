// The prediction run: one epoch asked at the console, the coefficient history
// interpolated to it, the fixed grid walked and reported.
#include "run/gridrun.hpp"

#include <span>

#include "geometry/geometry.hpp"
#include "run/constants.hpp"
#include "run/prediction.hpp"
#include "run/report.hpp"
#include "textio/textio.hpp"

namespace run {

namespace {

// The grid: longitude outer, latitude inner, whole degrees.
constexpr int FIRST_LONGITUDE = -15, LAST_LONGITUDE = 30;
constexpr int FIRST_LATITUDE = 35, LAST_LATITUDE = 60;

// Run-wide state: written once each, then only read.
struct RunState {
    double TIME = 0.0;                 // the accepted epoch, years AD
    geometry::DegreeTable NK{};        // real degrees of the basis functions
    CoefficientTable COEFTAB;          // the coefficient history
    CoefficientRecord COEF{};          // the history at TIME
};

void write_banner()
{
    textio::LSTWRITE(textio::CONSOLE, {"            ** ARVEN.MA.3 **"});
    textio::LSTWRITE(textio::CONSOLE, {"Directional Archaeomagnetic Prediction"});
    textio::LSTWRITE(textio::CONSOLE, {"             for Europe            "});
    textio::LSTWRITE(textio::CONSOLE, {"         for the last 2000 years"});
    textio::LSTWRITE(textio::CONSOLE, {" "});
    textio::LSTWRITE(textio::CONSOLE, {" ** Declination and Inclination Map **"});
    textio::LSTWRITE(textio::CONSOLE, {"      Time : 0 to 1900 AD (years)"});
    textio::LSTWRITE(textio::CONSOLE, {" "});
}

// Asks until the answer lies in 0..1900.  An answer that supplies no value
// leaves TIME as it was.
void ask_epoch(double& TIME)
{
    for (;;) {
        textio::LSTWRITE(textio::CONSOLE, {"Give Time (0 to 1900 AD):"});
        textio::LSTREAD(textio::CONSOLE, std::span<double>(&TIME, 1));
        textio::LSTWRITE(textio::CONSOLE, {" "});
        if (TIME < 0.0 || TIME > 1900.0) {
            textio::LSTWRITE(textio::CONSOLE, {"Time is between 0 and 1900 AD"});
            continue;
        }
        return;
    }
}

void run_sequence()
{
    // Large enough (about 55 kB) to keep off the stack.
    static RunState state;
    state = RunState{};

    write_report_title();
    geometry::CAPTAB(state.NK);
    write_banner();
    ask_epoch(state.TIME);

    load_coefficients(COEFFICIENT_FILE, state.COEFTAB);
    state.COEF = interpolate(state.COEFTAB, state.TIME);

    write_report_heading(state.TIME);
    for (int longitude = FIRST_LONGITUDE; longitude <= LAST_LONGITUDE; ++longitude) {
        for (int latitude = FIRST_LATITUDE; latitude <= LAST_LATITUDE; ++latitude) {
            const NodeBasis basis = evaluate_basis(state.NK, latitude, longitude);
            write_report_row(basis, evaluate_field(basis, state.COEF));
        }
    }
    write_report_closing();
    textio::STOPRUN();
}

}  // namespace

int GRIDRUN() { return textio::run_program(run_sequence); }

}  // namespace run
