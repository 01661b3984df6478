#include "errors/handler_state.hpp"

namespace errors::detail {

HandlerState& handler_state()
{
    static HandlerState state;
    return state;
}

}  // namespace errors::detail
