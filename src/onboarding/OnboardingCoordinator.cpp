#include "OnboardingCoordinator.h"

#include "Defaults.h"
#include "GlobalShortcut.h"
#include "OnboardingLayout.h"
#include "OnboardingStore.h"
#include "OnboardingView.h"
#include "OnboardingWindow.h"
#include "StoredPreferences.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace tavlin {

OnboardingCoordinator::OnboardingCoordinator(Services services, QObject* parent)
    : QObject(parent), services_(std::move(services))
{
    if (!services_.availableArea)
        services_.availableArea = &OnboardingCoordinator::screenArea;
}

OnboardingCoordinator::~OnboardingCoordinator()
{
    shutdown();
}

std::optional<QSize> OnboardingCoordinator::screenArea()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry().size();
}

OnboardingWindow* OnboardingCoordinator::prepare(OnboardingMode mode)
{
    if (window_)
        return window_;
    auto* state = new OnboardingState(services_.preferences, mode);
    connect(state, &OnboardingState::completed, this, &OnboardingCoordinator::complete);
    auto* view = new OnboardingView(*state, services_.shortcut, services_.appearance(), services_.makeRecorder);
    window_ = new OnboardingWindow(view, OnboardingLayout::windowSize(services_.availableArea()));
    // Named for assistive technology by the step on screen, as a reader coming to it says.
    window_->setAccessibleName(view->heading());
    connect(view, &OnboardingView::headingChanged, window_, &QWidget::setAccessibleName);
    state->setParent(window_);
    state_ = state;
    connect(window_, &OnboardingWindow::willClose, this, &OnboardingCoordinator::windowWillClose);
    // Centred on the screen under the pointer.
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        window_->move(screen->availableGeometry().center() - window_->rect().center());
    return window_;
}

void OnboardingCoordinator::complete()
{
    if (!state_ || completing_)
        return;
    completing_ = true;
    const QPointer<OnboardingState> state = state_;
    const OnboardingMode mode = state->mode();
    services_.shortcut.finishRecording(std::nullopt);
    state->apply(services_.preferences);
    services_.store.defaults.setBool(StoredPreferences::onboardingCompleted.key, true);
    Q_EMIT finished(mode);
    if (window_)
        window_->close();
    tearDown();
    Q_EMIT dismissed(mode);
    completing_ = false;
}

void OnboardingCoordinator::windowWillClose()
{
    services_.shortcut.finishRecording(std::nullopt);
    if (!completing_)
        tearDown();
}

void OnboardingCoordinator::tearDown()
{
    if (window_) {
        disconnect(window_, nullptr, this, nullptr);
        window_->hide();
        window_->deleteLater();
    }
    window_ = nullptr;
    state_ = nullptr;
}

void OnboardingCoordinator::shutdown()
{
    const QPointer<OnboardingWindow> window = window_;
    tearDown();
    if (window) {
        window->close();
        delete window; // no event loop may be left to delete it later
    }
}

} // namespace tavlin
