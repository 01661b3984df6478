// Fuzz target: the free-form read, from the console (redirected and typed at
// a terminal) and from a file.  A small model of the read's rules, written
// independently of the layer, predicts for every input which values a run
// of reads fills or which failure ends it; the layer must agree exactly.
// A further mode renders a double with the fixed-point and free-form
// renderers and checks that reading the text back gives the rendered number.
//
// Input: byte 0 the mode (bits 0-1: file, console, terminal, round trip;
// bits 2-3 both set: a console input comes in packets, byte 2 gives their
// sizes), byte 1 the count of variables and of reads, then the bytes of the
// input stream (or, in the round-trip mode, a double).
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "textio/textio.hpp"

namespace {

constexpr std::size_t MAX_VALUE_CHARS = 512;  // longest value the layer accepts
constexpr long TERMINAL_LINE_LIMIT = 130;
constexpr int FILE_UNIT = 7;
constexpr int MAX_PACKETS = 64;  // well inside a socket's default send buffer
constexpr double UNTOUCHED = -7777.25;  // a variable's content before the reads

constexpr int INPUT_FAILURE = 101;
constexpr int END_OF_INPUT = 102;
constexpr int CONSOLE_LINE = 103;

enum class Mode { File, Console, Terminal, RoundTrip };

// ---- The model ---------------------------------------------------------

// The number syntax: optional sign; digits with at most one point, at least
// one digit; then an exponent letter E e D d with optional sign and digits,
// or a sign directly followed by digits.  Returns the text strtod reads.
std::optional<std::string> number_text(std::string_view v)
{
    std::string out;
    std::size_t i = 0;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) out.push_back(v[i++]);
    int digits = 0;
    bool point = false;
    for (; i < v.size(); ++i) {
        if (v[i] >= '0' && v[i] <= '9') {
            ++digits;
        } else if (v[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out.push_back(v[i]);
    }
    if (digits == 0) return std::nullopt;
    if (i == v.size()) return out;
    const char c = v[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        ++i;
        if (i < v.size() && (v[i] == '+' || v[i] == '-')) out.push_back(v[i++] == '-' ? 'M' : 'P');
    } else if (c == '+' || c == '-') {
        out.push_back(v[i++] == '-' ? 'M' : 'P');
    } else {
        return std::nullopt;
    }
    const std::size_t first = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
    if (i == first || i != v.size()) return std::nullopt;
    // 'e', then the exponent's sign, then its digits (huge exponents clamped
    // so strtod sees the same magnitude class).
    std::string exponent(v.substr(first));
    exponent.erase(0, exponent.find_first_not_of('0'));
    if (exponent.empty()) exponent = "0";
    if (exponent.size() > 6) exponent = "999999";
    std::string sign;
    if (!out.empty() && (out.back() == 'M' || out.back() == 'P')) {
        sign = out.back() == 'M' ? "-" : "+";
        out.pop_back();
    }
    return out + "e" + sign + exponent;
}

struct Expected {
    int failure = 0;             // 0: every read completed
    std::vector<double> values;  // after all reads (only when failure == 0)
    // Values whose magnitude lies below the smallest normal double: the
    // layer may give the subnormal or zero.
    std::vector<bool> tiny;
};

class Model {
public:
    Model(std::string_view input, bool console, bool terminal) : in_(input), console_(console), terminal_(terminal)
    {
        if (console_) {
            // A Ctrl-Z that is the last character of a line ends the input there.
            for (std::size_t k = 0; k < in_.size(); ++k) {
                if (in_[k] != 0x1A) continue;
                const std::string_view after = in_.substr(k + 1);
                if (after.empty() || after[0] == '\n' || after == "\r" || after.substr(0, 2) == "\r\n") {
                    in_ = in_.substr(0, k);
                    break;
                }
            }
        }
    }

    // One read into vars; returns the failure code or 0.
    int read(std::vector<double>& vars, std::vector<bool>& tiny)
    {
        const std::size_t wanted = vars.size();
        std::size_t i = 0;
        bool value_since_comma = false;
        while (i < wanted) {
            if (p_ == in_.size()) return END_OF_INPUT;
            const char c = in_[p_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                if (!take()) return CONSOLE_LINE;
                continue;
            }
            if (c == ',') {
                if (!take()) return CONSOLE_LINE;
                if (!value_since_comma) ++i;
                value_since_comma = false;
                continue;
            }
            if (c == '/') break;
            std::string token;
            while (p_ < in_.size()) {
                const char t = in_[p_];
                if (t == ' ' || t == '\t' || t == '\r' || t == '\n' || t == ',' || t == '/') break;
                if (token.size() == MAX_VALUE_CHARS) return INPUT_FAILURE;
                token.push_back(t);
                if (!take()) return CONSOLE_LINE;
            }
            value_since_comma = true;
            if (token[0] == '\'' || token[0] == '"') return INPUT_FAILURE;
            std::size_t repeat = 1;
            std::string_view value = token;
            if (const std::size_t star = token.find('*'); star != std::string::npos) {
                const std::string_view count = std::string_view(token).substr(0, star);
                if (count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos ||
                    count.find_first_not_of('0') == std::string_view::npos) {
                    return INPUT_FAILURE;
                }
                const std::string_view significant = count.substr(count.find_first_not_of('0'));
                repeat = significant.size() > 6 ? 1000000 : std::stoul(std::string(significant));
                value = value.substr(star + 1);
                if (value.empty()) {
                    i = i + repeat < wanted ? i + repeat : wanted;
                    continue;
                }
            }
            const std::optional<std::string> text = number_text(value);
            if (!text) return INPUT_FAILURE;
            errno = 0;
            const double number = std::strtod(text->c_str(), nullptr);
            if (std::isinf(number)) return INPUT_FAILURE;
            for (std::size_t r = 0; r < repeat && i < wanted; ++r, ++i) {
                vars[i] = number;
                tiny[i] = std::fabs(number) < 2.2250738585072014e-308;
            }
        }
        // The rest of the line is skipped.
        while (p_ < in_.size()) {
            const char c = in_[p_];
            if (!take()) return CONSOLE_LINE;
            if (c == '\n') break;
        }
        return 0;
    }

private:
    // Consumes one byte; false when that makes a terminal line too long.
    bool take()
    {
        const char c = in_[p_++];
        if (c == '\n') {
            column_ = 0;
            return true;
        }
        return !(++column_ > TERMINAL_LINE_LIMIT && terminal_);
    }

    std::string_view in_;
    bool console_;
    bool terminal_;
    std::size_t p_ = 0;
    long column_ = 0;
};

// ---- The layer ---------------------------------------------------------

struct Files {
    fuzz::MemFile input{"input"};
    fuzz::MemFile output{"output"};
    fuzz::MemFile errors{"errors"};
    fuzz::MemFile rendered{"rendered"};
};

Files& files()
{
    static Files f;
    return f;
}

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

Outcome run(bool terminal, int input_fd, const std::function<void()>& body)
{
    Files& f = files();
    f.output.clear();
    f.errors.clear();
    textio::bind_console({input_fd, f.output.fd(), f.errors.fd(), terminal});
    Outcome outcome;
    outcome.status = textio::run_program(body);
    outcome.out = f.output.get();
    outcome.err = f.errors.get();
    return outcome;
}

// The diagnostic of a failed read: CR LF, "run-time error <code>: READ (<name>)",
// CR LF, "- " and a description, CR LF.
void check_diagnostic(const std::string& err, int code, const std::string& name)
{
    const std::string head = "\r\nrun-time error " + std::to_string(code) + ": READ (" + name + ")\r\n- ";
    FUZZ_CHECK(err.rfind(head, 0) == 0, "diagnostic should begin with " + fuzz::shown(head) + ", got " + fuzz::shown(err));
    FUZZ_CHECK(err.size() > head.size() + 2 && err.compare(err.size() - 2, 2, "\r\n") == 0 &&
                    err.find("\r\n", head.size()) == err.size() - 2,
                "diagnostic should be two lines, got " + fuzz::shown(err));
}

void same_values(const std::vector<double>& got, const Expected& expected, std::string_view input)
{
    for (std::size_t k = 0; k < got.size(); ++k) {
        const double want = expected.values[k];
        const bool ok = got[k] == want || (expected.tiny[k] && got[k] == 0.0) ||
                        (std::signbit(got[k]) == std::signbit(want) && got[k] == want);
        if (!ok) {
            fuzz::broken("variable " + std::to_string(k + 1) + " read as " + std::to_string(got[k]) + " (%a " +
                         [&] { char b[40]; std::snprintf(b, sizeof b, "%a", got[k]); return std::string(b); }() +
                         "), the rules give " + [&] { char b[40]; std::snprintf(b, sizeof b, "%a", want); return std::string(b); }() +
                         " for input " + fuzz::shown(input));
        }
    }
}

// A console input as a sequenced-packet socket holding the input in
// packets of 1 + split / 16 bytes first, then 1 + split % 16 bytes each (at
// most MAX_PACKETS in all); every system read then returns one packet.
// Returns the reading end.
int packet_console(std::string_view input, unsigned split)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends) != 0) std::abort();
    std::size_t size = 1 + split / 16;
    int packets = 0;
    for (std::size_t at = 0; at < input.size(); at += size, size = 1 + split % 16) {
        // The socket holds a limited number of packets: the last takes the rest.
        if (++packets == MAX_PACKETS) size = input.size() - at;
        const std::size_t n = std::min(size, input.size() - at);
        if (::send(ends[1], input.data() + at, n, 0) != static_cast<ssize_t>(n)) std::abort();
    }
    ::close(ends[1]);
    return ends[0];
}

