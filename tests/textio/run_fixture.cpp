#include "run_fixture.hpp"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

int temp_fd()
{
    FILE* f = std::tmpfile();
    return dup(fileno(f));  // the FILE is dropped at exit; the descriptor is ours
}

std::string slurp(int fd)
{
    std::string bytes;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

}  // namespace

ScratchDir::ScratchDir() : previous_(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "textio-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir()
{
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::file(const std::string& name) const { return (path_ / name).string(); }

std::string ScratchDir::read(const std::string& name) const
{
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ScratchDir::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream(path_ / name, std::ios::binary) << bytes;
}

RunResult run_with(const std::string& input, const std::function<void()>& body, bool terminal, int output_fd)
{
    const int in = temp_fd();
    const int out = temp_fd();
    const int err = temp_fd();
    (void)!write(in, input.data(), input.size());
    lseek(in, 0, SEEK_SET);
    textio::ConsoleBinding binding;
    binding.input_fd = in;
    binding.output_fd = output_fd >= 0 ? output_fd : out;
    binding.error_fd = err;
    binding.input_is_terminal = terminal;
    textio::bind_console(binding);
    RunResult result;
    result.status = textio::run_program(body);
    result.out = slurp(out);
    result.err = slurp(err);
    close(in);
    close(out);
    close(err);
    return result;
}
