#include "run_harness.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "run/gridrun.hpp"
#include "textio/textio.hpp"

namespace run_test {

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void spill(const fs::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

int open_or_throw(const fs::path& path, int flags)
{
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) throw std::runtime_error("cannot open " + path.string());
    return fd;
}

}  // namespace

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = (fs::temp_directory_path() / "gridrun-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchDirectory::add_bundled_coefficients() const
{
    write_file("ARV_coeff_00.inp", bundled_coefficients());
}

void ScratchDirectory::write_file(const std::string& name, const std::string& content) const
{
    spill(path_ / name, content);
}

std::string ScratchDirectory::read_file(const std::string& name) const { return slurp(path_ / name); }

std::string bundled_coefficients() { return slurp(fs::path(ARVEN_DATA_DIR) / "ARV_coeff_00.inp"); }

RunOutcome run_gridrun(const ScratchDirectory& directory, const std::string& console_input)
{
    // The console lives in files outside the working directory, so the run
    // sees only its own two files there.
    ScratchDirectory console;
    console.write_file("stdin", console_input);
    const int in = open_or_throw(console.path() / "stdin", O_RDONLY);
    const int out = open_or_throw(console.path() / "stdout", O_WRONLY | O_CREAT | O_TRUNC);
    const int err = open_or_throw(console.path() / "stderr", O_WRONLY | O_CREAT | O_TRUNC);

    const fs::path previous = fs::current_path();
    fs::current_path(directory.path());
    textio::bind_console({in, out, err, false});
    RunOutcome outcome;
    outcome.exit_status = run::GRIDRUN();
    textio::bind_console({0, 1, 2, false});
    fs::current_path(previous);
    ::close(in);
    ::close(out);
    ::close(err);

    outcome.console = console.read_file("stdout");
    outcome.errors = console.read_file("stderr");
    // Only a regular file is read back: the report may be a link to a device.
    if (fs::is_regular_file(directory.path() / "grid_arven.ma.3.dat"))
        outcome.report = directory.read_file("grid_arven.ma.3.dat");
    return outcome;
}

}  // namespace run_test
