#include "PrivacySettingsPane.h"

#include "ExcludedApplicationsSection.h"
#include "HistoryBrowser.h"
#include "HistoryStorageSection.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace tavlin {

PrivacySettingsPane::PrivacySettingsPane(HistoryBrowser& history, CaptureExclusions& exclusions,
                                         RetentionSettings& retention, const SourceApplicationIcon& sources,
                                         QWidget* parent)
    : SettingsPane(QCoreApplication::translate("Tavlin", "History & Privacy"), QStringLiteral("hand.raised"), true,
                   parent),
      retention_(retention)
{
    add(new ExcludedApplicationsSection(history, exclusions, sources));
    add(new HistoryStorageSection(retention_));

    connect(this, &SettingsPane::appeared, this, [this] { retention_.refreshUsage(); });
    connect(&history, &HistoryBrowser::historyChanges, this, [this] {
        if (isVisible())
            retention_.refreshUsage();
    });
    connect(&retention_, &RetentionSettings::pendingChanged, this, &PrivacySettingsPane::syncConfirmation);
    connect(this, &SettingsPane::appeared, this, &PrivacySettingsPane::syncConfirmation);
    // Leaving the pane answers nothing: the question goes with it and comes back with it, until
    // RetentionSettings settles the change.
    connect(this, &SettingsPane::disappeared, this, &PrivacySettingsPane::withdrawConfirmation);
}

QString PrivacySettingsPane::confirmationTitle(const RetentionSettings::PendingChange& change)
{
    const int evicted = int(change.impact.evictedCount);
    return QCoreApplication::translate("Tavlin", "Delete %n records?", nullptr, evicted);
}

QString PrivacySettingsPane::confirmationMessage(const RetentionSettings::PendingChange& change)
{
    const int limit = int(change.retention.clipCount);
    const int evicted = int(change.impact.evictedCount);
    const int favorites = int(change.impact.favoriteCount);
    // Each count is its own plural: the sentence is built from three texts.
    const QString limitText = QCoreApplication::translate("Tavlin", "New limit: %Ln records and %1.", nullptr, limit)
                                  .arg(RetentionSettings::formatBytes(change.retention.payloadBytes));
    const QString evictedText = QCoreApplication::translate("Tavlin", "Oldest ordinary records to be deleted: %1 (%2).")
                                    .arg(QLocale().toString(evicted),
                                         RetentionSettings::formatBytes(change.impact.evictedBytes));
    const QString favoritesText = QCoreApplication::translate("Tavlin",
                                                              "Favorites (%1) will be kept. This can’t be undone.")
                                      .arg(QLocale().toString(favorites));
    return limitText + QLatin1Char(' ') + evictedText + QLatin1Char(' ') + favoritesText;
}

void PrivacySettingsPane::syncConfirmation()
{
    const std::optional<RetentionSettings::PendingChange>& pending = retention_.pending();
    // Only RetentionSettings closes the question: a change answered, or replaced by a newer request.
    if (confirmation_ && pending == presented_)
        return;
    withdrawConfirmation();
    if (!pending || !isVisible())
        return;
    const RetentionSettings::PendingChange change = *pending;
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("retention-confirmation"));
    box->setPalette(ThemeAppearance::palette(ThemeAppearance::of(this))); // a window of its own: themed like this one
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(confirmationTitle(change));
    box->setText(confirmationTitle(change));
    box->setInformativeText(confirmationMessage(change));
    QPushButton* remove = box->addButton(QCoreApplication::translate("Tavlin", "Delete and Apply"),
                                         QMessageBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("retention-confirm"));
    QPushButton* cancel = box->addButton(QCoreApplication::translate("Tavlin", "Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("retention-cancel"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this, box, remove, change] {
        if (confirmation_ != box)
            return;
        confirmation_ = nullptr;
        box->deleteLater();
        // Any close but "Delete and Apply" is Cancel.
        if (box->clickedButton() == remove)
            retention_.confirm(change);
        else
            retention_.cancel(change);
    });
    confirmation_ = box;
    presented_ = change;
    box->open();
}

void PrivacySettingsPane::withdrawConfirmation()
{
    if (!confirmation_)
        return;
    QMessageBox* closing = confirmation_;
    confirmation_ = nullptr;
    closing->disconnect(this);
    closing->close();
    closing->deleteLater();
}

} // namespace tavlin
