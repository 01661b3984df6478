// Internal to the record layer: the layer's saved state (one struct, one
// instance), the byte channels it writes and reads through, and the helpers
// shared by its operations.  Nothing here is part of the public interface.
#pragma once

#include "textio/textio.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace textio::detail {

inline constexpr std::size_t IO_BUFFER_BYTES = 64 * 1024;  // read chunk and write flush threshold
inline constexpr std::size_t MAX_VALUE_CHARS = 512;        // longest value a free-form read accepts
inline constexpr long CONSOLE_LINE_LIMIT = 130;            // characters of a line typed at a terminal
inline constexpr std::size_t SHOWN_TOKEN_CHARS = 40;       // characters of a bad value quoted in a diagnostic
inline constexpr int FREE_FORM_LINE_LIMIT = 79;            // columns of one free-form record
inline constexpr const char* CONSOLE_NAME = "CON";

// Buffered output to one descriptor.  `failed` is set after the first failed
// write; from then on the channel drops its bytes, so the end-of-run actions
// never report the same fault twice nor recurse on a broken console.
struct OutputChannel {
    int fd = -1;
    std::string buffer;
    bool failed = false;
};

// Buffered sequential input from one descriptor with the position needed by
// the diagnostics (line number) and by a first write after reading (offset).
struct InputChannel {
    int fd = -1;
    std::unique_ptr<char[]> buffer;
    std::size_t pos = 0;
    std::size_t len = 0;
    bool at_end = false;
    std::int64_t buffer_offset = 0;  // file offset of buffer[0]
    std::int64_t line = 1;           // 1-based line of the next byte
    long column = 0;                 // bytes already taken from the current line
    bool ends_with_newline = true;   // the last byte taken was a line end (or none taken)
};

// A file unit connected by UNITOPEN.
struct FileUnit {
    int unit = 0;
    std::string name;
    bool read_only = false;
    bool regular_file = false;
    bool written = false;  // a first write has cut the file
    OutputChannel out;
    InputChannel in;
};

// One parsed item of a format literal.
struct FormatOp {
    enum class Kind { Text, Skip, Slash, Fixed, Integer, Alpha };
    Kind kind = Kind::Text;
    int repeat = 1;        // values taken by a value descriptor; Skip: the columns
    int width = 0;         // Fixed, Integer and a sized Alpha
    int decimals = 0;      // Fixed
    bool sized = false;    // Alpha: Aw rather than A
    std::size_t at = 0;    // position of the item in the format, for diagnostics
    std::size_t text_begin = 0;  // Text: its characters in FormatCache::texts
    std::size_t text_end = 0;
};

// The last format literal parsed without fault, kept with its items.
struct FormatCache {
    bool valid = false;
    std::string format;
    std::vector<FormatOp> ops;
    std::string texts;
};

// The layer's whole saved state.
struct Layer {
    ConsoleBinding binding;
    bool line_open = false;  // the last console record's line end is not yet written
    OutputChannel console_out;
    InputChannel console_in;
    std::vector<std::unique_ptr<FileUnit>> files;
    // Scratch of a formatted write: its records end to end and where each
    // ends, kept so their storage is reused by the next statement.
    std::string statement;
    std::vector<std::size_t> record_ends;
    FormatCache format_cache;
};

Layer& layer();

bool is_console_unit(int unit);

// The file unit connected as `unit`, or nullptr.
FileUnit* find_file(int unit);

// Ends the run with a failure of the layer.
[[noreturn]] void fail(int code, std::string operation, std::string file_name, std::string description);

// Hands one complete record to a unit: console line control on the console,
// the record and CR LF on a file.
void emit_record(int unit, std::string_view record);

// Writes out the console's buffered bytes; a failure ends the run (WRITE, CON).
void flush_console();

// Appends bytes to the console, flushing when the buffer is full.
void console_bytes(std::string_view bytes);

// Writes out a file unit's buffer; a failure ends the run (WRITE).
void flush_file(FileUnit& file);

// Writes every byte or returns the errno of the failure (0 on success).
int write_all(int fd, const char* data, std::size_t size);

// The decimal digits of |x| rounded to `significant` digits, half away from
// zero, by way of the correctly rounded 17-digit form (first rounding).
// |x| = 0.D1D2...Dcount x 10^exponent; zero gives count 1, digit '0', exponent 0.
struct Digits {
    char digit[17];
    int count;
    int exponent;
};
Digits decimal_digits(double x);

// Rounds a digit string to `keep` digits (0 <= keep), a next digit of 5 or more
// adding one with carry; a carry out of the first digit gives "1" and raises the
// exponent.  keep = 0 leaves "1" (exponent + 1) or no digit at all (count 0).
void round_digits(Digits& d, int keep);

// The fixed-point text of render_fixed by the exact digits of x, for every
// x and every count of decimals.
std::string render_fixed_exact(double x, int decimals);

// The fast path of render_fixed for 0 <= decimals <= FAST_MAX_DECIMALS and a
// finite |x| below about 10^15/10^decimals: writes the same text at the end of
// `out` (FAST_FIXED_CHARS bytes) and returns its length, or returns 0 when it cannot
// decide cheaply (a fraction within reach of the first rounding from a half,
// a value rounding to zero with no decimals, or x out of its range).
inline constexpr int FAST_MAX_DECIMALS = 4;
inline constexpr std::size_t FAST_FIXED_CHARS = 24;
std::size_t fast_fixed_text(double x, int decimals, char* out);

// The printable form of a bad value for a diagnostic: cut, non-printable bytes escaped.
std::string shown_token(std::string_view token);

}  // namespace textio::detail
