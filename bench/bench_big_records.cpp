// The main thread's CPU time in the history window (list or cards, preview pane on, offscreen)
// with one big record newest among 1000 others: selecting it, turning the preview on, typing one
// character, and one capture arriving while it is selected. Each counts the main thread's work
// from the action until everything it set off is painted (half a second later, waits excluded).
// Each iteration does the action twice: once for that time, and once watched by a 1 ms timer,
// whose own wake-ups (about 19 ms of the main thread's time in half a second) would otherwise
// count as the application's. From the watched one: `longest_ms`, the longest the main thread
// went without returning to its event loop, and `longest_cpu_ms`, the most processor time it
// spent in one such stretch, which leaves out what the machine's other work took.
// Run: build/bench/bench_big_records --benchmark_filter='^(Select|TurnPreviewOn)/record:1/'
// --benchmark_repetitions=3 --benchmark_report_aggregates_only=true for the medians.
#include "BenchHistory.h"
#include "BigTexts.h"
#include "ClipDetails.h"
#include "HistoryStore.h"
#include "StoredPlaceholder.h"

#include "PasteboardTypes.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

// Paragraphs in about twenty fonts and thirty colours, as a word processor writes them.
QByteArray rtf(qsizetype bytes)
{
    QByteArray document = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (int font = 0; font < 20; ++font)
        document += "{\\f" + QByteArray::number(font) + "\\fswiss Font Family " + QByteArray::number(font) + ";}";
    document += "}{\\colortbl;";
    for (int colour = 0; colour < 30; ++colour)
        document += "\\red" + QByteArray::number(colour * 8) + "\\green" + QByteArray::number(255 - colour * 8)
            + "\\blue" + QByteArray::number(colour * 5 % 256) + ";";
    document += "}\n";
    for (int paragraph = 0; document.size() < bytes - 300; ++paragraph) {
        document += "\\pard\\sa120\\f" + QByteArray::number(paragraph % 20) + "\\fs"
            + QByteArray::number(20 + paragraph % 5 * 2) + "\\cf" + QByteArray::number(paragraph % 30 + 1)
            + " Paragraph " + QByteArray::number(paragraph)
            + " of a long report, {\\b in bold} and {\\i in italics}, with some more words to fill a line or two"
              " of the page.\\par\n";
    }
    return document + "}";
}

// An 8000 x 8000 PNG with a photo's grain (a gradient under noise in 4-pixel blocks), made once.
QByteArray photoPNG()
{
    static const QByteArray png = [] {
        QImage image(8000, 8000, QImage::Format_RGB32);
        quint32 seed = 1;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
            if (y % 4) {
                std::copy_n(reinterpret_cast<const quint32*>(image.constScanLine(y - 1)), image.width(), line);
                continue;
            }
            for (int x = 0; x < image.width(); x += 4) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = int(seed >> 26);
                std::fill_n(line + x, 4, qRgb(x / 32 + grain, y / 32 + grain, 128 + grain));
            }
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }();
    return png;
}

struct BigRecord {
    QString text;
    ClipKind kind = ClipKind::text;
    QList<ClipRepresentation> rich;
};

BigRecord bigRecord(int which)
{
    QString text;
    switch (which) {
    case 0: return {QString(1 << 20, u'x')};
    case 1: return {QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500)};
    case 2: return {test::numberedLines()};
    case 3: return {test::zalgo(12400)};
    case 4: return {test::serviceLog()};
    case 5: return {test::chatMessage()};
    case 6: return {test::emojiText(1000)};
    case 7: return {test::emojiText(4000)};
    case 8:
    case 9: {
        const QByteArray bytes = rtf(which == 8 ? 1 << 20 : 2 << 20);
        return {QStringLiteral("Paragraph 0 of a long report"), ClipKind::richText, {{PasteboardTypes::rtf, bytes}}};
    }
    case 10: {
        QByteArray html = "<html><body>";
        while (html.size() < (2 << 20) - 200) {
            const QByteArray paragraph = "Paragraph " + QByteArray::number(text.size())
                + " of a page, with a few words.";
            html += "<p style=\"color:#336\"><b>" + paragraph
                + "</b> <a href=\"https://example.org/\">a link</a></p>\n";
            text += QString::fromLatin1(paragraph) + QStringLiteral(" a link\n");
        }
        return {text, ClipKind::richText, {{PasteboardTypes::html, html + "</body></html>"}}};
    }
    case 12: return {StoredPlaceholder::image(), ClipKind::image, {{PasteboardTypes::png, photoPNG()}}};
    case 13: return {QStringLiteral("e") + QString(524286, QChar(0x0301))};
    default: return {test::zalgo(8170)};
    }
}

struct Window : bench::Window {
    int added = 0;

