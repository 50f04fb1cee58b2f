#pragma once

namespace tandriltest {

// A loopback TCP port that nothing listens on right now (bound once, then
// released), for tests of refused connections.
int UnusedLoopbackPort();

} // namespace tandriltest
