// Reading one clipboard change from owners that misbehave, on a real X server:
// xvfb-run -a build/bench/bench_clipboard_owners
// Each iteration reads the change whole (targets, every kept format, the capture) as a capture
// tick does. Reported: the read's wall time, and `longest_stall_ms`, the longest the main thread
// was kept from its event loop meanwhile (a 1 ms timer's longest gap).
#include "ClipboardCodec.h"
#include "X11Pasteboard.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace tavlin;

namespace {

// The test clipboard owner serving `arguments` until the benchmark ends.
struct Owner {
    QProcess process;

    explicit Owner(const QStringList& arguments)
    {
        process.start(QStringLiteral(TAVLIN_TEST_CLIPBOARD_OWNER), QStringList{QStringLiteral("serve")} + arguments);
        process.waitForReadyRead(60000);
    }
    ~Owner()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

// The longest gap between a 1 ms timer's shots while `read` runs to its end.
template <class Read>
double longestStallMs(Read&& read)
{
    QElapsedTimer sinceLastShot;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceLastShot.nsecsElapsed());
        sinceLastShot.restart();
    });
    ticker.start();
    sinceLastShot.start();
    read();
    longest = std::max(longest, sinceLastShot.nsecsElapsed());
    return double(longest) / 1e6;
}

void readChange(benchmark::State& state, QStringList (*owner)())
{
    Owner serving(owner());
    double longest = 0;
    for (auto _ : state) {
        // A pasteboard of its own each time: nothing of the last read is kept.
        X11Pasteboard pasteboard;
        bool done = false;
        longest = std::max(longest, longestStallMs([&] {
                               QTimer::singleShot(0, [&] {
                                   benchmark::DoNotOptimize(ClipboardCodec::read(pasteboard));
                                   done = true;
                               });
                               while (!done)
                                   QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                           }));
    }
    state.counters["longest_stall_ms"] = longest;
}

QStringList twelveSlowFormats()
{
    return {QStringLiteral("--delay"),
            QStringLiteral("450"),
            QStringLiteral("text/uri-list=https://example.org/"),
            QStringLiteral("x-kde-passwordManagerHint=no"),
            QStringLiteral("UTF8_STRING=slow"),
            QStringLiteral("text/html=<b>slow</b>"),
            QStringLiteral("text/rtf={\\rtf1 slow}"),
            QStringLiteral("application/pdf=%PDF-1.4"),
            QStringLiteral("image/jpeg=j"),
            QStringLiteral("image/gif=g"),
            QStringLiteral("image/tiff=t"),
            QStringLiteral("image/bmp=b"),
            QStringLiteral("image/webp=w")};
}

QStringList sixtyThousandTargets()
{
    return {QStringLiteral("--targets"), QStringLiteral("60000"), QStringLiteral("UTF8_STRING=many")};
}

// A 1 MiB picture in 64 KiB pieces, 0.3 s apart.
QStringList pngByIncrements()
{
    static QTemporaryFile picture;
    if (picture.open()) {
        picture.resize(0);
        picture.write(QByteArray(1 << 20, 'p'));
        picture.flush();
    }
    return {QStringLiteral("--incr"), QStringLiteral("65536"), QStringLiteral("300"),
            QStringLiteral("image/png=@") + picture.fileName()};
}

BENCHMARK_CAPTURE(readChange, sixtyThousandTargets, sixtyThousandTargets)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readChange, twelveFormatsEachAfter450ms, twelveSlowFormats)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readChange, pngByIncrementsEvery300ms, pngByIncrements)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
