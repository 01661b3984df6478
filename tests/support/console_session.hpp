// What the tests share: scratch directories and whole runs of the program
// in-process, with the console bound to temporary files.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace test_support {

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

// A fresh directory under the system's temporary directory, removed (with
// anything a test made unreadable in it) when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string read(const std::string& name) const { return read_file(path_ / name); }
    void write(const std::string& name, const std::string& bytes) const { write_file(path_ / name, bytes); }

private:
    std::filesystem::path path_;
};

// Makes `directory` the working directory for the object's lifetime.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

struct ConsoleOutcome {
    int status = -1;
    std::string out;   // bytes written on the bound output descriptor
    std::string err;   // bytes written on the bound error descriptor
};

// Calls `program` (a whole run that returns its exit status, such as the
// grid program's driver) with `input` as standard input and the output and
// error descriptors captured; output_fd, when >= 0, replaces the captured
// output (for example /dev/full).  The console goes back to the standard
// streams afterwards.
ConsoleOutcome call_with_console(const std::string& input, const std::function<int()>& program,
                                 bool terminal = false, int output_fd = -1);

// Runs `body` as one run of the program (textio::run_program) with `input` as
// standard input, as call_with_console does.
ConsoleOutcome run_with_console(const std::string& input, const std::function<void()>& body,
                                bool terminal = false, int output_fd = -1);

}  // namespace test_support
