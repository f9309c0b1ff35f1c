// What the icons of the applications records were copied from cost the main thread, for a user
// with many installed applications (desktop entries in a private applications folder, each with
// PNG icons of several sizes and, for half of them, an SVG icon in a private icon theme) and a
// history whose records come from 60 of them:
// - reading the index of installed applications, which grows with the number of desktop files,
//   at the start and when one more application is installed;
// - finding one application in it once it is read;
// - showing the icons and names of sources not seen before (9 as the Quick Panel's rows, 60 as a
//   window that lists them all);
// - opening the history window (list) and the Quick Panel on that history, and scrolling the
//   window a page at a time: the main thread's processor time and its longest stall;
// - an application whose icon is a bomb: what each step stalls and what memory stays.
// Each measurement starts from icon caches that know none of the icons (a theme name not used
// before, an empty pixmap cache). Offscreen.
#include "BenchHistory.h"
#include "HistoryStore.h"
#include "IconThemeImages.h"
#include "QuickPanelList.h"
#include "QuickPanelState.h"
#include "X11Workspace.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmapCache>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

#include <optional>

using namespace tavlin;

namespace {

constexpr int sourceCount = 60;

QString applicationID(int i)
{
    return QStringLiteral("org.bench.Application%1").arg(i);
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QByteArray png(int i, int edge)
{
    QImage image(edge, edge, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv(i * 37 % 360, 180, 220));
    painter.drawEllipse(image.rect().adjusted(1, 1, -1, -1));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray svg(int i)
{
    QString shapes;
    for (int s = 0; s < 40; ++s)
        shapes += QStringLiteral("<path d=\"M%1 %2 C %3 8, 40 %4, 60 %5 S 110 %1, 120 %2\" "
                                 "stroke=\"#%6\" stroke-width=\"3\" fill=\"none\"/>")
                      .arg(s * 3)
                      .arg(128 - s * 2)
                      .arg(s * 2 + 10)
                      .arg(90 - s)
                      .arg(20 + s)
                      .arg(QString::number(0x203040 + i * 997 + s * 131, 16).right(6));
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\">"
                          "<defs><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"#369\"/>"
                          "<stop offset=\"1\" stop-color=\"#9cf\"/></linearGradient></defs>"
                          "<rect x=\"8\" y=\"8\" width=\"112\" height=\"112\" rx=\"24\" fill=\"url(#g)\"/>%1</svg>")
        .arg(shapes)
        .toUtf8();
}

// The installed applications and their icon theme, made once per program.
struct Desktop {
    QTemporaryDir folder;
    QString applications(int count) const { return folder.path() + QStringLiteral("/apps-%1").arg(count); }
    QString icons() const { return folder.path() + QStringLiteral("/icons"); }
    int themes = 0;

    Desktop()
    {
        const QList<int> sizes{16, 24, 32, 48, 64};
        QString directories;
        QString groups;
        for (int size : sizes) {
            const QString name = QStringLiteral("%1x%1/apps").arg(size);
            directories += name + u',';
            groups += QStringLiteral("[%1]\nSize=%2\nContext=Applications\nType=Fixed\n").arg(name).arg(size);
        }
        directories += QStringLiteral("scalable/apps");
        groups += QStringLiteral(
            "[scalable/apps]\nSize=128\nMinSize=8\nMaxSize=512\nContext=Applications\nType=Scalable\n");
        write(icons() + QStringLiteral("/bench/index.theme"),
              QStringLiteral("[Icon Theme]\nName=Bench\nDirectories=%1\n%2").arg(directories, groups).toUtf8());
        for (int i = 0; i < 1000; ++i) {
            if (i % 2) {
                write(icons() + QStringLiteral("/bench/scalable/apps/application-%1.svg").arg(i), svg(i));
                continue;
            }
            for (int size : sizes)
                write(icons() + QStringLiteral("/bench/%1x%1/apps/application-%2.png").arg(size).arg(i), png(i, size));
        }
        for (int count : {100, 300, 1000}) {
            for (int i = 0; i < count; ++i) {
                QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                               "Exec=application-%1 %U\nIcon=application-%1\nTerminal=false\n"
                                               "StartupWMClass=Application%1\nCategories=Utility;\n")
                                    .arg(i);
                for (const char* locale : {"de", "fr", "es", "ru", "ja", "zh_CN", "pt_BR", "it"})
                    entry += QStringLiteral("Name[%1]=Application %2 (%1)\nComment[%1]=Does things %2\n")
                                 .arg(QLatin1String(locale))
                                 .arg(i);
                entry += QStringLiteral("\n[Desktop Action new-window]\nName=New Window\nExec=application-%1\n").arg(i);
                write(applications(count) + u'/' + applicationID(i) + QStringLiteral(".desktop"), entry.toUtf8());
            }
        }
        QIcon::setThemeSearchPaths({icons()});
    }

    // The theme under a name no lookup has used yet, so that Qt's icon caches know none of its icons.
    void freshTheme()
    {
        const QString name = QStringLiteral("bench-%1").arg(++themes);
        QFile::link(icons() + QStringLiteral("/bench"), icons() + u'/' + name);
        QIcon::setThemeName(name);
        QPixmapCache::clear();
    }
};

Desktop& desktop()
{
    bench::application();
    static Desktop shared;
    return shared;
}

// The main thread's processor time and its longest stall, over the steps measured.
struct Stalls {
    double spent = 0;
    double longest = 0;
    template <class Step>
    void measure(Step step)
    {
        QElapsedTimer timer;
        timer.start();
        const double started = bench::threadSeconds();
        step();
        spent += bench::threadSeconds() - started;
        longest = std::max(longest, double(timer.nsecsElapsed()) / 1e9);
    }
    void report(benchmark::State& state) const
    {
        state.counters["main_thread_ms"] = benchmark::Counter(spent * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["longest_stall_ms"] = longest * 1e3;
    }
};

// Lets other threads work for a while, the main thread handling what they send it.
void idle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

// The main thread's processor time from the workspace made to its first lookup, the application
// idle in between as it is after its start; and its longest stall, the lookup.
void ReadApplicationIndex(benchmark::State& state)
{
    Desktop& shared = desktop();
    Stalls lookup;
    for (auto _ : state) {
        double spent = 0;
        std::optional<X11Workspace> workspace;
        double started = bench::threadSeconds();
        workspace.emplace(QStringList{shared.applications(int(state.range(0)))});
        spent += bench::threadSeconds() - started;
        idle();
        started = bench::threadSeconds();
        lookup.measure([&] { benchmark::DoNotOptimize(workspace->application(applicationID(7))); });
        spent += bench::threadSeconds() - started;
        state.SetIterationTime(spent);
    }
    state.counters["lookup_stall_ms"] = lookup.longest * 1e3;
}
BENCHMARK(ReadApplicationIndex)
    ->Arg(100)
    ->Arg(300)
    ->Arg(1000)
    ->ArgNames({"desktop_files"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// One more application installed among 300: the main thread's processor time from the file
// written to the next lookup, the application idle in between; and its longest stall, the lookup.
void InstallApplication(benchmark::State& state)
{
    const QString folder = desktop().applications(300);
    X11Workspace workspace({folder});
    workspace.application(applicationID(0));
    Stalls lookup;
    int installed = 0;
    for (auto _ : state) {
        const QString id = QStringLiteral("org.bench.Installed%1").arg(++installed);
        write(folder + u'/' + id + QStringLiteral(".desktop"),
              "[Desktop Entry]\nType=Application\nName=Installed\nExec=installed\nIcon=application-1\n");
        const double started = bench::threadSeconds();
        idle();
        lookup.measure([&] {
            if (!workspace.application(id))
                state.SkipWithError("the installed application was not found");
        });
        state.SetIterationTime(bench::threadSeconds() - started);
    }
    for (int i = 1; i <= installed; ++i)
        QFile::remove(folder + QStringLiteral("/org.bench.Installed%1.desktop").arg(i));
    state.counters["lookup_stall_ms"] = lookup.longest * 1e3;
}
BENCHMARK(InstallApplication)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void FindApplication(benchmark::State& state)
{
    X11Workspace workspace({desktop().applications(300)});
    workspace.application(applicationID(0));
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(workspace.application(applicationID(i++ % sourceCount)));
}
BENCHMARK(FindApplication)->Unit(benchmark::kMicrosecond);

// Sources the windows have not shown before, drawn as a row draws them until each shows its icon:
// the main thread's processor time, its longest stall, and how many rounds of drawing it took.
void ShowNewSources(benchmark::State& state)
{
    Desktop& shared = desktop();
    X11Workspace workspace({shared.applications(300)});
    idle();
    workspace.application(applicationID(0));
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    Stalls drawing;
    int rounds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        shared.freshTheme();
        const IconThemeImages images;
        SourceApplicationIcon sources(workspace, images);
        state.ResumeTiming();
        const double started = bench::threadSeconds();
        QElapsedTimer deadline;
        deadline.start();
        for (bool shown = false; !shown && deadline.elapsed() < 10000; ++rounds) {
            drawing.measure([&] {
                QCoreApplication::processEvents();
                QPainter painter(&canvas);
                shown = true;
                for (int i = 0; i < state.range(0); ++i) {
                    const auto source = sources.resolve(applicationID(i), ClipKind::text);
                    source->paint(painter, QRectF(0, 0, 18, 18), Qt::black);
                    shown = shown && (!source->image.isNull() || !source->symbol.isEmpty());
                }
            });
            if (!shown)
                QThread::msleep(1);
        }
        state.SetIterationTime(bench::threadSeconds() - started);
    }
    drawing.report(state);
    state.counters["rounds"] = benchmark::Counter(rounds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(ShowNewSources)
    ->Arg(9)
    ->Arg(sourceCount)
    ->ArgNames({"sources"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// A history of 300 texts copied from 60 applications in turn, the newest from the first.
struct SourcedHistory : bench::Window {
    std::unique_ptr<X11Workspace> installed;
    std::unique_ptr<IconThemeImages> images;
    std::unique_ptr<SourceApplicationIcon> icons;

    // The installed applications are read, as they are once the application is up.
    SourcedHistory()
    {
        installed = std::make_unique<X11Workspace>(QStringList{desktop().applications(300)});
        idle();
        installed->application(applicationID(0));
        images = std::make_unique<IconThemeImages>();
        icons = std::make_unique<SourceApplicationIcon>(*installed, *images);
        HistoryStore store(databasePath());
        for (int i = 299; i >= 0; --i)
            store.insert(QStringLiteral("Record %1: a line of ordinary words").arg(i), applicationID(i % sourceCount),
                         100000, HistoryStore::maximumStoredPayloadBytes);
    }
};

// The history window opened on that history, painted, then scrolled down a page at a time.
void OpenAndScrollHistoryWindow(benchmark::State& state)
{
    Stalls opening;
    Stalls scrolling;
    for (auto _ : state) {
        state.PauseTiming();
        desktop().freshTheme();
        SourcedHistory history;
        history.open();
        state.ResumeTiming();
        QAbstractItemView* records = nullptr;
        opening.measure([&] {
            history.view = std::make_unique<ContentView>(
                *history.model, history.preferences, *history.icons, [] {}, false);
            history.view->resize(1040, 700);
            history.view->show();
            QCoro::waitFor(history.model->browser().reload());
            QCoreApplication::processEvents();
            records = history.records();
            records->viewport()->repaint();
        });
        QScrollBar* bar = records->verticalScrollBar();
        while (bar->value() < bar->maximum()) {
            scrolling.measure([&] {
                bar->setValue(bar->value() + records->viewport()->height());
                records->viewport()->repaint();
            });
        }
    }
    opening.report(state);
    state.counters["scroll_main_thread_ms"] = benchmark::Counter(scrolling.spent * 1e3,
                                                                 benchmark::Counter::kAvgIterations);
    state.counters["scroll_longest_stall_ms"] = scrolling.longest * 1e3;
}
BENCHMARK(OpenAndScrollHistoryWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

// The Quick Panel's list opened on that history and painted.
void OpenQuickPanel(benchmark::State& state)
{
    Stalls opening;
    for (auto _ : state) {
        state.PauseTiming();
        desktop().freshTheme();
        SourcedHistory history;
        history.open();
        QuickPanelState panel(history.model->operations());
        QuickPanelList list(panel, *history.icons, [](const Clip&) {});
        list.resize(396, 400);
        state.ResumeTiming();
        opening.measure([&] {
            list.show();
            panel.open();
            QElapsedTimer deadline;
            deadline.start();
            while (list.model()->rowCount() == 0 && deadline.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
            list.viewport()->repaint();
        });
    }
    opening.report(state);
}
BENCHMARK(OpenQuickPanel)->Unit(benchmark::kMillisecond)->Iterations(3);

// Icons an application could name that are far larger than any icon: a 100 MB PNG, PNGs of a
// few hundred kilobytes declaring 7,900 by 7,900 and 16,000 by 8,000 pixels, an SVG whose
// viewBox is 1e12 wide. Made once per program.
QString hostileIcon(int which)
{
    static QTemporaryDir folder;
    const QStringList names{QStringLiteral("huge-file.png"), QStringLiteral("square.png"),
                            QStringLiteral("panorama.png"), QStringLiteral("viewbox.svg")};
    const QString path = folder.filePath(names.at(which));
    if (QFileInfo::exists(path))
        return path;
    const auto solid = [&](QSize size, int quality) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(QColor(0x33, 0x66, 0x99));
        image.save(path, "PNG", quality);
    };
    switch (which) {
    case 0: solid({5000, 5000}, 100); break; // stored without compression: 100 MB
    case 1: solid({7900, 7900}, -1); break;
    case 2: solid({16000, 8000}, -1); break;
    default:
        write(path,
              "<svg xmlns=\"http://www.w3.org/2000/svg\" "
              "viewBox=\"0 0 1e12 1e12\"><rect width=\"1e12\" height=\"1e12\" fill=\"#369\"/></svg>");
    }
    return path;
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// Records copied in an application whose icon is one of those, with the preview shown: the
// longest stall of the main thread at each step (the window opened, a copy captured while it is
// open, another record selected, the Quick Panel opened), and what the process keeps once the
// icon has been decoded and shown, over what it held before the window opened.
void HostileIcons(benchmark::State& state)
{
    const QString icon = hostileIcon(int(state.range(0)));
    Stalls opening, capturing, selecting, panel;
    double kept = 0;
    for (auto _ : state) {
        bench::Window history;
        history.workspace.install({QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), icon,
                                   QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop")});
        history.copyTexts(1);
        idle();
        const double before = residentMegabytes();
        opening.measure([&] {
            history.show(HistoryViewMode::list, true);
            history.records()->viewport()->repaint();
        });
        idle();
        capturing.measure([&] {
            history.copyTexts(1);
            QCoreApplication::processEvents();
            history.view->repaint();
        });
        idle();
        selecting.measure([&] {
            QAbstractItemView* records = history.records();
            records->setCurrentIndex(records->model()->index(1, 0));
            QCoreApplication::processEvents();
            history.view->repaint();
        });
        idle();
        QuickPanelState quick(history.model->operations());
        QuickPanelList list(quick, history.sources, [](const Clip&) {});
        list.resize(396, 400);
        panel.measure([&] {
            list.show();
            quick.open();
            QElapsedTimer deadline;
            deadline.start();
            while (list.model()->rowCount() == 0 && deadline.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
            list.viewport()->repaint();
        });
        idle();
        history.view->repaint();
        list.viewport()->repaint();
        kept = std::max(kept, residentMegabytes() - before);
    }
    state.counters["open_ms"] = opening.longest * 1e3;
    state.counters["capture_ms"] = capturing.longest * 1e3;
    state.counters["select_ms"] = selecting.longest * 1e3;
    state.counters["quick_panel_ms"] = panel.longest * 1e3;
    state.counters["kept_mb"] = kept;
}
BENCHMARK(HostileIcons)->DenseRange(0, 3)->ArgNames({"icon"})->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
