#pragma once

namespace tandriltest {

// Points PROGRAMDATA at a private folder for the whole test process (unless
// the caller already set one) and selects the offscreen Qt platform.
void PrepareTestEnvironment();

} // namespace tandriltest
