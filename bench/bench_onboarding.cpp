// The introduction's motion as the screen sees it: the time between painted frames of the floating
// mascot, of the celebrating hop, and of a step change. Run it on a display (xvfb-run -a
// build/bench/bench_onboarding); the figures are the frame rate and the longest gap between frames.
#include "FakeHotKeyBackend.h"
#include "FakeSystemAppearance.h"
#include "GlobalShortcut.h"
#include "InMemoryDefaults.h"
#include "OnboardingCoordinator.h"
#include "OnboardingGhost.h"
#include "OnboardingState.h"
#include "OnboardingStore.h"
#include "OnboardingTransition.h"
#include "OnboardingWindow.h"
#include "ViewPreferences.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace tavlin;

namespace {

// A frame that never settles makes the figure meaningless: the run says so instead of reporting it.
template <class Condition>
void await(benchmark::State& state, Condition condition, int milliseconds)
{
    if (!QTest::qWaitFor(condition, milliseconds))
        state.SkipWithError("the animation did not settle in time");
}

struct Introduction {
    QTemporaryDir folder;
    test::InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    GlobalShortcut shortcut{defaults, std::make_unique<test::FakeHotKeyBackend>()};
    test::FakeSystemAppearance appearance;
    OnboardingStore store{defaults, folder.path()};
    OnboardingCoordinator coordinator{
        {store, preferences, shortcut, [this]() -> SystemAppearance& { return appearance; }, {}, {}}};
    OnboardingWindow* window = coordinator.prepare(OnboardingMode::firstLaunch);

    Introduction()
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            std::fprintf(stderr, "the introduction was never shown\n");
    }
};

// Paint times of `widget` while `run` lasts, as frame rate and longest gap.
class FrameClock : public QObject {
public:
    explicit FrameClock(QWidget* widget) { widget->installEventFilter(this); }

    void report(benchmark::State& state) const
    {
        double longest = 0;
        for (qsizetype i = 1; i < frames_.size(); ++i)
            longest = std::max(longest, (frames_[i] - frames_[i - 1]) / 1e6);
        const double span = frames_.size() > 1 ? (frames_.last() - frames_.first()) / 1e9 : 0;
        state.counters["fps"] = span > 0 ? (frames_.size() - 1) / span : 0;
        state.counters["longest_gap_ms"] = longest;
        state.counters["frames"] = double(frames_.size());
    }

private:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            frames_.append(clock_.nsecsElapsed());
        return false;
    }

    QElapsedTimer clock_ = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    QList<qint64> frames_;
};

void BM_FloatingMascot(benchmark::State& state)
{
    Introduction introduction;
    auto* ghost = introduction.window->findChild<OnboardingGhost*>();
    for (auto _ : state) {
        FrameClock frames(ghost);
        QTest::qWait(3000); // the float runs for as long as the welcome step shows
        frames.report(state);
    }
}

void BM_CelebratingHop(benchmark::State& state)
{
    Introduction introduction;
    introduction.coordinator.state()->show(OnboardingState::Step::finish);
    for (auto _ : state) {
        auto* transition = introduction.window->findChild<OnboardingTransition*>();
        await(
            state, [&] { return !transition->isRunning(); }, 3000);
        auto* ghost = introduction.window->findChild<OnboardingGhost*>();
        ghost->hide();
        FrameClock frames(ghost);
        ghost->show(); // the hop plays each time the mascot comes on screen
        await(
            state, [&] { return ghost->lift() > 1; }, 2000);
        await(
            state, [&] { return ghost->lift() < 0.01; }, 2000);
        frames.report(state);
    }
}

void BM_StepChange(benchmark::State& state)
{
    Introduction introduction;
    auto* transition = introduction.window->findChild<OnboardingTransition*>();
    for (auto _ : state) {
        FrameClock frames(transition);
        introduction.coordinator.state()->show(OnboardingState::Step::personalize);
        await(
            state, [&] { return !transition->isRunning(); }, 3000);
        frames.report(state);
        introduction.coordinator.state()->show(OnboardingState::Step::welcome);
        await(
            state, [&] { return !transition->isRunning(); }, 3000);
    }
}

} // namespace

BENCHMARK(BM_FloatingMascot)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CelebratingHop)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepChange)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
