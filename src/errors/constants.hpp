// The message handler's fixed texts, record formats and table sizes, each with
// its exact literal.  Internal to the handler.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace errors::detail {

// Settings store: nine slots, read and written through XERPARM.
inline constexpr int SLOT_COUNT = 9;
inline constexpr int SLOT_LAST_ERROR = 1;  // number of the last error reported
inline constexpr int SLOT_CONTROL = 2;     // control value: sign prints headings, magnitude 2 makes level 1 fatal
inline constexpr int SLOT_LIMIT = 4;       // how many times one message may be printed
inline constexpr int SLOT_UNIT_COUNT = 5;  // number of output units
inline constexpr std::array<std::int32_t, SLOT_COUNT> SLOT_INITIAL = {
    0,   // 1 last error number
    2,   // 2 control value
    0,   // 3 first output unit (0: the error-message unit of MACHINT)
    10,  // 4 print limit
    1,   // 5 number of output units
    0,   // 6 second output unit
    0,   // 7 third output unit
    0,   // 8 fourth output unit
    0,   // 9 fifth output unit
};
// Slots holding the output units, in the order XERUNITS hands them out.
inline constexpr std::array<int, 5> UNIT_SLOTS = {3, 6, 7, 8, 9};
inline constexpr int MAX_UNITS = 5;

// Unit 0 in the settings stands for the error-message unit, MACHINT entry 4.
inline constexpr std::int32_t MACHINT_ERROR_UNIT = 4;
inline constexpr std::int32_t MACHINT_LARGEST_INTEGER = 9;
inline constexpr std::int32_t MACHINT_RADIX = 10;
inline constexpr std::int32_t MACHINT_SINGLE_DIGITS = 11;

// Occurrence table.
inline constexpr int TABLE_ENTRIES = 10;
inline constexpr int KEY_LENGTH = 20;  // characters of a message that identify it

// Control value range and the magnitude that makes a recoverable error fatal.
inline constexpr int CONTROL_MIN = -2;
inline constexpr int CONTROL_MAX = 2;
inline constexpr int CONTROL_FATAL_RECOVERABLE = 2;

// Characters of message text on one printed line.
inline constexpr std::size_t LINE_TEXT = 72;

// Level headings, index LEVEL + 1.
inline constexpr std::array<std::string_view, 4> HEADING = {
    "WARNING MESSAGE...THIS MESSAGE WILL ONLY BE PRINTED ONCE.",
    "WARNING IN...",
    "RECOVERABLE ERROR IN...",
    "FATAL ERROR IN...",
};
inline constexpr std::string_view ONE_BLANK = " ";
inline constexpr std::string_view INVALID_INPUT = "XERROR -- INVALID INPUT";
inline constexpr std::string_view ABORT_RECOVERABLE = "JOB ABORT DUE TO UNRECOVERED ERROR.";
inline constexpr std::string_view ABORT_FATAL = "JOB ABORT DUE TO FATAL ERROR.";

// Record formats.
inline constexpr std::string_view FMT_TEXT_LINE = "(1X,A)";
inline constexpr std::string_view FMT_ERROR_NUMBER = "(' ERROR NUMBER =',I10)";
inline constexpr std::string_view FMT_SUMMARY_HEAD =
    "('0          ERROR MESSAGE SUMMARY',/,' MESSAGE START             NERR     LEVEL     COUNT')";
inline constexpr std::string_view FMT_SUMMARY_ENTRY = "(1X,A20,3I10)";
inline constexpr std::string_view FMT_SUMMARY_OTHERS = "('0OTHER ERRORS NOT INDIVIDUALLY TABULATED=',I10)";
inline constexpr std::string_view FMT_SUMMARY_END = "(1X)";

// Value lines: 11 blanks, the label and the value's index, then the value.
inline constexpr std::string_view VALUE_LABEL_INTEGER = "(11X,'IN ABOVE MESSAGE, I',I1,'=',";
inline constexpr std::string_view VALUE_LABEL_REAL = "(11X,'IN ABOVE MESSAGE, R',I1,'=',";
inline constexpr int MAX_VALUES = 2;         // values of each kind a report prints
inline constexpr int REAL_FIELD_EXTRA = 10;  // real field = real width + 10 columns

}  // namespace errors::detail
