// The first opening of Settings over a history of 1000 records: from showSettings() to the
// window's first paint, with a new frame and view each time, at the section it opens on.
#include "AppUpdateController.h"
#include "ApplicationActivation.h"
#include "BenchHistory.h"
#include "CaptureExclusions.h"
#include "FakeHotKeyBackend.h"
#include "FakeSystemAppearance.h"
#include "FakeWindowManagerHints.h"
#include "FakeWindowProperties.h"
#include "FakeWorkspace.h"
#include "GlobalShortcut.h"
#include "LanguageSettings.h"
#include "LaunchAtLoginController.h"
#include "RetentionSettings.h"
#include "SettingsNavigation.h"
#include "SettingsWindow.h"
#include "TavlinSettingsView.h"
#include "UnavailableLoginItemService.h"
#include "UnavailableUpdateService.h"
#include "WindowPresenter.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <qcoro/qcorotask.h>

using namespace tavlin;

namespace {

struct BenchSettings : bench::History {
    // The applications Settings lists, none of them copying.
    test::FakeWorkspace installed;
    test::FakeSystemAppearance appearance;
    test::FakeWindowManagerHints windowManager;
    test::FakeWindowProperties windowProperties;
    HistoryModel& model = open();
    GlobalShortcut shortcut{defaults, std::make_unique<test::FakeHotKeyBackend>()};
    LaunchAtLoginController launchAtLogin{std::make_unique<UnavailableLoginItemService>()};
    CaptureExclusions exclusions{defaults, installed, Workspace::ownApplicationID()};
    RetentionSettings retention{defaults, model};
    AppUpdateController updates{std::make_unique<UnavailableUpdateService>(UpdateAvailability{}), QStringLiteral("1.0"),
                                [](const QUrl&) {}};
    LanguageSettings language{defaults, TavlinLanguage::english};
    SettingsNavigation navigation;
    std::unique_ptr<ApplicationActivation> activation = ApplicationActivation::system();

    BenchSettings() { copyTexts(1000); }

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
        bench::PaintWatch<SettingsWindow> watch;
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
    return bench::runBenchmarks(argc, argv);
}
