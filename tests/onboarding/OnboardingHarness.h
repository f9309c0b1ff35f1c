#pragma once

#include "FakeHotKeyBackend.h"
#include "FakeSystemAppearance.h"
#include "GlobalShortcut.h"
#include "InMemoryDefaults.h"
#include "OnboardingCoordinator.h"
#include "OnboardingStore.h"
#include "OnboardingWindow.h"
#include "ShortcutRecorder.h"
#include "TemporaryFolder.h"
#include "ViewPreferences.h"

#include <QAbstractButton>
#include <QAnimationDriver>
#include <QApplication>

namespace tavlin::test {

// Animation time that moves only when the test says so, one 60 Hz frame at a time.
class SteppedAnimationDriver : public QAnimationDriver {
public:
    SteppedAnimationDriver() { install(); }
    ~SteppedAnimationDriver() override { uninstall(); }
    qint64 elapsed() const override { return now_; }
    void advanceTo(qint64 milliseconds)
    {
        while (now_ < milliseconds) {
            QApplication::processEvents(); // animations just started register in the event loop
            now_ = std::min(now_ + 16, milliseconds);
            advance();
        }
        QApplication::processEvents();
    }

private:
    qint64 now_ = 0;
};

// The introduction on in-memory preferences, a fake hot-key backend and a fake desktop
// appearance, with a coordinator that fits its window into `area`.
struct OnboardingHarness {
    TemporaryFolder folder;
    InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    FakeHotKeyBackend* backend = nullptr;
    std::unique_ptr<GlobalShortcut> shortcut;
    FakeSystemAppearance appearance;
    OnboardingStore store{defaults, folder.path()};
    std::optional<QSize> area = QSize(1280, 1000);
    // Settings' recorder, in its branded look, as the application hands it in.
    ShortcutRecorderFactory makeRecorder = [](GlobalShortcut& shortcut, const QString& idleTitle,
                                              std::function<void(bool)> focus) {
        auto* recorder = new ShortcutRecorder(&shortcut, true);
        recorder->setIdleTitle(idleTitle);
        recorder->setFocusCallback(std::move(focus));
        return static_cast<QWidget*>(recorder);
    };
    std::unique_ptr<OnboardingCoordinator> coordinator;

    OnboardingHarness()
    {
        auto owned = std::make_unique<FakeHotKeyBackend>();
        backend = owned.get();
        backend->keyNames = {{9, QStringLiteral("V")}, {40, QStringLiteral("K")}};
        shortcut = std::make_unique<GlobalShortcut>(defaults, std::move(owned));
        shortcut->start();
    }

    OnboardingCoordinator& start()
    {
        coordinator = std::make_unique<OnboardingCoordinator>(OnboardingCoordinator::Services{
            store, preferences, *shortcut, [this]() -> SystemAppearance& { return appearance; }, makeRecorder,
            [this] { return area; }});
        return *coordinator;
    }

    // The window of a new showing, on screen and laid out.
    OnboardingWindow* show(OnboardingMode mode = OnboardingMode::firstLaunch)
    {
        if (!coordinator)
            start();
        OnboardingWindow* window = coordinator->prepare(mode);
        window->show();
        settle();
        return window;
    }

    template <class T = QWidget>
    T* find(const QString& name) const
    {
        return coordinator->window() ? coordinator->window()->findChild<T*>(name) : nullptr;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
};

} // namespace tavlin::test
