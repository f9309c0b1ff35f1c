#include "X11DesktopPresses.h"

#include <QSocketNotifier>

#include <xcb/xinput.h>

#include <cstdlib>

namespace tavlin {

X11DesktopPresses::X11DesktopPresses()
{
    if (!connection_.isValid())
        return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_.get(), &xcb_input_id);
    if (!extension || !extension->present)
        return;
    extension_ = extension->major_opcode;
    xcb_input_xi_query_version_reply_t* version = xcb_input_xi_query_version_reply(
        connection_.get(), xcb_input_xi_query_version(connection_.get(), 2, 2), nullptr);
    available_ = version
        && (version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 1));
    std::free(version);
}

X11DesktopPresses::~X11DesktopPresses()
{
    stop();
}

void X11DesktopPresses::select(bool raw)
{
    struct {
        xcb_input_event_mask_t head;
        quint32 mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, raw ? quint32(XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS) : 0u};
    xcb_input_xi_select_events(connection_.get(), connection_.root(), 1, &selection.head);
    xcb_flush(connection_.get());
}

bool X11DesktopPresses::start()
{
    if (!available_)
        return false;
    if (!notifier_) {
        notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_.get()),
                                                      QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { read(); });
    }
    // Presses of an earlier watch can still be unread: xcb takes whatever has arrived off the
    // socket while it sends a request (the one that ended that watch), where the notifier never
    // sees it. A round trip brings in the rest; all of it is dropped, or the press that ended
    // the earlier watch would end this one too.
    watching_ = false;
    std::free(xcb_get_input_focus_reply(connection_.get(), xcb_get_input_focus(connection_.get()), nullptr));
    read();
    watching_ = true;
    select(true);
    read(); // those taken off the socket while selecting
    return true;
}

void X11DesktopPresses::stop()
{
    watching_ = false;
    if (available_)
        select(false);
}

void X11DesktopPresses::read()
{
    bool press = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_.get())) {
        if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            press = press || (generic->extension == extension_ && generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS);
        }
        std::free(event);
    }
    // One press is one signal, however many devices reported it.
    if (press && watching_)
        Q_EMIT pressed();
}

} // namespace tavlin
