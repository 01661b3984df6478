// File units: connecting a unit to a file in the open-or-create mode, writing
// out its buffered records, releasing it.
#include "textio/layer.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace textio {
namespace detail {

FileUnit* find_file(int unit)
{
    for (auto& file : layer().files) {
        if (file->unit == unit) return file.get();
    }
    return nullptr;
}

void flush_file(FileUnit& file)
{
    if (file.out.failed) {
        file.out.buffer.clear();
        return;
    }
    const int err = write_all(file.out.fd, file.out.buffer.data(), file.out.buffer.size());
    file.out.buffer.clear();
    if (err != 0) {
        file.out.failed = true;
        fail(ERR_WRITE, "WRITE", file.name, "cannot write to file '" + file.name + "': " + std::strerror(err));
    }
}

}  // namespace detail

void UNITOPEN(int unit, std::string_view file_name)
{
    using namespace detail;
    if (is_console_unit(unit)) {
        throw std::logic_error("record layer: UNITOPEN on console unit " + std::to_string(unit));
    }
    std::string name(file_name);
    if (FileUnit* open = find_file(unit)) {
        if (open->name == name) return;
        UNITCLOS(unit);
    }
    if (name.find('\0') != std::string::npos) {
        fail(ERR_OPEN, "OPEN", shown_token(name), "cannot open or create file: its name holds a NUL byte");
    }
    bool read_only = false;
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    int err = fd < 0 ? errno : 0;
    if (fd < 0 && (err == EACCES || err == EROFS || err == EPERM)) {
        // An existing file without write permission is still good for reading.
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        read_only = fd >= 0;
    }
    if (fd < 0) {
        fail(ERR_OPEN, "OPEN", name, "cannot open or create file '" + name + "': " + std::strerror(err));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        err = errno;
        ::close(fd);
        fail(ERR_OPEN, "OPEN", name, "cannot open or create file '" + name + "': " + std::strerror(err));
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        fail(ERR_OPEN, "OPEN", name, "cannot open or create file '" + name + "': it is a directory");
    }
    auto file = std::make_unique<FileUnit>();
    file->unit = unit;
    file->name = std::move(name);
    file->read_only = read_only;
    file->regular_file = S_ISREG(info.st_mode);
    file->out.fd = fd;
    file->in.fd = fd;
    layer().files.push_back(std::move(file));
}

void UNITCLOS(int unit)
{
    using namespace detail;
    auto& files = layer().files;
    auto it = std::find_if(files.begin(), files.end(), [unit](const auto& f) { return f->unit == unit; });
    if (it == files.end()) return;
    // The unit is released whatever happens: a failure here ends the run and
    // the end-of-run actions must not meet the unit again.
    std::unique_ptr<FileUnit> file = std::move(*it);
    files.erase(it);
    try {
        flush_file(*file);
    } catch (const RunEnd&) {
        ::close(file->out.fd);
        throw;
    }
    if (::close(file->out.fd) != 0 && errno != EINTR) {
        const int err = errno;
        fail(ERR_CLOSE, "CLOSE", file->name, "cannot close file '" + file->name + "': " + std::strerror(err));
    }
}

}  // namespace textio
