// Message text output: records of at most 72 characters on every output unit.

#include "errors/errors.hpp"
#include "errors/handler_state.hpp"
#include "textio/textio.hpp"

namespace errors {

void XERTEXT(std::string_view MSG, int /*NMSG*/)
{
    // The text is printed at its own length; the caller's count only
    // validates the report.
    for (int unit : detail::output_units()) {
        for (std::size_t pos = 0; pos < MSG.size(); pos += detail::LINE_TEXT)
            textio::FMTWRITE(unit, detail::FMT_TEXT_LINE, {MSG.substr(pos, detail::LINE_TEXT)});
    }
}

}  // namespace errors
