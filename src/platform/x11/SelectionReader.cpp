#include "SelectionReader.h"

#include <QSet>
#include <QSocketNotifier>

#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tavlin {

namespace {

using Clock = SelectionReader::Clock;

// How often a wait looks whether the owner is still there, so a vanished owner ends the wait
// long before the time-out.
constexpr std::chrono::milliseconds ownerCheckInterval{50};

// How long an owner that has lost the clipboard still has to begin answering what it was asked
// before: a working program answers within moments, and the copy it answered just as the next
// was made is then kept. One that has not begun by then holds up the newer copy no longer, which
// the next look at the clipboard reads.
constexpr std::chrono::milliseconds replacedGrace{250};

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
    // The server's word of every change of hands comes in order with the owners' answers.
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (xfixes && xfixes->present) {
        XcbReply<xcb_xfixes_query_version_reply_t> version(
            xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 1, 0), nullptr));
        if (version) {
            selectionNotify_ = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
            xcb_xfixes_select_selection_input(c, connection_->root(), clipboard_,
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                                  | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                                  | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            xcb_flush(c);
        }
    }
    // Watched only while a conversion waits, so an idle reader never wakes the event loop.
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    notifier_->setEnabled(false);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { wake(true); });
    wakeTimer_.setSingleShot(true);
    connect(&wakeTimer_, &QTimer::timeout, this, [this] { wake(false); });
    retiredTimer_.setSingleShot(true);
    connect(&retiredTimer_, &QTimer::timeout, this, [this] { endRetiredWindows(); });
}

SelectionReader::~SelectionReader()
{
    end();
    notifier_.reset();
    if (window_ != XCB_NONE && connection_->isValid()) {
        for (const Retired& retired : retiredWindows_)
            xcb_destroy_window(connection_->get(), retired.window);
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

void SelectionReader::retireWindow(xcb_window_t owner)
{
    if (owner == XCB_NONE) {
        // Its property, if any, goes with it.
        xcb_destroy_window(connection_->get(), window_);
    } else {
        // A late answer is no use once the copy's whole time is over: the window may go then.
        retiredWindows_.append(Retired{window_, owner, Clock::now() + 2 * formatTime_});
        if (!retiredTimer_.isActive())
            retiredTimer_.start(2 * formatTime_);
    }
    window_ = createWindow();
}

void SelectionReader::endRetiredWindows(xcb_window_t answeredBy)
{
    if (!connection_->isValid())
        return;
    const Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> next;
    // Owners answer in order: one that answered a later request is done with these.
    const qsizetype before = retiredWindows_.size();
    retiredWindows_.removeIf([&](const Retired& retired) {
        if (retired.owner != answeredBy && now < retired.until) {
            next = next ? std::min(*next, retired.until) : retired.until;
            return false;
        }
        xcb_destroy_window(connection_->get(), retired.window);
        return true;
    });
    if (retiredWindows_.size() != before)
        xcb_flush(connection_->get());
    if (next)
        retiredTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(*next - now));
    else
        retiredTimer_.stop();
}

bool SelectionReader::isValid() const
{
    return connection_->isValid() && window_ != XCB_NONE;
}

xcb_window_t SelectionReader::owner()
{
    return ownership().owner;
}

SelectionReader::Ownership SelectionReader::ownership()
{
    if (!isValid())
        return {};
    xcb_connection_t* c = connection_->get();
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(c, clipboard_);
    XcbReply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(c, cookie, nullptr));
    return Ownership{reply ? reply->owner : xcb_window_t(XCB_NONE), cookie.sequence};
}

bool SelectionReader::hasEnded(const Ownership& ownership)
{
    if (!isValid() || ownership.owner == XCB_NONE)
        return true;
    if (!selectionNotify_)
        return owner() != ownership.owner;
    readEvents();
    return changedBetween(ownership.since, std::numeric_limits<uint32_t>::max());
}

bool SelectionReader::changedBetween(uint32_t since, uint32_t before) const
{
    // Changes older than the list are not known one by one: any of them may fall in between.
    if (since < changesKnownSince_)
        return true;
    return std::any_of(changes_.begin(), changes_.end(),
                       [&](uint32_t change) { return since <= change && change < before; });
}

SelectionReader::Event SelectionReader::pollEvent()
{
    if (!readAhead_.empty()) {
        Event event = std::move(readAhead_.front());
        readAhead_.pop_front();
        return event;
    }
    while (xcb_generic_event_t* polled = xcb_poll_for_event(connection_->get())) {
        Event event(polled);
        if (selectionNotify_ == 0 || (event->response_type & 0x7f) != selectionNotify_)
            return event;
        // The request after which the server made the change: the event's own sequence number.
        changes_.append(event->full_sequence);
        ++changesSeen_;
        // Only changes since the oldest ownership still read matter; a copy is read in seconds.
        constexpr qsizetype kept = 256;
        if (changes_.size() > kept)
            changesKnownSince_ = changes_.takeFirst() + 1;
    }
    return nullptr;
}

