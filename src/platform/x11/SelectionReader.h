#pragma once

#include "XcbConnection.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <coroutine>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tavlin {

// Converts the CLIPBOARD selection on a connection of its own, without holding up the main
// thread: a conversion is a coroutine that resumes as the owner's answer arrives, and the event
// loop runs meanwhile. It waits at most `timeout` for each step of the answer and never past the
// deadline its caller gives, so a hung, vanished or trickling owner costs nothing but that
// conversion. Handles incremental (INCR) transfers. One conversion at a time on the connection: a
// second one starts when the first has ended. Ending the reader (end(), or its destruction) ends
// every conversion under way or waiting at once, so none is left suspended. Main thread.
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

    SelectionReader(std::chrono::milliseconds timeout, qsizetype sizeLimit);
    ~SelectionReader() override;

    bool isValid() const;
    XcbConnection& connection() { return *connection_; }
    // Ends every conversion under way or waiting with `ended`, before returning, and every later
    // one at once.
    void end();

    // The window that owns CLIPBOARD now, or XCB_NONE. Asks the server, never the owner.
    xcb_window_t owner();
    // The bytes `owner` gives for `target`, as far as they came by `deadline`.
    QCoro::Task<Result> convert(QByteArray target, xcb_window_t owner, Clock::time_point deadline);
    // The names of the owner's targets (its TARGETS answer), in its order, each once, and no more
    // than maximumTargets of them.
    QCoro::Task<Targets> targets(xcb_window_t owner, Clock::time_point deadline);

private:
    struct FreeDeleter {
        void operator()(void* pointer) const;
    };
    using Event = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;
    struct Awaited {
        Event event;
        Outcome failure = Outcome::failed;
    };

    // Waits until no other conversion uses the connection, then transfers.
    QCoro::Task<Result> convertAlone(QByteArray target, xcb_window_t owner, Clock::time_point deadline,
                                     qsizetype sizeLimit);
    QCoro::Task<Result> transfer(QByteArray target, xcb_window_t owner, Clock::time_point deadline,
                                 qsizetype sizeLimit);
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
    // The first event that `wanted` accepts, or the reason none came within the time-out.
    QCoro::Task<Awaited> nextEvent(std::function<bool(const xcb_generic_event_t*)> wanted, xcb_window_t owner,
                                   Clock::time_point deadline);
    void retireProperty();
    // Lets the conversion that waited longest for the connection go on.
    void handTurnOn();

    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer wakeTimer_;
    std::coroutine_handle<> waiting_;
    bool readable_ = false;
    std::chrono::milliseconds timeout_;
    qsizetype sizeLimit_;
    bool busy_ = false;
    bool ended_ = false;
    // Conversions waiting for their turn, first come first.
    QList<std::coroutine_handle<>> turns_;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
    // Where owners put their answers. A conversion that ends without a complete answer leaves an
    // owner that may still write to it, so it is retired and a fresh one used from then on.
    xcb_atom_t property_ = XCB_NONE;
    int propertyGeneration_ = 0;
};

} // namespace tavlin
