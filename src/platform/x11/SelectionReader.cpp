#include "SelectionReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace tavlin {

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks whether the owner is still there, so a vanished owner ends the wait
// long before the time-out.
constexpr std::chrono::milliseconds ownerCheckInterval{50};

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

uint32_t wordsFor(qsizetype bytes)
{
    return static_cast<uint32_t>(bytes / 4 + 1);
}

// The most one property read asks for.
constexpr qsizetype pieceBytes = 1 << 20;

// Grows `data` in place: append() keeps the old buffer alive while it copies (the bytes could be
// its own), which holds a large transfer twice at every growth.
void appendPiece(QByteArray& data, const void* piece, int length)
{
    const qsizetype at = data.size();
    data.resize(at + length);
    std::memcpy(data.data() + at, piece, static_cast<std::size_t>(length));
}

} // namespace

SelectionReader::SelectionReader(std::chrono::milliseconds timeout, qsizetype sizeLimit)
    : connection_(std::make_unique<XcbConnection>()), timeout_(timeout), sizeLimit_(sizeLimit)
{
    if (!connection_->isValid())
        return;
    xcb_connection_t* c = connection_->get();
    window_ = xcb_generate_id(c);
    const uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, connection_->root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
    clipboard_ = connection_->atom("CLIPBOARD");
    incr_ = connection_->atom("INCR");
    property_ = connection_->atom("TAVLIN_SELECTION");
    xcb_flush(c);
}

SelectionReader::~SelectionReader()
{
    if (window_ != XCB_NONE && connection_->isValid()) {
        xcb_destroy_window(connection_->get(), window_);
        xcb_flush(connection_->get());
    }
}

bool SelectionReader::isValid() const
{
    return connection_->isValid() && window_ != XCB_NONE;
}

xcb_window_t SelectionReader::owner()
{
    if (!isValid())
        return XCB_NONE;
    xcb_connection_t* c = connection_->get();
    XcbReply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard_), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

void SelectionReader::retireProperty()
{
    ++propertyGeneration_;
    property_ = connection_->atom("TAVLIN_SELECTION_" + QByteArray::number(propertyGeneration_));
}

xcb_generic_event_t* SelectionReader::waitForEvent(const std::function<bool(const xcb_generic_event_t*)>& wanted,
                                                   xcb_window_t owner, Deadline conversionDeadline, Outcome* failure)
{
    xcb_connection_t* c = connection_->get();
    const Clock::time_point deadline = std::min(Clock::now() + timeout_, conversionDeadline);
    while (true) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if (wanted(event))
                return event;
            std::free(event);
        }
        if (xcb_connection_has_error(c)) {
            *failure = Outcome::failed;
            return nullptr;
        }
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0) {
            *failure = Outcome::timedOut;
            return nullptr;
        }
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(std::min(remaining, ownerCheckInterval).count()));
        if (ready == 0 && this->owner() != owner) {
            *failure = Outcome::ownerChanged;
            return nullptr;
        }
    }
}

