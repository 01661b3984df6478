// Free-form (list-directed) reads of doubles from the console or a file.
// Input streams through a fixed buffer: no line is ever held whole, so lines
// of any length are read in bounded memory; one value is held, up to
// MAX_VALUE_CHARS characters.
#include "textio/layer.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace textio {
namespace detail {

std::string shown_token(std::string_view token)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string shown = "\"";
    const std::size_t n = token.size() < SHOWN_TOKEN_CHARS ? token.size() : SHOWN_TOKEN_CHARS;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c == '"' || c == '\\') {
            shown.push_back('\\');
            shown.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            shown.push_back(static_cast<char>(c));
        } else {
            shown += "\\x";
            shown.push_back(HEX[c >> 4]);
            shown.push_back(HEX[c & 0xF]);
        }
    }
    if (n < token.size()) shown += "...";
    shown.push_back('"');
    return shown;
}

}  // namespace detail

namespace {

using detail::InputChannel;

constexpr int END = -1;

// The bytes that end a value: blanks, tabs, line ends, the comma and the slash.
constexpr std::array<bool, 256> VALUE_END = [] {
    std::array<bool, 256> table{};
    for (const char c : {' ', '\t', '\r', '\n', ',', '/'}) table[static_cast<unsigned char>(c)] = true;
    return table;
}();
constexpr char CTRL_Z = 0x1A;

std::string count_of(std::size_t filled, std::size_t wanted)
{
    return std::to_string(filled) + " of " + std::to_string(wanted) + (wanted == 1 ? " number" : " numbers");
}

// The conversion of one value's text to a double by the free-form number
// syntax: optional sign, digits with an optional point, optional exponent
// (E, e, D or d with an optional sign, or a sign alone) and nothing else.
// A magnitude below the smallest double gives 0.0.
enum class Parse { Ok, NotANumber, Overflow };

// Powers of ten that are exact doubles.
constexpr double EXACT_POWER_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int LARGEST_EXACT_POWER = 22;
constexpr int EXACT_SIGNIFICANT_DIGITS = 15;  // below 2^53: every such integer is an exact double
constexpr long SHORT_EXPONENT_DIGITS = 4;

Parse parse_number(std::string_view t, double& value)
{
    // Normalised copy for the locale-free conversion: sign, mantissa, 'e', exponent.
    char buffer[detail::MAX_VALUE_CHARS + 8];
    std::size_t out = 0;
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') buffer[out++] = '-';
        ++i;
    }
    std::size_t digits = 0;
    long leading_exponent = 0;  // decimal exponent of the first nonzero digit, roughly
    bool nonzero_seen = false;
    bool point = false;
    for (; i < n; ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (c != '0' && !nonzero_seen) nonzero_seen = true;
            if (!point && nonzero_seen) ++leading_exponent;
            if (point && !nonzero_seen) --leading_exponent;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        buffer[out++] = c;
    }
    if (digits == 0) return Parse::NotANumber;
    long exponent = 0;
    if (i < n) {
        const char c = t[i];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            ++i;
        } else if (c != '+' && c != '-') {
            return Parse::NotANumber;
        }
        buffer[out++] = 'e';
        bool negative = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) {
            negative = t[i] == '-';
            if (negative) buffer[out++] = '-';
            ++i;
        }
        const std::size_t first = i;
        for (; i < n && t[i] >= '0' && t[i] <= '9'; ++i) {
            buffer[out++] = t[i];
            if (exponent < 100000) exponent = exponent * 10 + (t[i] - '0');
        }
        if (i == first || i != n) return Parse::NotANumber;
        if (negative) exponent = -exponent;
    }
    auto [end, ec] = std::from_chars(buffer, buffer + out, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (leading_exponent + exponent > 0) return Parse::Overflow;
        value = 0.0;  // below the smallest double
        return Parse::Ok;
    }
    if (ec != std::errc() || end != buffer + out) return Parse::NotANumber;
    return Parse::Ok;
}

