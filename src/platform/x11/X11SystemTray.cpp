#include "X11SystemTray.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <memory>

namespace tavlin {

X11SystemTray::X11SystemTray(QObject* parent) : SystemTray(parent)
{
    if (!x_.isValid())
        return;
    xcb_connection_t* x = x_.get();
    selection_ = x_.atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(x_.screen()));
    manager_ = x_.atom("MANAGER");
    const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, x_.root(), XCB_CW_EVENT_MASK, &rootEvents);
    auto* notifier = new QSocketNotifier(xcb_get_file_descriptor(x), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &X11SystemTray::readEvents);
    follow();
    readEvents();
}

void X11SystemTray::follow()
{
    xcb_connection_t* x = x_.get();
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, selection_), nullptr), &std::free);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
    if (owner != XCB_NONE) {
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, owner, XCB_CW_EVENT_MASK, &events);
    }
    xcb_flush(x);
    const bool wasAvailable = isAvailable();
    owner_ = owner;
    if (isAvailable() != wasAvailable)
        Q_EMIT availabilityChanged(isAvailable());
}

void X11SystemTray::readEvents()
{
    xcb_connection_t* x = x_.get();
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        switch (event->response_type & 0x7f) {
        case XCB_DESTROY_NOTIFY:
            if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == owner_)
                follow();
            break;
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->type == manager_ && message->data.data32[1] == selection_)
                follow();
            break;
        }
        default: break;
        }
    }
}

} // namespace tavlin
