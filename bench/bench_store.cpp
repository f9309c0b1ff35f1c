// The history store's hot paths on a real database in a temporary folder.
#include "ClipPayloadCoder.h"
#include "HistoryRepository.h"
#include "HistoryStore.h"
#include "PlistNesting.h"
#include "SearchFolding.h"

#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <memory>

using namespace tavlin;

namespace {

struct BenchStore {
    QTemporaryDir folder;
    std::unique_ptr<HistoryStore> store = std::make_unique<HistoryStore>(folder.path()
                                                                         + QStringLiteral("/Tavlin/history.sqlite"));

    void insertText(const QString& text)
    {
        const ClipPayload payload{{ClipItem{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}},
                                  std::nullopt};
        store->insert(payload, text, ClipKind::text, QStringLiteral("org.gnome.TextEditor"), 1000,
                      HistoryStore::maximumStoredPayloadBytes);
    }
};

QString kibibyteText(int serial)
{
    QString text = QStringLiteral("record %1 ").arg(serial);
    while (text.size() < 1024)
        text += QStringLiteral("lorem ipsum dolor sit amet ");
    return text.left(1024);
}

ClipPayload largePayload(qsizetype bytes)
{
    QByteArray data(bytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes; ++i)
        data[i] = static_cast<char>((i * 2654435761u) >> 24);
    return {{ClipItem{{{QStringLiteral("public.png"), data}}}}, std::nullopt};
}

void insertIntoStoreOf999(benchmark::State& state)
{
    BenchStore bench;
    for (int i = 0; i < 999; ++i)
        bench.insertText(kibibyteText(i));
    int serial = 1000;
    for (auto _ : state)
        bench.insertText(kibibyteText(serial++));
}
BENCHMARK(insertIntoStoreOf999)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void fetchFirstPage(benchmark::State& state)
{
    BenchStore bench;
    for (int i = 0; i < 1000; ++i)
        bench.insertText(kibibyteText(i));
    const HistoryQuery query{state.range(0) ? QStringLiteral("Record 5") : QString(), false, {}, {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.store->fetch(200, query));
}
BENCHMARK(fetchFirstPage)->ArgName("search")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A payload of about 32 MiB: one large representation (arg 0), or 150,000 small items, the most
// objects the nesting walk can meet in a file of that size (arg 1).
ClipPayload payloadOfShape(int shape)
{
    if (shape == 0)
        return largePayload(HistoryStore::maximumPayloadBytes - 256);
    ClipPayload payload;
    for (int i = 0; i < 150'000; ++i)
        payload.items.append(
            ClipItem{{{QStringLiteral("public.utf8-plain-text"), QByteArray(150, 'a') + QByteArray::number(i)}}});
    return payload;
}

// The depth check every load runs before libplist parses the file, over the most objects a file
// can hold (a file of one large representation it crosses at once); compare with loadPayload.
void walkPayloadNesting(benchmark::State& state)
{
    const QByteArray bytes = ClipPayloadCoder::encode(payloadOfShape(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(PlistNesting::isWithin(bytes, ClipPayloadCoder::maximumNesting));
    state.counters["file MiB"] = double(bytes.size()) / (1024 * 1024);
}
BENCHMARK(walkPayloadNesting)->Unit(benchmark::kMillisecond);

void loadLargestPayload(benchmark::State& state)
{
    BenchStore bench;
    bench.store->insert(payloadOfShape(int(state.range(0))), QStringLiteral("payload"), ClipKind::other, std::nullopt,
                        1000, HistoryStore::maximumStoredPayloadBytes);
    const qint64 id = bench.store->fetch(1, QString()).first().id;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.store->loadPayload(id));
    state.SetBytesProcessed(state.iterations() * HistoryStore::maximumPayloadBytes);
}
BENCHMARK(loadLargestPayload)->ArgName("items")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void fingerprint(benchmark::State& state)
{
    const ClipPayload payload = largePayload(32 * 1024 * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(HistoryStore::fingerprint(payload));
    state.SetBytesProcessed(state.iterations() * 32 * 1024 * 1024);
}
BENCHMARK(fingerprint)->Unit(benchmark::kMillisecond);

// Big copies users make: a megabyte of Korean, of CJK mixed with Latin, and a file manager's
// select-all of a hundred thousand files.
QString repeatedToBytes(const QString& base, qsizetype bytes)
{
    const qsizetype baseBytes = base.toUtf8().size();
    QString text;
    for (qsizetype size = baseBytes; size <= bytes; size += baseBytes)
        text += base;
    return text;
}

CapturedClipboard bigCopy(int which, int serial)
{
    const QString mark = QStringLiteral("copy %1 ").arg(serial);
    const auto textCopy = [&](const QString& base) {
        const QString text = mark + repeatedToBytes(base, 1024 * 1024 - 64);
        return CapturedClipboard{
            text, ClipKind::text, {{ClipItem{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}}, {}}};
    };
    switch (which) {
    case 0: return textCopy(QStringLiteral("대한민국의 수도는 서울이며, 한국어는 한글로 적는다. "));
    case 1:
        return textCopy(
            QStringLiteral("会议在 Monday 10:00 开始，请带上 laptop 和 report.pdf。東京オフィスの Wi-Fi "
                           "パスワードは tavlin-2026 です。서울 팀은 Slack 채널 #release 에서 확인해 주세요. "));
    default: {
        CapturedClipboard files{QStringLiteral("100000 files"), ClipKind::file, {}};
        for (int i = 0; i < 100'000; ++i) {
            const QString path = QStringLiteral("/home/user/Pictures/Holiday %1/IMG_%2 copy.jpg")
                                     .arg(serial)
                                     .arg(i, 6, 10, QLatin1Char('0'));
            files.payload.items.append(
                ClipItem{{{QStringLiteral("public.file-url"), QUrl::fromLocalFile(path).toEncoded()}}});
        }
        return files;
    }
    }
}

// From the repository being handed a big copy to its row being stored: metadata, digest,
// encoding, the file, the search text and the row, all on the history's thread.
void storeBigCopy(benchmark::State& state)
{
    QTemporaryDir folder;
    HistoryRepository repository(folder.path() + QStringLiteral("/Tavlin/history.sqlite"));
    int serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const CapturedClipboard copy = bigCopy(int(state.range(0)), serial++);
        state.ResumeTiming();
        repository.insert(copy, std::nullopt, HistoryRetention::standard()).waitForFinished();
    }
}
BENCHMARK(storeBigCopy)->ArgName("korean/cjkLatin/files")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The row of the file list just stored, as the page shown after it asks for it: its payload read
// back, verified and decoded.
void rowOfFileList(benchmark::State& state)
{
    QTemporaryDir folder;
    HistoryRepository repository(folder.path() + QStringLiteral("/Tavlin/history.sqlite"));
    repository.insert(bigCopy(2, 0), std::nullopt, HistoryRetention::standard()).waitForFinished();
    const Clip clip = repository.page({}).result().clips.first();
    int serial = 0;
    for (auto _ : state) {
        // The record with another time each round misses the row cache.
        Clip uncached = clip;
        uncached.createdAt = clip.createdAt.addMSecs(++serial);
        benchmark::DoNotOptimize(repository.rowPresentation(uncached).result());
    }
}
BENCHMARK(rowOfFileList)->Unit(benchmark::kMillisecond);

void foldKorean(benchmark::State& state)
{
    const QString text = repeatedToBytes(QStringLiteral("대한민국의 수도는 서울이며, 한국어는 한글로 적는다. "),
                                         state.range(0) * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchFolding::fold(text));
    state.SetBytesProcessed(state.iterations() * state.range(0) * 1024);
}
BENCHMARK(foldKorean)->ArgName("KiB")->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

// A letter under accents up to `bytes` of UTF-8, their combining classes taking turns, so
// normalization has them to sort; "ß" folds to two letters.
QString letterUnderMarks(const QString& letter, const QString& marks, qsizetype bytes)
{
    QString text = letter;
    const qsizetype count = (bytes - letter.toUtf8().size()) / 2; // each mark is two bytes
    for (qsizetype i = 0; i < count; ++i)
        text += marks.at(i % marks.size());
    return text;
}

const QString twoClasses = QStringLiteral("\u0301\u0316");
const QString threeMarks = QStringLiteral("\u0301\u0323\u0302\u0323");

void foldLetterUnderMarks(benchmark::State& state)
{
    const QString text = letterUnderMarks(state.range(0) == 2 ? QStringLiteral("ß") : QStringLiteral("a"),
                                          state.range(0) == 1 ? threeMarks : twoClasses, 1024 * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchFolding::fold(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
BENCHMARK(foldLetterUnderMarks)
    ->ArgName("a+twoClasses/a+threeMarks/sharpS")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// Opening a history that holds ten texts of a "ß" under 200 KB of accents, after the first open
// has folded them: nothing is folded again.
void reopenHistoryOfMarks(benchmark::State& state)
{
    BenchStore bench;
    for (int i = 0; i < 10; ++i)
        bench.insertText(letterUnderMarks(QStringLiteral("ß%1").arg(i), twoClasses, 200 * 1024));
    const QString database = bench.folder.path() + QStringLiteral("/Tavlin/history.sqlite");
    bench.store.reset();
    for (auto _ : state)
        HistoryStore store(database);
}
BENCHMARK(reopenHistoryOfMarks)->Unit(benchmark::kMillisecond);

} // namespace
