// The handler's settings: the nine slots and the output units they name.

#include "errors/errors.hpp"
#include "errors/handler_state.hpp"
#include "legendre/machint.hpp"

#include <algorithm>

namespace errors {

int XERPARM(int WHICH, int VALUE, int SET)
{
    // Only slots 1..9 exist; another index reads 0 and stores nothing, so a
    // stray index can never reach outside the store.
    if (WHICH < 1 || WHICH > detail::SLOT_COUNT) return 0;
    auto& slot = detail::handler_state().slots[static_cast<std::size_t>(WHICH - 1)];
    const int old = slot;
    if (SET != 0) slot = VALUE;
    return old;
}

void XERUNITS(int UNITS[5], int& N)
{
    // The unit count is kept within 0..5, the room of UNITS.
    N = std::clamp(XERPARM(detail::SLOT_UNIT_COUNT, 0, 0), 0, detail::MAX_UNITS);
    for (int i = 0; i < N; ++i) UNITS[i] = XERPARM(detail::UNIT_SLOTS[static_cast<std::size_t>(i)], 0, 0);
}

namespace detail {

std::vector<int> output_units()
{
    int units[MAX_UNITS] = {};
    int n = 0;
    XERUNITS(units, n);
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(units[i] == 0 ? legendre::MACHINT(MACHINT_ERROR_UNIT) : units[i]);
    return out;
}

}  // namespace detail
}  // namespace errors
