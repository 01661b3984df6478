#include "console_run.hpp"

#include "console_session.hpp"

#include <string>

#include "errors/errors.hpp"
#include "textio/textio.hpp"

ConsoleRun run_on_console(const std::function<void()>& body)
{
    const test_support::ConsoleOutcome outcome = test_support::run_with_console("", body);
    return {outcome.status, outcome.out};
}

void forget_reports()
{
    run_on_console([] {
        int count = 0;
        errors::XERTALLY(" ", 0, 0, 0, count);
    });
}

int reported_error_number(const std::string& out)
{
    static const std::string label = "ERROR NUMBER =";
    const auto at = out.find(label);
    if (at == std::string::npos) return -1;
    return std::stoi(out.substr(at + label.size(), 10));
}
