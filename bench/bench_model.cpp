// The history model on a real store and an in-memory clipboard: the cost of an idle tick, the
// latency from a clipboard change to the published row, a reload of the first page, the longest
// the main thread goes without running its event loop while the history is locked, and how long
// a page asked for then takes.
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>
#include <sqlite3.h>

using namespace tavlin;

namespace {

struct BenchModel {
    QTemporaryDir folder;
    test::FakePasteboard pasteboard;
    test::FakeWorkspace editor{QStringLiteral("org.gnome.TextEditor")};
    HistoryModel model{folder.path() + QStringLiteral("/Tavlin/history.sqlite"), pasteboard, editor};

    // From the clipboard change to the model publishing the new first row, in seconds.
    double captureLatency()
    {
        QElapsedTimer timer;
        qint64 published = -1;
        const auto connection = QObject::connect(&model.browser(), &HistoryBrowser::clipsChanged,
                                                 [&] { published = timer.nsecsElapsed(); });
        timer.start();
        QCoro::waitFor(model.monitor().tick());
        QObject::disconnect(connection);
        return static_cast<double>(published) / 1e9;
    }
};

QString kibibyteText(int serial)
{
    QString text = QStringLiteral("record %1 ").arg(serial);
    while (text.size() < 1024)
        text += QStringLiteral("lorem ipsum dolor sit amet ");
    return text.left(1024);
}

QByteArray noisePNG(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = QRandomGenerator::global()->generate();
    }
    QByteArray png;
    QBuffer buffer(&png);
    image.save(&buffer, "PNG");
    return png;
}

void tickWithoutChange(benchmark::State& state)
{
    BenchModel bench;
    for (auto _ : state) {
        // Nothing changed, so the tick ends before its first wait: none is left running.
        QCoro::Task<> tick = bench.model.monitor().tick();
        if (!tick.isReady()) {
            state.SkipWithError("the tick waited");
            QCoro::waitFor(std::move(tick));
            break;
        }
    }
}
BENCHMARK(tickWithoutChange);

void textToPublishedRow(benchmark::State& state)
{
    BenchModel bench;
    int serial = 0;
    for (auto _ : state) {
        bench.pasteboard.setString(kibibyteText(serial++));
        state.SetIterationTime(bench.captureLatency());
    }
}
BENCHMARK(textToPublishedRow)->UseManualTime()->Unit(benchmark::kMillisecond);

void imageToPublishedRow(benchmark::State& state)
{
    BenchModel bench;
    QList<QByteArray> images;
    for (int i = 0; i < 3; ++i)
        images.append(noisePNG(2000, 1750)); // about 10 MiB each
    int serial = 0;
    for (auto _ : state) {
        bench.pasteboard.setItems(
            {{{QStringLiteral("public.png")}, {{QStringLiteral("public.png"), images[serial++ % 3]}}}});
        state.SetIterationTime(bench.captureLatency());
    }
    state.counters["png_bytes"] = static_cast<double>(images[0].size());
}
BENCHMARK(imageToPublishedRow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(12);

void reloadFirstPage(benchmark::State& state)
{
    BenchModel bench;
    for (int i = 0; i < 1000; ++i) {
        bench.pasteboard.setString(kibibyteText(i));
        QCoro::waitFor(bench.model.monitor().tick());
    }
    for (auto _ : state)
        QCoro::waitFor(bench.model.browser().reload());
}
BENCHMARK(reloadFirstPage)->Unit(benchmark::kMillisecond);

// Another connection holds the write lock for 0.8 s while a copy is captured; a 5 ms timer on
// the main thread records the longest gap between its ticks (the figure; a few ms is good).
void mainThreadGapWhileTheStoreWaits(benchmark::State& state)
{
    BenchModel bench;
    bench.pasteboard.setString(QStringLiteral("opens the store"));
    QCoro::waitFor(bench.model.monitor().tick());
    const QString database = bench.folder.path() + QStringLiteral("/Tavlin/history.sqlite");
    double longestGap = 0;
    int serial = 0;
    for (auto _ : state) {
        sqlite3* other = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &other);
        sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, double(clock.elapsed() - last));
            last = clock.elapsed();
        });
        timer.start(5);
        QTimer::singleShot(800, [other] { sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr); });
        bench.pasteboard.setString(QStringLiteral("waits for the lock %1").arg(serial++));
        QCoro::waitFor(bench.model.monitor().tick());
        sqlite3_close(other);
    }
    state.counters["longest_gap_ms"] = longestGap;
}
BENCHMARK(mainThreadGapWhileTheStoreWaits)->Unit(benchmark::kMillisecond)->Iterations(3);

// Another connection holds the write lock while a copy is captured; the first page is asked for
// just after, as the Quick Panel asks when it opens. The figure: from the tick's start to the
// page loaded (milliseconds; it must not include a wait for the lock).
void pageAskedWhileTheHistoryRefusesACopy(benchmark::State& state)
{
    BenchModel bench;
    bench.pasteboard.setString(QStringLiteral("opens the store"));
    QCoro::waitFor(bench.model.monitor().tick());
    const QString database = bench.folder.path() + QStringLiteral("/Tavlin/history.sqlite");
    int serial = 0;
    for (auto _ : state) {
        sqlite3* other = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &other);
        sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        bench.pasteboard.setString(QStringLiteral("refused %1").arg(serial++));
        QElapsedTimer clock;
        clock.start();
        QCoro::Task<> tick = bench.model.monitor().tick();
        QCoro::waitFor(bench.model.browser().reload());
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        QCoro::waitFor(std::move(tick));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCoro::waitFor(bench.model.monitor().tick()); // stores a copy left waiting
    }
}
BENCHMARK(pageAskedWhileTheHistoryRefusesACopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
