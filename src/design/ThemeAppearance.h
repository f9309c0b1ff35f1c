#pragma once

#include "Appearance.h"
#include "ThemePreference.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace tavlin {

class SystemAppearance;

// Makes a window follow a theme preference. It works on the window that holds `content` (and
// moves along when the content is put into another window): it resolves the window's appearance
// from the preference and the desktop's settings, records it on the window for the views inside
// (ThemeAppearance::of), gives the window the palette's colours so that Qt's own controls match,
// and sets the window's locale to the interface language. Owned by `content`.
class ThemeAppearance : public QObject {
    Q_OBJECT
public:
    ThemeAppearance(QWidget* content, SystemAppearance& system, ThemePreference preference = ThemePreference::system);
    ~ThemeAppearance() override;

    ThemePreference preference() const { return preference_; }
    void setPreference(ThemePreference preference);
    // The appearance this theme gives its window now.
    Appearance appearance() const;

    // The appearance a widget paints in: the one its window was given, or else the one of the
    // window that window belongs to (a menu's, a dialog's, a tool tip's owner), else the palette's
    // own lightness (a widget outside any themed window).
    static Appearance of(const QWidget* widget);
    // Whether a window was given an appearance of its own.
    static bool isMarked(const QWidget* window);
    // The appearance a theme last gave a window, for windows that belong to none (the tray's
    // menu, a message of the application's own); none before any window was themed.
    static std::optional<Appearance> lastApplied();
    // Whether animations are to be left out for this widget's window.
    static bool reduceMotion(const QWidget* widget);
    // The palette of Qt's own controls for an appearance.
    static QPalette palette(const Appearance& appearance);

Q_SIGNALS:
    void appearanceChanged();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void apply();
    void release();

    QPointer<QWidget> content_;
    SystemAppearance& system_;
    ThemePreference preference_;
    // The window this theme has marked, if any.
    QPointer<QWidget> window_;
    std::optional<Appearance> applied_;
};

} // namespace tavlin
