#include "ViewPreferences.h"

#include "Defaults.h"

namespace tavlin {

ViewPreferences::ViewPreferences(Defaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults)
{
    themePreference_ = fromRaw<ThemePreference>(defaults.string(themeKey).value_or(QString())).value_or(ThemePreference::system);
    // Only a stored Bool counts; anything else leaves the preview shown.
    showPreview_ = defaults.boolValue(showPreviewKey).value_or(true);
    viewMode_ = defaults.string(viewModeKey) == QStringLiteral("cards") ? HistoryViewMode::cards : HistoryViewMode::list;
}

void ViewPreferences::setThemePreference(ThemePreference preference)
{
    const bool changed = themePreference_ != preference;
    themePreference_ = preference;
    if (changed)
        Q_EMIT themePreferenceChanged();
    defaults_.setString(themeKey, toRaw(preference));
}

void ViewPreferences::setViewMode(HistoryViewMode mode)
{
    const bool changed = viewMode_ != mode;
    viewMode_ = mode;
    if (changed)
        Q_EMIT viewModeChanged();
    defaults_.setString(viewModeKey, toRaw(mode));
}

void ViewPreferences::setShowPreview(bool show)
{
    const bool changed = showPreview_ != show;
    showPreview_ = show;
    if (changed)
        Q_EMIT showPreviewChanged();
    defaults_.setBool(showPreviewKey, show);
}

} // namespace tavlin
