#pragma once

namespace joxmaintenance {

// Test-only: when TANDRIL_TEST_CLOSE_AFTER_MS is set to a positive number,
// closes the open message box or, without one, every top-level window that
// many milliseconds after the event loop (or a box's own loop) starts, and
// again each time that period passes. Without the variable it does nothing.
void InstallTestCloseHook();

} // namespace joxmaintenance
