// Drives whole runs of the record layer in-process: standard input from a
// byte string, standard output and standard error captured, all inside a
// scratch working directory.
#pragma once

#include <functional>
#include <string>

#include "console_session.hpp"
#include "textio/textio.hpp"

using RunResult = test_support::ConsoleOutcome;

// A scratch directory that is the working directory while it lives.
class ScratchDir : public test_support::ScratchDirectory {
public:
    ScratchDir() : here_(path()) {}
    std::string file(const std::string& name) const { return (path() / name).string(); }

private:
    test_support::WorkingDirectory here_;
};

// Runs `body` with standard input `input`; output_fd overrides the output
// descriptor when >= 0 (for example one opened on /dev/full).
inline RunResult run_with(const std::string& input, const std::function<void()>& body, bool terminal = false,
                          int output_fd = -1)
{
    return test_support::run_with_console(input, body, terminal, output_fd);
}
