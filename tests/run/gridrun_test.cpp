// The whole program: console dialogue, report records, stops and failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "run_harness.hpp"
#include "textio/textio.hpp"

namespace {

using run_test::RunOutcome;
using run_test::ScratchDirectory;

const std::string kBanner =
    "            ** ARVEN.MA.3 **\r\n"
    "Directional Archaeomagnetic Prediction\r\n"
    "             for Europe            \r\n"
    "         for the last 2000 years\r\n"
    " \r\n"
    " ** Declination and Inclination Map **\r\n"
    "      Time : 0 to 1900 AD (years)\r\n"
    " \r\n";
const std::string kPrompt = "Give Time (0 to 1900 AD):\r\n";
const std::string kRejected = " \r\nTime is between 0 and 1900 AD\r\n";
const std::string kStop = " \r\nStop - Program terminated.\r\n\r\n";

const std::string kTitle =
    "      ARVEN.MA.3 Regional Archaeomagnetic Model\r\n"
    "         for Europe for the last 2000 years\r\n"
    " \r\n";

std::vector<std::string> records(const std::string& file)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(file.substr(start, end - start));
    EXPECT_EQ(start, file.size()) << "the file does not end with CR LF";
    return result;
}

constexpr std::size_t kNodes = 46 * 26;

RunOutcome run_with_bundled_file(const std::string& input)
{
    ScratchDirectory directory;
    run_test::add_bundled_coefficients(directory);
    return run_test::run_gridrun(directory, input);
}

TEST(GridRun, CompleteRunConsoleAndReportLayout)
{
    const RunOutcome outcome = run_with_bundled_file("1500\n");
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_EQ(outcome.console, kBanner + kPrompt + kStop);
    EXPECT_EQ(outcome.errors, "");

    const std::vector<std::string> lines = records(outcome.report);
    ASSERT_EQ(lines.size(), 3 + 5 + kNodes + 6);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 8);
    const std::vector<std::string> expected_head = {
        "      ARVEN.MA.3 Regional Archaeomagnetic Model",
        "         for Europe for the last 2000 years",
        " ",
        "Time:   1500.0AD",
        " ",
        "                            *Errors at 95% of confidence",
        " ",
        "   Lat     Lon    Dec(deg.)  Inc(deg.)  eDec(deg.)  eInc(deg.)"};
    EXPECT_EQ(head, expected_head);

    // Rows: node order, 60 columns, the moved coordinates printed like their neighbours.
    for (std::size_t i = 0; i < kNodes; ++i) {
        const std::string& row = lines[8 + i];
        ASSERT_EQ(row.size(), 60u) << row;
        const int longitude = -15 + static_cast<int>(i / 26), latitude = 35 + static_cast<int>(i % 26);
        const std::string coordinates =
            textio::render_fixed_field(latitude, 7, 2) + textio::render_fixed_field(longitude, 8, 2);
        EXPECT_EQ(row.substr(0, 15), coordinates) << "row " << i;
    }

    EXPECT_EQ(lines[8 + kNodes], " ");
    EXPECT_EQ(lines[9 + kNodes].rfind("Reference:", 0), 0u);
    for (std::size_t i = 9 + kNodes; i < lines.size(); ++i) EXPECT_LE(lines[i].size(), 54u) << lines[i];
}

TEST(GridRun, EpochRecordFollowsTheFixedPointRule)
{
    const struct { const char* answer; const char* record; } cases[] = {
        {"1900", "Time:   1900.0AD"}, {"5", "Time:      5.0AD"}, {"0", "Time:       .0AD"},
        {"12.5", "Time:     12.5AD"}, {"1.25e3", "Time:   1250.0AD"}};
    for (const auto& c : cases) {
        const RunOutcome outcome = run_with_bundled_file(std::string(c.answer) + "\n");
        ASSERT_EQ(outcome.exit_status, 0) << c.answer;
        EXPECT_EQ(records(outcome.report).at(3), c.record);
    }
}

TEST(GridRun, OutOfRangeAnswersAreAskedAgainWithoutLimit)
{
    const RunOutcome first_time = run_with_bundled_file("1500\n");
    const RunOutcome after_three = run_with_bundled_file("-0.5\n1900.5\n-3000\n1500\n");
    EXPECT_EQ(after_three.exit_status, 0);
    EXPECT_EQ(after_three.console, kBanner + kPrompt + kRejected + kPrompt + kRejected + kPrompt + kRejected + kPrompt + kStop);
    EXPECT_EQ(after_three.report, first_time.report);
}

