// Helpers of the field-work tool's tests: a scratch directory, the bundled
// model loaded once, and the command calls with their captured streams.
#pragma once

#include "console_session.hpp"

#include <filesystem>
#include <string>

#include "arven/commands.hpp"
#include "arven/model.hpp"

namespace arven_test {

using Scratch = test_support::ScratchDirectory;
using test_support::read_file;
using test_support::write_file;

// The bundled coefficient file, loaded once.
const arven::Model& bundled_model();

// A measured direction at Paris that the model dates comfortably.
arven::DateOptions paris_measurement();

// Options pointing at the bundled coefficient file.
arven::CommonOptions common_options();

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run_curve(const arven::CommonOptions& common, const arven::CurveOptions& options);
Outcome run_date(const arven::CommonOptions& common, const arven::DateOptions& options);
Outcome run_map(const arven::CommonOptions& common, const arven::MapOptions& options);

}  // namespace arven_test
