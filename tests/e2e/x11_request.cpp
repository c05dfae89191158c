// SPDX-License-Identifier: MIT
// Sends a top-level window what a window manager would send it:
//   x11_request close WINDOW           the close request (WM_DELETE_WINDOW)
//   x11_request ping WINDOW [SECONDS]  a _NET_WM_PING; waits for the answer,
//                                      so everything sent to the window's
//                                      owner before it has been read.
//   x11_request grab                   what another program does to take all
//                                      input: grabs the pointer and the keyboard
//                                      on the root window, then lets go.
// Exit status: 0 done, 1 no answer in time, 2 misuse or a window that does
// not take the request.
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <sys/select.h>
#include <unistd.h>

namespace {

bool takesProtocol(Display *display, Window window, Atom protocol)
{
    Atom *protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count))
        return false;
    const bool found = std::find(protocols, protocols + count, protocol) != protocols + count;
    XFree(protocols);
    return found;
}

void sendProtocolMessage(Display *display, Window window, Atom protocol, long cookie)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = static_cast<long>(window);
    event.xclient.data.l[3] = cookie;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

// Waits for the ping to come back to the root window, as the protocol has it.
bool awaitPong(Display *display, Atom ping, long cookie, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.format == 32 &&
                static_cast<Atom>(event.xclient.data.l[0]) == ping &&
                event.xclient.data.l[3] == cookie)
                return true;
        }
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return false;
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        timeval timeout{static_cast<time_t>(micros / 1000000),
                        static_cast<suseconds_t>(micros % 1000000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(ConnectionNumber(display), &readable);
        select(ConnectionNumber(display) + 1, &readable, nullptr, nullptr, &timeout);
    }
}

int usage()
{
    std::fprintf(stderr, "usage: x11_request close WINDOW | ping WINDOW [SECONDS] | grab\n");
    return 2;
}

// Indexed by the grab's result: GrabSuccess is 0, GrabFrozen 4.
const char *grabResultName(int result)
{
    static const char *const names[] = {"success", "AlreadyGrabbed", "GrabInvalidTime",
                                        "GrabNotViewable", "GrabFrozen"};
    return result >= 0 && result < int(std::size(names)) ? names[result] : "unknown";
}

// Both grabs succeed when no other client holds the pointer or the keyboard.
int grabPointerAndKeyboard(Display *display)
{
    const Window root = DefaultRootWindow(display);
    const int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    const int keyboard =
        XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (pointer == GrabSuccess)
        XUngrabPointer(display, CurrentTime);
    if (keyboard == GrabSuccess)
        XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    if (pointer == GrabSuccess && keyboard == GrabSuccess)
        return 0;
    std::fprintf(stderr, "x11_request: pointer grab %s, keyboard grab %s\n",
                 grabResultName(pointer), grabResultName(keyboard));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string action = argc > 1 ? argv[1] : "";
    if (action != "close" && action != "ping" && action != "grab")
        return usage();
    Window window = 0;
    if (action != "grab") {
        if (argc < 3)
            return usage();
        char *end = nullptr;
        window = std::strtoul(argv[2], &end, 0);
        if (*end != '\0' || window == 0)
            return usage();
    }
    const double seconds = argc > 3 ? std::atof(argv[3]) : 30.0;

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_request: cannot open the display\n");
        return 2;
    }

    int status = 0;
    const char *protocolName = action == "close" ? "WM_DELETE_WINDOW" : "_NET_WM_PING";
    const Atom protocol = XInternAtom(display, protocolName, False);
    if (action == "grab") {
        status = grabPointerAndKeyboard(display);
    } else if (!takesProtocol(display, window, protocol)) {
        std::fprintf(stderr, "x11_request: window 0x%lx takes no %s\n", window, protocolName);
        status = 2;
    } else if (action == "close") {
        sendProtocolMessage(display, window, protocol, 0);
    } else {
        // Answers go to the root window, for a structure or substructure mask.
        XSelectInput(display, DefaultRootWindow(display),
                     StructureNotifyMask | SubstructureNotifyMask);
        const long cookie = static_cast<long>(getpid()) ^ 0x51e1;
        sendProtocolMessage(display, window, protocol, cookie);
        if (!awaitPong(display, protocol, cookie, seconds)) {
            std::fprintf(stderr, "x11_request: no answer to the ping of 0x%lx in %g s\n", window,
                         seconds);
            status = 1;
        }
    }
    XCloseDisplay(display);
    return status;
}
