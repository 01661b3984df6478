#include "console_session.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "textio/textio.hpp"

namespace test_support {

namespace fs = std::filesystem;

namespace {

// An anonymous temporary file's descriptor, gone when closed.
int temporary_descriptor()
{
    std::string pattern = (fs::temp_directory_path() / "console-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::unlink(pattern.c_str());
    return fd;
}

std::string read_descriptor(int fd)
{
    std::string bytes;
    ::lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

}  // namespace

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void write_file(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = (fs::temp_directory_path() / "arven-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, ignored);
    fs::remove_all(path_, ignored);
}

WorkingDirectory::WorkingDirectory(const fs::path& directory) : previous_(fs::current_path())
{
    fs::current_path(directory);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

ConsoleOutcome run_with_console(const std::string& input, const std::function<void()>& body, bool terminal,
                                int output_fd)
{
    return call_with_console(input, [&] { return textio::run_program(body); }, terminal, output_fd);
}

ConsoleOutcome call_with_console(const std::string& input, const std::function<int()>& program, bool terminal,
                                 int output_fd)
{
    const int in = temporary_descriptor();
    const int out = temporary_descriptor();
    const int err = temporary_descriptor();
    if (::write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        throw std::runtime_error("cannot write the console input");
    ::lseek(in, 0, SEEK_SET);

    textio::ConsoleBinding binding;
    binding.input_fd = in;
    binding.output_fd = output_fd >= 0 ? output_fd : out;
    binding.error_fd = err;
    binding.input_is_terminal = terminal;
    textio::bind_console(binding);
    ConsoleOutcome outcome;
    outcome.status = program();
    textio::bind_console(textio::ConsoleBinding{});

    outcome.out = read_descriptor(out);
    outcome.err = read_descriptor(err);
    ::close(in);
    ::close(out);
    ::close(err);
    return outcome;
}

}  // namespace test_support