// split < 0: the input from an in-memory file; otherwise in packets.
void read_stream(Mode mode, std::size_t count, int reads, std::string_view input, int split = -1)
{
    Files& f = files();
    const bool console = mode != Mode::File;
    const bool terminal = mode == Mode::Terminal;
    f.input.set(input);
    const int packets = split >= 0 ? packet_console(input, static_cast<unsigned>(split)) : -1;

    Model model(input, console, terminal);
    Expected expected;
    expected.values.assign(count, UNTOUCHED);
    expected.tiny.assign(count, false);
    for (int r = 0; r < reads && expected.failure == 0; ++r) expected.failure = model.read(expected.values, expected.tiny);

    std::vector<double> vars(count, UNTOUCHED);
    int completed = 0;
    const Outcome outcome = run(terminal, packets >= 0 ? packets : f.input.fd(), [&] {
        if (!console) textio::UNITOPEN(FILE_UNIT, f.input.name());
        for (int r = 0; r < reads; ++r) {
            textio::LSTREAD(console ? textio::CONSOLE : FILE_UNIT, vars);
            ++completed;
        }
    });
    if (packets >= 0) ::close(packets);

    if (expected.failure == 0) {
        FUZZ_CHECK(outcome.status == 0 && completed == reads,
                    "reads should complete, got status " + std::to_string(outcome.status) + " and " + fuzz::shown(outcome.err) +
                        " for input " + fuzz::shown(input));
        FUZZ_CHECK(outcome.err.empty(), "no diagnostic expected");
        same_values(vars, expected, input);
    } else {
        FUZZ_CHECK(outcome.status == 1, "a failed read should end with status 1, got " + std::to_string(outcome.status) +
                                             " for input " + fuzz::shown(input));
        check_diagnostic(outcome.err, expected.failure, console ? "CON" : f.input.name());
    }
    // A console read leaves the console's line closed, and nothing else was written.
    FUZZ_CHECK(outcome.out.empty(), "reads wrote " + fuzz::shown(outcome.out) + " on the console");
}

