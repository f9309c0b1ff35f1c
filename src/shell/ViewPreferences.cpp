#include "ViewPreferences.h"

#include "Defaults.h"
#include "Publish.h"

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
    publish(this, themePreference_, preference, &ViewPreferences::themePreferenceChanged);
    defaults_.setString(themeKey, toRaw(preference));
}

void ViewPreferences::setViewMode(HistoryViewMode mode)
{
    publish(this, viewMode_, mode, &ViewPreferences::viewModeChanged);
    defaults_.setString(viewModeKey, toRaw(mode));
}

void ViewPreferences::setShowPreview(bool show)
{
    publish(this, showPreview_, show, &ViewPreferences::showPreviewChanged);
    defaults_.setBool(showPreviewKey, show);
}

} // namespace tavlin
