#include "ViewPreferences.h"

#include "Defaults.h"
#include "Publish.h"
#include "StoredPreferences.h"

namespace tavlin {

ViewPreferences::ViewPreferences(Defaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults)
{
    themePreference_ = fromRaw<ThemePreference>(
                           defaults.string(StoredPreferences::theme.key).value_or(StoredPreferences::theme.fallback))
                           .value_or(ThemePreference::system);
    // Only a stored Bool counts; anything else leaves the preview shown.
    showPreview_ =
        defaults.boolValue(StoredPreferences::showPreview.key).value_or(StoredPreferences::showPreview.fallback);
    viewMode_ = defaults.string(StoredPreferences::viewMode.key) == QStringLiteral("cards") ? HistoryViewMode::cards
                                                                                            : HistoryViewMode::list;
}

void ViewPreferences::setThemePreference(ThemePreference preference)
{
    publish(this, themePreference_, preference, &ViewPreferences::themePreferenceChanged);
    defaults_.setString(StoredPreferences::theme.key, toRaw(preference));
}

void ViewPreferences::setViewMode(HistoryViewMode mode)
{
    publish(this, viewMode_, mode, &ViewPreferences::viewModeChanged);
    defaults_.setString(StoredPreferences::viewMode.key, toRaw(mode));
}

void ViewPreferences::setShowPreview(bool show)
{
    publish(this, showPreview_, show, &ViewPreferences::showPreviewChanged);
    defaults_.setBool(StoredPreferences::showPreview.key, show);
}

} // namespace tavlin
