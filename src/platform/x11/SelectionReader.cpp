#include "SelectionReader.h"

#include <QSet>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tavlin {

namespace {

using Clock = SelectionReader::Clock;

// How often a wait looks whether the owner is still there, so a vanished owner ends the wait
// long before the time-out.
constexpr std::chrono::milliseconds ownerCheckInterval{50};

struct Free {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using XcbReply = std::unique_ptr<T, Free>;

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

void SelectionReader::FreeDeleter::operator()(void* pointer) const
{
    std::free(pointer);
}

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
    // Watched only while a conversion waits, so an idle reader never wakes the event loop.
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    notifier_->setEnabled(false);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { wake(true); });
    wakeTimer_.setSingleShot(true);
    connect(&wakeTimer_, &QTimer::timeout, this, [this] { wake(false); });
}

SelectionReader::~SelectionReader()
{
    end();
    notifier_.reset();
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

void SelectionReader::end()
{
    ended_ = true;
    // The conversion under way ends, and hands its turn to the next, which ends at once, and so on.
    if (waiting_)
        wake(false);
}

void SelectionReader::Wake::await_suspend(std::coroutine_handle<> waiting)
{
    reader->waiting_ = waiting;
    reader->notifier_->setEnabled(true);
    reader->wakeTimer_.start(wait);
}

void SelectionReader::wake(bool readable)
{
    notifier_->setEnabled(false);
    wakeTimer_.stop();
    readable_ = readable;
    if (std::coroutine_handle<> waiting = std::exchange(waiting_, nullptr))
        waiting.resume();
}

void SelectionReader::retireProperty()
{
    ++propertyGeneration_;
    property_ = connection_->atom("TAVLIN_SELECTION_" + QByteArray::number(propertyGeneration_));
}

QCoro::Task<SelectionReader::Awaited> SelectionReader::nextEvent(std::function<bool(const xcb_generic_event_t*)> wanted,
                                                                 xcb_window_t owner, Clock::time_point deadline)
{
    xcb_connection_t* c = connection_->get();
    deadline = std::min(Clock::now() + timeout_, deadline);
    while (true) {
        // Events may wait in xcb's queue already, read along with an earlier reply.
        while (xcb_generic_event_t* polled = xcb_poll_for_event(c)) {
            Event event(polled);
            if (wanted(event.get()))
                co_return Awaited{std::move(event), Outcome::converted};
        }
        if (xcb_connection_has_error(c))
            co_return Awaited{nullptr, Outcome::failed};
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0)
            co_return Awaited{nullptr, Outcome::timedOut};
        const bool readable = co_await Wake{this, std::min(remaining, ownerCheckInterval)};
        if (ended_)
            co_return Awaited{nullptr, Outcome::ended};
        if (!readable && this->owner() != owner)
            co_return Awaited{nullptr, Outcome::ownerChanged};
    }
}

QCoro::Task<SelectionReader::Result> SelectionReader::convert(QByteArray target, xcb_window_t owner,
                                                              Clock::time_point deadline)
{
    return convertAlone(std::move(target), owner, deadline, sizeLimit_);
}

QCoro::Task<SelectionReader::Result> SelectionReader::convertAlone(QByteArray target, xcb_window_t owner,
                                                                   Clock::time_point deadline, qsizetype sizeLimit)
{
    // The connection has one property and one stream of events for answers.
    co_await Turn{this};
    if (ended_) {
        handTurnOn();
        co_return Result{Outcome::ended, {}};
    }
    busy_ = true;
    Result result = co_await transfer(target, owner, deadline, sizeLimit);
    // An answer that came while the clipboard changed hands may be the new owner's: never take
    // one program's bytes for another's.
    if ((result.outcome == Outcome::converted || result.outcome == Outcome::tooLarge) && this->owner() != owner)
        result = {Outcome::ownerChanged, {}};
    busy_ = false;
    handTurnOn();
    co_return result;
}

void SelectionReader::handTurnOn()
{
    if (!turns_.isEmpty())
        turns_.takeFirst().resume();
}

