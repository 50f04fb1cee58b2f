#pragma once

#include <string>

namespace tandriltest {

// Asks a window to close as a window manager's close button does: a
// WM_PROTOCOLS client message carrying WM_DELETE_WINDOW. False when the
// display cannot be opened or the message not sent.
bool SendDeleteWindow(const std::string& rDisplay, unsigned long window);

} // namespace tandriltest
