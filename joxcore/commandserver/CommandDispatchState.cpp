#include <joxcore/CommandDispatchState.h>

CommandDispatchState& CommandDispatchState::Instance()
{
    // Thread-safe construction on first use.
    static CommandDispatchState state;
    return state;
}
