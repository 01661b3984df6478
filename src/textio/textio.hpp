// The record layer: every character of text the program writes or reads passes
// through here.  Formatted writes driven by format literals, fixed-point number
// rendering, free-form writes and reads, console line control, file units, the
// two stops and the failures that end a run.
//
// Units: CONSOLE (the default console unit), 0 and 6 all write to standard
// output with console line control; a free-form read from CONSOLE reads
// standard input.  Any other unit number is a sequential text file connected by
// UNITOPEN, each record followed by CR LF.
//
// Ending a run: STOPRUN, STOPCODE and every failure of the layer end the run by
// throwing RunEnd.  run_program() catches it, writes a failure's diagnostic,
// performs the end-of-run actions (open files written out and closed, a CR LF
// when a console line is open) and returns the exit status.  Nothing else in
// the program catches RunEnd except a tool that reports a failure its own way.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace textio {

// The default console unit, written '*' by callers of a list-directed write.
inline constexpr int CONSOLE = -1;

// One value of a write statement: a double, a 32-bit integer or a text item.
class Item {
public:
    enum class Kind { Double, Integer, Text };
    Item(double value) : kind_(Kind::Double), real_(value) {}
    Item(std::int32_t value) : kind_(Kind::Integer), integer_(value) {}
    Item(std::string_view text) : kind_(Kind::Text), text_(text) {}
    Item(const char* text) : kind_(Kind::Text), text_(text) {}

    Kind kind() const { return kind_; }
    double real() const { return real_; }
    std::int32_t integer() const { return integer_; }
    std::string_view text() const { return text_; }

private:
    Kind kind_;
    double real_ = 0.0;
    std::int32_t integer_ = 0;
    std::string_view text_;
};

// One formatted write statement: the format literal, such as
// "(1F7.2,1F8.2,1F10.2,1F11.2,2F12.2)", applied to the values in order.
// Produces one record per '/' plus one.
void FMTWRITE(int unit, std::string_view format, std::initializer_list<Item> values = {});

// One free-form (list-directed) write statement: one record of text items and
// doubles.  With no values the record is a single blank.
void LSTWRITE(int unit, std::initializer_list<Item> values = {});

// Connects a unit to a text file in the open-or-create mode: an existing file
// is opened, a missing one created empty; the first write cuts the file at its
// beginning.  A file that can be neither opened nor created is a failure.
void UNITOPEN(int unit, std::string_view file_name);

// Writes out what is buffered and releases the unit, keeping the file.
// Closing a unit that is not connected does nothing.
void UNITCLOS(int unit);

// One free-form read into the variables, in order.  Null values and a '/'
// leave variables unchanged.  Input failure, end of file and (console on a
// terminal) an over-long line end the run.
void LSTREAD(int unit, std::span<double> variables);

// Normal stop: "Stop - Program terminated." on the console, then the run ends
// with the given exit status (0 for the normal stop).
[[noreturn]] void STOPRUN(int exit_status = 0);

// Stop with a return code: "Return code " and the digits on the console, then
// the run ends with exit status `code`.
[[noreturn]] void STOPCODE(std::string_view digits, int code);

// Fixed-point text of x with `decimals` decimals, before the field width is
// applied: "-" only for a value that does not round to zero, no digit before
// the point below 1 (".50"), "0." for d = 0 and a value rounding to zero.
// A non-finite x gives its marker text ("1#INF", "1#IND", "1#QNAN", "1#SNAN").
std::string render_fixed(double x, int decimals);

// The whole Fw.d field: width characters, right-justified; asterisks when the
// text is longer than the field; the non-finite markers ("1#INF", "1#IND",
// "1#QNAN", "1#SNAN") cut to w or filled on the right with '.'.
std::string render_fixed_field(double x, int width, int decimals);

// The thrown form of the end of a run.  A stop carries only its exit status
// (its console text is already written); a failure of the layer carries the
// parts of its diagnostic, which run_program writes on standard error.
struct RunEnd {
    int exit_status = 0;
    bool failure = false;
    int error_code = 0;        // the layer's own code, after "run-time error "
    std::string operation;     // "READ", "WRITE", "OPEN" or "CLOSE"
    std::string file_name;     // the unit's file name, "CON" for the console
    std::string description;   // what went wrong, for a person
};

// The layer's error codes (RunEnd::error_code), with the operation each
// belongs to.  The description line says what was wrong and where.
inline constexpr int ERR_INPUT = 101;         // READ: a value that is not a number for a double, a text
                                              // constant, a bad repeat count, beyond the double range,
                                              // or longer than 512 characters
inline constexpr int ERR_END_OF_FILE = 102;   // READ: input ended (or Ctrl-Z at a console line end)
                                              // before the last variable was filled
inline constexpr int ERR_CONSOLE_LINE = 103;  // READ: a line typed at a terminal longer than 130 characters
inline constexpr int ERR_READ_IO = 104;       // READ: the system refused the read itself
inline constexpr int ERR_OPEN = 105;          // OPEN: the file can be neither opened nor created
inline constexpr int ERR_WRITE = 106;         // WRITE: bytes not accepted (disk full, closed pipe,
                                              // file open for reading only)
inline constexpr int ERR_CLOSE = 107;         // CLOSE: the system reported a failure on close

// Where the console is bound.  The defaults are the process's standard streams;
// tests bind descriptors of their own.  The console line limit of a read
// applies only when input_is_terminal is set.
struct ConsoleBinding {
    int input_fd = 0;
    int output_fd = 1;
    int error_fd = 2;
    bool input_is_terminal = false;
};

// Binds the console for the following runs (default: standard streams, with
// input_is_terminal taken from isatty on descriptor 0).
void bind_console(const ConsoleBinding& binding);

// Runs `body` as one run of the program: resets the layer's state, calls body,
// and whatever way the run ends (body returning counts as exit status 0 without
// a stop text) performs the end-of-run actions and returns the exit status.
int run_program(const std::function<void()>& body);

}  // namespace textio
