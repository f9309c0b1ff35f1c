#pragma once

#include "RetentionSettings.h"
#include "SettingsPane.h"

#include <QMessageBox>
#include <QPointer>

namespace tavlin {

class SourceApplicationIcon;

class CaptureExclusions;
class HistoryBrowser;

// The History & Privacy section: the excluded applications, then the history's limits. While on
// screen it keeps the usage figures fresh (on appearing and after every history change), and it
// asks before a new limit deletes records: the question is up exactly while a change is pending
// and the pane shows, and any answer but "Delete and Apply" keeps every record.
class PrivacySettingsPane : public SettingsPane {
    Q_OBJECT
public:
    PrivacySettingsPane(HistoryBrowser& history, CaptureExclusions& exclusions, RetentionSettings& retention,
                        const SourceApplicationIcon& sources, QWidget* parent = nullptr);

    // The question of a pending change, while it is up.
    QMessageBox* confirmation() const { return confirmation_; }

    // The question's title and message for a change.
    static QString confirmationTitle(const RetentionSettings::PendingChange& change);
    static QString confirmationMessage(const RetentionSettings::PendingChange& change);

private:
    void syncConfirmation();
    // Takes the question off the screen without answering it.
    void withdrawConfirmation();

    RetentionSettings& retention_;
    QPointer<QMessageBox> confirmation_;
    // The change the question is about.
    std::optional<RetentionSettings::PendingChange> presented_;
};

} // namespace tavlin
