// The console and the end of a run: the layer's state, console line control,
// the byte channels to the bound descriptors, the two stops, the failures and
// the end-of-run actions.
#include "textio/layer.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <fcntl.h>
#include <unistd.h>

namespace textio {
namespace detail {

namespace {

ConsoleBinding default_binding()
{
    ConsoleBinding binding;
    binding.input_is_terminal = isatty(0) == 1;
    return binding;
}

struct Binding {
    ConsoleBinding value = default_binding();
};

Binding& bound()
{
    static Binding binding;
    return binding;
}

// Writes raw bytes on the bound error descriptor; a failure there has no
// further place to be reported.
void error_bytes(std::string_view bytes)
{
    (void)write_all(layer().binding.error_fd, bytes.data(), bytes.size());
}

void write_diagnostic(const RunEnd& end)
{
    std::string text = "\r\nrun-time error " + std::to_string(end.error_code) + ": " + end.operation + " (" +
                       end.file_name + ")\r\n- " + end.description + "\r\n";
    // Standard output first, so the two streams appear in their real order.
    if (!layer().console_out.failed) {
        try {
            flush_console();
        } catch (const RunEnd&) {
            // The console broke while a failure was already being reported;
            // the first failure is the one the run ends with.
        }
    }
    error_bytes(text);
}

// Stop texts leave the line-open flag as it was.
void stop_text(std::string_view text)
{
    Layer& L = layer();
    if (L.line_open) console_bytes("\r\n");
    console_bytes(text);
    console_bytes("\r\n");
}

// Every open file written out and closed, then the console's open line ended
// and the console written out.  Returns the first failure met, if any.
bool end_of_run_actions(RunEnd& first_failure)
{
    Layer& L = layer();
    bool failed = false;
    while (!L.files.empty()) {
        const int unit = L.files.front()->unit;
        try {
            UNITCLOS(unit);
        } catch (const RunEnd& end) {
            // UNITCLOS has released the unit even so.
            if (!failed) first_failure = end;
            failed = true;
        }
    }
    try {
        if (L.line_open) console_bytes("\r\n");
        flush_console();
    } catch (const RunEnd& end) {
        if (!failed) first_failure = end;
        failed = true;
    }
    return failed;
}

}  // namespace

Layer& layer()
{
    static Layer state;
    return state;
}

bool is_console_unit(int unit) { return unit == CONSOLE || unit == 0 || unit == 6; }

int write_all(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

void fail(int code, std::string operation, std::string file_name, std::string description)
{
    RunEnd end;
    end.exit_status = 1;
    end.failure = true;
    end.error_code = code;
    end.operation = std::move(operation);
    end.file_name = std::move(file_name);
    end.description = std::move(description);
    throw end;
}

void flush_console()
{
    OutputChannel& out = layer().console_out;
    if (out.failed) {
        out.buffer.clear();
        return;
    }
    const int err = write_all(out.fd, out.buffer.data(), out.buffer.size());
    out.buffer.clear();
    if (err != 0) {
        out.failed = true;
        fail(ERR_WRITE, "WRITE", CONSOLE_NAME, std::string("cannot write to standard output: ") + std::strerror(err));
    }
}

void console_bytes(std::string_view bytes)
{
    OutputChannel& out = layer().console_out;
    if (out.failed) return;
    out.buffer.append(bytes);
    if (out.buffer.size() >= IO_BUFFER_BYTES) flush_console();
}

void emit_record(int unit, std::string_view record)
{
    if (!is_console_unit(unit)) {
        FileUnit* file = find_file(unit);
        if (file == nullptr) {
            throw std::logic_error("record layer: write to unit " + std::to_string(unit) + ", which is not connected");
        }
        if (!file->written) {
            file->written = true;
            // The first write cuts the file where writing starts; an earlier
            // read on the unit moved that point past what it consumed.
            const std::int64_t at = file->in.buffer_offset + static_cast<std::int64_t>(file->in.pos);
            if (file->read_only) {
                file->out.failed = true;
                fail(ERR_WRITE, "WRITE", file->name,
                     "cannot write to file '" + file->name + "': it is open for reading only (no write permission)");
            }
            if (file->regular_file) {
                if (::lseek(file->out.fd, at, SEEK_SET) < 0 || ::ftruncate(file->out.fd, at) != 0) {
                    const int err = errno;
                    file->out.failed = true;
                    fail(ERR_WRITE, "WRITE", file->name,
                         "cannot cut file '" + file->name + "' before writing: " + std::strerror(err));
                }
            }
        }
        if (file->out.failed) return;
        file->out.buffer.append(record);
        file->out.buffer.append("\r\n");
        if (file->out.buffer.size() >= IO_BUFFER_BYTES) flush_file(*file);
        return;
    }
    Layer& L = layer();
    // An empty record shows as a record of one blank: a new line, nothing on it.
    const char control = record.empty() ? ' ' : record.front();
    switch (control) {
        case '0':
            console_bytes(L.line_open ? "\r\n\r\n" : "\r\n");
            break;
        case '1':
            console_bytes("\r\n\f\r \r");
            break;
        case '+':
            console_bytes("\r");
            break;
        default:
            if (L.line_open) console_bytes("\r\n");
            break;
    }
    if (!record.empty()) console_bytes(record.substr(1));
    L.line_open = true;
}

}  // namespace detail

void STOPRUN(int exit_status)
{
    detail::stop_text("Stop - Program terminated.");
    RunEnd end;
    end.exit_status = exit_status;
    throw end;
}

void STOPCODE(std::string_view digits, int code)
{
    detail::stop_text("Return code " + std::string(digits));
    RunEnd end;
    end.exit_status = code;
    throw end;
}

void bind_console(const ConsoleBinding& binding) { detail::bound().value = binding; }

namespace {

// A console descriptor that is closed at the start of a run is held by
// /dev/null opened in the opposite direction: every console read or write then
// fails as on a closed stream, and no file the run opens can take its number
// (the report would otherwise receive the console's bytes).
void hold_closed_console_descriptors(const ConsoleBinding& binding)
{
    const struct { int fd; int flags; } descriptors[] = {
        {binding.input_fd, O_WRONLY}, {binding.output_fd, O_RDONLY}, {binding.error_fd, O_RDONLY}};
    for (const auto& d : descriptors) {
        if (d.fd < 0 || ::fcntl(d.fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int holder = ::open("/dev/null", d.flags | O_CLOEXEC);
        if (holder < 0) continue;
        if (holder != d.fd) {
            ::dup2(holder, d.fd);
            ::close(holder);
        }
    }
}

}  // namespace

int run_program(const std::function<void()>& body)
{
    using namespace detail;
    // A closed standard output must give a diagnostic and exit status 1, not
    // a death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    hold_closed_console_descriptors(bound().value);
    Layer& L = layer();
    for (auto& file : L.files) ::close(file->out.fd);
    L = Layer{};
    L.binding = bound().value;
    L.console_out.fd = L.binding.output_fd;
    L.console_in.fd = L.binding.input_fd;

    RunEnd outcome;
    try {
        body();
    } catch (const RunEnd& end) {
        outcome = end;
    }
    if (outcome.failure) write_diagnostic(outcome);
    RunEnd late;
    if (end_of_run_actions(late) && !outcome.failure) {
        // A failure while writing out at the end turns a clean stop into a
        // failed run; a stop with a return code keeps its code.
        write_diagnostic(late);
        if (outcome.exit_status == 0) outcome.exit_status = 1;
    }
    return outcome.exit_status;
}

}  // namespace textio
