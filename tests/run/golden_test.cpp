// The whole grid program against an independent 40-digit computation of the
// report's values, and its reports pinned byte for byte at a few epochs.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/geometry.hpp"
#include "run/prediction.hpp"
#include "run_harness.hpp"
#include "textio/textio.hpp"

namespace {

struct IndependentRow {
    double epoch, lat, lon, FLAT, FLON, DEC, INC, EDEC, EINC;
};

std::vector<IndependentRow> independent_rows()
{
    std::ifstream in(std::filesystem::path(ARVEN_GOLDEN_DIR) / "independent_rows.csv");
    std::vector<IndependentRow> rows;
    std::string line;
    std::getline(in, line);   // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        IndependentRow row{};
        double* values[] = {&row.epoch, &row.lat, &row.lon, &row.FLAT, &row.FLON,
                            &row.DEC, &row.INC, &row.EDEC, &row.EINC};
        for (double* value : values) {
            std::string field;
            std::getline(fields, field, ',');
            *value = std::stod(field);
        }
        rows.push_back(row);
    }
    return rows;
}

run::CoefficientTable bundled_table()
{
    run::CoefficientTable table;
    const std::string path = std::string(ARVEN_DATA_DIR) + "/ARV_coeff_00.inp";
    EXPECT_EQ(textio::run_program([&] { run::load_coefficients(path, table); }), 0);
    return table;
}

TEST(Golden, NodesAgreeWithTheIndependentComputation)
{
    const std::vector<IndependentRow> rows = independent_rows();
    ASSERT_GE(rows.size(), 200u);
    const run::CoefficientTable table = bundled_table();
    geometry::DegreeTable NK{};
    geometry::CAPTAB(NK);
    for (const IndependentRow& row : rows) {
        const run::NodeBasis basis = run::evaluate_basis(NK, row.lat, row.lon);
        const run::NodeResult r = run::evaluate_field(basis, run::interpolate(table, row.epoch));
        const std::string where = "epoch " + std::to_string(row.epoch) + " node (" +
                                  std::to_string(row.lat) + ", " + std::to_string(row.lon) + ")";
        // The independent values carry ten decimals; double precision through
        // the whole chain is good to far better than that.
        EXPECT_NEAR(basis.FLAT, row.FLAT, 1e-9) << where;
        EXPECT_NEAR(basis.FLON, row.FLON, 1e-9) << where;
        EXPECT_NEAR(r.DEC, row.DEC, 2e-9) << where;
        EXPECT_NEAR(r.INC, row.INC, 2e-9) << where;
        EXPECT_NEAR(r.EDEC, row.EDEC, 2e-9) << where;
        EXPECT_NEAR(r.EINC, row.EINC, 2e-9) << where;
    }
}

TEST(Golden, SinglePredictionEqualsTheGridNode)
{
    const run::CoefficientTable table = bundled_table();
    geometry::DegreeTable NK{};
    geometry::CAPTAB(NK);
    const run::NodeResult grid = run::evaluate_field(run::evaluate_basis(NK, 45, 8), run::interpolate(table, 1712.5));
    const run::NodeResult single = run::predict(table, 45, 8, 1712.5);
    EXPECT_EQ(single.DEC, grid.DEC);
    EXPECT_EQ(single.INC, grid.INC);
    EXPECT_EQ(single.EDEC, grid.EDEC);
    EXPECT_EQ(single.EINC, grid.EINC);
}

// Epochs on the first and last record, on an inner record and between records.
const char* const kPinnedEpochs[] = {"0", "2.5", "1500", "1712.5", "1900"};

TEST(Golden, ReportsArePinnedByteForByte)
{
    for (const char* epoch : kPinnedEpochs) {
        run_test::ScratchDirectory directory;
        run_test::add_bundled_coefficients(directory);
        const run_test::RunOutcome outcome = run_test::run_gridrun(directory, std::string(epoch) + "\n");
        ASSERT_EQ(outcome.exit_status, 0) << epoch;
        std::ifstream pinned(std::filesystem::path(ARVEN_GOLDEN_DIR) / ("grid_" + std::string(epoch) + ".dat"),
                             std::ios::binary);
        ASSERT_TRUE(pinned) << "missing pinned report for epoch " << epoch;
        std::ostringstream expected;
        expected << pinned.rdbuf();
        EXPECT_TRUE(outcome.report == expected.str()) << "report for epoch " << epoch << " differs";
    }
}

// Every pinned row's printed values are the independent values rounded to two
// decimals, so the pinned files are right, not merely stable.
TEST(Golden, PinnedRowsPrintTheIndependentValues)
{
    for (const IndependentRow& row : independent_rows()) {
        std::ostringstream name;
        name << row.epoch;
        std::ifstream pinned(std::filesystem::path(ARVEN_GOLDEN_DIR) / ("grid_" + name.str() + ".dat"),
                             std::ios::binary);
        if (!pinned) continue;   // an epoch sampled but not pinned
        std::ostringstream content;
        content << pinned.rdbuf();
        const std::string file = content.str();
        const int index = (static_cast<int>(row.lon) + 15) * 26 + (static_cast<int>(row.lat) - 35);
        const std::size_t row_start = [&] {
            std::size_t at = 0;
            for (int record = 0; record < 8 + index; ++record) at = file.find("\r\n", at) + 2;
            return at;
        }();
        const std::string printed = file.substr(row_start, 60);
        const std::string expected = textio::render_fixed_field(row.FLAT, 7, 2) + textio::render_fixed_field(row.FLON, 8, 2) +
                                     textio::render_fixed_field(row.DEC, 10, 2) + textio::render_fixed_field(row.INC, 11, 2) +
                                     textio::render_fixed_field(row.EDEC, 12, 2) + textio::render_fixed_field(row.EINC, 12, 2);
        EXPECT_EQ(printed, expected) << "epoch " << row.epoch << " node (" << row.lat << ", " << row.lon << ")";
    }
}

}  // namespace
