#pragma once

#include "OnboardingQuickPanelScreen.h"

#include <QPointer>
#include <QWidget>

class QGraphicsView;
class QPushButton;
class QScrollArea;

namespace tavlin {

class Announcer;
class GlobalShortcut;
class OnboardingProgress;
class OnboardingState;
class OnboardingTransition;
class SystemAppearance;
class ThemeAppearance;

// The introduction's content: the 620 by 500 design, drawn smaller in a smaller window, framing
// the current step's screen between the progress and Skip above and Back and Continue below. A
// step change slides the new screen in from the side it comes from (at once with reduced motion);
// the window takes the theme being chosen at once, before anything is saved.
class OnboardingView : public QWidget {
    Q_OBJECT

public:
    OnboardingView(OnboardingState& state, GlobalShortcut& shortcut, SystemAppearance& appearance,
                   ShortcutRecorderFactory makeRecorder, QWidget* parent = nullptr);

    QWidget* screen() const { return screen_; }
    // The column holding header, screen and footer, at design size.
    QWidget* column() const { return column_; }
    bool isScaled() const { return graphics_ != nullptr; }
    bool isTransitioning() const;
    // The heading of the step on screen.
    QString heading() const;

Q_SIGNALS:
    // A new step shows, headed so: the window takes it for its accessible name.
    void headingChanged(const QString& heading);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showStep();
    void fitColumn();
    QWidget* buildScreen();
    void orderTabs();
    void pressFocusedButton();

    OnboardingState& state_;
    GlobalShortcut& shortcut_;
    ShortcutRecorderFactory makeRecorder_;
    ThemeAppearance* theme_;
    QWidget* column_;
    QWidget* stage_;
    QPointer<QWidget> screen_;
    OnboardingTransition* transition_;
    OnboardingProgress* progress_;
    Announcer* announcer_;
    QPushButton* skip_;
    QPushButton* back_;
    QPushButton* continue_;
    QScrollArea* scroll_ = nullptr;
    QGraphicsView* graphics_ = nullptr;
};

} // namespace tavlin