// The common short value, such as -2.0343383E+04, converted without the
// general conversion: at most 15 digits (an exact double), an exponent of at
// most 4 digits, and a power of ten within the exact ones.  One division or
// multiplication then rounds once, to the nearest double, which is the general
// conversion's own result.  Reads from `p` no further than `last` and returns
// where the number stops, which the caller must check is where the value ends;
// returns nullptr, deciding nothing, when the text there is no such number.
const char* parse_short_number(const char* p, const char* last, double& value)
{
    bool minus = false;
    if (p < last && (*p == '+' || *p == '-')) minus = *p++ == '-';
    std::uint64_t significand = 0;
    const char* const first = p;
    for (; p < last && static_cast<unsigned>(*p - '0') < 10; ++p) significand = significand * 10 + static_cast<unsigned>(*p - '0');
    long digits = p - first;
    long fraction_digits = 0;
    if (p < last && *p == '.') {
        const char* const fraction = ++p;
        for (; p < last && static_cast<unsigned>(*p - '0') < 10; ++p) significand = significand * 10 + static_cast<unsigned>(*p - '0');
        fraction_digits = p - fraction;
        digits += fraction_digits;
    }
    if (digits == 0 || digits > EXACT_SIGNIFICANT_DIGITS) return nullptr;
    long exponent = 0;
    if (p < last && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd' || *p == '+' || *p == '-')) {
        if (*p != '+' && *p != '-') ++p;
        bool negative = false;
        if (p < last && (*p == '+' || *p == '-')) negative = *p++ == '-';
        const char* const exponent_first = p;
        for (; p < last && p - exponent_first < SHORT_EXPONENT_DIGITS && static_cast<unsigned>(*p - '0') < 10; ++p) {
            exponent = exponent * 10 + (*p - '0');
        }
        if (p == exponent_first) return nullptr;
        if (negative) exponent = -exponent;
    }
    const long scale = exponent - fraction_digits;
    if (scale < -LARGEST_EXACT_POWER || scale > LARGEST_EXACT_POWER) return nullptr;
    const double magnitude = scale < 0 ? static_cast<double>(significand) / EXACT_POWER_OF_TEN[-scale]
                                       : static_cast<double>(significand) * EXACT_POWER_OF_TEN[scale];
    value = minus ? -magnitude : magnitude;
    return p;
}

// The whole of `t` as a short number.
bool parse_short_number(std::string_view t, double& value)
{
    double number = 0.0;
    const char* const last = t.data() + t.size();
    if (parse_short_number(t.data(), last, number) != last) return false;
    value = number;
    return true;
}

// One free-form read from one channel.
class ListReader {
public:
    ListReader(InputChannel& in, std::string name, bool console, bool terminal)
        : in_(in), name_(std::move(name)), console_(console), terminal_(terminal)
    {
        if (!in_.buffer) in_.buffer = std::make_unique_for_overwrite<char[]>(detail::IO_BUFFER_BYTES);
    }

    void read(std::span<double> variables)
    {
        const std::size_t wanted = variables.size();
        std::size_t i = 0;
        bool value_since_comma = false;
        while (i < wanted) {
            if (!console_) skip_blanks_in_buffer();
            const int c = peek();
            if (c == END) end_of_input(i, wanted);
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                advance();
                continue;
            }
            if (c == ',') {
                advance();
                if (!value_since_comma) ++i;  // a null value: the variable keeps its content
                value_since_comma = false;
                continue;
            }
            if (c == '/') break;
            if (!console_ && short_number_in_buffer(variables[i])) {
                ++i;
                value_since_comma = true;
                continue;
            }
            const std::int64_t line = in_.line;
            std::string_view token;
            if (console_ || !token_in_buffer(token)) {
                scan_token(line, i, wanted);
                token = token_;
            }
            value_since_comma = true;
            i = assign(variables, token, i, line);
        }
        skip_rest_of_line();
    }

