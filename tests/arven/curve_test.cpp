// Field curves: the grid program's report reproduced at every node, the
// declination convention, the output formats with their provenance, and the
// clear failures.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "arven/output.hpp"
#include "run/gridrun.hpp"
#include "scratch.hpp"
#include "textio/textio.hpp"

namespace {

using arven_test::Scratch;

// The grid program's report for `epoch`, run in-process in a scratch
// directory, split into records.
std::vector<std::string> grid_report(const std::string& epoch) {
    Scratch work, console;
    std::filesystem::copy_file(ARVEN_BUNDLED_COEF, work / "ARV_coeff_00.inp");
    arven_test::write_file(console / "in", epoch + "\n");
    const int in = ::open((console / "in").c_str(), O_RDONLY);
    const int out = ::open((console / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    textio::bind_console({in, out, out, false});
    const int status = run::GRIDRUN();
    textio::bind_console({0, 1, 2, false});
    std::filesystem::current_path(previous);
    ::close(in);
    ::close(out);
    EXPECT_EQ(status, 0);
    const std::string report = arven_test::read_file(work / "grid_arven.ma.3.dat");
    std::vector<std::string> records;
    for (std::size_t start = 0, end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2) {
        records.push_back(report.substr(start, end - start));
    }
    return records;
}

// Every node of the report equals the curve at that node and epoch to the
// last printed digit; the declination wherever the true one lies in (-90, 90),
// which over Europe is every node.
TEST(Curve, EqualsTheGridReportAtEveryNode) {
    const arven::Model& model = arven_test::bundled_model();
    for (const char* epoch : {"0", "1002.5", "1500", "1900"}) {
        SCOPED_TRACE(epoch);
        const std::vector<std::string> records = grid_report(epoch);
        ASSERT_EQ(records.size(), 14u + 46u * 26u);
        const double t = std::stod(epoch);
        const run::CoefficientRecord COEF = run::interpolate(model.table(), t);
        int declinations = 0;
        for (int r = 0; r < 46 * 26; ++r) {
            const std::string& row = records[8 + r];
            const double lon = -15 + r / 26;
            const double lat = 35 + r % 26;
            const arven::Direction d = arven::direction_at(arven::make_site(lat, lon), COEF, t);
            EXPECT_EQ(textio::render_fixed_field(d.inc, 11, 2), row.substr(25, 11)) << row;
            EXPECT_EQ(textio::render_fixed_field(d.edec, 12, 2), row.substr(36, 12)) << row;
            EXPECT_EQ(textio::render_fixed_field(d.einc, 12, 2), row.substr(48, 12)) << row;
            if (std::fabs(d.dec) < 90.0) {
                EXPECT_EQ(textio::render_fixed_field(d.dec, 10, 2), row.substr(15, 10)) << row;
                ++declinations;
            }
            // The reported components are the physical field: the declination is their direction.
            EXPECT_NEAR(std::atan2(d.east, d.north) * 57.29577951308232, d.dec, 1e-9);
            EXPECT_GT(d.inc, 0.0);
        }
        EXPECT_EQ(declinations, 46 * 26);
    }
}

// A field pointing south: the true declination leaves (-90, 90] where the
// grid report's one-argument arctangent cannot follow it.
TEST(Curve, TrueDeclinationCoversAllFourQuadrants) {
    struct Case { double X, Y, dec; };
    // X, Y are the model's (negated) components: the physical field is (-X, -Y).
    const Case cases[] = {{-1, 0, 0}, {-1, -1, 45}, {0, -1, 90}, {1, -1, 135}, {1, 0, 180},
                          {1, 1, -135}, {0, 1, -90}, {-1, 1, -45}};
    for (const Case& c : cases) {
        run::NodeResult field;
        field.X = c.X;
        field.Y = c.Y;
        EXPECT_NEAR(arven::true_declination(field), c.dec, 1e-12) << c.X << " " << c.Y;
    }
}

TEST(Curve, CsvWithProvenanceAndRowsOfTheModel) {
    arven::CurveOptions options;
    options.lat = 48.85;
    options.lon = 2.35;
    options.range = {1000, 1100, 50};
    const auto outcome = arven_test::run_curve(arven_test::common_options(), options);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    std::istringstream lines(outcome.out);
    std::string line;
    std::vector<std::string> comments, rows;
    while (std::getline(lines, line)) (line[0] == '#' ? comments : rows).push_back(line);
    const std::string header = outcome.out.substr(0, outcome.out.find("epoch,"));
    EXPECT_NE(header.find("# arven " + arven::version()), std::string::npos);
    EXPECT_NE(header.find("# coefficient file: " ARVEN_BUNDLED_COEF), std::string::npos);
    EXPECT_NE(header.find("sha256: 3e732c1360153fd6b11bd0fc34fa4e8527f36b614717c0324540f38913365e39"),
              std::string::npos);
    EXPECT_NE(header.find("# site: latitude 48.8500 N, longitude 2.3500 E"), std::string::npos);
    EXPECT_NE(header.find("atan2(-Y, -X)"), std::string::npos);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "epoch,dec,inc,edec,einc,north,east,down");
    const arven::Site site = arven::make_site(48.85, 2.35);
    const arven::Direction d = arven::direction_at(site, run::interpolate(arven_test::bundled_model().table(), 1050), 1050);
    EXPECT_EQ(rows[2], "1050.00," + arven::fixed(d.dec, 2) + "," + arven::fixed(d.inc, 2) + "," + arven::fixed(d.edec, 2) +
                           "," + arven::fixed(d.einc, 2) + "," + arven::fixed(d.north, 1) + "," +
                           arven::fixed(d.east, 1) + "," + arven::fixed(d.down, 1));
}

TEST(Curve, ChronomodelAndMagicFiles) {
    Scratch dir;
    auto common = arven_test::common_options();
    common.out = (dir / "paris.csv").string();
    arven::CurveOptions options;
    options.lat = 48.85;
    options.lon = 2.35;
    options.range = {1000, 1010, 5};
    options.format = "chronomodel";
    ASSERT_EQ(arven_test::run_curve(common, options).status, 0);
    const arven::Site site = arven::make_site(48.85, 2.35);
    const arven::Direction d = arven::direction_at(site, run::interpolate(arven_test::bundled_model().table(), 1000), 1000);
    for (const char* component : {"dec", "inc"}) {
        const std::string text = arven_test::read_file(dir / (std::string("paris_") + component + ".csv"));
        ASSERT_FALSE(text.empty()) << component;
        // Every line before the data is a comment; one line per year; one-sigma errors.
        const std::size_t data = text.find("\n1000.00,");
        ASSERT_NE(data, std::string::npos);
        for (std::size_t at = 0; at < data; at = text.find('\n', at) + 1) EXPECT_EQ(text[at], '#');
        const bool dec = std::string(component) == "dec";
        const std::string first = "1000.00," + arven::fixed(dec ? d.dec : d.inc, 3) + "," +
                                  arven::fixed((dec ? d.edec : d.einc) / 1.96, 3) + "\n";
        EXPECT_EQ(text.substr(data + 1, first.size()), first);
        EXPECT_NE(text.find("\n1001.00,"), std::string::npos) << "a line per year";
        EXPECT_NE(text.find("\n1010.00,"), std::string::npos);
    }

    common.out = (dir / "paris.txt").string();
    options.format = "magic";
    options.range = {1000, 1010, 5};
    ASSERT_EQ(arven_test::run_curve(common, options).status, 0);
    const std::string magic = arven_test::read_file(dir / "paris.txt");
    EXPECT_NE(magic.find("\ntab\tsites\nsite\tlat\tlon\tage\tage_unit\tdir_dec\tdir_inc\tdir_alpha95\t"),
              std::string::npos);
    EXPECT_NE(magic.find("\t1005.00\tYears Cal AD (+/-)\t"), std::string::npos);
}

// Every failure is one line on the error stream, non-zero status, nothing on
// the output, and a missing coefficient file is not created.
TEST(Curve, FailuresAreOneClearLine) {
    Scratch dir;
    struct Case { double lat, lon, from, to, step; std::string coef, format, expected; };
    const std::string missing = (dir / "missing.inp").string();
    const std::string shortfile = (dir / "short.inp").string();
    arven_test::write_file(shortfile, "1.0 2.0 3.0\n");
    const std::string bad = (dir / "bad.inp").string();
    arven_test::write_file(bad, "1.0 x 3.0\n");
    const Case cases[] = {
        {0, 100, 0, 1900, 5, ARVEN_BUNDLED_COEF, "csv", "within 40 degrees"},
        {95, 0, 0, 1900, 5, ARVEN_BUNDLED_COEF, "csv", "latitude must lie in [-90, 90]"},
        {48, 2, 1500, 1000, 5, ARVEN_BUNDLED_COEF, "csv", "after the last"},
        {48, 2, 0, 2000, 5, ARVEN_BUNDLED_COEF, "csv", "[0, 1900]"},
        {48, 2, 0, 1900, 0, ARVEN_BUNDLED_COEF, "csv", "step must be positive"},
        {48, 2, 0, 1900, 5, ARVEN_BUNDLED_COEF, "xml", "unknown format 'xml'"},
        {48, 2, 0, 1900, 5, ARVEN_BUNDLED_COEF, "chronomodel", "give their base name with --out"},
        {48, 2, 0, 1900, 5, missing, "csv", "does not exist"},
        {48, 2, 0, 1900, 5, dir.path().string(), "csv", "not a regular file"},
        {48, 2, 0, 1900, 5, shortfile, "csv", "cannot read coefficient file"},
        {48, 2, 0, 1900, 5, bad, "csv", "cannot read coefficient file"},
    };
    for (const Case& c : cases) {
        auto common = arven_test::common_options();
        common.coef = c.coef;
        arven::CurveOptions options;
        options.lat = c.lat;
        options.lon = c.lon;
        options.range = {c.from, c.to, c.step};
        options.format = c.format;
        const auto outcome = arven_test::run_curve(common, options);
        EXPECT_EQ(outcome.status, 1) << c.expected;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind("arven: error: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(c.expected), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Curve, DefaultCoefficientFileIsTheWorkingDirectorysThenTheBundledOne) {
    Scratch dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(arven::resolve_coefficient_file("", "/bundled"), "/bundled");
    arven_test::write_file(dir / "ARV_coeff_00.inp", "");
    EXPECT_EQ(arven::resolve_coefficient_file("", "/bundled"), "ARV_coeff_00.inp");
    EXPECT_EQ(arven::resolve_coefficient_file("given.inp", "/bundled"), "given.inp");
    std::filesystem::current_path(previous);
}

}  // namespace
