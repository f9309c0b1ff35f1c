// The capture path's costs: reading the clipboard on the main thread (a large text, a large PNG)
// and the metadata of a camera-sized photo, thumbnail included, on the repository's thread.
#include "BenchHistory.h"
#include "ClipDetails.h"
#include "ClipboardCodec.h"
#include "FakePasteboard.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A photo-like 6000 × 4000 picture: smooth gradients with a little noise.
QImage photo()
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(16));
            line[x] = qRgb((x / 24 + noise) & 0xff, (y / 16 + noise) & 0xff, ((x + y) / 40) & 0xff);
        }
    }
    return image;
}

// A screenshot-like 6000 × 4000 picture: flat areas and sharp edges, as PNGs on a clipboard mostly are.
QImage screenshot()
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    image.fill(qRgb(246, 246, 246));
    for (int y = 0; y < image.height(); y += 40) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = (y / 40) % 300; x < image.width(); x += 7)
            line[x] = qRgb(30, 30, 30);
    }
    return image;
}

void readText(benchmark::State& state)
{
    test::FakePasteboard pasteboard;
    pasteboard.setString(QString(1024 * 1024 - 1, u'x') + u'\n');
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(ClipboardCodec::read(pasteboard)));
}
BENCHMARK(readText)->Unit(benchmark::kMillisecond);

// A whole read of an RTF-only copy of 30 MiB, its text derived on a worker: the wall time from
// asking to the answer (here a refusal: its text is longer than a record keeps).
void readRTFOnly30MiB(benchmark::State& state)
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < 30 * 1024 * 1024)
        rtf += "{\\b bold} and plain words\\par\n";
    rtf += "}";
    test::FakePasteboard pasteboard;
    pasteboard.setItems({{{QStringLiteral("public.rtf")}, {{QStringLiteral("public.rtf"), rtf}}}});
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(ClipboardCodec::read(pasteboard)));
}
BENCHMARK(readRTFOnly30MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The main thread's CPU time for a whole read of an RTF-only copy of 2 MiB, its text derived on
// a worker meanwhile: the wait costs the main thread nothing.
void readRTFOnly2MiBMainThread(benchmark::State& state)
{
    // Mostly markup, as a word processor writes it: its text is a record's length.
    QByteArray rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < 2 * 1024 * 1024)
        rtf += "\\pard\\plain\\sa120\\sb60\\f3\\fs22\\cf7 A paragraph with {\\b\\i\\ul bold} words.\\par\n";
    rtf += "}";
    test::FakePasteboard pasteboard;
    pasteboard.setItems({{{QStringLiteral("public.rtf")}, {{QStringLiteral("public.rtf"), rtf}}}});
    for (auto _ : state) {
        const double start = bench::threadSeconds();
        const std::optional<CapturedClipboard> read = QCoro::waitFor(ClipboardCodec::read(pasteboard));
        state.SetIterationTime(bench::threadSeconds() - start);
        if (!read || read->text.isEmpty()) {
            state.SkipWithError("the copy was not read");
            break;
        }
        state.counters["characters"] = double(read->text.size());
    }
}
BENCHMARK(readRTFOnly2MiBMainThread)->UseManualTime()->Unit(benchmark::kMillisecond);

void metadataOf24MP(benchmark::State& state, QImage (*picture)(), const char* format, const char* type)
{
    const QByteArray bytes = encoded(picture(), format);
    const ClipPayload payload{{ClipItem{{{QString::fromLatin1(type), bytes}}}}, std::nullopt};
    state.counters["bytes"] = double(bytes.size());
    for (auto _ : state) {
        const ClipMetadata metadata = ClipDetails::capture(payload, QStringLiteral("Изображение"), ClipKind::image);
        if (!metadata.thumbnail)
            state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(metadata);
    }
}
BENCHMARK_CAPTURE(metadataOf24MP, photoJPEG, photo, "JPEG", "public.jpeg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(metadataOf24MP, photoPNG, photo, "PNG", "public.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(metadataOf24MP, screenshotPNG, screenshot, "PNG", "public.png")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
