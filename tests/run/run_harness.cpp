#include "run_harness.hpp"

#include <filesystem>

#include "run/gridrun.hpp"

namespace run_test {

std::string bundled_coefficients()
{
    return test_support::read_file(std::filesystem::path(ARVEN_DATA_DIR) / "ARV_coeff_00.inp");
}

void add_bundled_coefficients(const ScratchDirectory& directory)
{
    directory.write("ARV_coeff_00.inp", bundled_coefficients());
}

RunOutcome run_gridrun(const ScratchDirectory& directory, const std::string& console_input)
{
    RunOutcome outcome;
    {
        const test_support::WorkingDirectory here(directory.path());
        const test_support::ConsoleOutcome console = test_support::call_with_console(console_input, run::GRIDRUN);
        outcome.exit_status = console.status;
        outcome.console = console.out;
        outcome.errors = console.err;
    }
    // Only a regular file is read back: the report may be a link to a device.
    if (std::filesystem::is_regular_file(directory / "grid_arven.ma.3.dat"))
        outcome.report = directory.read("grid_arven.ma.3.dat");
    return outcome;
}

}  // namespace run_test