void SelectionReader::readEvents()
{
    std::deque<Event> read;
    std::swap(read, readAhead_);
    while (Event event = pollEvent())
        read.push_back(std::move(event));
    for (Event& event : read) {
        // Between conversions no answer is awaited: what came can only be a late one.
        if (busy_)
            readAhead_.push_back(std::move(event));
        else
            takeLateAnswer(event.get());
    }
}

bool SelectionReader::windowExists(xcb_window_t window)
{
    xcb_connection_t* c = connection_->get();
    xcb_generic_error_t* error = nullptr;
    XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), &error));
    std::free(error);
    return reply != nullptr;
}

bool SelectionReader::takeLateAnswer(const xcb_generic_event_t* event)
{
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
        return false;
    auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    const auto retired = std::find_if(retiredWindows_.cbegin(), retiredWindows_.cend(),
                                      [&](const Retired& r) { return r.window == notify->requestor; });
    if (retired == retiredWindows_.cend())
        return false;
    const xcb_window_t owner = retired->owner;
    if (unanswered_ && unanswered_->requestor == notify->requestor)
        unanswered_.reset();
    // Nobody reads it: the window goes, and the bytes the server held for it with it. The owner
    // is done with it and with every request before.
    endRetiredWindows(owner);
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
                                                                 Ownership ownership, uint32_t request,
                                                                 bool untilReplaced, Clock::time_point deadline,
                                                                 std::chrono::milliseconds wait)
{
    xcb_connection_t* c = connection_->get();
    const xcb_window_t owner = ownership.owner;
    Clock::time_point ready = Clock::now();
    std::optional<Clock::time_point> replacedAt;
    // How the wait ends unless the answer is among the events read meanwhile: a round trip that
    // found the owner gone may have read it along with its reply.
    std::optional<Outcome> verdict;
    bool timerWoke = false;
    while (true) {
        const quint64 changesBefore = changesSeen_;
        // Events may wait in xcb's queue already, read along with an earlier reply.
        while (Event event = pollEvent()) {
            const std::optional<Unanswered> earlier = unanswered_;
            if (takeLateAnswer(event.get())) {
                // Done with the request before, the owner starts on this one now.
                if (earlier && !unanswered_ && earlier->owner == owner)
                    ready = std::max(ready, std::min(Clock::now(), earlier->over));
                continue;
            }
            if (wanted(event.get())) {
                // The word of a change of hands always comes before the next owner's answers, so
                // it has been noted by now: after one before the request, the answer is theirs.
                if (selectionNotify_ && changedBetween(ownership.since, request))
                    co_return Awaited{nullptr, Outcome::ownerChanged, ready};
                // An owner that answers this request has moved past those before it.
                if (unanswered_ && unanswered_->owner == owner)
                    unanswered_.reset();
                co_return Awaited{std::move(event), Outcome::converted, ready};
            }
        }
        if (verdict)
            co_return Awaited{nullptr, *verdict, ready};
        if (xcb_connection_has_error(c))
            co_return Awaited{nullptr, Outcome::failed, ready};
        if (selectionNotify_ && changedBetween(ownership.since, request))
            co_return Awaited{nullptr, Outcome::ownerChanged, ready};
        // An owner that lost the clipboard may still answer what it was asked: only one that quit
        // ends the wait at once, found at the word of a change of hands or at a look now and then.
        if ((timerWoke || changesSeen_ != changesBefore) && !windowExists(owner)) {
            verdict = Outcome::ownerGone;
            continue;
        }
        const Clock::time_point now = Clock::now();
        if (untilReplaced && selectionNotify_ && !replacedAt
            && changedBetween(ownership.since, std::numeric_limits<uint32_t>::max()))
            replacedAt = now;
        // While the owner may still be on a request given up on, this one's time has not begun.
        const Clock::time_point start = unanswered_ && unanswered_->owner == owner ? std::max(ready, unanswered_->over)
                                                                                   : ready;
        Clock::time_point end = std::min(start + wait, deadline);
        Outcome late = now < start ? Outcome::ownerBusy : Outcome::timedOut;
        if (replacedAt && *replacedAt + replacedGrace < end) {
            end = *replacedAt + replacedGrace;
            late = Outcome::replaced;
        }
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        if (remaining.count() <= 0)
            co_return Awaited{nullptr, late, start};
        const bool readable = co_await Wake{this, std::min(remaining, ownerCheckInterval)};
        if (ended_)
            co_return Awaited{nullptr, Outcome::ended, ready};
        timerWoke = !readable;
    }
}

QCoro::Task<SelectionReader::Result> SelectionReader::convert(QByteArray target, Ownership ownership,
                                                              Clock::time_point deadline)
{
    return convertAlone(std::move(target), ownership, deadline, sizeLimit_);
}

