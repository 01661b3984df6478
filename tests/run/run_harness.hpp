// Runs the whole grid program in-process in a scratch working directory, with
// the console bound to files, and hands back what it wrote.
#pragma once

#include <string>

#include "console_session.hpp"

namespace run_test {

using test_support::ScratchDirectory;

struct RunOutcome {
    int exit_status = -1;
    std::string console;   // standard output, raw bytes
    std::string errors;    // standard error, raw bytes
    std::string report;    // grid_arven.ma.3.dat after the run ("" if absent)
};

// The bundled coefficient file's content.
std::string bundled_coefficients();

// Copies the bundled coefficient file into `directory` as ARV_coeff_00.inp.
void add_bundled_coefficients(const ScratchDirectory& directory);

// Runs GRIDRUN in `directory` with `console_input` as standard input.
RunOutcome run_gridrun(const ScratchDirectory& directory, const std::string& console_input);

}  // namespace run_test
