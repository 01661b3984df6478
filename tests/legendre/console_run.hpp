// Runs of the program in-process with the console bound to temp files, for
// tests that look at what a report prints and how the run ends.
#pragma once

#include <functional>
#include <string>

struct ConsoleRun {
    int status = 0;
    std::string out;  // bytes written to the console (standard output)
};

// Runs `body` as one whole run and returns its exit status and console bytes.
ConsoleRun run_on_console(const std::function<void()>& body);

// Clears the message handler's occurrence table, so that the next report is
// the first of its kind and gets the full abort text and summary.
void forget_reports();

// The number printed after "ERROR NUMBER =" in the console bytes, or -1.
int reported_error_number(const std::string& out);