QCoro::Task<SelectionReader::Result> SelectionReader::convertAlone(QByteArray target, Ownership ownership,
                                                                   Clock::time_point deadline, qsizetype sizeLimit)
{
    // The connection has one property and one stream of events for answers.
    co_await Turn{this};
    if (ended_) {
        handTurnOn();
        co_return Result{Outcome::ended, {}};
    }
    busy_ = true;
    Result result = co_await transfer(target, ownership, deadline, sizeLimit);
    // Without the server's word of changes of hands, an answer that came while the clipboard
    // changed hands may be the new owner's: never take one program's bytes for another's.
    if (!selectionNotify_ && (result.outcome == Outcome::converted || result.outcome == Outcome::tooLarge)
        && owner() != ownership.owner)
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

QCoro::Task<SelectionReader::Result> SelectionReader::transfer(QByteArray target, Ownership ownership,
                                                               Clock::time_point deadline, qsizetype sizeLimit)
{
    if (!isValid())
        co_return Result{Outcome::failed, {}};
    // Asked now, the request would reach the next owner.
    if (hasEnded(ownership))
        co_return Result{Outcome::ownerChanged, {}};
    const xcb_window_t owner = ownership.owner;
    endRetiredWindows();

    xcb_connection_t* c = connection_->get();
    const xcb_atom_t targetAtom = connection_->atom(target);
    const xcb_window_t requestor = window_;
    xcb_delete_property(c, requestor, property_);
    const uint32_t request =
        xcb_convert_selection(c, requestor, clipboard_, targetAtom, property_, XCB_CURRENT_TIME).sequence;
    xcb_flush(c);

    // The late answer to a request given up on, a refusal too, names the window retired with it:
    // it is not this request's, though it may be for the same target. An owner that holds the
    // clipboard still and is alive has the format's whole time to begin: an image editor encodes
    // a large picture whole before it sends the first byte.
    Awaited notified = co_await nextEvent(
        [this, requestor, targetAtom](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            auto notify = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return notify->requestor == requestor && notify->selection == clipboard_ && notify->target == targetAtom
                && (notify->property == property_ || notify->property == XCB_NONE);
        },
        ownership, request, true, deadline, formatTime_);
    if (!notified.event) {
        const bool unanswered = notified.failure == Outcome::timedOut || notified.failure == Outcome::ownerBusy
            || notified.failure == Outcome::replaced;
        if (unanswered)
            unanswered_ = Unanswered{owner, requestor, std::min(notified.ownerReady + formatTime_, deadline)};
        // Asked after the change of hands, the request went to the next owner, which may answer it.
        retireWindow(unanswered ? owner : notified.failure == Outcome::ownerChanged ? this->owner() : XCB_NONE);
        co_return Result{notified.failure, {}};
    }
    // The owner is done with every request before this one.
    endRetiredWindows(owner);
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
            retireWindow(XCB_NONE);
            co_return Result{Outcome::failed, {}};
        }
        if (offset == 0 && reply->type == incr_) {
            qsizetype sizeHint = 0;
            if (xcb_get_property_value_length(reply.get()) >= 4) {
                quint32 size = 0;
                std::memcpy(&size, xcb_get_property_value(reply.get()), sizeof size);
                sizeHint = size;
            }
            co_return co_await readIncrementally(ownership, sizeHint, deadline, sizeLimit);
        }
        if (reply->type == XCB_NONE)
            co_return Result{Outcome::refused, {}};
        const int length = xcb_get_property_value_length(reply.get());
        if (offset == 0)
            data.reserve(std::min<qsizetype>(qsizetype(length) + reply->bytes_after, sizeLimit));
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (data.size() > sizeLimit || (reply->bytes_after > 0 && data.size() >= sizeLimit)) {
            // Not deleted by the read: the property goes with the window, which nobody writes to
            // any more.
            retireWindow(XCB_NONE);
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
            retireWindow(XCB_NONE);
            co_return Result{Outcome::ended, {}};
        }
    }
}

QCoro::Task<SelectionReader::Result> SelectionReader::readIncrementally(Ownership ownership, qsizetype sizeHint,
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
            ownership, 0, false, deadline, step());
        if (!changed.event) {
            // An owner still there may yet write the piece it was asked for.
            retireWindow(changed.failure == Outcome::ownerGone ? XCB_NONE : ownership.owner);
            co_return Result{changed.failure, std::move(data)};
        }
        const qsizetype room = sizeLimit - data.size();
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, wordsFor(room)), nullptr));
        if (!reply) {
            retireWindow(ownership.owner);
            co_return Result{Outcome::failed, {}};
        }
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0 && reply->bytes_after == 0)
            co_return Result{Outcome::converted, std::move(data)};
        appendPiece(data, xcb_get_property_value(reply.get()), length);
        if (reply->bytes_after > 0 || data.size() > sizeLimit) {
            // The read asked for the next piece.
            retireWindow(ownership.owner);
            data.truncate(sizeLimit);
            co_return Result{Outcome::tooLarge, std::move(data)};
        }
    }
}

QCoro::Task<SelectionReader::Targets> SelectionReader::targets(Ownership ownership, Clock::time_point deadline)
{
    Targets targets;
    // Atoms are four bytes each: an answer longer than the cap is cut, not read whole.
    targets.result = co_await convertAlone("TARGETS", ownership, deadline, maximumTargets * 4);
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
