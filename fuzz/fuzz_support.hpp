// Small helpers shared by the fuzz targets: in-memory files that the record
// layer can use as its console or open by name, and a reader of the fuzzer's
// bytes.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzz {

// An anonymous in-memory file.  Its descriptor serves as a console stream;
// its /proc/self/fd name lets UNITOPEN open it like any file (a fresh open
// starts at offset 0).
class MemFile {
public:
    explicit MemFile(const char* label) : fd_(::memfd_create(label, 0))
    {
        if (fd_ < 0) std::abort();
        name_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemFile() { ::close(fd_); }
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }

    // Replaces the content and rewinds the descriptor.
    void set(std::string_view bytes)
    {
        if (::ftruncate(fd_, 0) != 0) std::abort();
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
        rewind();
    }
    void clear() { set({}); }
    void rewind()
    {
        if (::lseek(fd_, 0, SEEK_SET) != 0) std::abort();
    }
    std::string get() const
    {
        std::string bytes;
        char chunk[4096];
        off_t at = 0;
        for (;;) {
            const ssize_t n = ::pread(fd_, chunk, sizeof chunk, at);
            if (n < 0) std::abort();
            if (n == 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
            at += n;
        }
        return bytes;
    }

private:
    int fd_;
    std::string name_;
};

// Takes fixed-size values off the front of the fuzzer's input; once the
// bytes run out every value is zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take()
    {
        T value{};
        unsigned char raw[sizeof(T)] = {};
        const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(raw, data_, n);
        data_ += n;
        size_ -= n;
        std::memcpy(&value, raw, sizeof(T));
        return value;
    }
    std::string_view rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Stops the fuzzer with a message naming the broken property; libFuzzer
// then saves the input that broke it.
[[noreturn]] inline void broken(const std::string& what)
{
    std::fprintf(stderr, "\nPROPERTY BROKEN: %s\n", what.c_str());
    std::abort();
}

}  // namespace fuzz

// Checks a property; the message is built only when the property is broken.
#define FUZZ_CHECK(property, message)                      \
    do {                                                   \
        if (!(property)) ::fuzz::broken(message);          \
    } while (false)

namespace fuzz {

// Printable form of bytes for a message.
inline std::string shown(std::string_view bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

}  // namespace fuzz
