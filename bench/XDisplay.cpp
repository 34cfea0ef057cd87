#include "XDisplay.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <xcb/xcb.h>

namespace korvalin {

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

XDisplay::XDisplay() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_) != 0) {
        const char* name = std::getenv("DISPLAY");
        xcb_disconnect(connection_);
        throw std::runtime_error(std::string("cannot connect to the X display ") +
                                 (name != nullptr ? name : "(DISPLAY is not set)"));
    }
    // The children started later must not inherit the connection.
    ::fcntl(xcb_get_file_descriptor(connection_), F_SETFD, FD_CLOEXEC);

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    root_ = screens.data->root;

    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection_,
        xcb_change_window_attributes_checked(connection_, root_, XCB_CW_EVENT_MASK, &mask)));
    if (error) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot watch the root window of the X display (error " +
                                 std::to_string(error->error_code) + ")");
    }
}

XDisplay::~XDisplay() {
    xcb_disconnect(connection_);
}

void XDisplay::discardPendingEvents() {
    // A round trip makes sure that everything the server sent before now has arrived.
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
    }
}

bool XDisplay::takeTopLevelMap() {
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
        if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY)
            continue;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
        if (map->event == root_ && map->override_redirect == 0)
            return true;
    }
    if (xcb_connection_has_error(connection_) != 0)
        throw std::runtime_error("the connection to the X display broke");
    return false;
}

void XDisplay::waitForEvents(std::chrono::steady_clock::duration timeout) {
    pollfd watched{xcb_get_file_descriptor(connection_), POLLIN, 0};
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    ::poll(&watched, 1, static_cast<int>(ms));
}

} // namespace korvalin
