#include "X11TrayColors.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <memory>

namespace tavlin {

X11TrayColors::X11TrayColors(QObject* parent) : TrayColors(parent)
{
    if (!x_.isValid())
        return;
    xcb_connection_t* x = x_.get();
    selection_ = x_.atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(x_.screen()));
    colors_ = x_.atom("_NET_SYSTEM_TRAY_COLORS");
    manager_ = x_.atom("MANAGER");
    // A new tray announces itself to the root window.
    const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, x_.root(), XCB_CW_EVENT_MASK, &rootEvents);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(x), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11TrayColors::readEvents);
    follow();
    readEvents();
}

void X11TrayColors::follow()
{
    xcb_connection_t* x = x_.get();
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, selection_), nullptr), &std::free);
    owner_ = owner ? owner->owner : xcb_window_t(XCB_NONE);
    std::optional<quint32> foreground;
    if (owner_ != XCB_NONE) {
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, owner_, XCB_CW_EVENT_MASK, &events);
        // Four colours (normal, error, warning, success), each red, green and blue in 16 bits.
        const std::optional<QByteArray> colors = x_.property(owner_, colors_, XCB_ATOM_CARDINAL);
        if (colors && colors->size() >= int(3 * sizeof(quint32))) {
            const auto* rgb = reinterpret_cast<const quint32*>(colors->constData());
            foreground = (rgb[0] >> 8 & 0xff) << 16 | (rgb[1] >> 8 & 0xff) << 8 | (rgb[2] >> 8 & 0xff);
        }
    }
    xcb_flush(x);
    if (foreground == foreground_)
        return;
    foreground_ = foreground;
    Q_EMIT foregroundChanged();
}

void X11TrayColors::readEvents()
{
    xcb_connection_t* x = x_.get();
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (notify->window == owner_ && notify->atom == colors_)
                follow();
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
