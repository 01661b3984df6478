// The coefficient history: its reading in any layout and its interpolation.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "run/prediction.hpp"
#include "run_harness.hpp"
#include "textio/textio.hpp"

namespace {

// Entry k of record r (both 0-based) holds a value that names both.
run::CoefficientTable numbered_table()
{
    run::CoefficientTable table;
    for (int r = 0; r < run::NRECORDS; ++r)
        for (int k = 0; k < run::NENTRIES; ++k)
            table.record[r][k] = 1000.0 * r + k + 0.25;
    return table;
}

TEST(Interpolation, EpochsOnRecordsGiveTheRecordExactly)
{
    const run::CoefficientTable table = numbered_table();
    const struct { double time; int record; } cases[] = {{0.0, 0}, {5.0, 1}, {1500.0, 300}, {1895.0, 379}, {1900.0, 380}};
    for (const auto& c : cases) {
        const run::CoefficientRecord coef = run::interpolate(table, c.time);
        for (int k = 0; k < run::NENTRIES; ++k)
            EXPECT_EQ(coef[k], table.record[c.record][k]) << "time " << c.time << " entry " << k;
    }
}

TEST(Interpolation, BetweenRecordsIsLinearForCoefficientsAndErrorsAlike)
{
    run::CoefficientTable table = numbered_table();
    // Errors of opposite signs would cancel in quadrature, not linearly.
    table.record[0][9] = -3.0;
    table.record[1][9] = 5.0;
    const struct { double time; int base; double weight; } cases[] = {
        {2.5, 0, 0.5}, {1897.5, 379, 0.5}, {1.0, 0, 0.2}, {1712.5, 342, 0.5}};
    for (const auto& c : cases) {
        const run::CoefficientRecord coef = run::interpolate(table, c.time);
        for (int k = 0; k < run::NENTRIES; ++k) {
            const double a = table.record[c.base][k], b = table.record[c.base + 1][k];
            EXPECT_DOUBLE_EQ(coef[k], a + c.weight * (b - a)) << "time " << c.time << " entry " << k;
        }
    }
    EXPECT_DOUBLE_EQ(run::interpolate(table, 2.5)[9], 1.0);
}

// Loads `content` as a coefficient file inside a run; returns the exit status.
int load(const std::string& content, run::CoefficientTable& table)
{
    run_test::ScratchDirectory directory;
    directory.write("coefficients.inp", content);
    const std::string path = (directory.path() / "coefficients.inp").string();
    return textio::run_program([&] { run::load_coefficients(path, table); });
}

TEST(CoefficientFile, LineBreaksCarryNoMeaningAndTrailingNumbersAreNotRead)
{
    std::string numbers[run::NRECORDS * run::NENTRIES];
    for (int i = 0; i < run::NRECORDS * run::NENTRIES; ++i) numbers[i] = std::to_string(i) + ".5E-1";

    std::string one_line, by_record, irregular;
    for (int i = 0; i < run::NRECORDS * run::NENTRIES; ++i) {
        one_line += " " + numbers[i];
        by_record += numbers[i] + ((i + 1) % run::NENTRIES == 0 ? "\n" : "  ");
        irregular += numbers[i] + (i % 7 == 3 ? "\n\n" : "\t");
    }
    const std::string with_extra = by_record + "99 98 97\n";

    const std::string layouts[] = {one_line, by_record, irregular, with_extra};
    for (const std::string& layout : layouts) {
        run::CoefficientTable table;
        ASSERT_EQ(load(layout, table), 0);
        for (int i = 0; i < run::NRECORDS * run::NENTRIES; ++i)
            ASSERT_EQ(table.record[i / run::NENTRIES][i % run::NENTRIES], (i + 0.5) / 10.0) << i;
    }
}

TEST(CoefficientFile, BundledFileLoadsCompletely)
{
    run::CoefficientTable table;
    ASSERT_EQ(load(run_test::bundled_coefficients(), table), 0);
    EXPECT_EQ(table.record[0][0], 2.6837687E+04);
    EXPECT_EQ(table.record[0][17], 1.4102936E+02);
    EXPECT_NE(table.record[380][17], 0.0);
}

}  // namespace
