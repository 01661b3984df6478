#include "console_run.hpp"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "errors/errors.hpp"
#include "textio/textio.hpp"

namespace {

int temp_fd()
{
    std::FILE* f = std::tmpfile();
    return dup(fileno(f));
}

std::string read_all(int fd)
{
    std::string bytes;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

}  // namespace

ConsoleRun run_on_console(const std::function<void()>& body)
{
    const int in = temp_fd();
    const int out = temp_fd();
    const int err = temp_fd();
    textio::ConsoleBinding binding;
    binding.input_fd = in;
    binding.output_fd = out;
    binding.error_fd = err;
    textio::bind_console(binding);
    ConsoleRun run;
    run.status = textio::run_program(body);
    run.out = read_all(out);
    close(in);
    close(out);
    close(err);
    return run;
}

void forget_reports()
{
    run_on_console([] {
        int count = 0;
        errors::XERTALLY(" ", 0, 0, 0, count);
    });
}

int reported_error_number(const std::string& out)
{
    static const std::string label = "ERROR NUMBER =";
    const auto at = out.find(label);
    if (at == std::string::npos) return -1;
    return std::stoi(out.substr(at + label.size(), 10));
}
