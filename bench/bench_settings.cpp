// The first opening of Settings over a history of 1000 records: from showSettings() to the
// window's first paint, with a new frame and view each time, at the section it opens on.
#include "AppUpdateController.h"
#include "ApplicationActivation.h"
#include "CaptureExclusions.h"
#include "FakeHotKeyBackend.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "FakeWorkspace.h"
#include "GlobalShortcut.h"
#include "HistoryModel.h"
#include "InMemoryDefaults.h"
#include "LanguageSettings.h"
#include "LaunchAtLoginController.h"
#include "RetentionSettings.h"
#include "SettingsNavigation.h"
#include "SettingsWindow.h"
#include "SourceApplicationIcon.h"
#include "TavlinSettingsView.h"
#include "UnavailableLoginItemService.h"
#include "UnavailableUpdateService.h"
#include "ViewPreferences.h"
#include "WindowPresenter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

struct BenchSettings {
    QTemporaryDir folder;
    test::InMemoryDefaults defaults;
    test::FakePasteboard pasteboard;
    test::FakeWorkspace editor{QStringLiteral("org.gnome.TextEditor")};
    test::FakeWorkspace workspace;
    test::FakeSystemAppearance appearance;
    test::FakeWindowManagerHints windowManager;
    test::FakeWindowProperties windowProperties;
    HistoryModel model{folder.path() + QStringLiteral("/Tavlin/history.sqlite"), pasteboard, editor};
    ViewPreferences preferences{defaults};
    GlobalShortcut shortcut{defaults, std::make_unique<test::FakeHotKeyBackend>()};
    LaunchAtLoginController launchAtLogin{std::make_unique<UnavailableLoginItemService>()};
    CaptureExclusions exclusions{defaults, workspace, Workspace::ownApplicationID()};
    SourceApplicationIcon sources{workspace};
    RetentionSettings retention{defaults, model};
    AppUpdateController updates{std::make_unique<UnavailableUpdateService>(UpdateAvailability{}), QStringLiteral("1.0"),
                                [](const QUrl&) {}};
    LanguageSettings language{defaults, TavlinLanguage::english};
    SettingsNavigation navigation;
    std::unique_ptr<ApplicationActivation> activation = ApplicationActivation::system();

    BenchSettings()
    {
        for (int i = 0; i < 1000; ++i) {
            pasteboard.setString(QStringLiteral("record %1 ").arg(i).repeated(40));
            QCoro::waitFor(model.monitor().tick());
        }
    }

    // Seconds from showSettings() to the first paint of a new Settings window.
    double firstOpening()
    {
        WindowPresenter presenter(*activation, windowManager, windowProperties, appearance, preferences);
        presenter.setSettingsContent([this] {
            return new TavlinSettingsView(
                {preferences,
                 navigation,
                 nullptr,
                 &shortcut,
                 SettingsServices{model, launchAtLogin, exclusions, retention, updates, sources},
                 &language,
                 {}});
        });
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        presenter.showSettings();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        const double seconds = timer.nsecsElapsed() / 1e9;
        qApp->removeEventFilter(&watch);
        return seconds;
    }

    // Notes the first paint of the Settings frame (its root content paints last of all).
    struct PaintWatch : QObject {
        bool painted = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && qobject_cast<SettingsWindow*>(watched))
                painted = true;
            return false;
        }
    };
};

void firstOpening(benchmark::State& state)
{
    BenchSettings bench;
    bench.navigation.setSection(allSettingsSections[state.range(0)]);
    for (auto _ : state)
        state.SetIterationTime(bench.firstOpening());
    state.SetLabel(toRaw(allSettingsSections[state.range(0)]).toStdString());
}
BENCHMARK(firstOpening)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
