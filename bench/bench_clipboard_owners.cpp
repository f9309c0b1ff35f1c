// Reading one clipboard change from owners that misbehave, on a real X server:
// xvfb-run -a build/bench/bench_clipboard_owners
// Each iteration reads the change whole (targets, every kept format, the capture) as a capture
// tick does. Reported: the read's wall time; `longest_stall_ms`, the longest the main thread was
// kept from its event loop meanwhile (a 1 ms timer's longest gap), and `longest_stall_cpu_ms`, the
// main thread's own processor time in that worst gap, which a loaded machine does not inflate;
// `formats_kept`, the representations of the first item captured.
#include "ClipboardCodec.h"
#include "X11Pasteboard.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <qcoro/qcorotimer.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

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

// The main thread's own processor time, in nanoseconds.
qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// How long the main thread was kept from its event loop while `read` ran to its end: the longest
// gap between a 1 ms timer's shots, and the most processor time the main thread spent in one
// such gap (which leaves out the time the machine's other work took the processor).
struct Stall {
    double wallMs = 0;
    double cpuMs = 0;
};

template <class Read>
Stall longestStall(Read&& read)
{
    QElapsedTimer sinceLastShot;
    qint64 cpuAtLastShot = 0;
    qint64 longestWall = 0;
    qint64 longestCpu = 0;
    const auto shot = [&] {
        longestWall = std::max(longestWall, sinceLastShot.nsecsElapsed());
        longestCpu = std::max(longestCpu, threadCpuNs() - cpuAtLastShot);
        sinceLastShot.restart();
        cpuAtLastShot = threadCpuNs();
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, shot);
    ticker.start();
    sinceLastShot.start();
    cpuAtLastShot = threadCpuNs();
    read();
    shot();
    return {double(longestWall) / 1e6, double(longestCpu) / 1e6};
}

void readChange(benchmark::State& state, QStringList (*owner)())
{
    Owner serving(owner());
    Stall longest;
    qsizetype formats = 0;
    for (auto _ : state) {
        // A pasteboard of its own each time: nothing of the last read is kept. Qt announces the
        // owner it has seen first: the read is of the change announced.
        state.PauseTiming();
        X11Pasteboard pasteboard;
        QCoro::waitFor(QCoro::sleepFor(std::chrono::milliseconds(300)));
        state.ResumeTiming();
        const Stall stall = longestStall([&] {
            const std::optional<CapturedClipboard> capture = QCoro::waitFor(ClipboardCodec::read(pasteboard));
            formats = capture && !capture->payload.items.isEmpty() ? capture->payload.items[0].representations.size()
                                                                   : 0;
        });
        longest.wallMs = std::max(longest.wallMs, stall.wallMs);
        longest.cpuMs = std::max(longest.cpuMs, stall.cpuMs);
    }
    state.counters["longest_stall_ms"] = longest.wallMs;
    state.counters["longest_stall_cpu_ms"] = longest.cpuMs;
    state.counters["formats_kept"] = double(formats);
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
