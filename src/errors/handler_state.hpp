// The message handler's saved state: the settings store and the occurrence
// table, one instance for the whole run.  Internal to the handler.
#pragma once

#include "errors/constants.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace errors::detail {

// One message seen: the first KEY_LENGTH characters of its text (blank-padded),
// its error number and level, and how often it occurred (0: the entry is free).
struct TallyEntry {
    std::array<char, KEY_LENGTH> key{};
    std::int32_t nerr = 0;
    std::int32_t level = 0;
    std::int32_t count = 0;
};

struct HandlerState {
    std::array<std::int32_t, SLOT_COUNT> slots = SLOT_INITIAL;
    // Entries fill in order, so the used ones always come first.
    std::array<TallyEntry, TABLE_ENTRIES> table{};
    // Reports that found the table full.
    std::int32_t others = 0;
};

HandlerState& handler_state();

// The output units of XERUNITS in order, unit 0 replaced by the
// error-message unit (MACHINT entry 4, the console).
std::vector<int> output_units();

}  // namespace errors::detail
