// bench-xping: measures from outside how long a program's GUI thread takes
// to answer: every few milliseconds it sends the program's top-level window
// a _NET_WM_PING, which the toolkit answers from its event loop, and times
// the answer. On SIGTERM or SIGINT it prints the number of pings, the
// longest wait for an answer and the number of freezes (runs of pings that
// waited longer than the threshold).
//   bench-xping --pid PID [--interval-ms 5] [--threshold-ms 100] [--window-timeout-s 30]
// Prints "WINDOW <id>" once it has found the window.

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t gStop = 0;

void OnSignal(int)
{
    gStop = 1;
}

double NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* pConnection, const char* pName)
{
    xcb_intern_atom_reply_t* pReply =
        xcb_intern_atom_reply(pConnection, xcb_intern_atom(pConnection, 0, static_cast<uint16_t>(std::strlen(pName)), pName),
                              nullptr);
    const xcb_atom_t atom = pReply != nullptr ? pReply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(pReply);
    return atom;
}

// A viewable top-level window of the process.
xcb_window_t FindWindow(xcb_connection_t* pConnection, xcb_window_t root, xcb_atom_t pidAtom, long pid)
{
    xcb_window_t found = XCB_WINDOW_NONE;
    xcb_query_tree_reply_t* pTree = xcb_query_tree_reply(pConnection, xcb_query_tree(pConnection, root), nullptr);
    if (pTree == nullptr)
        return found;
    const xcb_window_t* pChildren = xcb_query_tree_children(pTree);
    for (int index = 0; index < xcb_query_tree_children_length(pTree) && found == XCB_WINDOW_NONE; ++index)
    {
        xcb_get_property_reply_t* pProperty = xcb_get_property_reply(
            pConnection, xcb_get_property(pConnection, 0, pChildren[index], pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        const bool bOurs = pProperty != nullptr && xcb_get_property_value_length(pProperty) == 4 &&
                           *static_cast<uint32_t*>(xcb_get_property_value(pProperty)) == static_cast<uint32_t>(pid);
        std::free(pProperty);
        if (!bOurs)
            continue;
        xcb_get_window_attributes_reply_t* pAttributes = xcb_get_window_attributes_reply(
            pConnection, xcb_get_window_attributes(pConnection, pChildren[index]), nullptr);
        if (pAttributes != nullptr && pAttributes->map_state == XCB_MAP_STATE_VIEWABLE)
            found = pChildren[index];
        std::free(pAttributes);
    }
    std::free(pTree);
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    long pid = 0;
    double intervalMs = 5;
    double thresholdMs = 100;
    double windowTimeoutS = 30;
    for (int index = 1; index + 1 < argc; index += 2)
    {
        const std::string option = argv[index];
        if (option == "--pid")
            pid = std::atol(argv[index + 1]);
        else if (option == "--interval-ms")
            intervalMs = std::atof(argv[index + 1]);
        else if (option == "--threshold-ms")
            thresholdMs = std::atof(argv[index + 1]);
        else if (option == "--window-timeout-s")
            windowTimeoutS = std::atof(argv[index + 1]);
    }
    if (pid <= 0 || intervalMs <= 0)
    {
        std::fprintf(stderr, "usage: bench-xping --pid PID [--interval-ms N] [--threshold-ms N] [--window-timeout-s N]\n");
        return 2;
    }
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);

    xcb_connection_t* pConnection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(pConnection))
    {
        std::fprintf(stderr, "bench-xping: cannot open the display\n");
        return 1;
    }
    xcb_screen_t* pScreen = xcb_setup_roots_iterator(xcb_get_setup(pConnection)).data;
    const xcb_window_t root = pScreen->root;
    const xcb_atom_t protocols = Atom(pConnection, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(pConnection, "_NET_WM_PING");
    const xcb_atom_t pidAtom = Atom(pConnection, "_NET_WM_PID");

    xcb_window_t window = XCB_WINDOW_NONE;
    const double giveUp = NowMs() + windowTimeoutS * 1000;
    while (window == XCB_WINDOW_NONE && NowMs() < giveUp && gStop == 0)
    {
        window = FindWindow(pConnection, root, pidAtom, pid);
        if (window == XCB_WINDOW_NONE)
        {
            timespec pause = {0, 50000000};
            nanosleep(&pause, nullptr);
        }
    }
    if (window == XCB_WINDOW_NONE)
    {
        std::fprintf(stderr, "bench-xping: no window of process %ld\n", pid);
        return 1;
    }
    std::printf("WINDOW %u\n", window);
    std::fflush(stdout);

    // The answer goes to the root window with SubstructureNotify and
    // SubstructureRedirect, which the server delivers only to the client that
    // redirects the root's children. So the probe takes that part (there is
    // no window manager under Xvfb) and grants every map and configure request.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
    xcb_change_window_attributes(pConnection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(pConnection);

    std::vector<double> sent;
    std::vector<double> waited;   // -1 while unanswered
    double next = NowMs();
    const int socket = xcb_get_file_descriptor(pConnection);
    while (gStop == 0)
    {
        const double now = NowMs();
        if (now >= next)
        {
            xcb_client_message_event_t event;
            std::memset(&event, 0, sizeof(event));
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = protocols;
            event.data.data32[0] = ping;
            event.data.data32[1] = static_cast<uint32_t>(sent.size());
            event.data.data32[2] = window;
            xcb_send_event(pConnection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
            xcb_flush(pConnection);
            sent.push_back(now);
            waited.push_back(-1);
            next += intervalMs;
            if (next < now)
                next = now + intervalMs;
        }
        pollfd descriptor = {socket, POLLIN, 0};
        const int timeout = static_cast<int>(next - NowMs());
        poll(&descriptor, 1, timeout > 0 ? timeout : 0);
        while (xcb_generic_event_t* pEvent = xcb_poll_for_event(pConnection))
        {
            const int type = pEvent->response_type & 0x7f;
            if (type == XCB_MAP_REQUEST)
            {
                xcb_map_window(pConnection, reinterpret_cast<xcb_map_request_event_t*>(pEvent)->window);
                xcb_flush(pConnection);
            }
            else if (type == XCB_CONFIGURE_REQUEST)
            {
                const auto* pRequest = reinterpret_cast<xcb_configure_request_event_t*>(pEvent);
                uint32_t values[7];
                int count = 0;
                const uint16_t valueMask = pRequest->value_mask;
                if (valueMask & XCB_CONFIG_WINDOW_X)
                    values[count++] = static_cast<uint32_t>(pRequest->x);
                if (valueMask & XCB_CONFIG_WINDOW_Y)
                    values[count++] = static_cast<uint32_t>(pRequest->y);
                if (valueMask & XCB_CONFIG_WINDOW_WIDTH)
                    values[count++] = pRequest->width;
                if (valueMask & XCB_CONFIG_WINDOW_HEIGHT)
                    values[count++] = pRequest->height;
                if (valueMask & XCB_CONFIG_WINDOW_BORDER_WIDTH)
                    values[count++] = pRequest->border_width;
                if (valueMask & XCB_CONFIG_WINDOW_SIBLING)
                    values[count++] = pRequest->sibling;
                if (valueMask & XCB_CONFIG_WINDOW_STACK_MODE)
                    values[count++] = pRequest->stack_mode;
                xcb_configure_window(pConnection, pRequest->window, valueMask, values);
                xcb_flush(pConnection);
            }
            else if (type == XCB_CLIENT_MESSAGE)
            {
                const auto* pMessage = reinterpret_cast<xcb_client_message_event_t*>(pEvent);
                const uint32_t number = pMessage->data.data32[1];
                if (pMessage->data.data32[0] == ping && number < sent.size() && waited[number] < 0)
                    waited[number] = NowMs() - sent[number];
            }
            std::free(pEvent);
        }
        if (xcb_connection_has_error(pConnection))
            break;
    }
    const double end = NowMs();
    double longest = 0;
    long freezes = 0;
    long unanswered = 0;
    bool bInFreeze = false;
    for (size_t index = 0; index < sent.size(); ++index)
    {
        double wait = waited[index];
        if (wait < 0)
        {
            ++unanswered;
            wait = end - sent[index];
        }
        if (wait > longest)
            longest = wait;
        const bool bFrozen = wait > thresholdMs;
        if (bFrozen && !bInFreeze)
            ++freezes;
        bInFreeze = bFrozen;
    }
    std::printf("pings %zu, unanswered %ld, longest wait %.1f ms, freezes over %.0f ms %ld\n", sent.size(), unanswered,
                longest, thresholdMs, freezes);
    xcb_disconnect(pConnection);
    return 0;
}
