// The handler's hooks and its stop.

#include "errors/errors.hpp"
#include "textio/textio.hpp"

namespace errors {

void XERHOOK(std::string_view /*MSG20*/, int /*NMSG20*/, int /*NMSG*/, int /*NERR*/, int /*LEVEL*/,
             int& /*CTL*/)
{
    // This program adjusts no report.
}

void XERDUMP()
{
    // This program has no state worth dumping after a message.
}

void XERSTOP(std::string_view /*MSG*/, int /*NMSG*/)
{
    // A fatal report is a failure of the run: the stop text as usual, but
    // exit status 1 so that a caller of the program sees it.
    textio::STOPRUN(1);
}

}  // namespace errors
