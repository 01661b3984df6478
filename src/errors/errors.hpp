// The message handler through which the Legendre package reports invalid
// arguments and exponent overflow: level headings, a print limit, an
// occurrence table with its summary, and the stop of a fatal report.
// All output goes to the console (unit 6) through the record layer.
#pragma once

#include <string_view>

namespace errors {

// Reports message MSG (NMSG characters) with error number NERR at LEVEL
// (-1 warning once, 0 warning, 1 recoverable, 2 fatal).  With the fixed
// settings a level 1 or 2 report prints, summarises and ends the run with
// exit status 1; the call returns only for a report that is not fatal.
void XERROR(std::string_view MSG, int NMSG, int NERR, int LEVEL);

// As XERROR, also printing up to two integer values (NIV of IV1, IV2) and
// two double values (NRV of RV1, RV2) after the message.
void XERRVAL(std::string_view MSG, int NMSG, int NERR, int LEVEL,
             int NIV, int IV1, int IV2, int NRV, double RV1, double RV2);

// NMSG > 0: records the message, COUNT = its occurrence count.
// NMSG = 0: prints the summary and clears the table; NMSG < 0: prints it and keeps it.
void XERTALLY(std::string_view MSG, int NMSG, int NERR, int LEVEL, int& COUNT);

// Prints the text in records of at most 72 characters after one blank.
void XERTEXT(std::string_view MSG, int NMSG);

// The output units: N = slot 5, UNITS(1..N) = slots 3, 6, 7, 8, 9.
void XERUNITS(int UNITS[5], int& N);

// Returns slot WHICH (1..9) as it was on entry; stores VALUE there when SET != 0.
int XERPARM(int WHICH, int VALUE, int SET);

// Hooks that do nothing in this program.
void XERHOOK(std::string_view MSG20, int NMSG20, int NMSG, int NERR, int LEVEL, int& CTL);
void XERDUMP();

// Ends the run: "Stop - Program terminated." and exit status 1 (a fatal report
// is a failure of the run).
[[noreturn]] void XERSTOP(std::string_view MSG, int NMSG);

}  // namespace errors
