// A tray click to the history window painted, over a history of 1000 records: from the presenter's
// toggle (what the tray's left click calls) until the event that painted the frame has been fully
// handled, for the first showing (a new frame and view) and for later ones (the same window
// hidden and shown again). Offscreen.
#include "ApplicationActivation.h"
#include "ContentView.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryWindow.h"
#include "InMemoryDefaults.h"
#include "SourceApplicationIcon.h"
#include "ViewPreferences.h"
#include "WindowPresenter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

// Notes that the history frame was painted.
struct PaintWatch : QObject {
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<HistoryWindow*>(watched))
            painted = true;
        return false;
    }
};

struct TrayClick {
    QTemporaryDir folder;
    test::InMemoryDefaults defaults;
    test::FakePasteboard pasteboard;
    test::FakeWorkspace editor{QStringLiteral("org.gnome.TextEditor")};
    test::FakeSystemAppearance appearance;
    test::FakeWindowManagerHints windowManager;
    test::FakeWindowProperties windowProperties;
    HistoryModel model{folder.path() + QStringLiteral("/Tavlin/history.sqlite"), pasteboard, editor};
    ViewPreferences preferences{defaults};
    SourceApplicationIcon sources{editor};
    std::unique_ptr<ApplicationActivation> activation = ApplicationActivation::system();
    std::unique_ptr<WindowPresenter> presenter;

    explicit TrayClick(HistoryViewMode mode)
    {
        preferences.setViewMode(mode);
        for (int i = 0; i < 1000; ++i) {
            pasteboard.setString(QStringLiteral("record %1 ").arg(i).repeated(i % 12 + 1));
            QCoro::waitFor(model.monitor().tick());
        }
    }

    void makePresenter()
    {
        presenter = std::make_unique<WindowPresenter>(*activation, windowManager, windowProperties, appearance,
                                                      preferences);
        presenter->setHistoryContent([this] {
            auto* content = new ContentView(
                model, preferences, sources, [] {}, true);
            QObject::connect(presenter.get(), &WindowPresenter::searchFocusRequested, content,
                             &ContentView::focusSearch);
            return content;
        });
    }

    // Seconds from the click to the frame painted.
    double click()
    {
        PaintWatch watch;
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
