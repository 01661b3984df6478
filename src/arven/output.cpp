// Provenance headers, number text, the curve formats and file output.
#include "arven/output.hpp"

#include <cstdio>
#include <fstream>

namespace arven {
namespace {

constexpr double SIGMA_95 = 1.96;      // a 95 % error is 1.96 standard deviations
constexpr double ALPHA95_PER_SIGMA_INC = 2.448;   // a95 = 2.448 sigma of the inclination

const char* const CONVENTIONS[] = {
    "conventions: declination = true declination, degrees east of north in (-180, 180],",
    "  atan2(-Y, -X) of the model's components, since the coefficient files describe the negated",
    "  field (the grid report keeps its one-argument arctangent, which agrees inside (-90, 90));",
    "  inclination in degrees, positive downwards; errors are the model's 95 % errors in degrees;",
    "  north, east, down = the physical field in nT (the negatives of the model's X, Y, Z);",
    "  epochs in years AD; sites geodetic (WGS84), height 0.",
};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

}  // namespace

std::string version() { return ARVEN_VERSION; }

Provenance provenance_of(const Model& model, const std::string& command) {
    return Provenance{command, model.path(), model.sha256()};
}

std::vector<std::string> provenance_header(const Provenance& provenance, const std::string& what,
                                           const Site* site, const std::string& comment) {
    std::vector<std::string> lines;
    const std::string c = comment + " ";
    lines.push_back(c + "arven " + version() + ": " + what + ", regional archaeomagnetic model ARVEN.MA.3");
    lines.push_back(c + "command: " + provenance.command);
    lines.push_back(c + "coefficient file: " + provenance.coefficient_file);
    lines.push_back(c + "coefficient file sha256: " + provenance.coefficient_sha256);
    if (site != nullptr) {
        lines.push_back(c + "site: latitude " + fixed(site->latitude, 4) + " N, longitude " +
                        fixed(site->longitude, 4) + " E");
    }
    for (const char* line : CONVENTIONS) lines.push_back(c + line);
    return lines;
}

std::string fixed(double x, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
    std::string text = buffer;
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

CurveFormat curve_format(const std::string& name) {
    if (name == "csv") return CurveFormat::Csv;
    if (name == "chronomodel") return CurveFormat::Chronomodel;
    if (name == "magic") return CurveFormat::Magic;
    throw Error("unknown format '" + name + "'; expected csv, chronomodel or magic");
}

std::string curve_csv(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve) {
    std::vector<std::string> lines = provenance_header(provenance, "field curve at a site", &site, "#");
    lines.push_back("epoch,dec,inc,edec,einc,north,east,down");
    for (const Direction& d : curve) {
        lines.push_back(fixed(d.epoch, 2) + "," + fixed(d.dec, 2) + "," + fixed(d.inc, 2) + "," +
                        fixed(d.edec, 2) + "," + fixed(d.einc, 2) + "," + fixed(d.north, 1) + "," +
                        fixed(d.east, 1) + "," + fixed(d.down, 1));
    }
    return joined(lines);
}

std::string curve_chronomodel(const Provenance& provenance, const Site& site,
                              const std::vector<Direction>& curve, const std::string& component) {
    const bool dec = component == "dec";
    if (!dec && component != "inc") throw Error("unknown component '" + component + "'; expected dec or inc");
    std::vector<std::string> lines = provenance_header(
        provenance, dec ? "declination reference curve" : "inclination reference curve", &site, "#");
    lines.push_back(std::string("# columns: epoch (calendar years AD), ") +
                    (dec ? "declination" : "inclination") + " (degrees), error (degrees, one sigma)");
    for (const Direction& d : curve) {
        const double value = dec ? d.dec : d.inc;
        const double error = (dec ? d.edec : d.einc) / SIGMA_95;
        lines.push_back(fixed(d.epoch, 2) + "," + fixed(value, 3) + "," + fixed(error, 3));
    }
    return joined(lines);
}

std::string curve_magic(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve) {
    std::vector<std::string> lines = provenance_header(provenance, "field curve at a site", &site, "#");
    lines.push_back("# dir_alpha95 = 2.448 sigma of the inclination, sigma = the model's 95 % error / 1.96;");
    lines.push_back("# description: the model's 95 % errors of the declination and the inclination");
    lines.push_back("tab\tsites");
    lines.push_back("site\tlat\tlon\tage\tage_unit\tdir_dec\tdir_inc\tdir_alpha95\tsoftware_packages\tdescription");
    const std::string name = "model_" + fixed(site.latitude, 4) + "_" + fixed(site.longitude, 4);
    for (const Direction& d : curve) {
        const double sigma_inc = d.einc / SIGMA_95;
        lines.push_back(name + "\t" + fixed(site.latitude, 4) + "\t" + fixed(site.longitude, 4) + "\t" +
                        fixed(d.epoch, 2) + "\tYears Cal AD (+/-)\t" + fixed(d.dec, 2) + "\t" +
                        fixed(d.inc, 2) + "\t" + fixed(ALPHA95_PER_SIGMA_INC * sigma_inc, 2) + "\tarven " +
                        version() + "\tdec error 95% " + fixed(d.edec, 2) + " deg; inc error 95% " +
                        fixed(d.einc, 2) + " deg");
    }
    return joined(lines);
}

std::vector<std::string> chronomodel_file_names(const std::string& out) {
    std::string base = out;
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".csv") == 0) base.resize(base.size() - 4);
    return {base + "_dec.csv", base + "_inc.csv"};
}

void write_text_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw Error("cannot create output file '" + path + "'");
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw Error("cannot write output file '" + path + "'");
}

}  // namespace arven
