#include "ThemeAppearance.h"

#include "SystemAppearance.h"
#include "TavlinTheme.h"

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

} // namespace

ThemeAppearance::ThemeAppearance(QWidget* content, SystemAppearance& system, ThemePreference preference)
    : QObject(content)
    , m_content(content)
    , m_system(system)
    , m_preference(preference)
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
    m_preference = preference;
    apply();
}

Appearance ThemeAppearance::appearance() const
{
    const bool dark
        = m_preference == ThemePreference::dark || (m_preference == ThemePreference::system && m_system.isDark());
    return {dark, m_system.increasedContrast()};
}

bool ThemeAppearance::eventFilter(QObject* watched, QEvent* event)
{
    // The content moved into another window: unmark the old one, then mark the new one.
    if (watched == m_content && event->type() == QEvent::ParentChange && m_content->window() != m_window) {
        release();
        apply();
    }
    return false;
}

void ThemeAppearance::apply()
{
    if (!m_content)
        return;
    QWidget* window = m_content->window();
    const Appearance resolved = appearance();
    const bool changed = window != m_window || m_applied != resolved;
    window->setProperty(appearanceProperty, encoded(resolved));
    window->setProperty(reduceMotionProperty, m_system.reduceMotion());
    window->setLocale(QLocale());
    if (changed) {
        m_window = window;
        m_applied = resolved;
        window->setPalette(palette(resolved));
        window->setAutoFillBackground(true);
        window->update();
        Q_EMIT appearanceChanged();
    }
}

void ThemeAppearance::release()
{
    if (m_window) {
        m_window->setProperty(appearanceProperty, QVariant());
        m_window->setProperty(reduceMotionProperty, QVariant());
        m_window->setPalette(QPalette());
    }
    m_window = nullptr;
    m_applied.reset();
}

Appearance ThemeAppearance::of(const QWidget* widget)
{
    if (!widget)
        return {};
    const QVariant marked = widget->window()->property(appearanceProperty);
    if (marked.isValid()) {
        const int bits = marked.toInt();
        return {(bits & 1) != 0, (bits & 2) != 0};
    }
    const QPalette& palette = widget->palette();
    return {palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness(), false};
}

bool ThemeAppearance::reduceMotion(const QWidget* widget)
{
    return widget && widget->window()->property(reduceMotionProperty).toBool();
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
