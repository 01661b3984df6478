// Helpers of the field-work tool's tests: a scratch directory, the bundled
// model loaded once, and the command calls with their captured streams.
#pragma once

#include <filesystem>
#include <string>

#include "arven/commands.hpp"
#include "arven/model.hpp"

namespace arven_test {

// A fresh directory under the system's temporary directory, removed with the object.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& text);

// The bundled coefficient file, loaded once.
const arven::Model& bundled_model();

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