// Renders x and reads the text back from the console.
void round_trip(double x, int decimals)
{
    if (!std::isfinite(x)) return;
    Files& f = files();
    // The free-form rendering, through a write to a file.
    f.rendered.clear();
    const Outcome written = run(false, f.input.fd(), [&] {
        textio::UNITOPEN(8, f.rendered.name());
        textio::LSTWRITE(8, {x});
    });
    FUZZ_CHECK(written.status == 0, "free-form write failed");
    const std::string record = f.rendered.get();
    const std::string texts[] = {textio::render_fixed(x, decimals), record.substr(0, record.size() - 2)};
    for (const std::string& text : texts) {
        // With no decimals a value below a tenth renders as the bare point,
        // which holds no digit and is no number to read back.
        if (text.find_first_of("0123456789") == std::string::npos) {
            FUZZ_CHECK(decimals == 0 && text == "." && std::fabs(x) < 0.1, "rendered text " + fuzz::shown(text) + " has no digit");
            continue;
        }
        const std::optional<std::string> plain = number_text(std::string_view(text).substr(text.find_first_not_of(' ')));
        FUZZ_CHECK(plain.has_value(), "rendered text " + fuzz::shown(text) + " is not a number of the read syntax");
        const double rendered = std::strtod(plain->c_str(), nullptr);
        f.input.set(text + "\r\n");
        double value = UNTOUCHED;
        const Outcome read = run(false, f.input.fd(), [&] { textio::LSTREAD(textio::CONSOLE, {&value, 1}); });
        if (std::isinf(rendered)) {
            // Sixteen digits of a value next to the largest double can round
            // beyond it: such a text is out of range for the read.
            FUZZ_CHECK(read.status == 1, "reading back " + fuzz::shown(text) + " should fail as beyond the range");
            check_diagnostic(read.err, INPUT_FAILURE, "CON");
            continue;
        }
        FUZZ_CHECK(read.status == 0, "reading back " + fuzz::shown(text) + " failed: " + fuzz::shown(read.err));
        FUZZ_CHECK(value == rendered || (std::fabs(rendered) < 2.2250738585072014e-308 && value == 0.0),
                    "reading back " + fuzz::shown(text) + " did not give the rendered number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes bytes(data, size);
    const auto first = bytes.take<std::uint8_t>();
    const auto mode = static_cast<Mode>(first % 4);
    const auto shape = bytes.take<std::uint8_t>();
    if (mode == Mode::RoundTrip) {
        const double x = bytes.take<double>();
        round_trip(x, shape % 24);
        return 0;
    }
    const std::size_t count = 1 + shape % 16;
    const int reads = 1 + (shape >> 4) % 3;
    if ((first & 0x0C) == 0x0C && mode != Mode::File) {
        // The console delivers the input in small packets, one per system
        // read, so values, line ends and a Ctrl-Z straddle the layer's refills.
        const auto split = bytes.take<std::uint8_t>();
        read_stream(mode, count, reads, bytes.rest(), split);
        return 0;
    }
    read_stream(mode, count, reads, bytes.rest());
    return 0;
}