    Window(const BigRecord& big, HistoryViewMode mode)
    {
        storeNotes(1000);
        {
            // An image is copied as an image alone; its metadata is stored with it, as a capture stores it.
            ClipItem item;
            if (big.kind != ClipKind::image)
                item.representations.append({PasteboardTypes::plainText, big.text.toUtf8()});
            item.representations += big.rich;
            ClipPayload payload{{item}, std::nullopt};
            if (big.kind == ClipKind::image)
                payload.metadata = ClipDetails::capture(payload, big.text, big.kind);
            HistoryStore(databasePath())
                .insert(payload, big.text, big.kind, QStringLiteral("org.gnome.TextEditor"), 100000,
                        HistoryStore::maximumStoredPayloadBytes);
        }
        image = big.kind == ClipKind::image;
        show(mode, true);
        settle();
    }
    void select(int row) { records()->setCurrentIndex(records()->model()->index(row, 0)); }
    // Lets what the action set off run to its end and be painted; waits cost the main thread nothing.
    // Watched, the longest the loop went without a turn is kept in `longest`, and the most
    // processor time the main thread spent between two turns in `longestCpu`.
    void settle(bool watched = false)
    {
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        if (watched) {
            QObject::connect(&ticks, &QTimer::timeout, [this] { tick(); });
            ticks.start(1);
        }
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The main thread's CPU seconds for the action and all it sets off.
    template <class Action>
    double measure(Action action)
    {
        const double start = bench::threadSeconds();
        action();
        settleShown();
        return bench::threadSeconds() - start;
    }
    // Notes the longest stretch without a turn of the event loop, from the action on.
    template <class Action>
    void watch(Action action)
    {
        clock.start();
        cpuAtTick = bench::threadSeconds();
        longest = 0;
        longestCpu = 0;
        action();
        tick();
        settleShown(true);
    }
    // An image's preview is reduced on the repository's thread, which may take longer than one
    // settling: it settles again until the preview shows the image (or the action shows none).
    void settleShown(bool watched = false)
    {
        settle(watched);
        const auto showing = [this] {
            return !records()->currentIndex().isValid() || records()->currentIndex().row() != 0
                || !preferences.showPreview() || model->browser().previewContent().kind == ClipPreview::Case::image;
        };
        for (int turn = 0; image && turn < 20 && !showing(); ++turn)
            settle(watched);
    }
    bool image = false;
    double longest = 0;
    double longestCpu = 0;

private:
    void tick()
    {
        const double cpu = bench::threadSeconds();
        longest = qMax(longest, double(clock.nsecsElapsed()) / 1e6);
        longestCpu = qMax(longestCpu, (cpu - cpuAtTick) * 1e3);
        clock.restart();
        cpuAtTick = cpu;
    }
    QElapsedTimer clock;
    double cpuAtTick = 0;
};

void run(benchmark::State& state, const std::function<void(Window&)>& prepare, const std::function<void(Window&)>& act)
{
    Window window(bigRecord(int(state.range(0))), state.range(1) ? HistoryViewMode::cards : HistoryViewMode::list);
    double longest = 0;
    double longestCpu = 0;
    for (auto _ : state) {
        prepare(window);
        window.settle();
        state.SetIterationTime(window.measure([&] { act(window); }));
        prepare(window);
        window.settle();
        window.watch([&] { act(window); });
        longest = qMax(longest, window.longest);
        longestCpu = qMax(longestCpu, window.longestCpu);
    }
    state.counters["longest_ms"] = longest;
    state.counters["longest_cpu_ms"] = longestCpu;
}

void Select(benchmark::State& state)
{
    run(
        state, [](Window& window) { window.select(1); }, [](Window& window) { window.select(0); });
}

void TurnPreviewOn(benchmark::State& state)
{
    run(
        state, [](Window& window) { window.preferences.setShowPreview(false); },
        [](Window& window) { window.preferences.setShowPreview(true); });
}

void TypeOneCharacter(benchmark::State& state)
{
    run(
        state,
        [](Window& window) {
            window.view->searchField()->clear();
            window.model->browser().setQuery(QString());
            window.settle();
            window.select(0);
        },
        [](Window& window) { QTest::keyClick(window.view->searchField(), 'e'); });
}

// The record is stored beforehand, as the repository's thread stores it: what counts is the
// reload that shows it.
void CaptureArrives(benchmark::State& state)
{
    run(
        state,
        [](Window& window) {
            window.select(0);
            HistoryStore(window.model->databasePath())
                .insert(QStringLiteral("arrived %1").arg(++window.added), std::nullopt, 100000,
                        HistoryStore::maximumStoredPayloadBytes);
        },
        [](Window& window) { QCoro::waitFor(window.model->browser().reload()); });
}

// record 0: 1 MiB on one line, 1: 10,000 emoji, 2: 100,000 short lines, 3: 12,400 characters of zalgo,
// 4: a 1 MiB log of 12,500 lines, 5: a chat message of 200 words and 200 emoji, 6: 1,000 emoji,
// 7: 4,000 emoji, 8: a 1 MiB RTF, 9: a 2 MiB RTF, 10: a 2 MiB HTML page with its text, 11: 8,170
// characters of zalgo, 12: an 8000 x 8000 PNG, 13: 1 MiB of one character (a letter and 524,286
// accents). cards 0: the list, 1: the cards.
#define BIG_RECORDS                                                                                                    \
    ArgsProduct({benchmark::CreateDenseRange(0, 13, 1), {0, 1}})                                                       \
        ->ArgNames({"record", "cards"})                                                                                \
        ->UseManualTime()                                                                                              \
        ->Unit(benchmark::kMillisecond)                                                                                \
        ->Iterations(3)
BENCHMARK(Select)->BIG_RECORDS;
BENCHMARK(TurnPreviewOn)->BIG_RECORDS;
BENCHMARK(TypeOneCharacter)->BIG_RECORDS;
BENCHMARK(CaptureArrives)->BIG_RECORDS;

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
