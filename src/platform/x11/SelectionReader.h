#pragma once

#include "XcbConnection.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <algorithm>
#include <chrono>
#include <coroutine>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace tavlin {

// Converts the CLIPBOARD selection on a connection of its own, without holding up the main
// thread: a conversion is a coroutine that resumes as the owner's answer arrives, and the event
// loop runs meanwhile. The owner has `formatTime` to begin its answer and to finish it, at most
// `timeout` between two pieces of it, and never more than the deadline its caller gives, so a hung,
// vanished or trickling owner costs nothing but that conversion. Handles incremental (INCR)
// transfers. One conversion at a time on the connection: a second one starts when the first has
// ended. Ending the reader (end(), or its destruction) ends every conversion under way or waiting
// at once, so none is left suspended. Main thread.
//
// Conversions belong to one ownership: one program's hold on the clipboard from when it was
// found. The server tells the connection of every change of hands (another copy, from the same
// window too, or the owner leaving) in order with the answers, and always before the next owner's
// answers, so an answer is known to be the ownership's when its request reached the server before
// any such change. Nothing is asked of an ownership that has ended, and a program that no longer
// holds the clipboard holds up no newer copy: once the clipboard has changed hands, a request its
// old owner has not begun to answer is given up on within moments (replaced), while an answer
// already arriving (an incremental one) may finish in its own time.
//
// Owners answer one request at a time, as every toolkit does: a request given up on unanswered
// still keeps its owner busy, and the next one waits behind it. So the times of a conversion
// count from when its owner is done with the request given up on before (or that one's time is
// over), never from when it was asked. A request given up on for its time used that time whole;
// one given up on as replaced did not, and its owner may copy again from the same window while it
// is still on it.
class SelectionReader : public QObject {
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    enum class Outcome {
        converted,
        // The owner answered that it has no such target.
        refused,
        // No answer within the time-out or by the deadline; `data` holds what came of an
        // incremental transfer.
        timedOut,
        // No answer by the deadline, which came while the owner was still on an earlier request
        // that was given up on.
        ownerBusy,
        // The ownership had ended before the request reached the server: nothing was asked, or
        // the answer may be the next owner's, and nothing is kept of it.
        ownerChanged,
        // The ownership ended while its owner had not begun to answer: a newer copy is on the
        // clipboard, and waiting on the old owner would hold it up.
        replaced,
        // The owner quit (its window went away) before its answer was whole; `data` holds what
        // came of it.
        ownerGone,
        // The transfer passed the size limit; `data` holds its first sizeLimit bytes.
        tooLarge,
        // The X connection failed.
        failed,
        // The reader was ended.
        ended,
    };
    struct Result {
        Outcome outcome = Outcome::failed;
        QByteArray data;
    };
    struct Targets {
        Result result;
        QList<QByteArray> names;
    };
    // One program's hold on the clipboard.
    struct Ownership {
        xcb_window_t owner = XCB_NONE;
        // The request that found it: every change of hands the server reports from then on ends it.
        uint32_t since = 0;
    };

    // The most targets of one owner that are looked at. Programs offer a few dozen; any client
    // can offer tens of thousands, which would only cost time.
    static constexpr qsizetype maximumTargets = 1024;

    SelectionReader(std::chrono::milliseconds timeout, std::chrono::milliseconds formatTime, qsizetype sizeLimit);
    ~SelectionReader() override;

    bool isValid() const;
    XcbConnection& connection() { return *connection_; }
    // Ends every conversion under way or waiting with `ended`, before returning, and every later
    // one at once.
    void end();

    // The window that owns CLIPBOARD now, or XCB_NONE. Asks the server, never the owner.
    xcb_window_t owner();
    // The ownership of CLIPBOARD now. Asks the server, never the owner.
    Ownership ownership();
    // Whether `ownership` has ended, as far as the server has told.
    bool hasEnded(const Ownership& ownership);
    // The bytes the owner gives for `target`, as far as they came by `deadline`.
    QCoro::Task<Result> convert(QByteArray target, Ownership ownership, Clock::time_point deadline);
    // The names of the owner's targets (its TARGETS answer), in its order, each once, and no more
    // than maximumTargets of them. Asked again, a slow owner would only answer the first question
    // first.
    QCoro::Task<Targets> targets(Ownership ownership, Clock::time_point deadline);

private:
    struct FreeDeleter {
        void operator()(void* pointer) const;
    };
    using Event = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;
    struct Awaited {
        Event event;
        Outcome failure = Outcome::failed;
        // When the owner could start on the request: when the wait began, or once it was done
        // with the request given up on before.
        Clock::time_point ownerReady;
    };
    // A window whose request was given up on: its owner may still write to it.
    struct Retired {
        xcb_window_t window = XCB_NONE;
        xcb_window_t owner = XCB_NONE;
        // When no answer to it can come any more but from an owner stuck for good, whom the
        // window's end then cannot harm.
        Clock::time_point until;
    };
    // The last request given up on before its owner answered it, while that owner may still.
    struct Unanswered {
        xcb_window_t owner = XCB_NONE;
        xcb_window_t requestor = XCB_NONE;
        // When the request's own time is over: an owner that has not answered by then is taken
        // as stuck on it, and waiting for it longer would be no use.
        Clock::time_point over;
    };

