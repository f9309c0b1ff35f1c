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
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace tavlin {

// Converts the CLIPBOARD selection on a connection of its own, without holding up the main
// thread: a conversion is a coroutine that resumes as the owner's answer arrives, and the event
// loop runs meanwhile. It waits at most `timeout` for each step of the answer, takes at most
// `formatTime` in all, and never goes past the deadline its caller gives, so a hung, vanished or
// trickling owner costs nothing but that conversion. Handles incremental (INCR) transfers. One
// conversion at a time on the connection: a second one starts when the first has ended. Ending
// the reader (end(), or its destruction) ends every conversion under way or waiting at once, so
// none is left suspended. Main thread.
//
// Owners answer one request at a time, as every toolkit does: a request given up on unanswered
// still keeps its owner busy, and the next one waits behind it. So the times of a conversion
// count from when its owner is done with the request given up on before (or that one's time is
// over), never from when it was asked.
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
        // The selection has another owner (or none) than the one expected.
        ownerChanged,
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
    // Whether `owner` may still be on a request given up on unanswered, whose time is not over:
    // a new request would only wait behind it.
    bool isOwnerBusy(xcb_window_t owner);
    // The bytes `owner` gives for `target`, as far as they came by `deadline`.
    QCoro::Task<Result> convert(QByteArray target, xcb_window_t owner, Clock::time_point deadline);
    // The names of the owner's targets (its TARGETS answer), in its order, each once, and no more
    // than maximumTargets of them. An owner known to answer, but slowly, can be given until the
    // deadline to begin (`patient`).
    QCoro::Task<Targets> targets(xcb_window_t owner, Clock::time_point deadline, bool patient = false);

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
    // The last request given up on before its owner answered it, while that owner may still.
    struct Unanswered {
        xcb_window_t owner = XCB_NONE;
        xcb_window_t requestor = XCB_NONE;
        // When the request's own time is over: an owner that has not answered by then is taken
        // as stuck on it, and waiting for it longer would be no use.
        Clock::time_point over;
    };

    // Waits until no other conversion uses the connection, then transfers.
    QCoro::Task<Result> convertAlone(QByteArray target, xcb_window_t owner, Clock::time_point deadline,
                                     qsizetype sizeLimit, bool patient = false);
    QCoro::Task<Result> transfer(QByteArray target, xcb_window_t owner, Clock::time_point deadline, qsizetype sizeLimit,
                                 bool patient);
    QCoro::Task<Result> readIncrementally(xcb_window_t owner, qsizetype sizeHint, Clock::time_point deadline,
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
    QCoro::Task<Awaited> nextEvent(std::function<bool(const xcb_generic_event_t*)> wanted, xcb_window_t owner,
                                   Clock::time_point deadline, std::chrono::milliseconds wait);
    // How long the owner has for each step of an answer.
    std::chrono::milliseconds step() const { return std::min(timeout_, formatTime_); }
    // Notes an owner's answer to the request given up on unanswered; true when `event` is one.
    bool takeLateAnswer(const xcb_generic_event_t* event);
    // Gives up on the request of the current requestor window: answers that still come for it
    // go to a window no later request uses.
    void retireWindow();
    xcb_window_t createWindow();
    // Lets the conversion that waited longest for the connection go on.
    void handTurnOn();

    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer wakeTimer_;
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
    // retired and a fresh one used from then on. Retired windows stay until the reader ends, so a
    // late owner never writes to a window that is gone (an error that ends many programs).
    xcb_window_t window_ = XCB_NONE;
    QList<xcb_window_t> retiredWindows_;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
    xcb_atom_t property_ = XCB_NONE;
    std::optional<Unanswered> unanswered_;
};

} // namespace tavlin
