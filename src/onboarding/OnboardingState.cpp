#include "OnboardingState.h"

#include "Publish.h"
#include "ViewPreferences.h"

namespace tavlin {

std::optional<OnboardingState::Step> OnboardingState::step(int raw)
{
    if (raw < 0 || raw >= stepCount)
        return std::nullopt;
    return static_cast<Step>(raw);
}

OnboardingState::OnboardingState(const ViewPreferences& preferences, OnboardingMode mode, QObject* parent)
    : QObject(parent), mode_(mode), theme_(preferences.themePreference()), viewMode_(preferences.viewMode()),
      showPreview_(preferences.showPreview()), initialTheme_(theme_), initialViewMode_(viewMode_),
      initialShowPreview_(showPreview_)
{
}

void OnboardingState::show(Step step)
{
    publish(this, movingForward_, static_cast<int>(step_) <= static_cast<int>(step),
            &OnboardingState::movingForwardChanged);
    publish(this, step_, step, &OnboardingState::stepChanged);
}

void OnboardingState::back()
{
    if (const std::optional<Step> previous = step(static_cast<int>(step_) - 1))
        show(*previous);
}

void OnboardingState::advance()
{
    if (const std::optional<Step> next = step(static_cast<int>(step_) + 1))
        show(*next);
    else
        complete(Outcome::finished);
}

void OnboardingState::setTheme(ThemePreference theme)
{
    publish(this, theme_, theme, &OnboardingState::themeChanged);
}

void OnboardingState::setViewMode(HistoryViewMode mode)
{
    publish(this, viewMode_, mode, &OnboardingState::viewModeChanged);
}

void OnboardingState::setShowPreview(bool show)
{
    publish(this, showPreview_, show, &OnboardingState::showPreviewChanged);
}

void OnboardingState::complete(Outcome outcome)
{
    Q_EMIT completed(outcome);
}

void OnboardingState::apply(ViewPreferences& preferences) const
{
    // The preferences store every set, equal or not: compare first.
    if (theme_ != initialTheme_ && theme_ != preferences.themePreference())
        preferences.setThemePreference(theme_);
    if (viewMode_ != initialViewMode_ && viewMode_ != preferences.viewMode())
        preferences.setViewMode(viewMode_);
    if (showPreview_ != initialShowPreview_ && showPreview_ != preferences.showPreview())
        preferences.setShowPreview(showPreview_);
}

} // namespace tavlin
