// The history window's cost on the main thread: the records area brought up to date when one
// record arrives, a reload to the grid laid out when one record arrives, the first layout of 200 cards nobody measured yet, and the slowest frame while the
// grid and the list scroll from top to bottom with 1000 records stored. Offscreen.
#include "ContentView.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryCollectionView.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "SourceApplicationIcon.h"
#include "ViewPreferences.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_history_window";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

struct Window {
    QTemporaryDir folder;
    test::FakePasteboard pasteboard;
    test::InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    std::unique_ptr<HistoryModel> model;
    test::FakeWorkspace workspace;
    SourceApplicationIcon sources{workspace};
    std::unique_ptr<ContentView> view;
    int added = 0;

    // Runs before the window is made, so that its connections come first.
    explicit Window(HistoryViewMode mode, std::function<void(HistoryBrowser&)> beforeView = {})
    {
        application();
        const QString path = folder.path() + QStringLiteral("/history.sqlite");
        {
            HistoryStore store(path);
            for (int i = 0; i < 1000; ++i)
                store.insert(QStringLiteral("Record %1: ").arg(i) + QStringLiteral("some words of a note ").repeated(i % 12 + 1),
                             QStringLiteral("org.gnome.TextEditor"), 100000, HistoryStore::maximumStoredPayloadBytes);
        }
        model = std::make_unique<HistoryModel>(path, pasteboard, [] { return std::optional<QString>(); });
        preferences.setViewMode(mode);
        preferences.setShowPreview(false);
        if (beforeView)
            beforeView(model->browser());
        view = std::make_unique<ContentView>(*model, preferences, sources, [] {}, false);
        view->resize(1040, 700);
        view->show();
        QCoro::waitFor(model->browser().reload());
        QCoreApplication::processEvents();
    }
    QAbstractItemView* records() const { return qobject_cast<QAbstractItemView*>(view->recordsView()); }
    void arrive()
    {
        HistoryStore store(model->databasePath());
        store.insert(QStringLiteral("arrived %1").arg(++added), std::nullopt, 100000, HistoryStore::maximumStoredPayloadBytes);
    }
};

void ReloadToGridLaidOut(benchmark::State& state)
{
    Window window(HistoryViewMode::cards);
    auto* grid = qobject_cast<HistoryCollectionView*>(window.records());
    for (auto _ : state) {
        state.PauseTiming();
        window.arrive();
        state.ResumeTiming();
        QCoro::waitFor(window.model->browser().reload());
        grid->ensureLaid();
    }
    state.counters["cards"] = double(window.model->browser().clips().size());
}
// The model's part alone, for comparison: the page fetched on the repository's thread and published.
void ReloadAlone(benchmark::State& state)
{
    Window window(HistoryViewMode::list);
    window.view->hide();
    window.view.reset();
    for (auto _ : state) {
        state.PauseTiming();
        window.arrive();
        state.ResumeTiming();
        QCoro::waitFor(window.model->browser().reload());
    }
}
// The main thread's share of one capture with 1000 records stored and the window open: from the new
// page and then its row presentations being published to the records view painted, summed.
void CaptureToRecordsUpdated(benchmark::State& state)
{
    QElapsedTimer timer;
    qint64 spent = 0;
    const auto start = [&] { timer.start(); };
    const auto stop = [&] { spent += timer.nsecsElapsed(); };
    Window window(state.range(0) ? HistoryViewMode::cards : HistoryViewMode::list, [&](HistoryBrowser& browser) {
        QObject::connect(&browser, &HistoryBrowser::clipsChanged, start);
        QObject::connect(&browser, &HistoryBrowser::rowPresentationsChanged, start);
    });
    QObject::connect(&window.model->browser(), &HistoryBrowser::clipsChanged, stop);
    QObject::connect(&window.model->browser(), &HistoryBrowser::rowPresentationsChanged, stop);
    int resets = 0;
    QObject::connect(window.records()->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    for (auto _ : state) {
        window.arrive();
        spent = 0;
        QCoro::waitFor(window.model->browser().reload());
        timer.start();
        window.records()->viewport()->repaint();
        stop();
        state.SetIterationTime(double(spent) / 1e9);
    }
    state.counters["resets"] = resets;
}
BENCHMARK(CaptureToRecordsUpdated)->Arg(0)->Arg(1)->ArgNames({"cards"})->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(30)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK(ReloadAlone)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK(ReloadToGridLaidOut)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(5)->ReportAggregatesOnly(true);

void FirstLayoutOfUncachedCards(benchmark::State& state)
{
    Window window(HistoryViewMode::cards);
    auto* grid = qobject_cast<HistoryCollectionView*>(window.records());
    for (auto _ : state) {
        state.PauseTiming();
        grid->forgetMeasurements();
        state.ResumeTiming();
        grid->invalidateLayout();
    }
}
BENCHMARK(FirstLayoutOfUncachedCards)->Unit(benchmark::kMillisecond)->Iterations(20);

// The slowest frame painted while scrolling top to bottom, 120 pixels a step.
void ScrollTopToBottom(benchmark::State& state)
{
    Window window(state.range(0) ? HistoryViewMode::cards : HistoryViewMode::list);
    QAbstractItemView* view = window.records();
    double slowest = 0;
    int frames = 0;
    for (auto _ : state) {
        QScrollBar* bar = view->verticalScrollBar();
        for (int value = 0; value <= bar->maximum() + 120; value += 120) {
            bar->setValue(qMin(value, bar->maximum()));
            QElapsedTimer timer;
            timer.start();
            view->viewport()->repaint();
            slowest = qMax(slowest, timer.nsecsElapsed() / 1e6);
            ++frames;
        }
        bar->setValue(0);
    }
    state.counters["slowest_frame_ms"] = slowest;
    state.counters["frames"] = frames;
}
BENCHMARK(ScrollTopToBottom)->Arg(1)->Arg(0)->ArgNames({"cards"})->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
