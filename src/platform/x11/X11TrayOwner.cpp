#include "X11TrayOwner.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <memory>

namespace tavlin {

X11TrayOwner::X11TrayOwner(uint32_t ownerEvents, QObject* parent)
    : QObject(parent), ownerEvents_(ownerEvents | XCB_EVENT_MASK_STRUCTURE_NOTIFY)
{
    if (!x_.isValid())
        return;
    xcb_connection_t* x = x_.get();
    selection_ = x_.atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(x_.screen()));
    manager_ = x_.atom("MANAGER");
    const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, x_.root(), XCB_CW_EVENT_MASK, &rootEvents);
    auto* notifier = new QSocketNotifier(xcb_get_file_descriptor(x), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &X11TrayOwner::readEvents);
    follow();
    readEvents();
}

void X11TrayOwner::follow()
{
    xcb_connection_t* x = x_.get();
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, selection_), nullptr), &std::free);
    owner_ = reply ? reply->owner : xcb_window_t(XCB_NONE);
    if (owner_ != XCB_NONE)
        xcb_change_window_attributes(x, owner_, XCB_CW_EVENT_MASK, &ownerEvents_);
    xcb_flush(x);
    Q_EMIT ownerChanged();
}

void X11TrayOwner::readEvents()
{
    xcb_connection_t* x = x_.get();
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (notify->window == owner_)
                Q_EMIT ownerPropertyChanged(notify->atom);
            break;
        }
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
