#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <coroutine>
#include <functional>
#include <memory>
#include <vector>

namespace tavlin {

// The waits of the coroutines one object runs. A wait ends when its time is up or its signal
// comes, or at once when the object ends them all, as its destructor does: `co_await` answers
// true in the first case and false in the second, and a coroutine told false returns without
// touching its object again. So no coroutine stays suspended on a timer or a signal that can no
// longer come once its object is gone or the event loop has returned, and none resumes into an
// object that is gone. Main thread.
class CoroutineWaits {
    struct State;

public:
    // The awaitable, awaited in a statement of its own (`const bool ranItsCourse = co_await ...;`):
    // GCC 12 resumes into garbage after a co_await of it inside a condition. The compiler may move
    // it into the coroutine's frame: what the timer or the signal reaches stays put.
    class Wait {
    public:
        Wait(Wait&&) noexcept;
        Wait& operator=(Wait&&) noexcept;
        ~Wait();

        bool await_ready() const noexcept;
        void await_suspend(std::coroutine_handle<> coroutine);
        bool await_resume() const noexcept;

    private:
        friend class CoroutineWaits;
        explicit Wait(CoroutineWaits& waits);

        std::unique_ptr<State> state_;
    };

    CoroutineWaits() = default;
    CoroutineWaits(const CoroutineWaits&) = delete;
    CoroutineWaits& operator=(const CoroutineWaits&) = delete;
    ~CoroutineWaits();

    [[nodiscard]] Wait sleep(std::chrono::milliseconds duration);
    // Resumes on the event loop's turn after the signal, out of its emission, so that the
    // coroutine may delete the sender.
    template <class Sender, class Signal>
    [[nodiscard]] Wait signal(const Sender* sender, Signal signal)
    {
        Wait wait(*this);
        QObject::connect(sender, signal, receiver(wait), ranItsCourse(wait), Qt::QueuedConnection);
        return wait;
    }

    // Every waiting coroutine resumes now, told false, and later waits answer false at once.
    void end();
    bool hasEnded() const { return ended_; }

private:
    // What ends the wait connects to its receiver, which goes with the wait.
    static QObject* receiver(const Wait& wait);
    static std::function<void()> ranItsCourse(const Wait& wait);

    std::vector<State*> waiting_;
    bool ended_ = false;
};

} // namespace tavlin