QCoro::Task<SelectionReader::Result> SelectionReader::transfer(QByteArray target, xcb_window_t owner,
                                                               Clock::time_point deadline, qsizetype sizeLimit)
{
    if (!isValid())
        co_return Result{Outcome::failed, {}};
    if (owner == XCB_NONE || this->owner() != owner)
        co_return Result{Outcome::ownerChanged, {}};

    xcb_connection_t* c = connection_->get();
    const xcb_atom_t targetAtom = connection_->atom(target);
    xcb_delete_property(c, window_, property_);
    xcb_convert_selection(c, window_, clipboard_, targetAtom, property_, XCB_CURRENT_TIME);
    xcb_flush(c);

    // The late answer to a request given up on names the property retired with it: it is not
    // this request's, though it may be for the same target.
    const xcb_atom_t property = property_;
    Awaited notified = co_await nextEvent(
        [this, targetAtom, property](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return notify->requestor == window_ && notify->selection == clipboard_ && notify->target == targetAtom
                && (notify->property == property || notify->property == XCB_NONE);
        },
        owner, deadline);
    if (!notified.event) {
        retireProperty();
        co_return Result{notified.failure, {}};
    }
    if (reinterpret_cast<const xcb_selection_notify_event_t*>(notified.event.get())->property == XCB_NONE)
        co_return Result{Outcome::refused, {}};

    // Read in pieces into one buffer, so that a large answer is never held twice (the reply and
    // our copy). The read that reaches the end deletes the property, as the owner expects.
    QByteArray data;
    for (uint32_t offset = 0;;) {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c,
                                   xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, offset,
                                                    wordsFor(std::min(pieceBytes - 4, sizeLimit - data.size()))),
                                   nullptr));
        if (!reply) {
            retireProperty();
            co_return Result{Outcome::failed, {}};
        }
        if (offset == 0 && reply->type == incr_) {
            qsizetype sizeHint = 0;
            if (xcb_get_property_value_length(reply.get()) >= 4) {
                quint32 size = 0;
                std::memcpy(&size, xcb_get_property_value(reply.get()), sizeof size);
                sizeHint = size;
            }
            co_return co_await readIncrementally(owner, sizeHint, deadline, sizeLimit);
        }
        if (reply->type == XCB_NONE)
            co_return Result{Outcome::refused, {}};
        const int length = xcb_get_property_value_length(reply.get());
        if (offset == 0)
            data.reserve(std::min<qsizetype>(qsizetype(length) + reply->bytes_after, sizeLimit));
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (data.size() > sizeLimit || (reply->bytes_after > 0 && data.size() >= sizeLimit)) {
            // Not deleted by the read: the property stays behind on a retired name.
            retireProperty();
            data.truncate(sizeLimit);
            co_return Result{Outcome::tooLarge, std::move(data)};
        }
        if (reply->bytes_after == 0)
            co_return Result{Outcome::converted, std::move(data)};
        offset += static_cast<uint32_t>(length / 4);
        // The server hands a large answer over at once, piece by piece: let the event loop in
        // between pieces.
        co_await Wake{this, std::chrono::milliseconds(0)};
        if (ended_) {
            retireProperty();
            co_return Result{Outcome::ended, {}};
        }
    }
}

QCoro::Task<SelectionReader::Result> SelectionReader::readIncrementally(xcb_window_t owner, qsizetype sizeHint,
                                                                        Clock::time_point deadline, qsizetype sizeLimit)
{
    xcb_connection_t* c = connection_->get();
    QByteArray data;
    data.reserve(std::min(sizeHint, sizeLimit));
    // Reading the INCR announcement deleted the property, which tells the owner to send the first
    // chunk; every later delete asks for the next one, and an empty chunk ends the transfer.
    while (true) {
        Awaited changed = co_await nextEvent(
            [this](const xcb_generic_event_t* e) {
                if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                auto notify = reinterpret_cast<const xcb_property_notify_event_t*>(e);
                return notify->window == window_ && notify->atom == property_
                    && notify->state == XCB_PROPERTY_NEW_VALUE;
            },
            owner, deadline);
        if (!changed.event) {
            retireProperty();
            co_return Result{changed.failure, std::move(data)};
        }
        const qsizetype room = sizeLimit - data.size();
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, wordsFor(room)), nullptr));
        if (!reply) {
            retireProperty();
            co_return Result{Outcome::failed, {}};
        }
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0 && reply->bytes_after == 0)
            co_return Result{Outcome::converted, std::move(data)};
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (reply->bytes_after > 0 || data.size() > sizeLimit) {
            retireProperty();
            data.truncate(sizeLimit);
            co_return Result{Outcome::tooLarge, std::move(data)};
        }
    }
}

QCoro::Task<SelectionReader::Targets> SelectionReader::targets(xcb_window_t owner, Clock::time_point deadline)
{
    Targets targets;
    // Atoms are four bytes each: an answer longer than the cap is cut, not read whole.
    targets.result = co_await convertAlone("TARGETS", owner, deadline, maximumTargets * 4);
    if (targets.result.outcome == Outcome::tooLarge)
        targets.result.outcome = Outcome::converted;
    if (targets.result.outcome != Outcome::converted)
        co_return targets;
    const QByteArray& data = targets.result.data;
    QList<xcb_atom_t> atoms;
    atoms.reserve(data.size() / 4);
    for (qsizetype offset = 0; offset + 4 <= data.size(); offset += 4) {
        xcb_atom_t atom = XCB_NONE;
        std::memcpy(&atom, data.constData() + offset, sizeof atom);
        atoms.append(atom);
    }
    QSet<QByteArray> seen;
    for (const QByteArray& name : connection_->atomNames(atoms)) {
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            targets.names.append(name);
        }
    }
    co_return targets;
}

} // namespace tavlin
