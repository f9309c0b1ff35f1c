#include "BenchHistory.h"

#include "HistoryStore.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

#include <ctime>

namespace tavlin::bench {

namespace {

QApplication* sharedApplication = nullptr;

} // namespace

QApplication& application()
{
    if (!sharedApplication) {
        static int argc = 1;
        static char name[] = "tavlin_bench";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        sharedApplication = new QApplication(argc, argv);
    }
    return *sharedApplication;
}

int runBenchmarks(int argc, char** argv)
{
    application();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The application goes before the process exits: the input devices and windows it owns
    // unregister from Qt's own global objects, which the exit handlers destroy first.
    delete sharedApplication;
    sharedApplication = nullptr;
    return 0;
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

namespace {

QString note(int i, int repeats)
{
    return QStringLiteral("Record %1: ").arg(i) + QStringLiteral("some words of a note ").repeated(i % repeats + 1);
}

QByteArray photo(int i)
{
    QImage image(640, 427, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 640, 427);
    sky.setColorAt(0, QColor::fromHsv(i * 37 % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv(i * 53 % 360, 200, 90));
    painter.fillRect(image.rect(), sky);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

History::History()
{
    application();
}

QString History::databasePath() const
{
    return folder.path() + QStringLiteral("/Tavlin/history.sqlite");
}

void History::storeNotes(int count)
{
    HistoryStore store(databasePath());
    for (int i = 0; i < count; ++i)
        store.insert(note(i, 12), QStringLiteral("org.gnome.TextEditor"), 100000,
                     HistoryStore::maximumStoredPayloadBytes);
}

HistoryModel& History::open()
{
    if (!model)
        model = std::make_unique<HistoryModel>(databasePath(), pasteboard, workspace);
    return *model;
}

void History::copyTexts(int count, int repeats)
{
    open();
    for (int i = 0; i < count; ++i) {
        pasteboard.setString(note(i, repeats));
        QCoro::waitFor(model->monitor().tick());
    }
}

void History::copyMixed(int count)
{
    open();
    const QString text = QStringLiteral("public.utf8-plain-text");
    const QString html = QStringLiteral("public.html");
    const QString png = QStringLiteral("public.png");
    for (int i = 0; i < count; ++i) {
        if (i % 10 < 7) {
            pasteboard.setString(note(i, 12));
        } else if (i % 10 < 9) {
            const QString page = QStringLiteral(
                                     "<p><b>Meeting %1</b> notes: see <a href=\"https://example.org/%1\">the "
                                     "agenda</a> and the <i>minutes</i>.</p>")
                                     .arg(i);
            pasteboard.setItems({{{html, text}, {{html, page.toUtf8()}, {text, note(i, 3).toUtf8()}}}});
        } else {
            pasteboard.setItems({{{png}, {{png, photo(i)}}}});
        }
        QCoro::waitFor(model->monitor().tick());
    }
}

ContentView& Window::show(HistoryViewMode mode, bool preview, const std::function<void(HistoryModel&)>& beforeView)
{
    open();
    preferences.setViewMode(mode);
    preferences.setShowPreview(preview);
    if (beforeView)
        beforeView(*model);
    view = std::make_unique<ContentView>(
        *model, preferences, sources, [] {}, false);
    view->resize(1040, 700);
    view->show();
    QCoro::waitFor(model->browser().reload());
    QCoreApplication::processEvents();
    return *view;
}

} // namespace tavlin::bench
