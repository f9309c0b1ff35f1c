#include "InterfaceSettingsPane.h"

#include "ButtonLook.h"
#include "LanguageSettingsGroup.h"
#include "SettingsGroup.h"
#include "SettingsPicker.h"
#include "SettingsRow.h"
#include "SwitchToggle.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemedLabel.h"
#include "ViewPreferences.h"

#include <QCoreApplication>
#include <QHBoxLayout>

namespace tavlin {

InterfaceSettingsPane::InterfaceSettingsPane(ViewPreferences& preferences, LanguageSettings* language,
                                             std::function<void()> replayOnboarding, bool scrolls, QWidget* parent)
    : SettingsPane(QCoreApplication::translate("Tavlin", "Interface"), QStringLiteral("slider.horizontal.3"), scrolls,
                   parent),
      preferences_(preferences)
{
    const QString themeTitle = QCoreApplication::translate("Tavlin", "Theme");
    theme_ = new SettingsPicker(themeTitle, QStringLiteral("interface-theme"));
    for (ThemePreference preference : allThemePreferences)
        theme_->addOption(title(preference), toRaw(preference));
    connect(theme_, &SettingsPicker::picked, this, [this](const QVariant& value) {
        preferences_.setThemePreference(fromRaw<ThemePreference>(value.toString()).value_or(ThemePreference::system));
    });

    const QString viewTitle = QCoreApplication::translate("Tavlin", "History view");
    viewMode_ = new SettingsPicker(viewTitle, QStringLiteral("interface-view-mode"));
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards})
        viewMode_->addOption(title(mode), toRaw(mode));
    connect(viewMode_, &SettingsPicker::picked, this, [this](const QVariant& value) {
        preferences_.setViewMode(fromRaw<HistoryViewMode>(value.toString()).value_or(HistoryViewMode::list));
    });

    const QString previewTitle = QCoreApplication::translate("Tavlin", "Show preview");
    preview_ = new SwitchToggle(previewTitle);
    preview_->setObjectName(QStringLiteral("interface-show-preview"));
    connect(preview_, &SwitchToggle::toggleRequested, &preferences_, &ViewPreferences::setShowPreview);

    auto* display = new SettingsGroup(QCoreApplication::translate("Tavlin", "History display"));
    display->add(new SettingsRow(themeTitle, QStringLiteral("circle.lefthalf.filled"), theme_));
    display->addSeparator();
    display->add(new SettingsRow(viewTitle, QStringLiteral("square.grid.2x2"), viewMode_));
    display->addSeparator();
    display->add(new SettingsRow(previewTitle, QStringLiteral("sidebar.right"), preview_));
    add(display);

    if (language)
        add(new LanguageSettingsGroup(*language));

    auto* footer = new QWidget();
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(4, 0, 4, 0);
    footerLayout->setSpacing(12);
    footerLayout->addWidget(new ThemedLabel(QCoreApplication::translate("Tavlin", "Changes are kept between launches."),
                                            SystemFont::regular(12), TavlinTheme::secondaryText));
    footerLayout->addStretch();
    if (replayOnboarding) {
        auto* replay = ButtonLook::action({TavlinButtonStyle::Kind::quiet, 34},
                                          QCoreApplication::translate("Tavlin", "Replay Introduction"));
        replay->setObjectName(QStringLiteral("replay-onboarding"));
        connect(replay, &QAbstractButton::clicked, this, [replayOnboarding] { replayOnboarding(); });
        footerLayout->addWidget(replay);
    }
    add(footer);

    connect(&preferences_, &ViewPreferences::themePreferenceChanged, this, &InterfaceSettingsPane::sync);
    connect(&preferences_, &ViewPreferences::viewModeChanged, this, &InterfaceSettingsPane::sync);
    connect(&preferences_, &ViewPreferences::showPreviewChanged, this, &InterfaceSettingsPane::sync);
    sync();
}

void InterfaceSettingsPane::sync()
{
    theme_->select(toRaw(preferences_.themePreference()));
    viewMode_->select(toRaw(preferences_.viewMode()));
    preview_->setChecked(preferences_.showPreview());
}

} // namespace tavlin
