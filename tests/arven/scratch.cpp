#include "scratch.hpp"

#include <sstream>

namespace arven_test {

const arven::Model& bundled_model() {
    static const arven::Model model = arven::Model::load(ARVEN_BUNDLED_COEF);
    return model;
}

arven::DateOptions paris_measurement() {
    arven::DateOptions options;
    options.lat = 48.85;
    options.lon = 2.35;
    options.dec = 5.0;
    options.inc = 62.0;
    options.a95 = 2.5;
    return options;
}

arven::CommonOptions common_options() {
    arven::CommonOptions common;
    common.coef = ARVEN_BUNDLED_COEF;
    common.bundled_coef = ARVEN_BUNDLED_COEF;
    common.command_line = "arven test";
    return common;
}

namespace {
template <class Options, class Command>
Outcome captured(const arven::CommonOptions& common, const Options& options, Command command) {
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = command(common, options, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}
}  // namespace

Outcome run_curve(const arven::CommonOptions& c, const arven::CurveOptions& o) { return captured(c, o, arven::curve_command); }
Outcome run_date(const arven::CommonOptions& c, const arven::DateOptions& o) { return captured(c, o, arven::date_command); }
Outcome run_map(const arven::CommonOptions& c, const arven::MapOptions& o) { return captured(c, o, arven::map_command); }

}  // namespace arven_test
