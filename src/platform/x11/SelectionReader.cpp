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

SelectionReader::SelectionReader(std::chrono::milliseconds timeout, std::chrono::milliseconds formatTime,
                                 qsizetype sizeLimit)
    : connection_(std::make_unique<XcbConnection>()), timeout_(timeout), formatTime_(formatTime), sizeLimit_(sizeLimit)
{
    if (!connection_->isValid())
        return;
    xcb_connection_t* c = connection_->get();
    window_ = createWindow();
    clipboard_ = connection_->atom("CLIPBOARD");
    incr_ = connection_->atom("INCR");
    property_ = connection_->atom("TAVLIN_SELECTION");
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
        for (const xcb_window_t window : retiredWindows_)
            xcb_destroy_window(connection_->get(), window);
        xcb_destroy_window(connection_->get(), window_);
        xcb_flush(connection_->get());
    }
}

xcb_window_t SelectionReader::createWindow()
{
    xcb_connection_t* c = connection_->get();
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, connection_->root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
    xcb_flush(c);
    return window;
}

void SelectionReader::retireWindow()
{
    retiredWindows_.append(window_);
    window_ = createWindow();
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

bool SelectionReader::isOwnerBusy(xcb_window_t owner)
{
    if (!isValid())
        return false;
    // Between conversions no answer is awaited: whatever came meanwhile can only be a late one.
    if (!busy_) {
        while (xcb_generic_event_t* polled = xcb_poll_for_event(connection_->get()))
            takeLateAnswer(Event(polled).get());
    }
    return unanswered_ && unanswered_->owner == owner && Clock::now() < unanswered_->over;
}

bool SelectionReader::takeLateAnswer(const xcb_generic_event_t* event)
{
    if (!unanswered_ || (event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
        return false;
    auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    if (notify->requestor != unanswered_->requestor)
        return false;
    // Nobody reads it: the server need not go on holding its bytes.
    if (notify->property != XCB_NONE) {
        xcb_delete_property(connection_->get(), notify->requestor, notify->property);
        xcb_flush(connection_->get());
    }
    unanswered_.reset();
    return true;
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

QCoro::Task<SelectionReader::Awaited> SelectionReader::nextEvent(std::function<bool(const xcb_generic_event_t*)> wanted,
                                                                 xcb_window_t owner, Clock::time_point deadline,
                                                                 std::chrono::milliseconds wait)
{
    xcb_connection_t* c = connection_->get();
    Clock::time_point ready = Clock::now();
    while (true) {
        // Events may wait in xcb's queue already, read along with an earlier reply.
        while (xcb_generic_event_t* polled = xcb_poll_for_event(c)) {
            Event event(polled);
            const std::optional<Unanswered> earlier = unanswered_;
            if (takeLateAnswer(event.get())) {
                // Done with the request before, the owner starts on this one now.
                if (earlier->owner == owner)
                    ready = std::max(ready, std::min(Clock::now(), earlier->over));
                continue;
            }
            if (wanted(event.get())) {
                // An owner that answers this request has moved past those before it.
                if (unanswered_ && unanswered_->owner == owner)
                    unanswered_.reset();
                co_return Awaited{std::move(event), Outcome::converted, ready};
            }
        }
        if (xcb_connection_has_error(c))
            co_return Awaited{nullptr, Outcome::failed, ready};
        // While the owner may still be on a request given up on, this one's time has not begun.
        const Clock::time_point start = unanswered_ && unanswered_->owner == owner ? std::max(ready, unanswered_->over)
                                                                                   : ready;
        const Clock::time_point now = Clock::now();
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(start + wait, deadline)
                                                                                     - now);
        if (remaining.count() <= 0)
            co_return Awaited{nullptr, now < start ? Outcome::ownerBusy : Outcome::timedOut, start};
        const bool readable = co_await Wake{this, std::min(remaining, ownerCheckInterval)};
        if (ended_)
            co_return Awaited{nullptr, Outcome::ended, ready};
        if (!readable && this->owner() != owner)
            co_return Awaited{nullptr, Outcome::ownerChanged, ready};
    }
}

QCoro::Task<SelectionReader::Result> SelectionReader::convert(QByteArray target, xcb_window_t owner,
                                                              Clock::time_point deadline)
{
    return convertAlone(std::move(target), owner, deadline, sizeLimit_);
}

QCoro::Task<SelectionReader::Result> SelectionReader::convertAlone(QByteArray target, xcb_window_t owner,
                                                                   Clock::time_point deadline, qsizetype sizeLimit,
                                                                   bool patient)
{
    // The connection has one property and one stream of events for answers.
    co_await Turn{this};
    if (ended_) {
        handTurnOn();
        co_return Result{Outcome::ended, {}};
    }
    busy_ = true;
    Result result = co_await transfer(target, owner, deadline, sizeLimit, patient);
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
                                                               Clock::time_point deadline, qsizetype sizeLimit,
                                                               bool patient)
{
    if (!isValid())
        co_return Result{Outcome::failed, {}};
    if (owner == XCB_NONE || this->owner() != owner)
        co_return Result{Outcome::ownerChanged, {}};

    xcb_connection_t* c = connection_->get();
    const xcb_atom_t targetAtom = connection_->atom(target);
    const xcb_window_t requestor = window_;
    xcb_delete_property(c, requestor, property_);
    xcb_convert_selection(c, requestor, clipboard_, targetAtom, property_, XCB_CURRENT_TIME);
    xcb_flush(c);

    // The late answer to a request given up on, a refusal too, names the window retired with it:
    // it is not this request's, though it may be for the same target.
    Awaited notified = co_await nextEvent(
        [this, requestor, targetAtom](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return notify->requestor == requestor && notify->selection == clipboard_ && notify->target == targetAtom
                && (notify->property == property_ || notify->property == XCB_NONE);
        },
        owner, deadline, patient ? formatTime_ : step());
    if (!notified.event) {
        if (notified.failure == Outcome::timedOut || notified.failure == Outcome::ownerBusy)
            unanswered_ = Unanswered{owner, requestor, std::min(notified.ownerReady + formatTime_, deadline)};
        retireWindow();
        co_return Result{notified.failure, {}};
    }
    // The whole answer is due within the format's time from when the owner could start on it.
    deadline = std::min(notified.ownerReady + formatTime_, deadline);
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
            retireWindow();
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
            // Not deleted by the read: the property stays behind on the retired window.
            retireWindow();
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
            retireWindow();
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
            owner, deadline, step());
        if (!changed.event) {
            retireWindow();
            co_return Result{changed.failure, std::move(data)};
        }
        const qsizetype room = sizeLimit - data.size();
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, wordsFor(room)), nullptr));
        if (!reply) {
            retireWindow();
            co_return Result{Outcome::failed, {}};
        }
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0 && reply->bytes_after == 0)
            co_return Result{Outcome::converted, std::move(data)};
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (reply->bytes_after > 0 || data.size() > sizeLimit) {
            retireWindow();
            data.truncate(sizeLimit);
            co_return Result{Outcome::tooLarge, std::move(data)};
        }
    }
}

QCoro::Task<SelectionReader::Targets> SelectionReader::targets(xcb_window_t owner, Clock::time_point deadline,
                                                               bool patient)
{
    Targets targets;
    // Atoms are four bytes each: an answer longer than the cap is cut, not read whole.
    targets.result = co_await convertAlone("TARGETS", owner, deadline, maximumTargets * 4, patient);
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
