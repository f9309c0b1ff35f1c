#include "OnboardingStore.h"

#include "Defaults.h"
#include "StoredPreferences.h"

#include <QDir>

namespace tavlin {

const QStringList& OnboardingStore::legacyPreferenceKeys()
{
    static const QStringList keys{QStringLiteral("interface.theme"), QStringLiteral("history.showPreview"),
                                  QStringLiteral("history.viewMode"), QStringLiteral("quickPanel.shortcut")};
    return keys;
}

bool OnboardingStore::resolveNeedsFirstLaunch() const
{
    if (defaults.boolValue(StoredPreferences::onboardingCompleted.key)
            .value_or(StoredPreferences::onboardingCompleted.fallback))
        return false;
    // An introduction begun on this install and never completed is shown again.
    if (defaults.boolValue(StoredPreferences::onboardingStarted.key)
            .value_or(StoredPreferences::onboardingStarted.fallback))
        return true;
    if (!hasEarlierUse())
        return true;
    defaults.setBool(StoredPreferences::onboardingCompleted.key, true);
    defaults.setBool(StoredPreferences::onboardingMigrated.key, true);
    return false;
}

bool OnboardingStore::hasEarlierUse() const
{
    for (const QString& key : legacyPreferenceKeys()) {
        if (defaults.object(key).isValid())
            return true;
    }
    // A missing or unreadable folder lists as empty; hidden entries are not a sign of use.
    const QStringList names =
        QDir(historyDirectory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!name.startsWith(u'.') && !ownEntries.contains(name))
            return true;
    }
    return false;
}

} // namespace tavlin
