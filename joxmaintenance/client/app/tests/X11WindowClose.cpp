#include "X11WindowClose.h"

// Xlib's macros (None, Bool, Status...) stay in this file.
#include <X11/Xlib.h>

namespace tandriltest {

bool SendDeleteWindow(const std::string& rDisplay, unsigned long window)
{
    Display* pDisplay = XOpenDisplay(rDisplay.c_str());
    if (!pDisplay)
        return false;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(pDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(pDisplay, window, False, NoEventMask, &event);
    XFlush(pDisplay);
    XCloseDisplay(pDisplay);
    return sent != 0;
}

} // namespace tandriltest
