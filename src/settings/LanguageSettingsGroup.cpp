#include "LanguageSettingsGroup.h"

#include "ButtonLook.h"
#include "LanguageSettings.h"
#include "RoundedShape.h"
#include "SettingsCaption.h"
#include "SettingsGroup.h"
#include "SettingsPane.h"
#include "SettingsPicker.h"
#include "SettingsRow.h"
#include "SettingsSymbol.h"
#include "SystemFont.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>

namespace tavlin {

namespace {

class RestartNotice : public QWidget {
public:
    explicit RestartNotice(LanguageSettings& language)
    {
        setObjectName(QStringLiteral("language-restart-notice"));
        const QString text = QCoreApplication::translate(
            "Tavlin", "The new language will be used after Tavlin restarts. History and settings are kept.");
        setAccessibleName(text);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(14, 10, 14, 10);
        layout->setSpacing(12);
        layout->addWidget(new SettingsSymbol(QStringLiteral("arrow.clockwise.circle"), 16, QSize(20, 20)));
        auto* label = new ThemedLabel(text, SystemFont::regular(12), TavlinTheme::primaryText);
        label->setWordWrap(true);
        layout->addWidget(label, 1);
        auto* restart = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 30},
                                           QCoreApplication::translate("Tavlin", "Restart Tavlin"));
        restart->setObjectName(QStringLiteral("language-restart"));
        QObject::connect(restart, &QAbstractButton::clicked, this, [&language] { language.relaunch(); });
        layout->addWidget(restart);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        RoundedShape::fill(painter, rect(), 14, TavlinTheme::selectedBackground.resolve(ThemeAppearance::of(this)));
    }
};

} // namespace

LanguageSettingsGroup::LanguageSettingsGroup(LanguageSettings& language, QWidget* parent)
    : QWidget(parent), language_(language)
{
    QVBoxLayout* layout = SettingsPane::stackLayout(this);
    const QString rowTitle = QCoreApplication::translate("Tavlin", "App language");
    picker_ = new SettingsPicker(rowTitle, QStringLiteral("interface-language"));
    for (LanguagePreference preference : allLanguagePreferences)
        picker_->addOption(title(preference), toRaw(preference));
    connect(picker_, &SettingsPicker::picked, this, [this](const QVariant& value) {
        if (const std::optional<LanguagePreference> chosen = fromRaw<LanguagePreference>(value.toString()))
            language_.select(*chosen);
        sync();
    });
    auto* group = new SettingsGroup(QCoreApplication::translate("Tavlin", "Language"));
    group->add(new SettingsRow(rowTitle, QStringLiteral("globe"), picker_));
    layout->addWidget(group);
    caption_ = new SettingsCaption(QCoreApplication::translate(
        "Tavlin", "“System Default” follows the language of your desktop. The choice applies only to Tavlin."));
    layout->addWidget(caption_);
    notice_ = new RestartNotice(language_);
    layout->addWidget(notice_);
    connect(&language_, &LanguageSettings::preferenceChanged, this, &LanguageSettingsGroup::sync);
    sync();
}

void LanguageSettingsGroup::sync()
{
    picker_->select(toRaw(language_.preference()));
    const bool restart = language_.needsRestart();
    caption_->setVisible(!restart);
    notice_->setVisible(restart);
}

} // namespace tavlin
