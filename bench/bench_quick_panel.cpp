// The Quick Panel's responsiveness, on a real X server with a window manager and xterm:
// xvfb-run -a sh -c 'openbox & sleep 1; build/bench/bench_quick_panel'
// - from the shortcut's press to the panel painted and holding the keyboard, the first showing
//   (which builds the window) apart from later ones;
// - from a keystroke in the search to the page published, with 1000 records stored;
// - the list brought up to date and painted when the panel opens on 1000 records;
// - painting the list while it scrolls through 200 records, one frame per step.
#include "FakeApplicationIconImages.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "QuickPanelCoordinator.h"
#include "QuickPanelList.h"
#include "QuickPanelState.h"
#include "SourceApplicationIcon.h"
#include "ViewPreferences.h"
#include "X11DesktopPresses.h"
#include "X11WindowFocus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

using namespace tavlin;

namespace {

// A history of `count` short texts in a temporary folder.
struct History {
    QTemporaryDir folder;
    test::FakePasteboard pasteboard;
    test::FakeWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources{workspace, icons};
    std::unique_ptr<HistoryModel> model;

    explicit History(int count)
    {
        const QString path = folder.path() + QStringLiteral("/history.sqlite");
        {
            HistoryStore store(path);
            for (int i = 1; i <= count; ++i) {
                const QString text = QStringLiteral("record %1 with a line of ordinary words").arg(i);
                store.insert(text, QStringLiteral("org.gnome.TextEditor"), 5000,
                             HistoryStore::maximumStoredPayloadBytes);
            }
        }
        model = std::make_unique<HistoryModel>(path, pasteboard, workspace);
    }
};

// Runs the event loop until the condition holds, waking for every event (QTest::qWaitFor sleeps
// in steps of 10 ms, more than some of the figures here).
bool waitFor(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// Counts the panel's paints, so that "painted" means a frame reached the screen's buffer.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void showPanel(benchmark::State& state, bool first)
{
    History history(200);
    test::InMemoryDefaults defaults;
    ViewPreferences preferences(defaults);
    test::FakeSystemAppearance appearance;
    X11WindowFocus focus;
    X11DesktopPresses presses;
    QuickPanelCoordinator coordinator(history.model->operations(), preferences, appearance, focus, presses,
                                      history.sources);
    // Another application holds the keyboard before each showing and gets it back after.
    QProcess terminal;
    terminal.start(QStringLiteral("xterm"), QStringList());
    waitFor([&] { return focus.activeWindow().has_value(); });
    PaintCounter counter;
    const auto measure = [&] {
        const int paints = counter.paints;
        QElapsedTimer timer;
        timer.start();
        coordinator.show();
        if (coordinator.panel())
            coordinator.panel()->installEventFilter(&counter);
        if (!waitFor([&] { return coordinator.panel()->isActiveWindow() && counter.paints > paints; }))
            state.SkipWithError("the panel never became active");
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        coordinator.hide(QuickPanelCoordinator::HideReason::cancel);
        waitFor([&] {
            return !coordinator.isBusy() && !coordinator.panel()->isVisible() && !coordinator.panel()->isActiveWindow();
        });
        return seconds;
    };
    if (!first)
        measure(); // the window exists from here on
    for (auto _ : state)
        state.SetIterationTime(measure());
    terminal.kill();
    terminal.waitForFinished();
}

void shortcutToPanel(benchmark::State& state)
{
    showPanel(state, state.range(0) == 1);
}

void keystrokeToPage(benchmark::State& state)
{
    History history(1000);
    QuickPanelState panel(history.model->operations());
    panel.open();
    waitFor([&] { return panel.clips().size() == 200; });
    const QStringList queries{QStringLiteral("record 1"), QStringLiteral("record 2"), QStringLiteral("words")};
    int turn = 0;
    for (auto _ : state) {
        bool published = false;
        const auto connection = QObject::connect(&panel, &QuickPanelState::clipsChanged, [&] { published = true; });
        QElapsedTimer timer;
        timer.start();
        panel.setQuery(queries[turn++ % queries.size()]);
        waitFor([&] { return published; });
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        QObject::disconnect(connection);
    }
}

// The main thread's share of opening on 1000 records: from the page being published to the list
// painted.
void openOnPage(benchmark::State& state)
{
    History history(1000);
    QuickPanelState panel(history.model->operations());
    // The main thread's own processor time: the machine's other work does not count.
    const auto now = [] {
        timespec clock{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &clock);
        return qint64(clock.tv_sec) * 1000000000 + clock.tv_nsec;
    };
    qint64 started = 0;
    QObject::connect(&panel, &QuickPanelState::clipsChanged, [&] { started = now(); });
    QuickPanelList list(panel, history.sources, [](const Clip&) {});
    list.resize(396, 400);
    list.show();
    // The page, its rows and the selection follow one another in one turn of the event loop.
    qint64 spent = 0;
    for (auto published :
         {&QuickPanelState::clipsChanged, &QuickPanelState::rowsChanged, &QuickPanelState::selectedIDChanged})
        QObject::connect(&panel, published, [&] { spent = now() - started; });
    for (auto _ : state) {
        panel.close();
        spent = 0;
        panel.open();
        waitFor([&] { return panel.clips().size() == 200 && spent > 0; });
        started = now();
        list.viewport()->repaint();
        spent += now() - started;
        state.SetIterationTime(double(spent) / 1e9);
        QCoreApplication::processEvents(); // presentations of the rows in view arrive
    }
}

void scrollFrames(benchmark::State& state)
{
    History history(200);
    QuickPanelState panel(history.model->operations());
    QuickPanelList list(panel, history.sources, [](const Clip&) {});
    list.resize(396, 200);
    list.show();
    panel.open();
    waitFor([&] { return list.model()->rowCount() == 200; });
    QScrollBar* bar = list.verticalScrollBar();
    double worst = 0;
    for (auto _ : state) {
        // Down the whole list and back, 10 pixels a frame.
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + 10);
        QElapsedTimer timer;
        timer.start();
        list.viewport()->repaint();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        QCoreApplication::processEvents(); // presentations of the rows now in view arrive
    }
    state.counters["worst_frame_ms"] = worst * 1000;
}

} // namespace

// Each repetition is one showing of a new coordinator (first) or one more of a warm one (later),
// so that the median is over showings.
BENCHMARK(shortcutToPanel)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Name("shortcut_to_panel/first");
BENCHMARK(shortcutToPanel)
    ->Arg(0)
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Name("shortcut_to_panel/later");
BENCHMARK(keystrokeToPage)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(openOnPage)
    ->Iterations(50)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(scrollFrames)->Iterations(800)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
