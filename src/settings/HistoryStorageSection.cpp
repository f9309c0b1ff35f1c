#include "HistoryStorageSection.h"

#include "KeyboardFocus.h"
#include "RetentionSettings.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsPane.h"
#include "SettingsPicker.h"
#include "SettingsRow.h"

#include <QCoreApplication>
#include <QLocale>
#include <QVBoxLayout>

namespace tavlin {

HistoryStorageSection::HistoryStorageSection(RetentionSettings& retention, QWidget* parent)
    : QWidget(parent), retention_(retention)
{
    QVBoxLayout* layout = SettingsPane::stackLayout(this);

    const QString countTitle = QCoreApplication::translate("Tavlin", "Number of records");
    count_ = new SettingsPicker(countTitle, QStringLiteral("retention-count"));
    for (qint64 option : HistoryRetention::clipCountOptions())
        count_->addOption(QLocale().toString(option), option);
    connect(count_, &SettingsPicker::picked, this, [this](const QVariant& value) {
        retention_.request({value.toLongLong(), retention_.applied().payloadBytes});
        sync(); // the list left its choice showing: back to the limit in force until the new one applies
    });
    const QString bytesTitle = QCoreApplication::translate("Tavlin", "Record data size");
    bytes_ = new SettingsPicker(bytesTitle, QStringLiteral("retention-bytes"));
    for (qint64 option : HistoryRetention::payloadByteOptions())
        bytes_->addOption(RetentionSettings::formatBytes(option), option);
    connect(bytes_, &SettingsPicker::picked, this, [this](const QVariant& value) {
        retention_.request({retention_.applied().clipCount, value.toLongLong()});
        sync();
    });

    auto* group = new SettingsGroup(QCoreApplication::translate("Tavlin", "History storage"));
    group->add(new SettingsRow(countTitle, QStringLiteral("list.number"), count_));
    group->addSeparator();
    group->add(new SettingsRow(bytesTitle, QStringLiteral("internaldrive"), bytes_));
    layout->addWidget(group);

    error_ = new SettingsCaption({}, TavlinTheme::systemRed, QStringLiteral("retention-error"));
    usage_ = new SettingsCaption({}, TavlinTheme::secondaryText, QStringLiteral("retention-usage"));
    favoritesWarning_ = new SettingsCaption(
        QCoreApplication::translate("Tavlin",
                                    "Favorites have filled the record limit: only the latest ordinary record is kept."),
        TavlinTheme::secondaryText, QStringLiteral("retention-favorites-warning"));
    const QString single = RetentionSettings::formatBytes(32 * HistoryRetention::mebibyte);
    auto* rules = new SettingsCaption(
        QCoreApplication::translate(
            "Tavlin",
            "When the history reaches a limit, Tavlin automatically deletes the oldest records. Favorites are "
            "kept. A single record can be up to %1.")
            .arg(single));
    for (QWidget* caption : {static_cast<QWidget*>(error_), static_cast<QWidget*>(usage_),
                             static_cast<QWidget*>(favoritesWarning_), static_cast<QWidget*>(rules)})
        layout->addWidget(caption);

    for (auto signal : {&RetentionSettings::appliedChanged, &RetentionSettings::isApplyingChanged,
                        &RetentionSettings::errorMessageChanged, &RetentionSettings::usageChanged})
        connect(&retention_, signal, this, &HistoryStorageSection::sync);
    sync();
}

void HistoryStorageSection::sync()
{
    const HistoryRetention& applied = retention_.applied();
    count_->select(applied.clipCount);
    bytes_->select(applied.payloadBytes);
    const bool applying = retention_.isApplying();
    for (SettingsPicker* picker : {count_, bytes_}) {
        if (applying && window()->focusWidget() == picker && !focusedPicker_) {
            focusedPicker_ = picker;
            focusRing_ = KeyboardFocus::cameByKeyboard(picker);
        }
        picker->setEnabled(!applying);
    }
    // Disabled, the picker handed the window's focus on (behind the confirmation too): it takes
    // it back once the limit is in force, unless the user has moved on meanwhile.
    if (applying && focusedPicker_ && !focusMovedTo_)
        focusMovedTo_ = window()->focusWidget();
    if (!applying && focusedPicker_) {
        if (window()->focusWidget() == focusMovedTo_)
            focusedPicker_->setFocus(focusRing_ ? Qt::TabFocusReason : Qt::OtherFocusReason);
        focusedPicker_.clear();
        focusMovedTo_.clear();
    }
    error_->setText(retention_.errorMessage().value_or(QString()));
    error_->setVisible(retention_.errorMessage().has_value());
    const std::optional<RetentionImpact>& usage = retention_.usage();
    usage_->setVisible(usage.has_value());
    favoritesWarning_->setVisible(usage && usage->favoriteCount >= applied.clipCount);
    if (usage) {
        const int records = int(usage->totalCount);
        const int favorites = int(usage->favoriteCount);
        const QString size = RetentionSettings::formatBytes(usage->totalBytes);
        // Two counts in one sentence: each is its own plural, the favorites filled in second.
        usage_->setText(
            QCoreApplication::translate("Tavlin", "Now: %Ln records, %1 of data, %2 in favorites.", nullptr, records)
                .arg(size, QLocale().toString(favorites)));
    }
}

} // namespace tavlin
