// Drives whole runs of the record layer in-process: standard input from a
// byte string, standard output and standard error captured in temp files,
// all inside a scratch working directory.
#pragma once

#include "textio/textio.hpp"

#include <filesystem>
#include <functional>
#include <string>

struct RunResult {
    int status = 0;
    std::string out;  // bytes written on the bound output descriptor
    std::string err;  // bytes written on the bound error descriptor
};

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const;  // absolute path of name inside
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Runs `body` with standard input `input`; output_fd overrides the output
// descriptor when >= 0 (for example one opened on /dev/full).
RunResult run_with(const std::string& input, const std::function<void()>& body, bool terminal = false,
                   int output_fd = -1);
