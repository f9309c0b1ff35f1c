#pragma once

#include <QString>
#include <QStringList>

namespace tavlin {

class Defaults;

// Decides once per launch whether the introduction runs as a first launch, and keeps its three
// flags. Installs used before the introduction existed (stored preferences, or files in the
// history folder) are marked done without showing it. Main thread only.
struct OnboardingStore {
    static const QStringList& legacyPreferenceKeys();

    Defaults& defaults;
    // The folder of the history database.
    QString historyDirectory;
    // Names of what Tavlin itself puts into that folder before it decides (the one-instance
    // lock): no sign of earlier use.
    QStringList ownEntries = {};

    bool resolveNeedsFirstLaunch() const;
    bool hasEarlierUse() const;
};

} // namespace tavlin
