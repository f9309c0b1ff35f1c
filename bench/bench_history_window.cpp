// The history window's cost on the main thread, and its resident memory: the records area brought
// up to date when one record arrives, a reload to the grid laid out when one record arrives, the first layout of 200 cards nobody measured yet, and the slowest frame while the
// grid and the list scroll from top to bottom with 1000 records stored, and the records on screen
// showing their ages moved on. Offscreen.
#include "BenchHistory.h"
#include "HistoryCollectionView.h"
#include "HistoryRepository.h"
#include "HistoryStore.h"
#include "RecordAges.h"
#include "RecordListModel.h"
#include "StoredPlaceholder.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QScrollBar>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

#include <ctime>

using namespace tavlin;

namespace {

struct Window : bench::Window {
    int added = 0;

    // Runs before the window is made, so that its connections come first.
    explicit Window(HistoryViewMode mode, std::function<void(HistoryBrowser&)> beforeView = {})
    {
        storeNotes(1000);
        show(mode, false, [&](HistoryModel& model) {
            if (beforeView)
                beforeView(model.browser());
        });
    }
    void arrive()
    {
        HistoryStore store(model->databasePath());
        store.insert(QStringLiteral("arrived %1").arg(++added), std::nullopt, 100000,
                     HistoryStore::maximumStoredPayloadBytes);
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
// The main thread's own processor time in nanoseconds: the machine's other work does not count.
qint64 threadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The main thread's share of one capture with 1000 records stored and the window open: from the new
// page and then its row presentations being published to the records view painted, summed.
void CaptureToRecordsUpdated(benchmark::State& state)
{
    qint64 started = 0;
    qint64 spent = 0;
    const auto start = [&] { started = threadNanoseconds(); };
    const auto stop = [&] { spent += threadNanoseconds() - started; };
    Window window(state.range(0) ? HistoryViewMode::cards : HistoryViewMode::list, [&](HistoryBrowser& browser) {
        QObject::connect(&browser, &HistoryBrowser::clipsChanged, start);
        QObject::connect(&browser, &HistoryBrowser::rowPresentationsChanged, start);
    });
    QObject::connect(&window.model->browser(), &HistoryBrowser::clipsChanged, stop);
    QObject::connect(&window.model->browser(), &HistoryBrowser::rowPresentationsChanged, stop);
    int resets = 0;
    qint64 updating = 0;
    QObject::connect(window.records()->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    for (auto _ : state) {
        window.arrive();
        spent = 0;
        QCoro::waitFor(window.model->browser().reload());
        updating += spent;
        start();
        window.records()->viewport()->repaint();
        stop();
        state.SetIterationTime(double(spent) / 1e9);
    }
    // The part before painting: the model's and the views' own bookkeeping.
    state.counters["update_ms"] = benchmark::Counter(double(updating) / 1e6, benchmark::Counter::kAvgIterations);
    state.counters["resets"] = benchmark::Counter(resets, benchmark::Counter::kAvgIterations);
}
BENCHMARK(CaptureToRecordsUpdated)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"cards"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The process's resident memory in MiB, as the kernel counts it.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// The big texts that once stopped the application: each stored as the newest record.
QStringList bigTexts()
{
    QString zalgo;
    for (int i = 0; i < 10000; ++i) {
        zalgo += QChar(u'a' + i % 26);
        for (int mark = 0; mark < 12; ++mark)
            zalgo += QChar(char16_t(0x0300 + (i * 7 + mark) % 0x70));
    }
    QString log;
    for (int i = 0; i < 12500; ++i)
        log += QStringLiteral("2026-12-07 00:%1:%2 INFO service[4242]: request %3 handled in 12 ms\n")
                   .arg(i / 600 % 60, 2, 10, QLatin1Char('0'))
                   .arg(i / 10 % 60, 2, 10, QLatin1Char('0'))
                   .arg(i);
    return {QString(1 << 20, QLatin1Char('x')), QStringLiteral("😀").repeated(10000),
            QStringLiteral("line\n").repeated(100000), zalgo, log};
}

// Resident memory with the window open on 1000 records (cards or list, the preview hidden), and
// then with the big texts listed first.
void ResidentMemory(benchmark::State& state)
{
    bench::application();
    const double before = residentMiB();
    Window window(state.range(0) ? HistoryViewMode::cards : HistoryViewMode::list);
    for (auto _ : state)
        window.records()->viewport()->repaint();
    state.counters["application_mib"] = before;
    state.counters["window_mib"] = residentMiB();
    {
        HistoryStore store(window.model->databasePath());
        for (const QString& text : bigTexts())
            store.insert(text, std::nullopt, 100000, HistoryStore::maximumStoredPayloadBytes);
    }
    QCoro::waitFor(window.model->browser().reload());
    window.records()->viewport()->repaint();
    state.counters["with_big_texts_mib"] = residentMiB();
}
BENCHMARK(ResidentMemory)->Arg(0)->Arg(1)->ArgNames({"cards"})->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK(ReloadAlone)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK(ReloadToGridLaidOut)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

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

// An image the size of a screenshot's corner: noise (a photo's worst case for PNG), or a smooth gradient.
QByteArray imagePNG(int serial, bool noise)
{
    QImage image(480, 360, QImage::Format_RGB32);
    QRandomGenerator random(quint32(serial + 1));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = noise ? random.generate()
                            : qRgb((x + serial * 7) % 256, (y + serial * 13) % 256, serial * 5 % 256);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The main thread's processor time for a page of 50 image records to reach the records model, each
// with its stored presentation as the repository hands it over, and for the model to present them
// all (as a view does when it lays the page out). The stored presentations are made beforehand on
// the repository's thread, as they are when the window lists records.
void ImageRecordsPageReceived(benchmark::State& state)
{
    bench::History history;
    HistoryRepository repository(history.databasePath());
    for (int i = 0; i < 50; ++i) {
        const ClipPayload payload{{ClipItem{{{QStringLiteral("public.png"), imagePNG(i, state.range(0))}}}},
                                  std::nullopt};
        repository
            .insert({StoredPlaceholder::image(), ClipKind::image, payload}, std::nullopt, HistoryRetention::standard())
            .waitForFinished();
    }
    const QList<Clip> clips = repository.page({}).result().clips;
    QHash<qint64, ClipRowPresentation> rows;
    for (const Clip& clip : clips)
        rows.insert(clip.id, repository.rowPresentation(clip).result());
    for (auto _ : state) {
        RecordListModel model(history.sources);
        const qint64 started = threadNanoseconds();
        model.setRecords(clips);
        model.setRows(rows);
        for (int row = 0; row < model.rowCount(); ++row)
            benchmark::DoNotOptimize(model.presentation(row).image);
        state.SetIterationTime(double(threadNanoseconds() - started) / 1e9);
    }
    state.counters["thumbnail_bytes"] = double(rows.begin()->metadata.thumbnail.value_or(QByteArray()).size());
}
BENCHMARK(ImageRecordsPageReceived)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"noise"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The main thread's processor time, in milliseconds, for the records on screen to show their ages
// moved on, as at the minute they turn: "2 min" to "3 min" (as wide), or "Now" to "1 min" (wider).
// The history holds texts, web pages and images, as the idle bench's does.
void AgesMovingOn(benchmark::State& state)
{
    bench::Window window;
    window.copyMixed(100);
    window.show(state.range(0) ? HistoryViewMode::cards : HistoryViewMode::list, false);
    QAbstractItemView* view = window.records();
    auto* ages = view->findChild<RecordAges*>();
    auto* records = qobject_cast<RecordListModel*>(view->model());
    const bool wider = state.range(1);
    QList<qint64> shown;
    for (int row = 0; row < records->rowCount(); ++row) {
        if (view->visualRect(records->index(row)).intersects(view->viewport()->rect()))
            shown.append(records->clips().at(row).id);
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        const double started = bench::threadSeconds();
        for (qint64 id : shown)
            Q_EMIT ages->changed(id, wider ? QStringLiteral("Now") : QStringLiteral("2 min"),
                                 wider ? QStringLiteral("1 min") : QStringLiteral("3 min"));
        QCoreApplication::processEvents();
        state.SetIterationTime(bench::threadSeconds() - started);
    }
    state.counters["records"] = double(shown.size());
}
BENCHMARK(AgesMovingOn)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->ArgNames({"cards", "wider"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
