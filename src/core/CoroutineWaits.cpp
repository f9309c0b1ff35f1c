#include "CoroutineWaits.h"

#include <algorithm>

namespace tavlin {

struct CoroutineWaits::State {
    explicit State(CoroutineWaits& waits) : waits(waits) { }
    ~State() { std::erase(waits.waiting_, this); }

    void finish(bool ranItsCourse)
    {
        if (finished)
            return;
        finished = true;
        this->ranItsCourse = ranItsCourse;
        std::erase(waits.waiting_, this);
        // The coroutine goes on past its co_await, which ends this wait: nothing of it is
        // touched after.
        if (const std::coroutine_handle<> waiting = coroutine)
            waiting.resume();
    }

    CoroutineWaits& waits;
    QObject receiver;
    std::coroutine_handle<> coroutine;
    bool finished = false;
    bool ranItsCourse = false;
};

CoroutineWaits::Wait::Wait(CoroutineWaits& waits) : state_(std::make_unique<State>(waits))
{
}

CoroutineWaits::Wait::Wait(Wait&&) noexcept = default;
CoroutineWaits::Wait& CoroutineWaits::Wait::operator=(Wait&&) noexcept = default;
CoroutineWaits::Wait::~Wait() = default;

bool CoroutineWaits::Wait::await_ready() const noexcept
{
    return state_->finished || state_->waits.ended_;
}

void CoroutineWaits::Wait::await_suspend(std::coroutine_handle<> coroutine)
{
    state_->coroutine = coroutine;
    state_->waits.waiting_.push_back(state_.get());
}

bool CoroutineWaits::Wait::await_resume() const noexcept
{
    return state_->ranItsCourse;
}

CoroutineWaits::~CoroutineWaits()
{
    end();
}

CoroutineWaits::Wait CoroutineWaits::sleep(std::chrono::milliseconds duration)
{
    Wait wait(*this);
    auto* timer = new QTimer(receiver(wait));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, receiver(wait), ranItsCourse(wait));
    timer->start(duration);
    return wait;
}

void CoroutineWaits::end()
{
    ended_ = true;
    while (!waiting_.empty())
        waiting_.back()->finish(false);
}

QObject* CoroutineWaits::receiver(const Wait& wait)
{
    return &wait.state_->receiver;
}

std::function<void()> CoroutineWaits::ranItsCourse(const Wait& wait)
{
    return [state = wait.state_.get()] { state->finish(true); };
}

} // namespace tavlin
