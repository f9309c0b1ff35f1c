#pragma once

#include "HistoryRetention.h"
#include "ShortcutBinding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavlin {

// One preference as the defaults keep it: its key, the form of its stored value (T), and the
// value, in that form, that stands while nothing valid is stored.
template <class T>
struct Preference {
    QString key;
    T fallback = {};
};

// Every preference Tavlin keeps in its defaults. Each reader and writer goes through these; stored
// files rely on the keys, so a key never changes.
struct StoredPreferences {
    // Interface: a ThemePreference's raw value.
    static inline const Preference<QString> theme{QStringLiteral("interface.theme"), QStringLiteral("system")};
    // A HistoryViewMode's raw value.
    static inline const Preference<QString> viewMode{QStringLiteral("history.viewMode"), QStringLiteral("list")};
    // A Bool; a value of any other kind leaves the preview shown.
    static inline const Preference<bool> showPreview{QStringLiteral("history.showPreview"), true};
    // The Quick Panel's binding as its JSON data.
    static inline const Preference<QByteArray> shortcut{QStringLiteral("quickPanel.shortcut"),
                                                        ShortcutBinding::defaultBinding().toJson()};
    // The interface languages, the chosen one first; none follows the desktop.
    static inline const Preference<QStringList> languages{QStringLiteral("AppleLanguages")};

    // History: integers, stored together, and only a supported pair counts.
    static inline const Preference<qint64> retentionClipCount{QStringLiteral("history.retention.clipCount"),
                                                              HistoryRetention::standard().clipCount};
    static inline const Preference<qint64> retentionPayloadBytes{QStringLiteral("history.retention.payloadBytes"),
                                                                 HistoryRetention::standard().payloadBytes};
    // The applications whose copies are never recorded, by application id.
    static inline const Preference<QStringList> excludedApplications{QStringLiteral("privacy.excludedApplications")};

    // Updates: a Bool, and the end of the last check in ISO 8601 with milliseconds (none before
    // the first).
    static inline const Preference<bool> automaticUpdateChecks{QStringLiteral("updates.automaticChecks"), false};
    static inline const Preference<QString> lastUpdateCheck{QStringLiteral("updates.lastCheckDate")};

    // The settings section to show again after a restart for the language ("interface"); taken
    // once, at the next start.
    static inline const Preference<QString> reopenAfterRestart{QStringLiteral("settings.reopenAfterRestart")};

    // The introduction: Bools.
    static inline const Preference<bool> onboardingCompleted{QStringLiteral("onboarding.completed"), false};
    static inline const Preference<bool> onboardingStarted{QStringLiteral("onboarding.started"), false};
    static inline const Preference<bool> onboardingMigrated{QStringLiteral("onboarding.migratedExistingInstall"),
                                                            false};
};

} // namespace tavlin
