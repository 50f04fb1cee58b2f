#pragma once

#include <functional>

namespace tandriltest {

// Runs the event loop until rCondition holds or timeoutMs have passed, and
// returns its last value. Unlike QtTest's QTRY_ macros, which only return
// from the test function, a failed wait can be asserted in GoogleTest.
bool WaitFor(const std::function<bool()>& rCondition, int timeoutMs = 10000);

} // namespace tandriltest
