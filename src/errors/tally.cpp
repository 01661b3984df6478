// The occurrence table: how often each distinct message was reported, and its
// summary.

#include "errors/errors.hpp"
#include "errors/handler_state.hpp"
#include "textio/textio.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace errors {
namespace {

using detail::KEY_LENGTH;
using detail::TallyEntry;

// The first KEY_LENGTH characters of the text, padded with blanks.
std::array<char, KEY_LENGTH> key_of(std::string_view msg)
{
    std::array<char, KEY_LENGTH> key;
    key.fill(' ');
    std::copy_n(msg.begin(), std::min(msg.size(), key.size()), key.begin());
    return key;
}

// Counts one more occurrence; a count that reached the largest integer stays
// there rather than wrap to a negative one.
std::int32_t bump(std::int32_t& counter)
{
    if (counter < std::numeric_limits<std::int32_t>::max()) ++counter;
    return counter;
}

void print_summary(const detail::HandlerState& state)
{
    if (state.table[0].count == 0) return;
    for (int unit : detail::output_units()) {
        textio::FMTWRITE(unit, detail::FMT_SUMMARY_HEAD);
        for (const TallyEntry& e : state.table) {
            if (e.count == 0) break;
            textio::FMTWRITE(unit, detail::FMT_SUMMARY_ENTRY,
                             {std::string_view(e.key.data(), e.key.size()), e.nerr, e.level, e.count});
        }
        if (state.others != 0) textio::FMTWRITE(unit, detail::FMT_SUMMARY_OTHERS, {state.others});
        textio::FMTWRITE(unit, detail::FMT_SUMMARY_END);
    }
}

}  // namespace

void XERTALLY(std::string_view MSG, int NMSG, int NERR, int LEVEL, int& COUNT)
{
    detail::HandlerState& state = detail::handler_state();
    if (NMSG > 0) {
        const auto key = key_of(MSG);
        for (TallyEntry& e : state.table) {
            if (e.count == 0) {
                e = TallyEntry{key, NERR, LEVEL, 1};
                COUNT = 1;
                return;
            }
            if (e.key == key && e.nerr == NERR && e.level == LEVEL) {
                COUNT = bump(e.count);
                return;
            }
        }
        // The table is full: the message is counted among the others and is
        // new every time, so it is never suppressed.
        bump(state.others);
        COUNT = 1;
        return;
    }
    print_summary(state);
    if (NMSG == 0) {
        state.table = {};
        state.others = 0;
    }
}

}  // namespace errors
