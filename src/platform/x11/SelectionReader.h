#pragma once

#include "XcbConnection.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <functional>
#include <memory>

namespace tavlin {

// Converts the CLIPBOARD selection on a connection of its own, waiting at most `timeout` for each
// step of the owner's answer and four times that for a whole conversion, so a hung, vanished or
// trickling owner costs a bounded stall of the main thread instead of Qt's five seconds a
// conversion. Handles incremental (INCR) transfers. Main thread.
class SelectionReader {
public:
    enum class Outcome {
        converted,
        // The owner answered that it has no such target.
        refused,
        // No answer within the time-out.
        timedOut,
        // The selection has another owner (or none) than the one expected.
        ownerChanged,
        // The transfer passed the size limit; `data` holds its first sizeLimit bytes.
        tooLarge,
        // The X connection failed.
        failed,
    };
    struct Result {
        Outcome outcome = Outcome::failed;
        QByteArray data;
    };

    SelectionReader(std::chrono::milliseconds timeout, qsizetype sizeLimit);
    ~SelectionReader();

    bool isValid() const;
    XcbConnection& connection() { return *connection_; }

    // The window that owns CLIPBOARD now, or XCB_NONE.
    xcb_window_t owner();
    // The bytes `owner` gives for `target`.
    Result convert(const QByteArray& target, xcb_window_t owner);
    // The names of the owner's targets (its TARGETS answer), in its order.
    Result targets(xcb_window_t owner, QList<QByteArray>* names);

private:
    using Deadline = std::chrono::steady_clock::time_point;
    xcb_generic_event_t* waitForEvent(const std::function<bool(const xcb_generic_event_t*)>& wanted, xcb_window_t owner,
                                      Deadline conversionDeadline, Outcome* failure);
    Result readIncrementally(xcb_window_t owner, qsizetype sizeHint, Deadline conversionDeadline);
    void retireProperty();

    std::unique_ptr<XcbConnection> connection_;
    std::chrono::milliseconds timeout_;
    qsizetype sizeLimit_;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
    // Where owners put their answers. A conversion that ends without a complete answer leaves an
    // owner that may still write to it, so it is retired and a fresh one used from then on.
    xcb_atom_t property_ = XCB_NONE;
    int propertyGeneration_ = 0;
};

} // namespace tavlin
