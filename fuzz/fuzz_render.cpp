// Fuzz target: fixed-point rendering, the format interpreter and free-form
// writes.  Random doubles (every bit pattern: subnormals, infinities, quiet
// and signalling not-a-numbers), random widths and decimals.  Checked: an
// Fw.d field always has exactly w characters; a field that is not asterisks
// or a marker is the rendered text right-justified, and that text reads back
// to the value within half a unit of its last decimal (plus what the first
// rounding to 17 significant digits may add); FMTWRITE writes the same field;
// an Iw field is the integer or asterisks; a free-form double has its
// documented shape and 16 correct significant digits.
//
// Input: byte 0 the mode, then a double, a width, a decimals byte, a 32-bit
// integer; in the format mode the rest is a format string.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "textio/textio.hpp"

namespace {

constexpr int FILE_UNIT = 9;

struct Files {
    fuzz::MemFile output{"output"};
    fuzz::MemFile errors{"errors"};
    fuzz::MemFile records{"records"};
};

Files& files()
{
    static Files f;
    return f;
}

// The records a write statement puts on a text file, with their CR LF.
std::string written(const std::function<void()>& statement)
{
    Files& f = files();
    f.records.clear();
    f.output.clear();
    textio::bind_console({-1, f.output.fd(), f.errors.fd(), false});
    const int status = textio::run_program([&] {
        textio::UNITOPEN(FILE_UNIT, f.records.name());
        statement();
    });
    FUZZ_CHECK(status == 0, "a write to a file failed");
    return f.records.get();
}

std::string hex(double x)
{
    char text[48];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

// The decimal exponent E of x written 0.D1D2... x 10^E after rounding to 17
// significant digits (a carry can only make it larger, which loosens bounds).
int decimal_exponent(double x)
{
    if (x == 0.0) return 0;
    char text[48];
    std::snprintf(text, sizeof text, "%.16e", std::fabs(x));
    return std::atoi(std::strchr(text, 'e') + 1) + 1;
}

long double pow10l_of(int e) { return std::pow(10.0L, static_cast<long double>(e)); }

bool all_of(std::string_view s, char c) { return s.find_first_not_of(c) == std::string_view::npos; }
bool digits_only(std::string_view s) { return all_of(s, '0') || s.find_first_not_of("0123456789") == std::string_view::npos; }

// Checks the text of one finite double in fixed point with d decimals.
void check_fixed_text(double x, int d, const std::string& text)
{
    const std::string context = " (F?." + std::to_string(d) + " of " + hex(x) + " gave " + fuzz::shown(text) + ")";
    std::string_view t = text;
    const bool minus = !t.empty() && t[0] == '-';
    if (minus) t.remove_prefix(1);
    const std::size_t point = t.find('.');
    FUZZ_CHECK(point != std::string_view::npos, "no decimal point" + context);
    const std::string_view whole = t.substr(0, point);
    const std::string_view decimals = t.substr(point + 1);
    FUZZ_CHECK(digits_only(whole) && digits_only(decimals), "characters other than digits" + context);
    FUZZ_CHECK(decimals.size() == static_cast<std::size_t>(d), "wrong count of decimals" + context);
    // No zero before the point, except the "0." of a value rounding to zero with no decimals.
    if (!whole.empty() && whole[0] == '0') {
        FUZZ_CHECK(whole == "0" && d == 0 && !minus, "a leading zero" + context);
    }
    const bool all_zero = all_of(whole, '0') && all_of(decimals, '0');
    FUZZ_CHECK(!(minus && all_zero), "a sign on a value shown as zero" + context);
    FUZZ_CHECK(!minus || std::signbit(x), "a sign on a positive value" + context);
    const long double shown = std::strtold(text.c_str(), nullptr);
    FUZZ_CHECK(all_zero || std::signbit(x) == minus, "the sign is missing" + context);
    // Within half a unit of the last decimal; beyond 16 significant digits the
    // positions print as zeros, so the unit is then that of the 16th digit.
    const int E = decimal_exponent(x);
    const int last = -d > E - 16 ? -d : E - 16;
    const long double bound = 0.5L * pow10l_of(last) + 0.5L * pow10l_of(E - 17) + std::fabs(static_cast<long double>(x)) * 0x1p-60L;
    const long double error = std::fabs(shown - static_cast<long double>(x));
    FUZZ_CHECK(error <= bound, "not within half a unit of the last decimal" + context);
}

void fixed_field(double x, int w, int d)
{
    const std::string field = textio::render_fixed_field(x, w, d);
    const std::string context = " (F" + std::to_string(w) + "." + std::to_string(d) + " of " + hex(x) + " gave " +
                                fuzz::shown(field) + ")";
    FUZZ_CHECK(field.size() == static_cast<std::size_t>(w), "the field is not w characters" + context);
    if (!std::isfinite(x)) {
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        const bool quiet = (bits & 0x0008000000000000ULL) != 0;
        const char* marker = std::isinf(x) ? "1#INF" : bits == 0xFFF8000000000000ULL ? "1#IND" : quiet ? "1#QNAN" : "1#SNAN";
        std::string expected = marker;
        expected.resize(static_cast<std::size_t>(w), '.');
        FUZZ_CHECK(field == expected, "wrong marker" + context);
        return;
    }
    const std::string text = textio::render_fixed(x, d);
    check_fixed_text(x, d, text);
    if (text.size() > static_cast<std::size_t>(w)) {
        FUZZ_CHECK(all_of(field, '*'), "an overlong text is not asterisks" + context);
    } else {
        FUZZ_CHECK(field == std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text,
                    "the field is not the text right-justified" + context);
    }
    // The same field through the format interpreter, alone and between other items.
    const std::string descriptor = "F" + std::to_string(w) + "." + std::to_string(d);
    const std::string alone = written([&] { textio::FMTWRITE(FILE_UNIT, "(" + descriptor + ")", {x}); });
    FUZZ_CHECK(alone == field + "\r\n", "FMTWRITE (" + descriptor + ") wrote " + fuzz::shown(alone) + context);
    const std::string mixed =
        written([&] { textio::FMTWRITE(FILE_UNIT, "('x=',2X," + descriptor + ",'|',/,1X)", {x}); });
    FUZZ_CHECK(mixed == "x=  " + field + "|\r\n\r\n", "FMTWRITE with text, X and / wrote " + fuzz::shown(mixed) + context);
}

void integer_field(std::int32_t v, int w)
{
    const std::string record = written([&] { textio::FMTWRITE(FILE_UNIT, "(I" + std::to_string(w) + ")", {v}); });
    const std::string digits = std::to_string(v);
    const std::string field = digits.size() > static_cast<std::size_t>(w)
                                  ? std::string(static_cast<std::size_t>(w), '*')
                                  : std::string(static_cast<std::size_t>(w) - digits.size(), ' ') + digits;
    FUZZ_CHECK(record == field + "\r\n", "I" + std::to_string(w) + " of " + digits + " wrote " + fuzz::shown(record));
}

// The free-form text of one double: fixed point with 15 decimals when the
// value rounded to 16 digits lies in [1, 10^7), otherwise d.ddd...E+ddd.
void check_free_form_number(double x, std::string_view field, std::size_t width)
{
    const std::string context = " (free-form " + hex(x) + " gave " + fuzz::shown(field) + ")";
    FUZZ_CHECK(field.size() == width, "the field is not " + std::to_string(width) + " columns" + context);
    const std::string_view t = field.substr(field.find_first_not_of(' '));
    FUZZ_CHECK(width == 24 || field[0] == ' ', "no blank between two numbers" + context);
    if (!std::isfinite(x)) return;
    if (x == 0.0) {
        FUZZ_CHECK(t == "0.000000000000000E+000", "zero" + context);
        return;
    }
    std::string_view body = t;
    const bool minus = body[0] == '-';
    if (minus) body.remove_prefix(1);
    FUZZ_CHECK(minus == std::signbit(x), "sign" + context);
    const long double shown = std::strtold(std::string(t).c_str(), nullptr);
    const std::size_t e = body.find('E');
    if (e == std::string_view::npos) {
        const std::size_t point = body.find('.');
        FUZZ_CHECK(point >= 1 && point <= 7 && body[0] != '0' && digits_only(body.substr(0, point)) &&
                        body.size() == point + 16 && digits_only(body.substr(point + 1)),
                    "fixed-point shape" + context);
        FUZZ_CHECK(std::fabs(shown) >= 1.0L && std::fabs(shown) < 1e7L, "fixed point outside [1, 10^7)" + context);
        // Only 16 significant digits: the positions after them are zeros.
        std::string digits(body.substr(0, point));
        digits += body.substr(point + 1);
        FUZZ_CHECK(all_of(std::string_view(digits).substr(16), '0'), "more than 16 significant digits" + context);
    } else {
        FUZZ_CHECK(e == 17 && body[1] == '.' && body[0] >= '1' && body[0] <= '9' &&
                        digits_only(body.substr(2, 15)) && (body[e + 1] == '+' || body[e + 1] == '-') &&
                        body.size() == e + 5 && digits_only(body.substr(e + 2)),
                    "exponent shape" + context);
        FUZZ_CHECK(std::fabs(shown) < 1.0L || std::fabs(shown) >= 1e7L, "exponent form inside [1, 10^7)" + context);
    }
    const int E = decimal_exponent(x);
    const long double bound = 0.5L * pow10l_of(E - 16) + 0.5L * pow10l_of(E - 17) + std::fabs(static_cast<long double>(x)) * 0x1p-60L;
    FUZZ_CHECK(std::fabs(shown - static_cast<long double>(x)) <= bound, "not 16 correct digits" + context);
}

void free_form(double x, double y)
{
    const std::string one = written([&] { textio::LSTWRITE(FILE_UNIT, {x}); });
    FUZZ_CHECK(one.size() == 27 && one[0] == ' ' && one.substr(25) == "\r\n", "free-form record " + fuzz::shown(one));
    check_free_form_number(x, std::string_view(one).substr(1, 24), 24);

    const std::string two = written([&] { textio::LSTWRITE(FILE_UNIT, {"THETA: ", x, y}); });
    FUZZ_CHECK(two.size() == 1 + 7 + 24 + 25 + 2 && two.substr(0, 8) == " THETA: ", "free-form record " + fuzz::shown(two));
    check_free_form_number(x, std::string_view(two).substr(8, 24), 24);
    check_free_form_number(y, std::string_view(two).substr(32, 25), 25);
}

// A format string from the input: a malformed one is a programming error
// (std::logic_error) and writes nothing; a good one writes whole records.
void any_format(std::string_view format, double x, std::int32_t v, int which)
{
    Files& f = files();
    std::string record;
    bool rejected = false;
    record = written([&] {
        try {
            switch (which) {
                case 0: textio::FMTWRITE(FILE_UNIT, format); break;
                case 1: textio::FMTWRITE(FILE_UNIT, format, {x}); break;
                case 2: textio::FMTWRITE(FILE_UNIT, format, {v, x}); break;
                default: textio::FMTWRITE(FILE_UNIT, format, {"TEXT", x, v, x}); break;
            }
        } catch (const std::logic_error&) {
            rejected = true;
        }
    });
    (void)f;
    if (rejected) {
        FUZZ_CHECK(record.empty(), "a rejected format wrote " + fuzz::shown(record));
    } else {
        FUZZ_CHECK(record.size() >= 2 && record.compare(record.size() - 2, 2, "\r\n") == 0,
                    "format " + fuzz::shown(format) + " wrote " + fuzz::shown(record));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes bytes(data, size);
    const auto mode = bytes.take<std::uint8_t>();
    const double x = bytes.take<double>();
    const auto width_byte = bytes.take<std::uint8_t>();
    const auto decimals_byte = bytes.take<std::uint8_t>();
    const auto v = bytes.take<std::int32_t>();
    const double y = bytes.take<double>();
    switch (mode % 4) {
        case 0:
        case 1: {
            // Mostly the program's own sizes; sometimes very many decimals.
            int w = 1 + width_byte % 40;
            int d = decimals_byte % (w + 1);
            if (mode & 0x80) {
                d = decimals_byte * 2;
                w = d + 1 + width_byte * 2;
            }
            fixed_field(x, w, d);
            break;
        }
        case 2:
            integer_field(v, 1 + width_byte % 14);
            free_form(x, y);
            break;
        default:
            any_format(bytes.rest(), x, v, decimals_byte % 4);
            break;
    }
    return 0;
}
