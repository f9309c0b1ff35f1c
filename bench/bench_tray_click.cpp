// A tray click to the history window painted, over a history of 1000 records: from the presenter's
// toggle (what the tray's left click calls) until the event that painted the frame has been fully
// handled, for the first showing (a new frame and view) and for later ones (the same window
// hidden and shown again). Offscreen.
#include "ApplicationActivation.h"
#include "BenchHistory.h"
#include "FakeSystemAppearance.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "HistoryWindow.h"
#include "WindowPresenter.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

struct TrayClick : bench::History {
    test::FakeSystemAppearance appearance;
    test::FakeWindowManagerHints windowManager;
    test::FakeWindowProperties windowProperties;
    std::unique_ptr<ApplicationActivation> activation = ApplicationActivation::system();
    std::unique_ptr<WindowPresenter> presenter;

    explicit TrayClick(HistoryViewMode mode)
    {
        preferences.setViewMode(mode);
        copyTexts(1000);
    }

    void makePresenter()
    {
        presenter = std::make_unique<WindowPresenter>(*activation, windowManager, windowProperties, appearance,
                                                      preferences);
        presenter->setHistoryContent([this] {
            auto* content = new ContentView(
                *model, preferences, sources, [] {}, true);
            QObject::connect(presenter.get(), &WindowPresenter::searchFocusRequested, content,
                             &ContentView::focusSearch);
            return content;
        });
    }

    // Seconds from the click to the frame painted.
    double click()
    {
        bench::PaintWatch<HistoryWindow> watch;
        qApp->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        presenter->toggleHistory();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        const double seconds = timer.nsecsElapsed() / 1e9;
        qApp->removeEventFilter(&watch);
        return seconds;
    }

    void settle()
    {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

void FirstShowing(benchmark::State& state)
{
    TrayClick bench(HistoryViewMode(state.range(0)));
    for (auto _ : state) {
        bench.makePresenter();
        state.SetIterationTime(bench.click());
        bench.settle();
        bench.presenter->closeAll();
        bench.presenter.reset();
        bench.settle();
    }
}
BENCHMARK(FirstShowing)
    ->Arg(int(HistoryViewMode::list))
    ->Arg(int(HistoryViewMode::cards))
    ->ArgNames({"mode"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void LaterShowing(benchmark::State& state)
{
    TrayClick bench(HistoryViewMode(state.range(0)));
    bench.makePresenter();
    bench.click();
    for (auto _ : state) {
        bench.settle();
        bench.presenter->hideHistory();
        bench.settle();
        state.SetIterationTime(bench.click());
    }
}
BENCHMARK(LaterShowing)
    ->Arg(int(HistoryViewMode::list))
    ->Arg(int(HistoryViewMode::cards))
    ->ArgNames({"mode"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