    // Waits until no other conversion uses the connection, then transfers.
    QCoro::Task<Result> convertAlone(QByteArray target, Ownership ownership, Clock::time_point deadline,
                                     qsizetype sizeLimit);
    QCoro::Task<Result> transfer(QByteArray target, Ownership ownership, Clock::time_point deadline,
                                 qsizetype sizeLimit);
    QCoro::Task<Result> readIncrementally(Ownership ownership, qsizetype sizeHint, Clock::time_point deadline,
                                          qsizetype sizeLimit);
    // Suspends a conversion until no other one uses the connection.
    struct Turn {
        SelectionReader* reader;
        bool await_ready() const noexcept { return !reader->busy_; }
        void await_suspend(std::coroutine_handle<> waiting) { reader->turns_.append(waiting); }
        void await_resume() const noexcept { }
    };
    // Suspends the waiting conversion until the connection has something to read (true) or
    // `wait` has passed (false).
    struct Wake {
        SelectionReader* reader;
        std::chrono::milliseconds wait;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiting);
        bool await_resume() const noexcept { return reader->readable_; }
    };
    void wake(bool readable);
    // The first event that `wanted` accepts, or the reason none came within `wait`, which counts
    // from when `owner` is done with a request given up on before.
    // An owner that quits ends the wait (ownerGone), and so does a change of hands before
    // `request` reached the server (ownerChanged): the answer to it would not be the ownership's.
    // With `untilReplaced`, for an answer not begun, any change of hands ends it (replaced).
    QCoro::Task<Awaited> nextEvent(std::function<bool(const xcb_generic_event_t*)> wanted, Ownership ownership,
                                   uint32_t request, bool untilReplaced, Clock::time_point deadline,
                                   std::chrono::milliseconds wait);
    // How long the owner has for each piece of an answer it has begun.
    std::chrono::milliseconds step() const { return std::min(timeout_, formatTime_); }
    // The next event, of those already read and then of the connection's. Changes of the
    // clipboard's hands are noted and never returned.
    Event pollEvent();
    // Reads what the server has sent, so that every change of hands it told of is noted; other
    // events wait for pollEvent.
    void readEvents();
    // Whether the server told of a change of hands from request `since` up to, not including,
    // request `before`.
    bool changedBetween(uint32_t since, uint32_t before) const;
    // Whether the window exists still (its program has not quit).
    bool windowExists(xcb_window_t window);
    // Notes an owner's answer to a request given up on; true when `event` is one.
    bool takeLateAnswer(const xcb_generic_event_t* event);
    // Gives up on the request of the current requestor window: answers that still come for it
    // go to a window no later request uses. `owner` may still write to it; XCB_NONE when nobody
    // will, and it can go at once.
    void retireWindow(xcb_window_t owner);
    // Ends the retired windows that no answer can come to any more: their owner answered them
    // or a later request, or their time is over. `answeredBy` is an owner that just answered.
    void endRetiredWindows(xcb_window_t answeredBy = XCB_NONE);
    xcb_window_t createWindow();
    // Lets the conversion that waited longest for the connection go on.
    void handTurnOn();

    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer wakeTimer_;
    // Ends the last retired windows once their time is over, even if nothing is read meanwhile.
    QTimer retiredTimer_;
    // Events read while looking for changes of hands, not yet handed to a conversion.
    std::deque<Event> readAhead_;
    // How many changes of hands the server has told of.
    quint64 changesSeen_ = 0;
    // The type of XFixes' selection event, or 0 when the server has no XFixes: an ownership is
    // then told only by its window, and an answer whose owner's window changed is not kept.
    uint8_t selectionNotify_ = 0;
    // The requests after which the clipboard changed hands, the last ones, oldest first, and the
    // request before which changes are no longer listed.
    QList<uint32_t> changes_;
    uint32_t changesKnownSince_ = 0;
    std::coroutine_handle<> waiting_;
    bool readable_ = false;
    std::chrono::milliseconds timeout_;
    std::chrono::milliseconds formatTime_;
    qsizetype sizeLimit_;
    bool busy_ = false;
    bool ended_ = false;
    // Conversions waiting for their turn, first come first.
    QList<std::coroutine_handle<>> turns_;
    // Where owners put their answers. A conversion that ends without a complete answer leaves an
    // owner that may still answer it, even with a refusal, which names no property: its window is
    // retired and a fresh one used from then on. A retired window stays while its owner may still
    // write to it, so a late owner never writes to a window that is gone (an error that ends many
    // programs).
    xcb_window_t window_ = XCB_NONE;
    QList<Retired> retiredWindows_;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
    xcb_atom_t property_ = XCB_NONE;
    std::optional<Unanswered> unanswered_;
};

} // namespace tavlin
