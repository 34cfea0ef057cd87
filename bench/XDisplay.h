#pragma once

#include <chrono>

struct xcb_connection_t;

namespace korvalin {

// The X display, watched for top-level windows being mapped: every child of the root
// window that is not override-redirect, as a program's main window is and a menu is not.
class XDisplay {
public:
    // Connects to $DISPLAY; throws std::runtime_error when it cannot.
    XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    ~XDisplay();

    // Forgets what earlier windows reported, up to now.
    void discardPendingEvents();
    // Reads what has arrived; true when a top-level window was mapped.
    bool takeTopLevelMap();
    // Sleeps until an event arrives or the time is up.
    void waitForEvents(std::chrono::steady_clock::duration timeout);

private:
    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
};

} // namespace korvalin
