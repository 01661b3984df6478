// Runs the whole grid program in-process in a scratch working directory, with
// the console bound to files, and hands back what it wrote.
#pragma once

#include <filesystem>
#include <string>

namespace run_test {

struct RunOutcome {
    int exit_status = -1;
    std::string console;   // standard output, raw bytes
    std::string errors;    // standard error, raw bytes
    std::string report;    // grid_arven.ma.3.dat after the run ("" if absent)
};

// A scratch working directory, removed with the object.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Copies the bundled coefficient file in as ARV_coeff_00.inp.
    void add_bundled_coefficients() const;
    void write_file(const std::string& name, const std::string& content) const;
    std::string read_file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Runs GRIDRUN in `directory` with `console_input` as standard input.
RunOutcome run_gridrun(const ScratchDirectory& directory, const std::string& console_input);

// The bundled coefficient file's content.
std::string bundled_coefficients();

}  // namespace run_test
