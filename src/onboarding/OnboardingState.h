#pragma once

#include "HistoryViewMode.h"
#include "ThemePreference.h"

#include <QObject>

#include <optional>

namespace tavlin {

class ViewPreferences;

// Why the introduction is showing: the first launch it waits for, or a replay from Settings.
enum class OnboardingMode { firstLaunch, replay };

// One showing of the introduction: the step on screen, the direction of the last move, and the
// user's choices of theme, history view and preview, kept apart from the preferences until the
// introduction completes. Main thread only.
class OnboardingState : public QObject {
    Q_OBJECT

public:
    enum class Step { welcome, personalize, quickPanel, finish };
    static constexpr int stepCount = 4;
    // The step of a raw value; nothing outside 0...3, which stops Back and Continue at the ends.
    static std::optional<Step> step(int raw);

    enum class Outcome { finished, skipped };

    OnboardingState(const ViewPreferences& preferences, OnboardingMode mode, QObject* parent = nullptr);

    OnboardingMode mode() const { return mode_; }
    Step step() const { return step_; }
    bool movingForward() const { return movingForward_; }
    ThemePreference theme() const { return theme_; }
    HistoryViewMode viewMode() const { return viewMode_; }
    bool showPreview() const { return showPreview_; }

    // The direction is set before the step, so that a transition reads the new one.
    void show(Step step);
    void back();
    // The next step; on the last one, completes the introduction as finished.
    void advance();
    void setTheme(ThemePreference theme);
    void setViewMode(HistoryViewMode mode);
    void setShowPreview(bool show);

    // Writes the choices the user changed here, and only those, into the preferences: a choice
    // made meanwhile in Settings is never turned back by one left untouched here.
    void apply(ViewPreferences& preferences) const;

    // Skip and Get Started call it; the coordinator completes the introduction.
    void complete(Outcome outcome);

Q_SIGNALS:
    void completed(Outcome outcome);
    void stepChanged();
    void movingForwardChanged();
    void themeChanged();
    void viewModeChanged();
    void showPreviewChanged();

private:
    const OnboardingMode mode_;
    Step step_ = Step::welcome;
    bool movingForward_ = true;
    ThemePreference theme_;
    HistoryViewMode viewMode_;
    bool showPreview_;
    // The preferences as the introduction found them.
    const ThemePreference initialTheme_;
    const HistoryViewMode initialViewMode_;
    const bool initialShowPreview_;
};

} // namespace tavlin