SelectionReader::Result SelectionReader::convert(const QByteArray& target, xcb_window_t owner)
{
    if (!isValid())
        return {Outcome::failed, {}};
    if (owner == XCB_NONE || this->owner() != owner)
        return {Outcome::ownerChanged, {}};

    xcb_connection_t* c = connection_->get();
    const Deadline conversionDeadline = Clock::now() + 4 * timeout_;
    const xcb_atom_t targetAtom = connection_->atom(target);
    xcb_delete_property(c, window_, property_);
    xcb_convert_selection(c, window_, clipboard_, targetAtom, property_, XCB_CURRENT_TIME);
    xcb_flush(c);

    Outcome failure = Outcome::failed;
    XcbReply<xcb_generic_event_t> event(waitForEvent(
        [&](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return notify->requestor == window_ && notify->selection == clipboard_ && notify->target == targetAtom;
        },
        owner, conversionDeadline, &failure));
    if (!event) {
        retireProperty();
        return {failure, {}};
    }
    if (reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->property == XCB_NONE)
        return {Outcome::refused, {}};

    // Read in pieces into one buffer, so that a large answer is never held twice (the reply and
    // our copy). The read that reaches the end deletes the property, as the owner expects.
    QByteArray data;
    for (uint32_t offset = 0;;) {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c,
                                   xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, offset,
                                                    wordsFor(std::min(pieceBytes - 4, sizeLimit_ - data.size()))),
                                   nullptr));
        if (!reply) {
            retireProperty();
            return {Outcome::failed, {}};
        }
        if (offset == 0 && reply->type == incr_) {
            qsizetype sizeHint = 0;
            if (xcb_get_property_value_length(reply.get()) >= 4) {
                quint32 size = 0;
                std::memcpy(&size, xcb_get_property_value(reply.get()), sizeof size);
                sizeHint = size;
            }
            return readIncrementally(owner, sizeHint, conversionDeadline);
        }
        if (reply->type == XCB_NONE)
            return {Outcome::refused, {}};
        const int length = xcb_get_property_value_length(reply.get());
        if (offset == 0)
            data.reserve(std::min<qsizetype>(qsizetype(length) + reply->bytes_after, sizeLimit_));
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (data.size() > sizeLimit_ || (reply->bytes_after > 0 && data.size() >= sizeLimit_)) {
            // Not deleted by the read: the property stays behind on a retired name.
            retireProperty();
            data.truncate(sizeLimit_);
            return {Outcome::tooLarge, data};
        }
        if (reply->bytes_after == 0)
            return {Outcome::converted, data};
        offset += static_cast<uint32_t>(length / 4);
    }
}

SelectionReader::Result SelectionReader::readIncrementally(xcb_window_t owner, qsizetype sizeHint,
                                                           Deadline conversionDeadline)
{
    xcb_connection_t* c = connection_->get();
    QByteArray data;
    data.reserve(std::min(sizeHint, sizeLimit_));
    // Reading the INCR announcement deleted the property, which tells the owner to send the first
    // chunk; every later delete asks for the next one, and an empty chunk ends the transfer.
    while (true) {
        Outcome failure = Outcome::failed;
        XcbReply<xcb_generic_event_t> event(waitForEvent(
            [&](const xcb_generic_event_t* e) {
                if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                auto notify = reinterpret_cast<const xcb_property_notify_event_t*>(e);
                return notify->window == window_ && notify->atom == property_
                    && notify->state == XCB_PROPERTY_NEW_VALUE;
            },
            owner, conversionDeadline, &failure));
        if (!event) {
            retireProperty();
            return {failure, {}};
        }
        const qsizetype room = sizeLimit_ - data.size();
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, wordsFor(room)), nullptr));
        if (!reply) {
            retireProperty();
            return {Outcome::failed, {}};
        }
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0 && reply->bytes_after == 0)
            return {Outcome::converted, data};
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (reply->bytes_after > 0 || data.size() > sizeLimit_) {
            retireProperty();
            data.truncate(sizeLimit_);
            return {Outcome::tooLarge, data};
        }
    }
}

SelectionReader::Result SelectionReader::targets(xcb_window_t owner, QList<QByteArray>* names)
{
    names->clear();
    Result result = convert("TARGETS", owner);
    if (result.outcome != Outcome::converted)
        return result;
    QList<xcb_atom_t> atoms;
    for (qsizetype offset = 0; offset + 4 <= result.data.size(); offset += 4) {
        xcb_atom_t atom = XCB_NONE;
        std::memcpy(&atom, result.data.constData() + offset, sizeof atom);
        atoms.append(atom);
    }
    for (const QByteArray& name : connection_->atomNames(atoms)) {
        if (!name.isEmpty() && !names->contains(name))
            names->append(name);
    }
    return result;
}

} // namespace tavlin