private:
    // Makes at least `count` bytes available unless the input ends first.
    void ensure(std::size_t count)
    {
        while (in_.len - in_.pos < count && !in_.at_end) {
            const std::size_t kept = in_.len - in_.pos;
            std::memmove(in_.buffer.get(), in_.buffer.get() + in_.pos, kept);
            in_.buffer_offset += static_cast<std::int64_t>(in_.pos);
            in_.pos = 0;
            in_.len = kept;
            const ssize_t n = ::read(in_.fd, in_.buffer.get() + kept, detail::IO_BUFFER_BYTES - kept);
            if (n < 0) {
                if (errno == EINTR) continue;
                const int err = errno;
                detail::fail(ERR_READ_IO, "READ", name_, "cannot read " + what() + ": " + std::strerror(err));
            }
            if (n == 0) {
                in_.at_end = true;
            } else {
                in_.len += static_cast<std::size_t>(n);
            }
        }
    }

    int peek()
    {
        if (in_.pos == in_.len) ensure(1);
        if (in_.pos == in_.len) return END;
        const char c = in_.buffer[in_.pos];
        if (c == CTRL_Z && console_ && ctrl_z_ends_line()) {
            // Ctrl-Z as the last character of a console line marks the end of input.
            ctrl_z_line_ = in_.line;
            in_.pos = in_.len;
            in_.at_end = true;
            return END;
        }
        return static_cast<unsigned char>(c);
    }

    // Looks no further ahead than needed, so an interactive line is never
    // waited on past its end.
    bool ctrl_z_ends_line()
    {
        ensure(2);
        if (in_.len - in_.pos == 1 || in_.buffer[in_.pos + 1] == '\n') return true;
        if (in_.buffer[in_.pos + 1] != '\r') return false;
        ensure(3);
        return in_.len - in_.pos == 2 || in_.buffer[in_.pos + 2] == '\n';
    }

    void advance()
    {
        const char c = in_.buffer[in_.pos++];
        if (c == '\n') {
            ++in_.line;
            in_.column = 0;
            in_.ends_with_newline = true;
            return;
        }
        in_.ends_with_newline = false;
        if (++in_.column > detail::CONSOLE_LINE_LIMIT && terminal_) {
            detail::fail(ERR_CONSOLE_LINE, "READ", name_,
                         "line " + std::to_string(in_.line) + " of the console input is longer than " +
                             std::to_string(detail::CONSOLE_LINE_LIMIT) + " characters");
        }
    }

    void skip_rest_of_line()
    {
        for (int c = peek(); c != END; c = peek()) {
            advance();
            if (c == '\n') return;
        }
    }

    // A file's blanks and line ends up to the end of the buffered bytes, taken
    // with the accounting of advance() (a file has no line limit).
    void skip_blanks_in_buffer()
    {
        const char* data = in_.buffer.get();
        std::size_t p = in_.pos;
        for (; p < in_.len; ++p) {
            const char c = data[p];
            if (c == '\n') {
                ++in_.line;
                in_.column = 0;
                in_.ends_with_newline = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++in_.column;
                in_.ends_with_newline = false;
            } else {
                break;
            }
        }
        in_.pos = p;
    }

    // A file's next value taken and converted in place when it is a short
    // number that ends inside the buffered bytes (or with the input); false
    // leaves everything to the general path.
    bool short_number_in_buffer(double& variable)
    {
        const char* const first = in_.buffer.get() + in_.pos;
        const char* const last = in_.buffer.get() + in_.len;
        double number = 0.0;
        const char* const stop = parse_short_number(first, last, number);
        if (stop == nullptr || !(stop < last ? ends_value(*stop) : in_.at_end)) return false;
        variable = number;
        in_.pos += static_cast<std::size_t>(stop - first);
        in_.column += static_cast<long>(stop - first);
        in_.ends_with_newline = false;
        return true;
    }

    // A file's next value taken in place when it ends inside the buffered
    // bytes (or with the input) and is no longer than a value may be; false
    // leaves everything to scan_token.
    bool token_in_buffer(std::string_view& token)
    {
        const char* data = in_.buffer.get();
        const std::size_t start = in_.pos;
        const std::size_t limit =
            in_.len - start > detail::MAX_VALUE_CHARS ? start + detail::MAX_VALUE_CHARS + 1 : in_.len;
        std::size_t p = start;
        while (p < limit && !ends_value(data[p])) ++p;
        if ((p == in_.len && !in_.at_end) || p - start > detail::MAX_VALUE_CHARS) return false;
        token = std::string_view(data + start, p - start);
        in_.pos = p;
        in_.column += static_cast<long>(p - start);
        in_.ends_with_newline = false;
        return true;
    }

    static bool ends_value(char c) { return VALUE_END[static_cast<unsigned char>(c)]; }

    void scan_token(std::int64_t line, std::size_t index, std::size_t wanted)
    {
        token_.clear();
        for (int c = peek(); c != END; c = peek()) {
            if (ends_value(static_cast<char>(c))) break;
            if (token_.size() == detail::MAX_VALUE_CHARS) {
                detail::fail(ERR_INPUT, "READ", name_,
                             "a value longer than " + std::to_string(detail::MAX_VALUE_CHARS) +
                                 " characters is not a number: " + detail::shown_token(token_) + where(line, index, wanted));
            }
            token_.push_back(static_cast<char>(c));
            advance();
        }
    }

    // Stores the value of `token` from variable `index` on; returns the index
    // of the next variable to fill.
    std::size_t assign(std::span<double> variables, std::string_view token, std::size_t index, std::int64_t line)
    {
        double number = 0.0;
        if (parse_short_number(token, number)) {  // the common plain value: no quote, no repeat count
            variables[index] = number;
            return index + 1;
        }
        const std::size_t wanted = variables.size();
        if (token.front() == '\'' || token.front() == '"') {
            input_failure("a text constant " + detail::shown_token(token) + " where a number is expected", line, index,
                          wanted);
        }
        std::size_t repeat = 1;
        std::string_view value = token;
        if (const std::size_t star = token.find('*'); star != std::string_view::npos) {
            repeat = 0;
            bool valid = star > 0;
            for (std::size_t k = 0; k < star && valid; ++k) {
                const char c = token[k];
                valid = c >= '0' && c <= '9';
                if (valid && repeat <= wanted) repeat = repeat * 10 + static_cast<std::size_t>(c - '0');
            }
            if (!valid || repeat == 0) {
                input_failure(detail::shown_token(token) + " has no valid repeat count (a positive integer before '*')",
                              line, index, wanted);
            }
            value = value.substr(star + 1);
            if (value.empty()) return index + repeat < wanted ? index + repeat : wanted;  // r null values
        }
        switch (parse_short_number(value, number) ? Parse::Ok : parse_number(value, number)) {
            case Parse::Ok:
                break;
            case Parse::NotANumber:
                input_failure(detail::shown_token(token) + " is not a number", line, index, wanted);
            case Parse::Overflow:
                input_failure(detail::shown_token(token) + " is beyond the range of a double", line, index, wanted);
        }
        for (std::size_t r = 0; r < repeat && index < wanted; ++r) variables[index++] = number;
        return index;
    }

    std::string what() const { return console_ ? std::string("standard input") : "file '" + name_ + "'"; }

    std::string where(std::int64_t line, std::size_t index, std::size_t wanted) const
    {
        std::string text = " (" + std::string(console_ ? "" : "file '" + name_ + "', ") + "line " + std::to_string(line);
        if (wanted > 1) text += ", value " + std::to_string(index + 1) + " of " + std::to_string(wanted);
        return text + ")";
    }

    [[noreturn]] void input_failure(const std::string& what_was_wrong, std::int64_t line, std::size_t index,
                                    std::size_t wanted)
    {
        detail::fail(ERR_INPUT, "READ", name_, what_was_wrong + where(line, index, wanted));
    }

    [[noreturn]] void end_of_input(std::size_t filled, std::size_t wanted)
    {
        std::string text = (console_ ? "end of input" : "end of file '" + name_ + "'") + " after " +
                           count_of(filled, wanted);
        if (ctrl_z_line_ > 0) {
            text += " (Ctrl-Z on line " + std::to_string(ctrl_z_line_) + ")";
        } else if (in_.buffer_offset + static_cast<std::int64_t>(in_.pos) == 0) {
            text += console_ ? " (the input is empty)" : " (the file is empty)";
        } else {
            const std::int64_t lines = in_.line - (in_.ends_with_newline ? 1 : 0);
            text += " (the " + std::string(console_ ? "input" : "file") + " ends after line " + std::to_string(lines) + ")";
        }
        detail::fail(ERR_END_OF_FILE, "READ", name_, text);
    }

    InputChannel& in_;
    std::string name_;
    bool console_;
    bool terminal_;
    std::int64_t ctrl_z_line_ = 0;
    std::string token_;
};

}  // namespace

void LSTREAD(int unit, std::span<double> variables)
{
    using namespace detail;
    Layer& L = layer();
    if (unit == CONSOLE) {
        // The answer is typed on the line below the prompt, and the prompt must
        // be visible before the program waits.
        if (L.line_open) console_bytes("\r\n");
        flush_console();
        ListReader(L.console_in, CONSOLE_NAME, true, L.binding.input_is_terminal).read(variables);
        L.line_open = false;
        return;
    }
    FileUnit* file = find_file(unit);
    if (file == nullptr) {
        throw std::logic_error("record layer: read from unit " + std::to_string(unit) + ", which is not connected");
    }
    ListReader(file->in, file->name, false, false).read(variables);
}

}  // namespace textio