TEST(GridRun, AnswerWithoutValueKeepsTheEpoch)
{
    // As the first answer a null value leaves the epoch at 0, which is accepted;
    // after a rejected answer it keeps the rejected value.
    const RunOutcome null_first = run_with_bundled_file(",\n");
    EXPECT_EQ(null_first.exit_status, 0);
    EXPECT_EQ(records(null_first.report).at(3), "Time:       .0AD");

    const RunOutcome slash_after_rejected = run_with_bundled_file("-5\n/\n700\n");
    EXPECT_EQ(slash_after_rejected.exit_status, 0);
    EXPECT_EQ(slash_after_rejected.console, kBanner + kPrompt + kRejected + kPrompt + kRejected + kPrompt + kStop);
    EXPECT_EQ(records(slash_after_rejected.report).at(3), "Time:    700.0AD");
}

TEST(GridRun, FailedConsoleReadEndsWithDiagnosticAndTitleOnlyReport)
{
    for (const std::string input : {"12AD\n", "abc\n", "", "\n\n"}) {
        const RunOutcome outcome = run_with_bundled_file(input);
        EXPECT_EQ(outcome.exit_status, 1) << input;
        // The read ends the run before its end: the line opened by the prompt
        // was ended before the read and is ended once more at the run's end.
        EXPECT_EQ(outcome.console, kBanner + kPrompt + "\r\n") << input;
        EXPECT_EQ(outcome.errors.rfind("\r\nrun-time error ", 0), 0u) << outcome.errors;
        EXPECT_NE(outcome.errors.find(": READ (CON)\r\n- "), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.report, kTitle);
    }
}

TEST(GridRun, CoefficientFileFailures)
{
    std::string short_file = run_test::bundled_coefficients();
    short_file.resize(short_file.size() / 2);
    short_file.resize(short_file.rfind('\n') + 1);
    std::string bad_token = run_test::bundled_coefficients();
    bad_token.replace(bad_token.find("2.6834457E+04"), 13, "2.6834457X+04");

    const struct { const char* name; const char* content; } cases[] = {
        {"missing", nullptr}, {"empty", ""}, {"short", short_file.c_str()}, {"bad token", bad_token.c_str()}};
    for (const auto& c : cases) {
        ScratchDirectory directory;
        if (c.content != nullptr) directory.write("ARV_coeff_00.inp", c.content);
        const RunOutcome outcome = run_test::run_gridrun(directory, "1500\n");
        EXPECT_EQ(outcome.exit_status, 1) << c.name;
        EXPECT_NE(outcome.errors.find(": READ (ARV_coeff_00.inp)\r\n- "), std::string::npos) << c.name << outcome.errors;
        EXPECT_EQ(outcome.report, kTitle) << c.name;
        EXPECT_EQ(outcome.console, kBanner + kPrompt + " \r\n") << c.name;
        // The open-or-create rule leaves a missing file behind, empty.
        EXPECT_TRUE(std::filesystem::exists(directory.path() / "ARV_coeff_00.inp")) << c.name;
    }
}

TEST(GridRun, EarlierLongerReportIsReplaced)
{
    ScratchDirectory directory;
    run_test::add_bundled_coefficients(directory);
    directory.write("grid_arven.ma.3.dat", std::string(500000, 'x'));
    const RunOutcome outcome = run_test::run_gridrun(directory, "1500\n");
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_EQ(outcome.report, run_with_bundled_file("1500\n").report);
}

TEST(GridRun, ReportThatCannotBeCreatedOrWritten)
{
    {
        ScratchDirectory directory;
        run_test::add_bundled_coefficients(directory);
        std::filesystem::create_directory(directory.path() / "grid_arven.ma.3.dat");
        const RunOutcome outcome = run_test::run_gridrun(directory, "1500\n");
        EXPECT_EQ(outcome.exit_status, 1);
        EXPECT_NE(outcome.errors.find(": OPEN (grid_arven.ma.3.dat)\r\n- "), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.console, "");
    }
    {
        ScratchDirectory directory;
        run_test::add_bundled_coefficients(directory);
        std::filesystem::create_symlink("/dev/full", directory.path() / "grid_arven.ma.3.dat");
        const RunOutcome outcome = run_test::run_gridrun(directory, "1500\n");
        EXPECT_EQ(outcome.exit_status, 1);
        EXPECT_NE(outcome.errors.find("(grid_arven.ma.3.dat)\r\n- "), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.console.find("Stop - Program terminated."), std::string::npos);
    }
}

TEST(GridRun, TheProgramAsAProcessMatchesTheInProcessRun)
{
    ScratchDirectory directory;
    run_test::add_bundled_coefficients(directory);
    const std::string command = "cd '" + directory.path().string() + "' && printf '1500\\n' | '" GRIDRUN_BINARY
                                "' > console.out 2> console.err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const RunOutcome in_process = run_with_bundled_file("1500\n");
    EXPECT_EQ(directory.read("console.out"), in_process.console);
    EXPECT_EQ(directory.read("grid_arven.ma.3.dat"), in_process.report);
}

}  // namespace
