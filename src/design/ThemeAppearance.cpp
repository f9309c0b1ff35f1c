#include "ThemeAppearance.h"

#include "SystemAppearance.h"
#include "TavlinTheme.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>

namespace tavlin {

namespace {

const char* const appearanceProperty = "tavlinAppearance";
const char* const reduceMotionProperty = "tavlinReduceMotion";

int encoded(const Appearance& appearance)
{
    return (appearance.dark ? 1 : 0) | (appearance.highContrast ? 2 : 0);
}

// What a widget's window, or else the window that one belongs to, was marked with.
QVariant markOf(const QWidget* widget, const char* property)
{
    for (const QWidget* window = widget ? widget->window() : nullptr; window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        QVariant value = window->property(property);
        if (value.isValid())
            return value;
    }
    return {};
}

Appearance decoded(int bits)
{
    return {(bits & 1) != 0, (bits & 2) != 0};
}

} // namespace

ThemeAppearance::ThemeAppearance(QWidget* content, SystemAppearance& system, ThemePreference preference)
    : QObject(content), content_(content), system_(system), preference_(preference)
{
    content->installEventFilter(this);
    connect(&system, &SystemAppearance::isDarkChanged, this, &ThemeAppearance::apply);
    connect(&system, &SystemAppearance::increasedContrastChanged, this, &ThemeAppearance::apply);
    connect(&system, &SystemAppearance::reduceMotionChanged, this, &ThemeAppearance::apply);
    apply();
}

// The window keeps its marks when the theme goes with its content: the content is then being torn
// down, and its window (often the content itself) with it.
ThemeAppearance::~ThemeAppearance() = default;

void ThemeAppearance::setPreference(ThemePreference preference)
{
    preference_ = preference;
    apply();
}

Appearance ThemeAppearance::appearance() const
{
    const bool dark = preference_ == ThemePreference::dark
        || (preference_ == ThemePreference::system && system_.isDark());
    return {dark, system_.increasedContrast()};
}

bool ThemeAppearance::eventFilter(QObject* watched, QEvent* event)
{
    // The content moved into another window: unmark the old one, then mark the new one.
    if (watched == content_ && event->type() == QEvent::ParentChange && content_->window() != window_) {
        release();
        apply();
    }
    return false;
}

void ThemeAppearance::apply()
{
    if (!content_)
        return;
    QWidget* window = content_->window();
    const Appearance resolved = appearance();
    const bool changed = window != window_ || applied_ != resolved;
    window->setProperty(appearanceProperty, encoded(resolved));
    qApp->setProperty(appearanceProperty, encoded(resolved));
    window->setProperty(reduceMotionProperty, system_.reduceMotion());
    window->setLocale(QLocale());
    if (changed) {
        window_ = window;
        applied_ = resolved;
        window->setPalette(palette(resolved));
        window->setAutoFillBackground(true);
        window->update();
        Q_EMIT appearanceChanged();
    }
}

void ThemeAppearance::release()
{
    if (window_) {
        window_->setProperty(appearanceProperty, QVariant());
        window_->setProperty(reduceMotionProperty, QVariant());
        window_->setPalette(QPalette());
    }
    window_ = nullptr;
    applied_.reset();
}

Appearance ThemeAppearance::of(const QWidget* widget)
{
    if (!widget)
        return {};
    if (const QVariant marked = markOf(widget, appearanceProperty); marked.isValid())
        return decoded(marked.toInt());
    const QPalette& palette = widget->palette();
    return {palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness(), false};
}

std::optional<Appearance> ThemeAppearance::lastApplied()
{
    const QVariant marked = qApp ? qApp->property(appearanceProperty) : QVariant();
    if (!marked.isValid())
        return std::nullopt;
    return decoded(marked.toInt());
}

bool ThemeAppearance::isMarked(const QWidget* window)
{
    return window->property(appearanceProperty).isValid();
}

bool ThemeAppearance::reduceMotion(const QWidget* widget)
{
    return markOf(widget, reduceMotionProperty).toBool();
}

QPalette ThemeAppearance::palette(const Appearance& appearance)
{
    using namespace TavlinTheme;
    const auto color = [&](const ThemeColor& themeColor) { return themeColor.resolve(appearance); };
    const QColor text = color(primaryText);
    const QColor surface = color(surfaceColor);
    const QColor raised = color(elevatedColor);

    QPalette palette(raised, color(appColor));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, surface);
    palette.setColor(QPalette::AlternateBase, raised);
    palette.setColor(QPalette::Button, raised);
    palette.setColor(QPalette::ToolTipBase, raised);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, color(secondaryText));
    palette.setColor(QPalette::Highlight, color(controlSelection));
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::Link, color(brandAccent));
    palette.setColor(QPalette::LinkVisited, color(brandAccent));
    palette.setColor(QPalette::BrightText, color(actionText));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        QColor dimmed = text;
        dimmed.setAlphaF(0.35f);
        palette.setColor(QPalette::Disabled, role, dimmed);
    }
    return palette;
}

} // namespace tavlin
