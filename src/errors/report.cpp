// The handler's entry: validation, counting, printing and the decision to end
// the run.

#include "errors/errors.hpp"
#include "errors/handler_state.hpp"
#include "errors/value_lines.hpp"
#include "textio/textio.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace errors {
namespace {

using namespace detail;

void print_text(std::string_view text) { XERTEXT(text, static_cast<int>(text.size())); }

// The summary of the occurrence table; NMSG = 0 also clears it.
void summary(int nmsg)
{
    int unused = 0;
    XERTALLY(ONE_BLANK, nmsg, 0, 0, unused);
}

// The value lines and the error number of one report, on every output unit.
void print_values(int NERR, int ctl, int niv, const int iv[2], int nrv, const double rv[2])
{
    const ValueWidths widths = value_widths();
    const std::string integer_format = std::string(VALUE_LABEL_INTEGER) + "I" + std::to_string(widths.integer) + ")";
    const std::string real_format = std::string(VALUE_LABEL_REAL) + "A)";
    for (int unit : output_units()) {
        for (int i = 0; i < niv; ++i)
            textio::FMTWRITE(unit, integer_format, {std::int32_t{i + 1}, std::int32_t{iv[i]}});
        for (int i = 0; i < nrv; ++i) {
            const std::string field = exponent_field(rv[i], widths.real);
            textio::FMTWRITE(unit, real_format, {std::int32_t{i + 1}, std::string_view(field)});
        }
        if (ctl > 0) textio::FMTWRITE(unit, FMT_ERROR_NUMBER, {std::int32_t{NERR}});
    }
}

}  // namespace

void XERROR(std::string_view MSG, int NMSG, int NERR, int LEVEL)
{
    XERRVAL(MSG, NMSG, NERR, LEVEL, 0, 0, 0, 0, 0.0, 0.0);
}

void XERRVAL(std::string_view MSG, int NMSG, int NERR, int LEVEL,
             int NIV, int IV1, int IV2, int NRV, double RV1, double RV2)
{
    int ctl = XERPARM(SLOT_CONTROL, 0, 0);
    const int lim = XERPARM(SLOT_LIMIT, 0, 0);

    // A report the handler cannot file is a fatal error of the handler itself.
    if (NMSG <= 0 || NERR == 0 || LEVEL < -1 || LEVEL > 2) {
        if (ctl > 0) print_text(HEADING[3]);
        print_text(INVALID_INPUT);
        if (ctl > 0) {
            XERDUMP();
            print_text(ABORT_FATAL);
            summary(0);
        }
        XERSTOP(MSG, NMSG);
    }

    XERPARM(SLOT_LAST_ERROR, NERR, 1);
    int count = 0;
    XERTALLY(MSG, NMSG, NERR, LEVEL, count);
    const std::string_view msg20 = MSG.substr(0, KEY_LENGTH);
    XERHOOK(msg20, static_cast<int>(msg20.size()), NMSG, NERR, LEVEL, ctl);
    ctl = std::clamp(ctl, CONTROL_MIN, CONTROL_MAX);
    const int mag = std::abs(ctl);

    const bool silent = (LEVEL < 2 && ctl == 0) ||
                        (LEVEL == -1 && count > std::min(1, lim)) ||
                        (LEVEL == 0 && count > lim) ||
                        (LEVEL == 1 && count > lim && mag == 1) ||
                        (LEVEL == 2 && count > std::max(1, lim));
    if (!silent) {
        if (ctl > 0) {
            print_text(ONE_BLANK);
            print_text(HEADING[static_cast<std::size_t>(LEVEL + 1)]);
        }
        XERTEXT(MSG, NMSG);
        const int iv[2] = {IV1, IV2};
        const double rv[2] = {RV1, RV2};
        print_values(NERR, ctl, std::clamp(NIV, 0, MAX_VALUES), iv, std::clamp(NRV, 0, MAX_VALUES), rv);
        if (ctl > 0) XERDUMP();
    }

    const bool fatal = LEVEL == 2 || (LEVEL == 1 && mag == CONTROL_FATAL_RECOVERABLE);
    if (!fatal) return;
    // A fatal report beyond its print limit ends the run without a word.
    if (ctl > 0 && count <= std::max(1, lim)) {
        print_text(LEVEL == 1 ? ABORT_RECOVERABLE : ABORT_FATAL);
        summary(-1);
    }
    XERSTOP(MSG, NMSG);
}

}  // namespace errors
