// The main thread's CPU time in the history window (list mode, preview pane on, offscreen) with
// one big record newest among 1000 others: selecting it, turning the preview on, typing one
// character, and one capture arriving while it is selected. Each counts the main thread's work
// from the action until everything it set off is painted (half a second later, waits excluded).
#include "ContentView.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "SourceApplicationIcon.h"
#include "ViewPreferences.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

#include <ctime>

using namespace tavlin;

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_big_records";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

QString bigRecord(int which)
{
    QString text;
    switch (which) {
    case 0: return QString(1 << 20, u'x');
    case 1: return QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680").repeated(2500);
    case 2:
        for (int line = 0; line < 100000; ++line)
            text += QString::number(line) + u'\n';
        return text;
    case 3:
        for (int letter = 0; letter < 400; ++letter) {
            text += QChar(u'a' + letter % 26);
            for (int mark = 0; mark < 30; ++mark)
                text += QChar(0x0300 + (letter * 7 + mark) % 0x70);
        }
        return text;
    default:
        for (int line = 0; line < 12500; ++line)
            text += QStringLiteral("2026-12-07T00:%1:%2Z INFO worker[%3] request /api/v1/items/%4 served in %5 ms")
                        .arg(line / 600 % 60, 2, 10, QChar(u'0'))
                        .arg(line / 10 % 60, 2, 10, QChar(u'0'))
                        .arg(line % 8)
                        .arg(line * 37 % 100000)
                        .arg(line % 97)
                        .leftJustified(82)
                + u'\n';
        return text;
    }
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Window {
    QTemporaryDir folder;
    test::FakePasteboard pasteboard;
    test::InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    test::FakeWorkspace workspace;
    SourceApplicationIcon sources{workspace};
    std::unique_ptr<HistoryModel> model;
    std::unique_ptr<ContentView> view;
    int added = 0;

    explicit Window(const QString& big)
    {
        application();
        const QString path = folder.path() + QStringLiteral("/history.sqlite");
        {
            HistoryStore store(path);
            for (int i = 0; i < 1000; ++i)
                store.insert(QStringLiteral("Record %1: ").arg(i)
                                 + QStringLiteral("some words of a note ").repeated(i % 12 + 1),
                             QStringLiteral("org.gnome.TextEditor"), 100000, HistoryStore::maximumStoredPayloadBytes);
            store.insert(big, QStringLiteral("org.gnome.TextEditor"), 100000, HistoryStore::maximumStoredPayloadBytes);
        }
        model = std::make_unique<HistoryModel>(path, pasteboard, workspace);
        preferences.setViewMode(HistoryViewMode::list);
        preferences.setShowPreview(true);
        view = std::make_unique<ContentView>(
            *model, preferences, sources, [] {}, false);
        view->resize(1040, 700);
        view->show();
        QCoro::waitFor(model->browser().reload());
        settle();
    }
    QAbstractItemView* records() const { return qobject_cast<QAbstractItemView*>(view->recordsView()); }
    void select(int row) { records()->setCurrentIndex(records()->model()->index(row, 0)); }
    // Lets what the action set off run to its end and be painted; waits cost the main thread nothing.
    void settle() { QTest::qWait(500); }
    // The main thread's CPU seconds for the action and all it sets off.
    template <class Action>
    double measure(Action action)
    {
        const double start = threadSeconds();
        action();
        settle();
        return threadSeconds() - start;
    }
};

void run(benchmark::State& state, const std::function<void(Window&)>& prepare, const std::function<void(Window&)>& act)
{
    Window window(bigRecord(int(state.range(0))));
    for (auto _ : state) {
        prepare(window);
        window.settle();
        state.SetIterationTime(window.measure([&] { act(window); }));
    }
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

// 0: 1 MiB on one line, 1: 10,000 emoji, 2: 100,000 short lines, 3: zalgo, 4: a 1 MiB log of 12,500 lines.
#define BIG_RECORDS DenseRange(0, 4)->ArgName("record")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
BENCHMARK(Select)->BIG_RECORDS;
BENCHMARK(TurnPreviewOn)->BIG_RECORDS;
BENCHMARK(TypeOneCharacter)->BIG_RECORDS;
BENCHMARK(CaptureArrives)->BIG_RECORDS;

} // namespace
