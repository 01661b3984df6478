// arven: field-work tool on the regional archaeomagnetic model ARVEN.MA.3 -
// field curves at a site, archaeomagnetic dating (one sample or a batch),
// maps.  Parses the command line and calls the library; computes nothing.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "arven/commands.hpp"

namespace {

const char* const CONVENTION_NOTE =
    "\nConventions: declinations are true declinations, degrees east of north in (-180, 180],\n"
    "atan2(-Y, -X) of the model's components, because the coefficient files describe the\n"
    "negated field (the grid program's report keeps its one-argument arctangent, which agrees\n"
    "wherever the declination lies in (-90, 90)). Inclinations are positive downwards. Errors\n"
    "are the model's 95 % errors. Epochs are years AD, 0 to 1900.\n";

// The options every subcommand shares, with the same names everywhere.
void add_common(CLI::App& app, arven::CommonOptions& common, const std::string& out_help) {
    app.add_option("--coef", common.coef,
                   "Coefficient file (default: ARV_coeff_00.inp in the working directory, "
                   "else the bundled file)")
        ->type_name("FILE");
    app.add_option("--out", common.out, out_help)->type_name("FILE");
    app.add_option("--svg", common.svg, "Also draw the result as an SVG picture in this file")->type_name("FILE");
}

void add_range(CLI::App& app, arven::EpochRange& range) {
    app.add_option("--from", range.from, "First epoch, years AD")->capture_default_str();
    app.add_option("--to", range.to, "Last epoch, years AD")->capture_default_str();
}

std::string joined(int argc, char** argv) {
    std::string line = "arven";
    for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"arven: field curves, archaeomagnetic dating and maps from the regional "
                 "archaeomagnetic model ARVEN.MA.3 (Europe, 0 to 1900 AD).", "arven"};
    app.set_version_flag("--version", "arven " ARVEN_VERSION);
    app.require_subcommand(1);
    app.footer(std::string("\nExamples:\n"
                           "  arven curve --lat 48.85 --lon 2.35 --from 1000 --to 1900 --step 50\n"
                           "  arven date --lat 48.85 --lon 2.35 --dec 10 --inc 62 --a95 2.5\n"
                           "  arven map --epoch 1500 --svg map1500.svg\n") +
               CONVENTION_NOTE);

    arven::CommonOptions common;
    common.bundled_coef = ARVEN_BUNDLED_COEF;
    common.command_line = joined(argc, argv);

    arven::CurveOptions curve;
    CLI::App* curve_app = app.add_subcommand(
        "curve", "The field at one site through time: epoch, declination, inclination, their 95 % errors "
                 "and the north, east and down components (nT), as CSV.");
    curve_app->add_option("--lat", curve.lat, "Site latitude, degrees north (geodetic)")->required();
    curve_app->add_option("--lon", curve.lon, "Site longitude, degrees east")->required();
    add_range(*curve_app, curve.range);
    curve_app->add_option("--step", curve.range.step, "Epoch step, years (chronomodel: default 1)")
        ->capture_default_str();
    curve_app->add_option("--format", curve.format,
                          "csv | chronomodel (reference curves BASE_dec.csv and BASE_inc.csv, errors as one "
                          "sigma; needs --out BASE) | magic (tab-delimited MagIC table)")
        ->capture_default_str();
    add_common(*curve_app, common, "Write the table to this file instead of standard output");
    curve_app->footer(std::string("\nExamples:\n"
                                  "  arven curve --lat 48.85 --lon 2.35 --from 1000 --to 1900 --step 50\n"
                                  "  arven curve --lat 41.9 --lon 12.5 --format chronomodel --out rome\n"
                                  "  arven curve --lat 52.5 --lon 13.4 --svg berlin.svg --out berlin.csv\n") +
                      CONVENTION_NOTE);

    arven::DateOptions date;
    CLI::App* date_app = app.add_subcommand(
        "date", "Archaeomagnetic dating of a measured direction at a site: densities over the epochs and "
                "their 95 % highest-density intervals.");
    auto optional = [&](const char* name, std::optional<double>& target, const char* help) {
        date_app->add_option_function<double>(name, [&target](const double& v) { target = v; }, help);
    };
    optional("--lat", date.lat, "Site latitude, degrees north (geodetic)");
    optional("--lon", date.lon, "Site longitude, degrees east");
    optional("--dec", date.dec, "Measured declination, degrees east of north");
    optional("--inc", date.inc, "Measured inclination, degrees, positive down, strictly within (-90, 90)");
    optional("--a95", date.a95, "alpha95 of the measurement, degrees, strictly within (0, 180)");
    date_app->add_option("--batch", date.batch,
                         "Date every row of this CSV file (id,lat,lon,dec,inc,a95) instead; one summary row "
                         "per sample")
        ->type_name("FILE");
    add_range(*date_app, date.range);
    date_app->add_option("--step", date.range.step, "Epoch step, years")->capture_default_str();
    add_common(*date_app, common,
               "Write the density table (CSV) to this file; with --batch, the summary rows");
    date_app->footer(std::string("\nExamples:\n"
                                 "  arven date --lat 48.85 --lon 2.35 --dec 10 --inc 62 --a95 2.5\n"
                                 "  arven date --lat 48.85 --lon 2.35 --dec 10 --inc 62 --a95 2.5 "
                                 "--out densities.csv --svg dating.svg\n"
                                 "  arven date --batch samples.csv --out dates.csv\n"
                                 "\nThe model's errors are taken as 1.96 sigma; the measurement's sigma_I = "
                                 "a95/2.448,\nsigma_D = a95/(2.448 cos I). The exit status is 2 when a batch "
                                 "had rows skipped.\n") +
                     CONVENTION_NOTE);

    arven::MapOptions map;
    CLI::App* map_app = app.add_subcommand(
        "map", "Declination and inclination over the grid (15 W to 30 E, 35 N to 60 N) at one epoch: CSV, "
               "or an SVG map with contours and coastlines.");
    map_app->add_option("--epoch", map.epoch, "Epoch, years AD")->capture_default_str();
    map_app->add_option("--spacing", map.spacing, "Node spacing, degrees (0.1 to 5)")->capture_default_str();
    add_common(*map_app, common, "Write the grid table (CSV) to this file");
    map_app->footer(std::string("\nExamples:\n"
                                "  arven map --epoch 1500 --svg map1500.svg\n"
                                "  arven map --epoch 1000 --spacing 1 --out grid1000.csv\n") +
                    CONVENTION_NOTE);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (curve_app->parsed()) {
        curve.step_given = curve_app->count("--step") > 0;
        return arven::curve_command(common, curve, std::cout, std::cerr);
    }
    if (date_app->parsed()) return arven::date_command(common, date, std::cout, std::cerr);
    return arven::map_command(common, map, std::cout, std::cerr);
}
